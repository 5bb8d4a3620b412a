// The settings record of the main window and its two mirrors in the user interface:
// the Units dialog's combo boxes (unit selectors) and the channel series' active flags.
#include <QDir>

#include "loading/channel_series.h"
#include "chart/chart_widget.h"
#include "app/main_window.h"
#include "settings/settings_file.h"
#include "settings/units_dialog.h"

namespace zp {

void TfrmMain::LoadSettings() {
    enterSettingsFolder();  // a failure here is ignored: the file is opened by its full path
    const QString path = QDir(settingsFolder()).filePath(QLatin1String(kSettingsFileName));
    if (!readSettingsFile(path, settings_)) {
        ResetSettings();
        return;
    }
    ApplySettings();
}

void TfrmMain::ResetSettings() {
    settings_ = defaultSettingsRecord();
    ApplySettings();
    SaveSettings();
}

void TfrmMain::ApplySettings() {
    if (units_) {
        for (int selector = 0; selector < kUnitSelectorCount; ++selector)
            units_->setSelection(static_cast<UnitSelector>(selector), settings_[selector]);
    }
    chart::Chart& chart = Chart1->chart();
    for (Channel channel : activeFlagOrder())
        channelSeries(chart, channel).active = isActive(settings_, channel);
    chart.invalidate();
}

void TfrmMain::captureSettings() {
    if (units_) {
        // The low byte of the item index: no selection (-1) is stored as 255.
        for (int selector = 0; selector < kUnitSelectorCount; ++selector)
            settings_[selector] = static_cast<std::uint8_t>(
                units_->selection(static_cast<UnitSelector>(selector)) & 0xFF);
    }
    chart::Chart& chart = Chart1->chart();
    for (Channel channel : activeFlagOrder())
        settings_[activeFlagOffset(channel)] = channelSeries(chart, channel).active ? 1 : 0;
}

void TfrmMain::SaveSettings() {
    // The record in memory follows the user interface even when the file cannot be written.
    captureSettings();
    enterSettingsFolder();
    // Failures are silent: the old file, if any, stays as it was.
    writeSettingsFile(settingsFolder(), settings_,
                      settingsIo_ ? *settingsIo_ : SettingsFileIo::standard());
}

}  // namespace zp
