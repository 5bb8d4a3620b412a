#include "settings/settings_record.h"

namespace zp {

namespace {
// clang-format off
// Channel of each active-flag byte, from byte 14 to byte 54.
constexpr std::array<Channel, kChannelCount> kChannelOfByte = {
    VoltsSeries, RPM1Series, RPM1PSeries, RPM2Series, RPM2PSeries,             // 14-18
    Analog1Series, Analog2Series, Analog3Series, Analog4Series,                // 19-22
    MAPSeries, CurrentSeries, CJCSeries,                                       // 23-25
    TC1Series, TC2Series, TC3Series, TC4Series, TC5Series, TC6Series,          // 26-31
    TC7Series, TC8Series, TC9Series, TC10Series, TC11Series, TC12Series,       // 32-37
    FuelFlow1Series, FuelFlow2Series, FuelLevel1Series, FuelLevel2Series,      // 38-41
    FuelLevelCalcSeries, FuelPressureSeries, OATSeries, AirspeedSeries,        // 42-45
    Altitude1013Series, AltitudeSeries, QNHSeries, VSISeries,                  // 46-49
    GForceSeries, BankSeries, PitchSeries, YawSeries, HeadingSeries,           // 50-54
};
// clang-format on
constexpr int kFirstFlagByte = 14;
constexpr int kFuelLevelCalcByte = 42;

constexpr std::array<int, kChannelCount> makeOffsets() {
    std::array<int, kChannelCount> offsets{};
    for (int i = 0; i < kChannelCount; ++i) offsets[kChannelOfByte[i]] = kFirstFlagByte + i;
    return offsets;
}
constexpr std::array<int, kChannelCount> kOffsets = makeOffsets();

constexpr std::array<Channel, kChannelCount> makeApplyOrder() {
    std::array<Channel, kChannelCount> order{};
    int n = 0;
    for (int i = 0; i < kChannelCount; ++i)
        if (kFirstFlagByte + i != kFuelLevelCalcByte) order[n++] = kChannelOfByte[i];
    order[n] = FuelLevelCalcSeries;
    return order;
}
constexpr std::array<Channel, kChannelCount> kApplyOrder = makeApplyOrder();
}  // namespace

int activeFlagOffset(Channel channel) { return kOffsets[channel]; }

const std::array<Channel, kChannelCount>& activeFlagOrder() { return kApplyOrder; }

SettingsRecord defaultSettingsRecord() {
    SettingsRecord record{};
    for (int i = kUnitSelectorCount; i < kSettingsRecordSize; ++i) record[i] = 1;
    return record;
}

UnitSelectors unitSelectorsOf(const SettingsRecord& record) {
    UnitSelectors units{};
    for (int i = 0; i < kUnitSelectorCount; ++i) units[i] = record[i];
    return units;
}

}  // namespace zp
