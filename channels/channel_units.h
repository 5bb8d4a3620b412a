// The display unit of each channel: which unit selector converts it (if any) and the
// short unit text its values are shown in under a choice of the fourteen selectors.
#pragma once

#include <optional>

#include "channels/catalogue.h"
#include "channels/unit_selectors.h"

namespace zp {

// The selector whose code converts the channel's values, or none for the channels
// plotted as recorded (volts, current, RPM, attitude ...).
std::optional<UnitSelector> unitSelectorOf(Channel channel);

// The unit text (UTF-8) of the channel's values under `units`, e.g. "°C", "km/h",
// "inHg"; empty for a channel without a unit. A code past the selector's choices
// leaves the value as recorded, so it has the recorded unit (the unit of code 0).
const char* unitText(Channel channel, const UnitSelectors& units);

}  // namespace zp
