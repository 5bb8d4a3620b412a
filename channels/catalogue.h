// The catalogue of the 41 channel series of the chart: one entry per recorded channel,
// in chart order (legend order and drawing order). Plain data, shared by the import,
// the settings record, the chart and logdump.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zp {

// Channel indexes in chart order.
enum Channel : int {
    VoltsSeries,
    CurrentSeries,
    OATSeries,
    RPM1Series,
    RPM1PSeries,
    RPM2Series,
    RPM2PSeries,
    Analog1Series,
    Analog2Series,
    Analog3Series,
    Analog4Series,
    MAPSeries,
    TC1Series,
    TC2Series,
    TC3Series,
    TC4Series,
    TC5Series,
    TC6Series,
    TC7Series,
    TC8Series,
    TC9Series,
    TC10Series,
    TC11Series,
    TC12Series,
    CJCSeries,
    FuelFlow1Series,
    FuelFlow2Series,
    FuelLevel1Series,
    FuelLevel2Series,
    FuelPressureSeries,
    AirspeedSeries,
    Altitude1013Series,
    AltitudeSeries,
    QNHSeries,
    VSISeries,
    GForceSeries,
    BankSeries,
    PitchSeries,
    YawSeries,
    HeadingSeries,
    FuelLevelCalcSeries,
};
inline constexpr int kChannelCount = 41;

// Where a series takes its colour from: a fixed RGB value or one of the two
// colours of the desktop's colour scheme.
enum class ColourSource : std::uint8_t { Fixed, Highlight, DarkShadow };

struct ChannelInfo {
    const char* name;   // component name, e.g. "VoltsSeries"
    const char* title;  // legend title, e.g. "Volts"
    ColourSource colourSource;
    std::uint32_t rgb;  // 0xRRGGBB when colourSource is Fixed
};

// Name, title and colour of every channel, indexed by Channel.
extern const std::array<ChannelInfo, kChannelCount> kChannels;

// The channel named `name` (e.g. "VoltsSeries"), or none.
std::optional<Channel> channelNamed(std::string_view name);

// The 25 sample values that RPM1Series holds at X = 0 .. 24 until the first load.
extern const std::array<double, 25> kRpm1SampleValues;

}  // namespace zp
