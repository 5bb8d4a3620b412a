#include "channels/conversions.h"

#include "channels/catalogue.h"
#include "channels/unit_selectors.h"

namespace zp {

namespace {
// The factors are the doubles nearest the decimal numbers; each product is formed
// with the double widened to long double (80-bit on x86), then rounded once.
constexpr double kPsiToBar = 0.0689475729;
constexpr double kLitresToGallons = 0.2641720524;
constexpr double kMillibarToInHg = 0.02953;
constexpr double kLitresPerHourToGallonsPerHour = 0.2642;
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

float celsiusToFahrenheit(float value) {
    const long double nine = static_cast<long double>(value) * 9.0L;
    return static_cast<float>(nine * kOneFifth + 32.0L);
}
}  // namespace

float convertTemperature(float value, std::uint8_t code) {
    return code == 1 ? celsiusToFahrenheit(value) : value;
}

float convertPressure(float value, std::uint8_t code) {
    return code == 1 ? scaled(value, kPsiToBar) : value;
}

float convertAnalog(float value, std::uint8_t code) {
    switch (code) {
        case 1:
            return celsiusToFahrenheit(value);
        case 3:
            return scaled(value, kPsiToBar);
        case 7:
            return scaled(value, kLitresToGallons);
        default:
            return value;
    }
}

float convertAltitude(float value, std::uint8_t code) {
    return code == 1 ? static_cast<float>(static_cast<long double>(value) * kFeetToMetres) : value;
}

float convertMap(float value, std::uint8_t code) {
    return code == 1 ? scaled(value, kMillibarToInHg) : value;
}

float convertFuelFlow(float value, std::uint8_t code) {
    return code == 1 ? scaled(value, kLitresPerHourToGallonsPerHour) : value;
}

float convertFuelLevel(float value, std::uint8_t code) {
    return code == 1 ? scaled(value, kLitresToGallons) : value;
}

float convertAirspeed(float value, std::uint8_t code) {
    switch (code) {
        case 1:
            return scaled(value, kMphToKmh);
        case 2:
            return scaled(value, kMphToKnots);
        default:
            return value;
    }
}

float convertVsi(float value, std::uint8_t code) {
    return code == 1 ? scaled(value, kFeetPerMinuteToMetresPerSecond) : value;
}

double toRecordedUnit(ConversionFn convert, double value, std::uint8_t code) {
    const auto fahrenheitToCelsius = [](double v) { return (v - 32.0) * 5.0 / 9.0; };
    if (code == 0) return value;
    if (convert == convertTemperature) return code == 1 ? fahrenheitToCelsius(value) : value;
    if (convert == convertPressure) return code == 1 ? value / kPsiToBar : value;
    if (convert == convertAnalog) {
        switch (code) {
            case 1:
                return fahrenheitToCelsius(value);
            case 3:
                return value / kPsiToBar;
            case 7:
                return value / kLitresToGallons;
            default:
                return value;
        }
    }
    if (convert == convertAltitude)
        return code == 1 ? static_cast<double>(value / kFeetToMetres) : value;
    if (convert == convertMap) return code == 1 ? value / kMillibarToInHg : value;
    if (convert == convertFuelFlow)
        return code == 1 ? value / kLitresPerHourToGallonsPerHour : value;
    if (convert == convertFuelLevel) return code == 1 ? value / kLitresToGallons : value;
    if (convert == convertAirspeed) {
        if (code == 1) return value / kMphToKmh;
        if (code == 2) return value / kMphToKnots;
        return value;
    }
    if (convert == convertVsi) return code == 1 ? value / kFeetPerMinuteToMetresPerSecond : value;
    return value;
}

ChannelConversion channelConversion(int channel) {
    if (channel >= TC1Series && channel <= TC12Series)
        return {convertTemperature, ThermocoupleUnit};
    switch (channel) {
        case OATSeries:
        case CJCSeries:
            return {convertTemperature, OatUnit};
        case Analog1Series:
            return {convertAnalog, Analog1Unit};
        case Analog2Series:
            return {convertAnalog, Analog2Unit};
        case Analog3Series:
            return {convertAnalog, Analog3Unit};
        case Analog4Series:
            return {convertAnalog, Analog4Unit};
        case MAPSeries:
            return {convertMap, MapUnit};
        case FuelFlow1Series:
        case FuelFlow2Series:
            return {convertFuelFlow, FuelFlowUnit};
        case FuelLevel1Series:
        case FuelLevel2Series:
        case FuelLevelCalcSeries:
            return {convertFuelLevel, FuelLevelUnit};
        case FuelPressureSeries:
            return {convertPressure, FuelPressureUnit};
        case AirspeedSeries:
            return {convertAirspeed, AirspeedUnit};
        case Altitude1013Series:
        case AltitudeSeries:
            return {convertAltitude, AltitudeUnit};
        case QNHSeries:
            return {convertMap, QnhUnit};
        case VSISeries:
            return {convertVsi, VsiUnit};
        default:
            return {};
    }
}

}  // namespace zp
