// The thirteen instrument models as data: for each model id its display name, the
// series it lists in the legend, whether its lines carry the Hobbs and maintenance
// counters, the fields of its line in order with where each one is stored, and the
// channels it plots in order (each converted as the unit table says for its channel).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "channels/catalogue.h"

namespace zp {

// Slots of the per-channel value store: one per channel series (indexed by Channel),
// then one per ignored value of the models.
inline constexpr int kIgnoredSlotCount = 11;
inline constexpr int kValueSlotCount = kChannelCount + kIgnoredSlotCount;
constexpr int ignoredSlot(int n) {
    return kChannelCount + n;
}

// What a field of a line is and where it goes.
enum class FieldKind : std::uint8_t {
    ModelId,      // "%d" into the model id
    DateText,     // "%99[^',']" into the date field
    TimeText,     // "%99[^',']" into the time field
    Hobbs,        // "%d" into the Hobbs counter
    Maintenance,  // "%d" into the maintenance counter
    Value,        // "%f" into a value slot
};

struct LineField {
    FieldKind kind;
    int slot = -1;  // the value slot of a Value field
};

struct RecordModel {
    int id;
    const char* displayName;
    bool hasCounters;
    std::span<const LineField> fields;  // in line order, separated by ","
    bool trailingComma;                 // the format ends with "," (model 2)
    std::span<const Channel> legend;    // series listed in the legend, in order
    std::span<const Channel> plots;     // appended by a data step and a gap fill, in order
};

inline constexpr int kModelCount = 13;

// The model of id 1 to 13, or nullptr for any other id.
const RecordModel* recordModel(int id);

// The C scan format the model's fields amount to, e.g. "%d,%[^','],%[^','],%f".
std::string formatText(const RecordModel& model);

}  // namespace zp
