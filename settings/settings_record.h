// The 55-byte settings record: the fourteen unit selectors (bytes 0 to 13) and the
// active flags of the 41 channel series (bytes 14 to 54). The byte of a channel's flag
// does not follow chart order, so it is looked up here.
#pragma once

#include <array>
#include <cstdint>

#include "channels/catalogue.h"
#include "channels/unit_selectors.h"

namespace zp {

inline constexpr int kSettingsRecordSize = 55;
using SettingsRecord = std::array<std::uint8_t, kSettingsRecordSize>;

// Byte offset of a channel's active flag in the record.
int activeFlagOffset(Channel channel);

// The channels in the order their active flags are applied and saved: bytes 14 to 41,
// then 43 to 54, and last FuelLevelCalcSeries (byte 42).
const std::array<Channel, kChannelCount>& activeFlagOrder();

// Fourteen zero unit bytes followed by 41 active flags of 1.
SettingsRecord defaultSettingsRecord();

UnitSelectors unitSelectorsOf(const SettingsRecord& record);
inline bool isActive(const SettingsRecord& record, Channel channel) {
    return record[activeFlagOffset(channel)] != 0;
}

}  // namespace zp
