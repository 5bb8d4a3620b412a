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

int parseRecord(std::string_view line, const RecordModel& model, RecordFields& fields) {
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
            case FieldKind::Value:
                if (const char* q = cscan::scanCommonDecimal(p, end, fields.values[field.slot]))
                    p = q;
                else
                    p = cscan::scanFloatGeneral(p, end, fields.values[field.slot]);
                break;
        }
        if (!p) break;
        ++stored;
    }
    // A trailing "," in the format (model 2) stores nothing, so it is not matched.
    return stored;
}

}  // namespace zp
