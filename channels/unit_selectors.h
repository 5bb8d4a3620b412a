// The fourteen unit selectors, in the order of the settings record (bytes 0 to 13).
#pragma once

#include <array>
#include <cstdint>

namespace zp {

enum UnitSelector : int {
    MapUnit,
    Analog1Unit,
    Analog2Unit,
    Analog3Unit,
    Analog4Unit,
    ThermocoupleUnit,
    FuelFlowUnit,
    FuelLevelUnit,
    FuelPressureUnit,
    AirspeedUnit,
    AltitudeUnit,
    QnhUnit,
    OatUnit,
    VsiUnit,
};
inline constexpr int kUnitSelectorCount = 14;

// One code per selector; code 0 is the unit the instruments record in.
using UnitSelectors = std::array<std::uint8_t, kUnitSelectorCount>;

}  // namespace zp
