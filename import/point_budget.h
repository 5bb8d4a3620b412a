// The most points one load may append. A log whose times jump back and forth across a
// day asks for a gap fill of up to 86,400 points per channel and line, so a few thousand
// lines could ask for billions of points; the load stops at the line that would pass
// the budget instead of exhausting the machine's memory.
#pragma once

#include <QString>
#include <cstdint>

namespace zp {

// The smallest budget: about six days of one-second records of the engine monitor,
// far more than any instrument's log holds.
inline constexpr std::int64_t kMinPointBudget = std::int64_t{1} << 24;

// The machine's physical memory in bytes; 0 when the system does not tell.
std::int64_t physicalMemoryBytes();

// A sixteenth of the physical memory's worth of points (16 bytes each), at least
// kMinPointBudget.
std::int64_t defaultPointBudget();

// The text of the message box shown when a load stops at `line` (counted from 1).
QString tooMuchDataMessage(std::int64_t line);

}  // namespace zp
