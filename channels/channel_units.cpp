#include "channels/channel_units.h"

namespace zp {

namespace {

// [SECTION] The conversions
// The factors are the doubles nearest the decimal numbers; each product is formed
// with the double widened to long double (80-bit on x86), then rounded once.
constexpr double kPsiToBar = 0.0689475729;
constexpr double kLitresToGallons = 0.2641720524;
constexpr double kMillibarToInHg = 0.02953;
constexpr double kLitresPerHourToGallonsPerHour = 0.2642;  // four digits only
constexpr double kMphToKmh = 1.609344;
constexpr double kMphToKnots = 0.868976;
constexpr double kFeetPerMinuteToMetresPerSecond = 0.00508;
// The long double nearest 1 / (double)3.2808.
constexpr long double kFeetToMetres = 0.304803706413069968006L;
// The long double nearest one fifth: the temperature formula multiplies by it
// rather than dividing by 5.
constexpr long double kOneFifth = 0.2L;

float scaled(float value, double factor) {
    return static_cast<float>(static_cast<long double>(value) * static_cast<long double>(factor));
}

// value * 9 * 0.2 + 32
float celsiusToFahrenheit(float value) {
    const long double nine = static_cast<long double>(value) * 9.0L;
    return static_cast<float>(nine * kOneFifth + 32.0L);
}
double fahrenheitToCelsius(double value) {
    return (value - 32.0) * 5.0 / 9.0;
}

float psiToBar(float value) {
    return scaled(value, kPsiToBar);
}
double barToPsi(double value) {
    return value / kPsiToBar;
}

float litresToGallons(float value) {
    return scaled(value, kLitresToGallons);
}
double gallonsToLitres(double value) {
    return value / kLitresToGallons;
}

float millibarToInHg(float value) {
    return scaled(value, kMillibarToInHg);
}
double inHgToMillibar(double value) {
    return value / kMillibarToInHg;
}

float litresPerHourToGallonsPerHour(float value) {
    return scaled(value, kLitresPerHourToGallonsPerHour);
}
double gallonsPerHourToLitresPerHour(double value) {
    return value / kLitresPerHourToGallonsPerHour;
}

float mphToKmh(float value) {
    return scaled(value, kMphToKmh);
}
double kmhToMph(double value) {
    return value / kMphToKmh;
}

float mphToKnots(float value) {
    return scaled(value, kMphToKnots);
}
double knotsToMph(double value) {
    return value / kMphToKnots;
}

float feetToMetres(float value) {
    return static_cast<float>(static_cast<long double>(value) * kFeetToMetres);
}
double metresToFeet(double value) {
    return static_cast<double>(value / kFeetToMetres);
}

float feetPerMinuteToMetresPerSecond(float value) {
    return scaled(value, kFeetPerMinuteToMetresPerSecond);
}
double metresPerSecondToFeetPerMinute(double value) {
    return value / kFeetPerMinuteToMetresPerSecond;
}

// [SECTION] The choices of each selector, in code order (the Units dialog's item order)
// clang-format off
//   short        long                        to shown                          back
constexpr DisplayUnit kPressure[] = {
    {"mbar",      "Millibar"},
    {"inHg",      "\"Hg",                     millibarToInHg,                   inHgToMillibar},
};
constexpr DisplayUnit kAnalog[] = {
    {"°C",        "Celsius"},
    {"°F",        "Fahrenheit",               celsiusToFahrenheit,              fahrenheitToCelsius},
    {"psi",       "psi"},
    {"bar",       "Bar",                      psiToBar,                         barToPsi},
    {"A",         "A"},
    {"V",         "Volts"},
    {"L",         "Liters"},
    {"US gal",    "US Gallons",               litresToGallons,                  gallonsToLitres},
};
constexpr DisplayUnit kTemperature[] = {
    {"°C",        "Celsius"},
    {"°F",        "Fahrenheit",               celsiusToFahrenheit,              fahrenheitToCelsius},
};
constexpr DisplayUnit kFuelFlow[] = {
    {"L/h",       "Liters per hour"},
    {"US gal/h",  "US Gallons per hour",      litresPerHourToGallonsPerHour,    gallonsPerHourToLitresPerHour},
};
constexpr DisplayUnit kFuelLevel[] = {
    {"L",         "Liters"},
    {"US gal",    "US Gallons",               litresToGallons,                  gallonsToLitres},
};
constexpr DisplayUnit kFuelPressure[] = {
    {"psi",       "psi"},
    {"bar",       "Bar",                      psiToBar,                         barToPsi},
};
constexpr DisplayUnit kAirspeed[] = {
    {"mph",       "Miles per hour"},
    {"km/h",      "Kilometers per hour",      mphToKmh,                         kmhToMph},
    {"knots",     "Nautical miles per hour",  mphToKnots,                       knotsToMph},
};
constexpr DisplayUnit kAltitude[] = {
    {"ft",        "Feet"},
    {"m",         "Meters",                   feetToMetres,                     metresToFeet},
};
constexpr DisplayUnit kVsi[] = {
    {"ft/min",    "ft/min"},
    {"m/s",       "m/s",                      feetPerMinuteToMetresPerSecond,   metresPerSecondToFeetPerMinute},
};
// clang-format on

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

std::span<const DisplayUnit> displayUnits(UnitSelector selector) {
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

const DisplayUnit& displayUnit(UnitSelector selector, std::uint8_t code) {
    const std::span<const DisplayUnit> units = displayUnits(selector);
    return code < units.size() ? units[code] : units[0];
}

float toShownUnit(UnitSelector selector, std::uint8_t code, float recorded) {
    const ToShownFn convert = displayUnit(selector, code).toShown;
    return convert ? convert(recorded) : recorded;
}

double toRecordedUnit(UnitSelector selector, std::uint8_t code, double shown) {
    const ToRecordedFn convert = displayUnit(selector, code).toRecorded;
    return convert ? convert(shown) : shown;
}

std::optional<UnitSelector> unitSelectorOf(Channel channel) {
    if (channel >= TC1Series && channel <= TC12Series) return ThermocoupleUnit;
    switch (channel) {
        case OATSeries:
        case CJCSeries:
            return OatUnit;
        case Analog1Series:
            return Analog1Unit;
        case Analog2Series:
            return Analog2Unit;
        case Analog3Series:
            return Analog3Unit;
        case Analog4Series:
            return Analog4Unit;
        case MAPSeries:
            return MapUnit;
        case FuelFlow1Series:
        case FuelFlow2Series:
            return FuelFlowUnit;
        case FuelLevel1Series:
        case FuelLevel2Series:
        case FuelLevelCalcSeries:
            return FuelLevelUnit;
        case FuelPressureSeries:
            return FuelPressureUnit;
        case AirspeedSeries:
            return AirspeedUnit;
        case Altitude1013Series:
        case AltitudeSeries:
            return AltitudeUnit;
        case QNHSeries:
            return QnhUnit;
        case VSISeries:
            return VsiUnit;
        default:
            return std::nullopt;
    }
}

ToShownFn shownConversion(Channel channel, const UnitSelectors& units) {
    const std::optional<UnitSelector> selector = unitSelectorOf(channel);
    return selector ? displayUnit(*selector, units[*selector]).toShown : nullptr;
}

const char* unitText(Channel channel, const UnitSelectors& units) {
    const std::optional<UnitSelector> selector = unitSelectorOf(channel);
    return selector ? displayUnit(*selector, units[*selector]).shortName : recordedUnit(channel);
}

}  // namespace zp
