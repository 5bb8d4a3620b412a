// The nine unit conversions: each takes a value as the instruments record it and the
// code of its unit selector, and returns the value in the chosen display unit. Code 0
// (and any code a function does not list) returns the very same 32-bit value; the
// other codes are evaluated in 80-bit extended precision and rounded once to a float.
#pragma once

#include <cstdint>

namespace zp {

// The shape shared by all nine conversions, so that a channel can name its own.
using ConversionFn = float (*)(float value, std::uint8_t code);

// 1: Celsius to Fahrenheit (value * 9 * 0.2 + 32).
float convertTemperature(float value, std::uint8_t code);
// 1: psi to bar.
float convertPressure(float value, std::uint8_t code);
// 1: Celsius to Fahrenheit; 3: psi to bar; 7: litres to US gallons.
float convertAnalog(float value, std::uint8_t code);
// 1: feet to metres (divided by 3.2808).
float convertAltitude(float value, std::uint8_t code);
// 1: millibar to inches of mercury (also used for the QNH).
float convertMap(float value, std::uint8_t code);
// 1: litres per hour to US gallons per hour (four-digit factor 0.2642).
float convertFuelFlow(float value, std::uint8_t code);
// 1: litres to US gallons.
float convertFuelLevel(float value, std::uint8_t code);
// 1: miles per hour to kilometres per hour; 2: miles per hour to knots.
float convertAirspeed(float value, std::uint8_t code);
// 1: feet per minute to metres per second.
float convertVsi(float value, std::uint8_t code);

// The inverses: a value in the display unit of `code` back in the unit the instruments
// record in, in double precision (code 0 and unlisted codes return the value). A
// conversion not among the nine returns the value.
double toRecordedUnit(ConversionFn convert, double value, std::uint8_t code);

// The conversion and the unit selector of a channel whose values are converted.
struct ChannelConversion {
    ConversionFn convert = nullptr;
    int selector = -1;  // a UnitSelector; -1: plotted as recorded
};
// Indexed by Channel (0 .. 40); channels plotted as recorded have no conversion.
ChannelConversion channelConversion(int channel);

}  // namespace zp
