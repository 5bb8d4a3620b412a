#include "channels/channel_units.h"

#include <array>
#include <span>

#include "channels/conversions.h"

namespace zp {

namespace {

// The unit names of each selector's codes, in the order of the Units dialog's items.
constexpr std::array<const char*, 2> kPressure = {"mbar", "inHg"};
constexpr std::array<const char*, 8> kAnalog = {"°C", "°F", "psi", "bar", "A", "V", "L", "US gal"};
constexpr std::array<const char*, 2> kTemperature = {"°C", "°F"};
constexpr std::array<const char*, 2> kFuelFlow = {"L/h", "US gal/h"};
constexpr std::array<const char*, 2> kFuelLevel = {"L", "US gal"};
constexpr std::array<const char*, 2> kFuelPressure = {"psi", "bar"};
constexpr std::array<const char*, 3> kAirspeed = {"mph", "km/h", "knots"};
constexpr std::array<const char*, 2> kAltitude = {"ft", "m"};
constexpr std::array<const char*, 2> kVsi = {"ft/min", "m/s"};

std::span<const char* const> unitsOf(UnitSelector selector) {
    switch (selector) {
        case MapUnit:
        case QnhUnit:
            return kPressure;
        case Analog1Unit:
        case Analog2Unit:
        case Analog3Unit:
        case Analog4Unit:
            return kAnalog;
        case ThermocoupleUnit:
        case OatUnit:
            return kTemperature;
        case FuelFlowUnit:
            return kFuelFlow;
        case FuelLevelUnit:
            return kFuelLevel;
        case FuelPressureUnit:
            return kFuelPressure;
        case AirspeedUnit:
            return kAirspeed;
        case AltitudeUnit:
            return kAltitude;
        case VsiUnit:
            return kVsi;
    }
    return {};
}

// The unit of the channels plotted as recorded.
const char* recordedUnit(Channel channel) {
    switch (channel) {
        case VoltsSeries:
            return "V";
        case CurrentSeries:
            return "A";
        case RPM1Series:
        case RPM2Series:
            return "rpm";
        case RPM1PSeries:
        case RPM2PSeries:
            return "%";
        case GForceSeries:
            return "g";
        case BankSeries:
        case PitchSeries:
        case YawSeries:
        case HeadingSeries:
            return "°";
        default:
            return "";
    }
}

}  // namespace

std::optional<UnitSelector> unitSelectorOf(Channel channel) {
    // The selector comes with the channel's conversion: one table says both.
    const ChannelConversion conversion = channelConversion(channel);
    if (conversion.selector < 0) return std::nullopt;
    return static_cast<UnitSelector>(conversion.selector);
}

const char* unitText(Channel channel, const UnitSelectors& units) {
    const std::optional<UnitSelector> selector = unitSelectorOf(channel);
    if (!selector) return recordedUnit(channel);
    const std::span<const char* const> names = unitsOf(*selector);
    const std::uint8_t code = units[*selector];
    return code < names.size() ? names[code] : names[0];
}

}  // namespace zp
