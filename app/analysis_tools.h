// The Analysis menu: the report of the last load, statistics of the active series over
// the visible time or between the measurement cursors, the cursors' readout in the
// status bar, per-channel limits (kept in the per-user viewer.ini) and the runs of
// readings beyond them.
#pragma once

#include <QDialog>
#include <QObject>
#include <QString>
#include <QWidget>
#include <array>
#include <map>
#include <optional>
#include <vector>

#include "channels/catalogue.h"
#include "channels/unit_selectors.h"
#include "loading/loaded_log.h"

class QLabel;
class QMenu;
class QPlainTextEdit;
class QSpinBox;
class QStatusBar;
class QTableWidget;

namespace zp {

namespace chart {
class ChartWidget;
}
class Dialogs;
class EngineTools;

// A channel's limits as entered, with the unit code they were entered under, so that
// they stay exact while that unit is shown and follow a change of unit.
struct ChannelLimits {
    std::optional<double> lower;
    std::optional<double> upper;
    std::uint8_t code = 0;
    bool empty() const { return !lower && !upper; }
};
using LimitTable = std::array<ChannelLimits, kChannelCount>;
// The limits of the derived series of the engine profile, by series name; the unit code
// is that of the thermocouples' temperature unit.
using DerivedLimitTable = std::map<QString, ChannelLimits>;

// Derived limits as kept in the ini file (group "derivedLimits"), and in the unit of
// `code` (a spread or rate converts by scale alone).
DerivedLimitTable readDerivedLimits(const QString& iniPath);
void writeDerivedLimits(const QString& iniPath, const DerivedLimitTable& limits);
ChannelLimits derivedLimitsInUnit(const ChannelLimits& limits, std::uint8_t code);

// The limits of `channel` in the display unit of `code`.
ChannelLimits limitsInUnit(int channel, const ChannelLimits& limits, std::uint8_t code);
// The unit code the channel is shown in under `units` (0 for channels shown as recorded).
std::uint8_t unitCodeOf(int channel, const UnitSelectors& units);
// The name of the unit the channel is shown in, or empty when it has no unit choice.
QString unitNameOf(int channel, const UnitSelectors& units);

// Reads and writes the limit table in an ini file (group "limits"); no file: nothing kept.
LimitTable readLimits(const QString& iniPath);
void writeLimits(const QString& iniPath, const LimitTable& limits);

// The window of Analysis > Log Report: the counts of the last load as selectable text.
class LogReportWindow : public QWidget {
    Q_OBJECT
  public:
    explicit LogReportWindow(QWidget* parent = nullptr);
    // `size`: the file's size when it was read; `stopReason`: the message of a load that
    // stopped before the end of the file.
    void setReport(const QString& path, qint64 size, const LogReport& report,
                   const QString& stopReason);
    QString text() const;

  private:
    QPlainTextEdit* text_;
};

// The window of Analysis > Statistics: one row per active series of the loaded log
// (those with a legend item), in the units it was loaded in.
class StatisticsWindow : public QWidget {
    Q_OBJECT
  public:
    StatisticsWindow(chart::ChartWidget& chart, const LoadedLog& log, QWidget* parent = nullptr);
    QTableWidget& table() const { return *table_; }
    QLabel& rangeLabel() const { return *range_; }
    // Fills the table for the range the chart shows now.
    void refresh();
    QString tabText() const;

    // The measurement cursors' readout in full (the status bar shows it shortened when
    // it does not fit); hidden when empty.
    void setCursorReadout(const QString& text);
    QLabel& cursorReadoutLabel() const { return *readout_; }

  private:
    chart::ChartWidget& chart_;
    const LoadedLog& log_;
    QTableWidget* table_;
    QLabel* range_;
    QLabel* readout_;
};

// The window of Analysis > Exceedances: the runs beyond the limits of the active series,
// with their limits in the unit shown. Two settings tidy the runs of a noisy series:
// runs closer together than a number of seconds are joined, then runs shorter than a
// number of seconds are hidden (0 and 0 at first: every run as it is).
class ExceedancesWindow : public QWidget {
    Q_OBJECT
  public:
    ExceedancesWindow(chart::ChartWidget& chart, const LoadedLog& log, QWidget* parent = nullptr);
    QTableWidget& table() const { return *table_; }
    QSpinBox& joinRunsBox() const { return *join_; }
    QSpinBox& hideRunsBox() const { return *hide_; }
    void refresh();
    // Zooms the chart to the run of `row` with a small margin, as one view step.
    void zoomToRow(int row);

  private:
    chart::ChartWidget& chart_;
    const LoadedLog& log_;
    QTableWidget* table_;
    QSpinBox* join_;
    QSpinBox* hide_;
    std::vector<std::pair<double, double>> runs_;
};

// The dialog of Analysis > Set Limits: lower and upper limit per channel in the unit
// shown now; an empty cell is no limit.
class LimitsDialog : public QDialog {
    Q_OBJECT
  public:
    explicit LimitsDialog(QWidget* parent = nullptr);
    QTableWidget& table() const { return *table_; }
    // `chart`'s derived series get rows after the channels', with `derived` limits.
    void load(const LimitTable& limits, const UnitSelectors& units,
              const chart::Chart* chart = nullptr, const DerivedLimitTable& derived = {});
    // The limits the cells hold, with the unit codes of `units`.
    LimitTable entered(const UnitSelectors& units) const;
    // Those of the derived series' rows, by name.
    DerivedLimitTable derivedEntered(const UnitSelectors& units) const;

  private:
    QTableWidget* table_;
    std::vector<QString> derivedNames_;
};

class AnalysisTools : public QObject {
    Q_OBJECT
  public:
    // `log` is the loaded log as the main window keeps it, and must outlive the tools;
    // `iniPath` the per-user viewer.ini (empty: limits are not kept).
    AnalysisTools(chart::ChartWidget& chart, Dialogs& dialogs, const LoadedLog& log,
                  QString iniPath, QStatusBar& statusBar, QWidget* window);

    void addMenuEntries(QMenu& menu);
    // Every load ends here: the loaded log's report is shown, the cursors go, the
    // limits are applied.
    void loadEnded();
    // Shows the limits on the series in the units of the loaded data.
    void applyLimits();
    // The units the chart's data is in: those of the loaded log.
    const UnitSelectors& shownUnits() const { return log_.units; }

    LogReportWindow& logReportWindow() { return *logReport_; }
    StatisticsWindow& statisticsWindow() { return *statistics_; }
    ExceedancesWindow& exceedancesWindow() { return *exceedances_; }
    LimitsDialog& limitsDialog() { return *limitsDialog_; }
    const LimitTable& limits() const { return limits_; }
    void setLimits(const LimitTable& limits);
    const DerivedLimitTable& derivedLimits() const { return derivedLimits_; }
    void setDerivedLimits(const DerivedLimitTable& limits);
    // The engine tools, for the hottest cylinder in the readout and the derived series'
    // limits.
    void setEngineTools(EngineTools* engine);

    // The readout of the placed cursors (value at A and B per active series, their
    // difference, the time between them); empty without cursors. Values read as the
    // value axis labels them, and the time between the cursors is that of the times
    // their labels show.
    QString cursorReadout() const;
    void placeCursorAtCentre(bool b);

  private:
    void updateReadout();

    chart::ChartWidget& chart_;
    Dialogs& dialogs_;
    const LoadedLog& log_;
    QString iniPath_;
    QStatusBar& statusBar_;
    LimitTable limits_{};
    DerivedLimitTable derivedLimits_;
    EngineTools* engine_ = nullptr;
    LogReportWindow* logReport_;
    StatisticsWindow* statistics_;
    ExceedancesWindow* exceedances_;
    LimitsDialog* limitsDialog_;
};

}  // namespace zp
