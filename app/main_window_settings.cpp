// The settings record of the main window and its two mirrors in the user interface:
// the Units dialog's combo boxes (unit selectors) and the channel series' active flags.
#include "app/main_window.h"
#include "chart/chart_widget.h"
#include "loading/channel_series.h"
#include "settings/settings_store.h"
#include "settings/units_dialog.h"

namespace zp {

void MainWindow::loadSettings() {
    store_.enterFolder();  // a failure here is ignored: the file is opened by its full path
    if (!store_.read(settings_)) {
        resetSettings();
        return;
    }
    applySettings();
}

void MainWindow::resetSettings() {
    settings_ = defaultSettingsRecord();
    applySettings();
    saveSettings();
}

void MainWindow::applySettings() {
    if (units_) {
        for (int selector = 0; selector < kUnitSelectorCount; ++selector)
            units_->setSelection(static_cast<UnitSelector>(selector), settings_[selector]);
    }
    chart::Chart& chart = chart_->chart();
    for (Channel channel : activeFlagOrder())
        channelSeries(chart, channel).active = isActive(settings_, channel);
    chart.invalidate();
    followSettingsUnits();
}

void MainWindow::followSettingsUnits() {
    if (!loaded_.loaded()) loaded_.units = unitSelectorsOf(settings_);
}

void MainWindow::captureSettings() {
    if (units_) {
        // The low byte of the item index: no selection (-1) is stored as 255.
        for (int selector = 0; selector < kUnitSelectorCount; ++selector)
            settings_[selector] = static_cast<std::uint8_t>(
                units_->selection(static_cast<UnitSelector>(selector)) & 0xFF);
    }
    chart::Chart& chart = chart_->chart();
    for (Channel channel : activeFlagOrder())
        settings_[activeFlagOffset(channel)] = channelSeries(chart, channel).active ? 1 : 0;
}

void MainWindow::saveSettings() {
    // The record in memory follows the user interface even when the file cannot be written.
    captureSettings();
    followSettingsUnits();
    store_.enterFolder();
    // Failures are silent: the old file, if any, stays as it was.
    store_.write(settings_);
}

}  // namespace zp
