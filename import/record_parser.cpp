#include "import/record_parser.h"

#include <cstring>

namespace zp {

std::string_view cString(std::string_view line) {
    const void* nul = std::memchr(line.data(), '\0', line.size());
    if (!nul) return line;
    return line.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - line.data()));
}

bool scanModelId(std::string_view line, std::int32_t& modelId) {
    return cscan::scanInt(line.data(), line.data() + line.size(), modelId) != nullptr;
}

namespace {

// The parse; with kTiesLater the common number forms store a value on a float rounding
// tie as it came and set `tieSeen` (then the line is parsed again without).
template <bool kTiesLater>
int parseFields(std::string_view line, const RecordModel& model, RecordFields& fields,
                bool& tieSeen) {
    bool tie = false;  // a local, kept in a register
    const char* p = line.data();
    const char* const end = p + line.size();
    int stored = 0;
    for (const LineField& field : model.fields) {
        if (stored > 0) {
            p = cscan::scanLiteral(p, end, ',');
            if (!p) break;
        }
        switch (field.kind) {
            case FieldKind::ModelId:
                p = cscan::scanInt(p, end, fields.modelId);
                break;
            case FieldKind::Hobbs:
                p = cscan::scanInt(p, end, fields.hobbs);
                break;
            case FieldKind::Maintenance:
                p = cscan::scanInt(p, end, fields.maintenance);
                break;
            case FieldKind::DateText:
                p = cscan::scanText(p, end, fields.date);
                break;
            case FieldKind::TimeText:
                p = cscan::scanText(p, end, fields.time);
                break;
            case FieldKind::Value: {
                float& value = fields.values[field.slot];
                if (const char* q = cscan::scanPlainDecimal(p, end, value))
                    p = q;
                else if (!kTiesLater)
                    p = cscan::scanFloat(p, end, value);
                else if (const char* q = cscan::scanCommonDecimalUnlessTie(p, end, value, tie))
                    p = q;
                else
                    p = cscan::scanFloatGeneral(p, end, value);
                break;
            }
        }
        if (!p) break;
        ++stored;
    }
    // A trailing "," in the format (model 2) stores nothing, so it is not matched.
    tieSeen = tie;
    return stored;
}

}  // namespace

int parseRecord(std::string_view line, const RecordModel& model, RecordFields& fields) {
    bool tie = false;
    const int stored = parseFields<true>(line, model, fields, tie);
    if (!tie) return stored;
    return parseFields<false>(line, model, fields, tie);
}

}  // namespace zp
