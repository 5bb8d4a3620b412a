#include "channels/catalogue.h"

#include <unordered_map>

namespace zp {

namespace {
constexpr ChannelInfo fixed(const char* name, const char* title, std::uint32_t rgb) {
    return ChannelInfo{name, title, ColourSource::Fixed, rgb};
}
constexpr ChannelInfo system(const char* name, const char* title, ColourSource source) {
    return ChannelInfo{name, title, source, 0};
}
}  // namespace

// clang-format off
//                          name                    title                   colour
const std::array<ChannelInfo, kChannelCount> kChannels = {{
    fixed("VoltsSeries",        "Volts",                0xFF0000),  // clRed
    fixed("CurrentSeries",      "Current",              0xFFFF00),  // clYellow
    fixed("OATSeries",          "OAT",                  0x00FF00),  // clLime
    fixed("RPM1Series",         "RPM 1",                0xFF8080),
    fixed("RPM1PSeries",        "RPM 1(%)",             0xFF80C0),
    fixed("RPM2Series",         "RPM 2",                0x804040),
    fixed("RPM2PSeries",        "RPM 2 (%)",            0x8080FF),
    fixed("Analog1Series",      "Analog 1",             0x800000),  // clMaroon
    fixed("Analog2Series",      "Analog 2",             0x80FF80),
    fixed("Analog3Series",      "Analog 3",             0x804000),
    fixed("Analog4Series",      "Analog 4",             0x400080),
    fixed("MAPSeries",          "MAP",                  0xFF8040),
    fixed("TC1Series",          "TC1",                  0xFF80FF),
    fixed("TC2Series",          "TC2",                  0xFF80C0),
    fixed("TC3Series",          "TC3",                  0x0080FF),
    fixed("TC4Series",          "TC4",                  0x80FFFF),
    fixed("TC5Series",          "TC5",                  0x8080C0),
    fixed("TC6Series",          "TC6",                  0x0080C0),
    fixed("TC7Series",          "TC7",                  0x008080),  // clTeal
    fixed("TC8Series",          "TC8",                  0x8000FF),
    fixed("TC9Series",          "TC9",                  0x808000),  // clOlive
    fixed("TC10Series",         "TC10",                 0xC0C0C0),  // clSilver
    fixed("TC11Series",         "TC11",                 0x800080),  // clPurple
    fixed("TC12Series",         "TC12",                 0x000000),  // clBlack
    fixed("CJCSeries",          "CJC",                  0x008000),  // clGreen
    fixed("FuelFlow1Series",    "Fuel Flow 1",          0xFF8000),
    fixed("FuelFlow2Series",    "Fuel Flow 2",          0x004080),
    fixed("FuelLevel1Series",   "Fuel Level 1",         0xFF00FF),  // clFuchsia
    fixed("FuelLevel2Series",   "Fuel Level 2",         0x0000FF),  // clBlue
    fixed("FuelPressureSeries", "Fuel Pressure",        0xC0C0C0),  // clSilver
    fixed("AirspeedSeries",     "Airspeed",             0x400040),
    system("Altitude1013Series","Altitude",             ColourSource::Highlight),
    fixed("AltitudeSeries",     "Altitude (Corrected)", 0x800080),  // clPurple
    fixed("QNHSeries",          "QNH",                  0x008000),  // clGreen
    fixed("VSISeries",          "VSI",                  0x800080),  // clPurple
    fixed("GForceSeries",       "G-Force",              0x00FFFF),  // clAqua
    fixed("BankSeries",         "Bank Angle",           0x808000),  // clOlive
    fixed("PitchSeries",        "Pitch Angle",          0x008080),  // clTeal
    fixed("YawSeries",          "Yaw Angle",            0x800000),  // clMaroon
    system("HeadingSeries",     "Heading",              ColourSource::DarkShadow),
    system("FuelLevelCalcSeries","Fuel Level (Calc)",   ColourSource::DarkShadow),
}};
// clang-format on

const std::array<double, 25> kRpm1SampleValues = {
    8.0,   907.5, 977.5, 1032.5, 1062.5, 1085.0, 997.5, 1035.0, 1092.5, 985.0, 952.5, 892.5, 995.0,
    932.5, 962.5, 980.0, 917.5,  840.0,  915.0,  960.0, 965.0,  1025.0, 952.5, 940.0, 862.5};

std::optional<Channel> channelNamed(std::string_view name) {
    // Looked up per row when a database of flights is read: a table, made once.
    static const std::unordered_map<std::string_view, Channel> byName = [] {
        std::unordered_map<std::string_view, Channel> map;
        for (int c = 0; c < kChannelCount; ++c)
            map.emplace(kChannels[static_cast<std::size_t>(c)].name, static_cast<Channel>(c));
        return map;
    }();
    const auto it = byName.find(name);
    if (it == byName.end()) return std::nullopt;
    return it->second;
}

}  // namespace zp
