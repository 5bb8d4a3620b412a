// The unit table: what each code of the fourteen unit selectors means (its short and long
// name, the conversion from the unit the instruments record in and back) and which
// selector converts each channel. Every reader of units (the import, the Units dialog, the
// unit texts of the chart and the analysis tools) takes them from here.
//
// Code 0 is the unit the instruments record in, and a code that a selector does not list
// (a Settings.bin may hold any byte) means the same: the value is kept as recorded, the
// very same 32-bit value, and named by the recorded unit. The other codes are evaluated
// in 80-bit extended precision and rounded once to a float.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "channels/catalogue.h"
#include "channels/unit_selectors.h"

namespace zp {

// A recorded value into the display unit, and a displayed value back into the unit the
// instruments record in (in double precision).
using ToShownFn = float (*)(float recorded);
using ToRecordedFn = double (*)(double shown);

// One choice of a unit selector; its code is its place in the selector's list.
struct DisplayUnit {
    const char* shortName;  // UTF-8, as the chart and the analysis tools show it: "°F", "km/h"
    const char* longName;   // as the Units dialog lists it: "Fahrenheit", "Kilometers per hour"
    ToShownFn toShown = nullptr;        // nullptr: the value is shown as recorded
    ToRecordedFn toRecorded = nullptr;  // nullptr exactly when toShown is
};

// The choices of `selector` in code order, which is the order of the Units dialog's items.
std::span<const DisplayUnit> displayUnits(UnitSelector selector);

// The choice of `code`; a code past the selector's choices gives the choice of code 0.
const DisplayUnit& displayUnit(UnitSelector selector, std::uint8_t code);

// `recorded` in the display unit of `code`, and `shown` (in that unit) back as recorded.
float toShownUnit(UnitSelector selector, std::uint8_t code, float recorded);
double toRecordedUnit(UnitSelector selector, std::uint8_t code, double shown);

// The selector whose code converts the channel's values, or none for the channels
// plotted as recorded (volts, current, RPM, attitude ...).
std::optional<UnitSelector> unitSelectorOf(Channel channel);

// The conversion of the channel's values under `units`, or nullptr when they are plotted
// as recorded. Resolved once per load, so that a value costs one call at most.
ToShownFn shownConversion(Channel channel, const UnitSelectors& units);

// The unit text (UTF-8) of the channel's values under `units`, e.g. "°C", "km/h",
// "inHg"; empty for a channel without a unit.
const char* unitText(Channel channel, const UnitSelectors& units);

}  // namespace zp
