// The working values of one load that the log lines are parsed into: the model id,
// the date and time fields, the Hobbs and maintenance counters and the value slots.
// A line overwrites only the fields it supplies up to its first mismatch.
#pragma once

#include <cstdint>
#include <string_view>

#include "import/c_scan.h"
#include "import/record_models.h"

namespace zp {

struct RecordFields {
    std::int32_t modelId = 0;
    char date[cscan::kTextFieldSize] = {};
    char time[cscan::kTextFieldSize] = {};
    std::int32_t hobbs = 0;
    std::int32_t maintenance = 0;
    float values[kValueSlotCount] = {};
};

// The part of a line buffer that a C string scan sees: up to the first NUL.
std::string_view cString(std::string_view line);

// Reads the model id with "%d" from the start of the line; false (id unchanged)
// when the line does not begin with an integer.
bool scanModelId(std::string_view line, std::int32_t& modelId);

// Parses the line with the model's fields, storing each field that matches until the
// first one that does not; returns the number of fields stored.
int parseRecord(std::string_view line, const RecordModel& model, RecordFields& fields);

// The index of the first of the value fields that every model's fields end in.
int valueRunStart(const RecordModel& model);

// parseRecord, but the values of the run of value fields go to run[0], run[1] ... in
// field order rather than to their slots (room for every value field of the model).
int parseRecordIntoRun(std::string_view line, const RecordModel& model, RecordFields& fields,
                       float* run);

}  // namespace zp
