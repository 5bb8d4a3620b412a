#include "channels/display_units.h"

#include <span>

namespace zp {

namespace {

// The Units dialog's items of each kind of selector, in code order.
constexpr const char* kPressure[] = {"Millibar", "\"Hg"};
constexpr const char* kAnalog[] = {"Celsius", "Fahrenheit", "psi",    "Bar",
                                   "A",       "Volts",      "Liters", "US Gallons"};
constexpr const char* kTemperature[] = {"Celsius", "Fahrenheit"};
constexpr const char* kFuelFlow[] = {"Liters per hour", "US Gallons per hour"};
constexpr const char* kFuelLevel[] = {"Liters", "US Gallons"};
constexpr const char* kFuelPressure[] = {"psi", "Bar"};
constexpr const char* kAirspeed[] = {"Miles per hour", "Kilometers per hour",
                                     "Nautical miles per hour"};
constexpr const char* kAltitude[] = {"Feet", "Meters"};
constexpr const char* kVsi[] = {"ft/min", "m/s"};

// The items of a selector's drop-down list.
constexpr std::span<const char* const> itemsOf(int selector) {
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
        default:
            return kVsi;
    }
}

// A channel's selector, or none with the unit it is recorded in.
struct ChannelUnit {
    int selector;  // -1: none
    const char* recorded;
};

constexpr ChannelUnit unitOf(Channel channel) {
    switch (channel) {
        case VoltsSeries:
            return {-1, "V"};
        case CurrentSeries:
            return {-1, "A"};
        case OATSeries:
        case CJCSeries:
            return {OatUnit, ""};
        case RPM1Series:
        case RPM2Series:
            return {-1, "rpm"};
        case RPM1PSeries:
        case RPM2PSeries:
            return {-1, "%"};
        case Analog1Series:
            return {Analog1Unit, ""};
        case Analog2Series:
            return {Analog2Unit, ""};
        case Analog3Series:
            return {Analog3Unit, ""};
        case Analog4Series:
            return {Analog4Unit, ""};
        case MAPSeries:
            return {MapUnit, ""};
        case FuelFlow1Series:
        case FuelFlow2Series:
            return {FuelFlowUnit, ""};
        case FuelLevel1Series:
        case FuelLevel2Series:
        case FuelLevelCalcSeries:
            return {FuelLevelUnit, ""};
        case FuelPressureSeries:
            return {FuelPressureUnit, ""};
        case AirspeedSeries:
            return {AirspeedUnit, ""};
        case Altitude1013Series:
        case AltitudeSeries:
            return {AltitudeUnit, ""};
        case QNHSeries:
            return {QnhUnit, ""};
        case VSISeries:
            return {VsiUnit, ""};
        case GForceSeries:
            return {-1, "g"};
        case BankSeries:
        case PitchSeries:
        case YawSeries:
        case HeadingSeries:
            return {-1, "degrees"};
        default:
            return {ThermocoupleUnit, ""};  // TC1 to TC12
    }
}

}  // namespace

const char* displayUnit(Channel channel, const UnitSelectors& units) {
    const ChannelUnit unit = unitOf(channel);
    if (unit.selector < 0) return unit.recorded;
    const auto items = itemsOf(unit.selector);
    const std::size_t code = units[static_cast<std::size_t>(unit.selector)];
    return code < items.size() ? items[code] : "";
}

}  // namespace zp
