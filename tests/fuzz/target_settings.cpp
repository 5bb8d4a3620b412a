// Any bytes as Settings.bin: read as at start-up, applied to the channel series and the
// Units dialog, used by every unit conversion, and written back.
#include <QFile>
#include <bit>
#include <cmath>
#include <limits>
#include <memory>

#include "channels/channel_units.h"
#include "settings/settings_file.h"
#include "settings/units_dialog.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/fuzz_targets.h"

namespace zp::fuzz {

int settingsTarget(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    const std::string_view bytes = in.rest();
    const QString path = writeScratchFile("Settings.bin", bytes);

    SettingsRecord record{};
    require(readSettingsFile(path, record), "Settings.bin opens");
    for (std::size_t i = 0; i < record.size(); ++i) {
        const std::uint8_t expected = i < bytes.size() ? std::uint8_t(bytes[i]) : 0;
        require(record[i] == expected, "the record holds the file's first 55 bytes");
    }

    chart::Chart chart;
    setUpChart(chart, record);

    // The Units dialog shows a code beyond its items as no selection.
    static const auto dialog = std::make_unique<UnitsDialog>();
    for (int s = 0; s < kUnitSelectorCount; ++s) {
        const auto selector = static_cast<UnitSelector>(s);
        dialog->setSelection(selector, record[std::size_t(s)]);
        const int shown = dialog->selection(selector);
        require(shown == record[std::size_t(s)] || shown == -1, "a unit code shows as itself");
        require(std::uint8_t(shown & 0xFF) == record[std::size_t(s)] || shown == -1,
                "a shown unit saves as its code");
    }

    static const float values[] = {0.0f,
                                   -0.0f,
                                   1.0f,
                                   -40.0f,
                                   std::numeric_limits<float>::max(),
                                   -std::numeric_limits<float>::max(),
                                   std::numeric_limits<float>::denorm_min(),
                                   std::numeric_limits<float>::infinity(),
                                   std::numeric_limits<float>::quiet_NaN()};
    const UnitSelectors units = unitSelectorsOf(record);
    for (int s = 0; s < kUnitSelectorCount; ++s) {
        const auto selector = static_cast<UnitSelector>(s);
        for (const std::uint8_t code : units) {
            const bool listed = code < displayUnits(selector).size();
            for (const float value : values) {
                const float shown = toShownUnit(selector, code, value);
                require(!std::isnan(shown) || std::isnan(value), "a conversion makes no NaN");
                require(listed || std::bit_cast<std::uint32_t>(shown) ==
                                      std::bit_cast<std::uint32_t>(value),
                        "a code the selector does not list keeps the value as recorded");
            }
        }
    }

    // The record written back reads back the same.
    require(writeSettingsFile(scratchFolder(), record), "Settings.bin written");
    SettingsRecord again;
    again.fill(0xEE);
    require(readSettingsFile(path, again) && again == record, "Settings.bin round trip");
    QFile::remove(path);
    return 0;
}

}  // namespace zp::fuzz
