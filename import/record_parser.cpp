#include "import/record_parser.h"

#include <array>
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

int valueRunStart(const RecordModel& model) {
    static const std::array<int, kModelCount + 1> starts = [] {
        std::array<int, kModelCount + 1> made{};
        for (int id = 1; id <= kModelCount; ++id) {
            const RecordModel& m = *recordModel(id);
            int first = static_cast<int>(m.fields.size());
            while (first > 0 &&
                   m.fields[static_cast<std::size_t>(first - 1)].kind == FieldKind::Value)
                --first;
            made[static_cast<std::size_t>(id)] = first;
        }
        return made;
    }();
    return starts[static_cast<std::size_t>(model.id)];
}

namespace {

// Where the parse puts a value field: in its slot of the record fields, or in a run of
// the line's values in field order.
struct IntoSlots {
    float* slots;
    float& operator()(const LineField& field, int) const { return slots[field.slot]; }
};
struct IntoRun {
    float* run;
    int first;  // the field of run[0]
    float& operator()(const LineField&, int index) const { return run[index - first]; }
};

// The parse; with kTiesLater the common number forms store a value on a float rounding
// tie as it came and set `tieSeen` (then the line is parsed again without). The fields
// before the run of values, then the values in a loop of their own.
template <bool kTiesLater, class ValueOut>
int parseFields(std::string_view line, const RecordModel& model, RecordFields& fields,
                const ValueOut& valueOut, bool& tieSeen) {
    bool tie = false;  // a local, kept in a register
    const char* p = line.data();
    const char* const end = p + line.size();
    const int count = static_cast<int>(model.fields.size());
    const int firstValue = valueRunStart(model);
    int stored = 0;
    for (; stored < firstValue; ++stored) {
        if (stored > 0) {
            p = cscan::scanLiteral(p, end, ',');
            if (!p) break;
        }
        switch (model.fields[static_cast<std::size_t>(stored)].kind) {
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
            case FieldKind::Value:  // no model has one before its run of values
                p = nullptr;
                break;
        }
        if (!p) break;
    }
    if (stored == firstValue) {
        for (; stored < count; ++stored) {
            if (stored > 0) {
                if (p == end || *p != ',') break;
                ++p;
            }
            float& value = valueOut(model.fields[static_cast<std::size_t>(stored)], stored);
            const char* q = cscan::scanPlainDecimal(p, end, value);
            if (!q) {
                if (!kTiesLater)
                    q = cscan::scanFloat(p, end, value);
                else if (!(q = cscan::scanCommonDecimalUnlessTie(p, end, value, tie)))
                    q = cscan::scanFloatGeneral(p, end, value);
            }
            if (!q) break;
            p = q;
        }
    }
    // A trailing "," in the format (model 2) stores nothing, so it is not matched.
    tieSeen = tie;
    return stored;
}

}  // namespace

int parseRecord(std::string_view line, const RecordModel& model, RecordFields& fields) {
    bool tie = false;
    const IntoSlots slots{fields.values};
    const int stored = parseFields<true>(line, model, fields, slots, tie);
    if (!tie) return stored;
    return parseFields<false>(line, model, fields, slots, tie);
}

int parseRecordIntoRun(std::string_view line, const RecordModel& model, RecordFields& fields,
                       float* run) {
    bool tie = false;
    const IntoRun into{run, valueRunStart(model)};
    const int stored = parseFields<true>(line, model, fields, into, tie);
    if (!tie) return stored;
    return parseFields<false>(line, model, fields, into, tie);
}

}  // namespace zp
