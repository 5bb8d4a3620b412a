// The unit each channel is shown in: for a channel with a unit selector the name the
// Units dialog gives the selected code; for the others the unit the instruments record.
#pragma once

#include "channels/catalogue.h"
#include "channels/unit_selectors.h"

namespace zp {

// The unit of `channel` under `units`, e.g. "Celsius", "Miles per hour", "V"; an empty
// text for a code the Units dialog does not offer.
const char* displayUnit(Channel channel, const UnitSelectors& units);

}  // namespace zp
