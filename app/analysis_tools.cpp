#include "app/analysis_tools.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <utility>

#include "analysis/cursor_values.h"
#include "analysis/derived_channels.h"
#include "analysis/exceedance_runs.h"
#include "analysis/series_analysis.h"
#include "app/dialogs.h"
#include "app/engine_tools.h"
#include "channels/channel_units.h"
#include "chart/chart_render.h"
#include "chart/chart_widget.h"
#include "import/record_models.h"
#include "loading/overlay_log.h"

namespace zp {

namespace {

// What the status bar keeps free of the message: its margins and its size grip.
constexpr int kStatusBarMargins = 32;

QString timeText(double x) {
    return chart::cursorTimeText(x);
}

QString number(double v) {
    return QString::number(v, 'g', 7);
}

QTableWidgetItem* cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

// A window of its own, kept over the main window, with Copy and Close buttons under
// `body`; Escape closes it too. Returns the Copy button.
QPushButton* frameWindow(QWidget& window, const char* name, const QString& title, QWidget* body) {
    window.setObjectName(QLatin1String(name));
    window.setWindowTitle(title);
    window.setWindowFlag(Qt::Window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(body);
    auto* copy = new QPushButton(QStringLiteral("&Copy"), &window);
    copy->setObjectName(QStringLiteral("copyButton"));
    auto* close = new QPushButton(QStringLiteral("Close"), &window);
    close->setObjectName(QStringLiteral("closeButton"));
    QObject::connect(close, &QPushButton::clicked, &window, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
    QObject::connect(escape, &QShortcut::activated, &window, &QWidget::close);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(copy);
    row->addWidget(close);
    layout->addLayout(row);
    window.resize(620, 380);
    return copy;
}

QString tableText(const QTableWidget& table) {
    QStringList lines;
    QStringList header;
    for (int c = 0; c < table.columnCount(); ++c) header << table.horizontalHeaderItem(c)->text();
    lines << header.join(QLatin1Char('\t'));
    for (int r = 0; r < table.rowCount(); ++r) {
        QStringList fields;
        for (int c = 0; c < table.columnCount(); ++c)
            fields << (table.item(r, c) ? table.item(r, c)->text() : QString());
        lines << fields.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

}  // namespace

// [SECTION] Limits

std::uint8_t unitCodeOf(int channel, const UnitSelectors& units) {
    const std::optional<UnitSelector> selector = unitSelectorOf(static_cast<Channel>(channel));
    return selector ? units[*selector] : 0;
}

QString unitNameOf(int channel, const UnitSelectors& units) {
    return QString::fromUtf8(unitText(static_cast<Channel>(channel), units));
}

ChannelLimits limitsInUnit(int channel, const ChannelLimits& limits, std::uint8_t code) {
    if (limits.code == code) return limits;
    const std::optional<UnitSelector> selector = unitSelectorOf(static_cast<Channel>(channel));
    ChannelLimits out;
    out.code = code;
    const auto convert = [&](std::optional<double> v) -> std::optional<double> {
        if (!v || !selector) return v;
        const double recorded = toRecordedUnit(*selector, limits.code, *v);
        return static_cast<double>(toShownUnit(*selector, code, static_cast<float>(recorded)));
    };
    out.lower = convert(limits.lower);
    out.upper = convert(limits.upper);
    return out;
}

LimitTable readLimits(const QString& iniPath) {
    LimitTable table{};
    if (iniPath.isEmpty()) return table;
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("limits"));
    for (int c = 0; c < kChannelCount; ++c) {
        const QString key = QLatin1String(kChannels[c].name);
        bool ok = false;
        const double lower = ini.value(key + QStringLiteral("/lower")).toDouble(&ok);
        if (ok) table[c].lower = lower;
        const double upper = ini.value(key + QStringLiteral("/upper")).toDouble(&ok);
        if (ok) table[c].upper = upper;
        table[c].code =
            static_cast<std::uint8_t>(ini.value(key + QStringLiteral("/unit")).toUInt());
    }
    return table;
}

void writeLimits(const QString& iniPath, const LimitTable& limits) {
    if (iniPath.isEmpty()) return;
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.remove(QStringLiteral("limits"));
    ini.beginGroup(QStringLiteral("limits"));
    for (int c = 0; c < kChannelCount; ++c) {
        const ChannelLimits& l = limits[c];
        if (l.empty()) continue;
        const QString key = QLatin1String(kChannels[c].name);
        // Written with every digit, so a value read back is the value entered.
        if (l.lower)
            ini.setValue(key + QStringLiteral("/lower"), QString::number(*l.lower, 'g', 17));
        if (l.upper)
            ini.setValue(key + QStringLiteral("/upper"), QString::number(*l.upper, 'g', 17));
        ini.setValue(key + QStringLiteral("/unit"), l.code);
    }
}

DerivedLimitTable readDerivedLimits(const QString& iniPath) {
    DerivedLimitTable table;
    if (iniPath.isEmpty()) return table;
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("derivedLimits"));
    for (const QString& name : ini.childGroups()) {
        if (!analysis::isDerivedSeriesName(name)) continue;
        ChannelLimits l;
        bool ok = false;
        const double lower = ini.value(name + QStringLiteral("/lower")).toDouble(&ok);
        if (ok) l.lower = lower;
        const double upper = ini.value(name + QStringLiteral("/upper")).toDouble(&ok);
        if (ok) l.upper = upper;
        l.code = static_cast<std::uint8_t>(ini.value(name + QStringLiteral("/unit")).toUInt());
        if (!l.empty()) table[name] = l;
    }
    return table;
}

void writeDerivedLimits(const QString& iniPath, const DerivedLimitTable& limits) {
    if (iniPath.isEmpty()) return;
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.remove(QStringLiteral("derivedLimits"));
    ini.beginGroup(QStringLiteral("derivedLimits"));
    for (const auto& [name, l] : limits) {
        if (l.empty()) continue;
        if (l.lower)
            ini.setValue(name + QStringLiteral("/lower"), QString::number(*l.lower, 'g', 17));
        if (l.upper)
            ini.setValue(name + QStringLiteral("/upper"), QString::number(*l.upper, 'g', 17));
        ini.setValue(name + QStringLiteral("/unit"), l.code);
    }
}

ChannelLimits derivedLimitsInUnit(const ChannelLimits& limits, std::uint8_t code) {
    if (limits.code == code) return limits;
    // A difference of temperatures converts by the unit's scale alone.
    const auto scale = [](std::uint8_t c) {
        const std::optional<UnitSelector> selector = unitSelectorOf(TC1Series);
        if (!selector) return 1.0;
        return static_cast<double>(toShownUnit(*selector, c, 100.0f)) -
               static_cast<double>(toShownUnit(*selector, c, 0.0f));
    };
    const double factor = scale(code) / scale(limits.code);
    ChannelLimits out;
    out.code = code;
    if (limits.lower) out.lower = *limits.lower * factor;
    if (limits.upper) out.upper = *limits.upper * factor;
    return out;
}

LimitsDialog::LimitsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("limitsDialog"));
    setWindowTitle(QStringLiteral("Limits"));
    table_ = new QTableWidget(kChannelCount, 4, this);
    table_->setObjectName(QStringLiteral("limitsTable"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Channel"), QStringLiteral("Unit"),
                                       QStringLiteral("Lower"), QStringLiteral("Upper")});
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel(
        QStringLiteral("Limits in the units shown now; leave a cell empty for no limit."), this);
    layout->addWidget(note);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    resize(460, 520);
}

void LimitsDialog::load(const LimitTable& limits, const UnitSelectors& units,
                        const chart::Chart* chart, const DerivedLimitTable& derived) {
    derivedNames_.clear();
    table_->setRowCount(kChannelCount);
    if (chart) {
        for (std::size_t i = 0; i < chart->series.size(); ++i) {
            const chart::LineSeries& series = chart->series[i];
            if (!analysis::isDerivedSeriesName(series.name)) continue;
            const int row = table_->rowCount();
            table_->insertRow(row);
            derivedNames_.push_back(series.name);
            const auto found = derived.find(series.name);
            const ChannelLimits shown =
                found == derived.end()
                    ? ChannelLimits{}
                    : derivedLimitsInUnit(found->second, unitCodeOf(TC1Series, units));
            table_->setItem(row, 0, cell(series.title));
            table_->setItem(row, 1, cell(seriesUnitText(*chart, i, units)));
            table_->setItem(row, 2,
                            new QTableWidgetItem(shown.lower ? number(*shown.lower) : QString()));
            table_->setItem(row, 3,
                            new QTableWidgetItem(shown.upper ? number(*shown.upper) : QString()));
        }
    }
    for (int c = 0; c < kChannelCount; ++c) {
        const ChannelLimits shown = limitsInUnit(c, limits[c], unitCodeOf(c, units));
        table_->setItem(c, 0, cell(QLatin1String(kChannels[c].title)));
        table_->setItem(c, 1, cell(unitNameOf(c, units)));
        table_->setItem(c, 2, new QTableWidgetItem(shown.lower ? number(*shown.lower) : QString()));
        table_->setItem(c, 3, new QTableWidgetItem(shown.upper ? number(*shown.upper) : QString()));
    }
}

LimitTable LimitsDialog::entered(const UnitSelectors& units) const {
    LimitTable table{};
    for (int c = 0; c < kChannelCount; ++c) {
        table[c].code = unitCodeOf(c, units);
        const auto read = [&](int column) -> std::optional<double> {
            const QTableWidgetItem* item = table_->item(c, column);
            bool ok = false;
            const double v = item ? item->text().trimmed().toDouble(&ok) : 0.0;
            if (!ok || !std::isfinite(v)) return std::nullopt;
            return v;
        };
        table[c].lower = read(2);
        table[c].upper = read(3);
    }
    return table;
}

DerivedLimitTable LimitsDialog::derivedEntered(const UnitSelectors& units) const {
    DerivedLimitTable table;
    for (std::size_t k = 0; k < derivedNames_.size(); ++k) {
        const int row = kChannelCount + static_cast<int>(k);
        ChannelLimits l;
        l.code = unitCodeOf(TC1Series, units);
        const auto read = [&](int column) -> std::optional<double> {
            const QTableWidgetItem* item = table_->item(row, column);
            bool ok = false;
            const double v = item ? item->text().trimmed().toDouble(&ok) : 0.0;
            if (!ok || !std::isfinite(v)) return std::nullopt;
            return v;
        };
        l.lower = read(2);
        l.upper = read(3);
        if (!l.empty()) table[derivedNames_[k]] = l;
    }
    return table;
}

// [SECTION] Log report

LogReportWindow::LogReportWindow(QWidget* parent) : QWidget(parent) {
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("logReportText"));
    text_->setReadOnly(true);
    text_->setPlainText(QStringLiteral("No log loaded."));
    QPushButton* copy = frameWindow(*this, "logReportWindow", QStringLiteral("Log Report"), text_);
    connect(copy, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(text()); });
}

QString LogReportWindow::text() const {
    return text_->toPlainText();
}

void LogReportWindow::setReport(const QString& path, qint64 size, const LogReport& r,
                                const QString& stopReason) {
    const QFileInfo file(path);
    QStringList lines;
    lines << QStringLiteral("File: %1").arg(QDir::toNativeSeparators(file.absoluteFilePath()));
    lines << QStringLiteral("File size: %1 bytes").arg(size);
    lines << QStringLiteral("Time span: %1 - %2")
                 .arg(r.firstTime.value_or(QStringLiteral("none")),
                      r.lastTime.value_or(QStringLiteral("none")));
    lines << QStringLiteral("Lines: %1").arg(r.lines);
    for (int id = 1; id <= kModelCount; ++id) {
        if (r.records[id] == 0) continue;
        const RecordModel* model = recordModel(id);
        lines << QStringLiteral("Records of model %1 (%2): %3")
                     .arg(id)
                     .arg(model ? QLatin1String(model->displayName) : QLatin1String("?"))
                     .arg(r.records[id]);
    }
    lines << QStringLiteral("Unknown lines: %1").arg(r.unknownLines);
    lines << QStringLiteral("Incomplete records: %1").arg(r.incompleteRecords);
    lines << QStringLiteral("Data steps: %1").arg(r.dataSteps);
    lines << QStringLiteral("Gap fills: %1").arg(r.gapFills);
    lines << QStringLiteral("Filled seconds: %1").arg(r.filledSeconds);
    lines << QStringLiteral("Longest gap: %1 s").arg(r.longestGap);
    lines << QStringLiteral("Records whose time went back: %1").arg(r.timeWentBack);
    if (r.stoppedAtLine)
        lines << QStringLiteral("Stopped at line %1: %2").arg(*r.stoppedAtLine).arg(stopReason);
    else
        lines << QStringLiteral("Read to the end of the file");
    text_->setPlainText(lines.join(QLatin1Char('\n')));
}

// [SECTION] Statistics

StatisticsWindow::StatisticsWindow(chart::ChartWidget& chart, const LoadedLog& log, QWidget* parent)
    : QWidget(parent), chart_(chart), log_(log) {
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    range_ = new QLabel(body);
    range_->setObjectName(QStringLiteral("statisticsRange"));
    readout_ = new QLabel(body);
    readout_->setObjectName(QStringLiteral("cursorReadout"));
    readout_->setWordWrap(true);
    readout_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    readout_->hide();
    table_ = new QTableWidget(0, 9, body);
    table_->setObjectName(QStringLiteral("statisticsTable"));
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Colour"), QStringLiteral("Series"), QStringLiteral("Unit"),
         QStringLiteral("Readings"), QStringLiteral("Minimum"), QStringLiteral("At"),
         QStringLiteral("Maximum"), QStringLiteral("At"), QStringLiteral("Mean")});
    table_->verticalHeader()->hide();
    layout->addWidget(range_);
    layout->addWidget(readout_);
    layout->addWidget(table_);
    QPushButton* copy = frameWindow(*this, "statisticsWindow", QStringLiteral("Statistics"), body);
    resize(720, 380);
    connect(copy, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(tabText()); });
    // Follows every repaint (zoom, scroll, toggles, loads) and the cursors while shown.
    connect(&chart_, &chart::ChartWidget::repainted, this, [this] {
        if (isVisible()) refresh();
    });
    connect(&chart_, &chart::ChartWidget::cursorsChanged, this, [this] {
        if (isVisible()) refresh();
    });
}

void StatisticsWindow::refresh() {
    const chart::Chart& c = chart_.chart();
    analysis::XRange range;
    if (c.cursorA && c.cursorB) {
        range = {std::min(*c.cursorA, *c.cursorB), std::max(*c.cursorA, *c.cursorB)};
        range_->setText(QStringLiteral("Between the cursors: %1 - %2")
                            .arg(timeText(range.from), timeText(range.to)));
    } else {
        range = {chart_.layout().bottom.minimum(), chart_.layout().bottom.maximum()};
        range_->setText(
            QStringLiteral("Visible time: %1 - %2").arg(timeText(range.from), timeText(range.to)));
    }
    const UnitSelectors& units = log_.units;
    table_->setRowCount(0);
    std::vector<std::size_t> shown;
    std::vector<const chart::PointList*> lists;
    for (std::size_t i = 0; i < c.series.size(); ++i) {
        if (!c.series[i].active || !c.series[i].showInLegend) continue;
        shown.push_back(i);
        lists.push_back(&c.series[i].points);
    }
    const std::vector<std::optional<analysis::SeriesStats>> allStats =
        analysis::seriesStatsOfEach(lists, range);
    for (std::size_t k = 0; k < shown.size(); ++k) {
        const std::size_t i = shown[k];
        const chart::LineSeries& series = c.series[i];
        const int row = table_->rowCount();
        table_->insertRow(row);
        QPixmap swatch(12, 12);
        swatch.fill(series.color);
        QTableWidgetItem* colour = cell(series.color.name());  // "#rrggbb" in a copy
        colour->setIcon(QIcon(swatch));
        table_->setItem(row, 0, colour);
        table_->setItem(row, 1, cell(series.title));
        table_->setItem(row, 2, cell(seriesUnitText(c, i, units)));
        const std::optional<analysis::SeriesStats>& stats = allStats[k];
        table_->setItem(row, 3, cell(QString::number(stats ? stats->count : 0)));
        if (!stats) continue;
        table_->setItem(row, 4, cell(number(stats->minimum)));
        table_->setItem(row, 5, cell(timeText(stats->minimumX)));
        table_->setItem(row, 6, cell(number(stats->maximum)));
        table_->setItem(row, 7, cell(timeText(stats->maximumX)));
        table_->setItem(row, 8, cell(number(stats->mean)));
    }
    table_->resizeColumnsToContents();
}

QString StatisticsWindow::tabText() const {
    QString text = range_->text() + QLatin1Char('\n');
    if (!readout_->text().isEmpty()) text += readout_->text() + QLatin1Char('\n');
    return text + tableText(*table_);
}

void StatisticsWindow::setCursorReadout(const QString& text) {
    readout_->setText(text);
    readout_->setVisible(!text.isEmpty());
}

// [SECTION] Exceedances

ExceedancesWindow::ExceedancesWindow(chart::ChartWidget& chart, const LoadedLog& log,
                                     QWidget* parent)
    : QWidget(parent), chart_(chart), log_(log) {
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    const auto secondsBox = [body](const char* name, const QString& hint) {
        auto* box = new QSpinBox(body);
        box->setObjectName(QLatin1String(name));
        box->setRange(0, 86400);
        box->setSuffix(QStringLiteral(" s"));
        box->setToolTip(hint);
        return box;
    };
    join_ = secondsBox("joinRunsBox",
                       QStringLiteral("Runs of one series beyond the same limit with less than "
                                      "this between them are one run (0: none are joined)"));
    hide_ = secondsBox("hideRunsBox",
                       QStringLiteral("Runs shorter than this, after joining, are left out "
                                      "(0: none are)"));
    auto* settings = new QHBoxLayout;
    auto* joinLabel = new QLabel(QStringLiteral("&Join runs closer than"), body);
    joinLabel->setBuddy(join_);
    auto* hideLabel = new QLabel(QStringLiteral("&Hide runs shorter than"), body);
    hideLabel->setBuddy(hide_);
    settings->addWidget(joinLabel);
    settings->addWidget(join_);
    settings->addSpacing(16);
    settings->addWidget(hideLabel);
    settings->addWidget(hide_);
    settings->addStretch();
    layout->addLayout(settings);
    table_ = new QTableWidget(0, 6, body);
    layout->addWidget(table_);
    table_->setObjectName(QStringLiteral("exceedancesTable"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Series"), QStringLiteral("Limit"),
                                       QStringLiteral("Start"), QStringLiteral("End"),
                                       QStringLiteral("Duration"), QStringLiteral("Peak")});
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setToolTip(QStringLiteral("Double-click a row to zoom the chart to it"));
    QPushButton* copy =
        frameWindow(*this, "exceedancesWindow", QStringLiteral("Exceedances"), body);
    connect(copy, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(tableText(*table_)); });
    connect(table_, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { zoomToRow(row); });
    connect(join_, &QSpinBox::valueChanged, this, &ExceedancesWindow::refresh);
    connect(hide_, &QSpinBox::valueChanged, this, &ExceedancesWindow::refresh);
}

void ExceedancesWindow::refresh() {
    table_->setRowCount(0);
    runs_.clear();
    const UnitSelectors& units = log_.units;
    const analysis::RunTidying tidying{double(join_->value()), double(hide_->value())};
    const std::vector<chart::LineSeries>& all = chart_.chart().series;
    std::vector<std::size_t> limited;
    std::vector<const chart::PointList*> lists;
    std::vector<analysis::Limits> allLimits;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const chart::LineSeries& series = all[i];
        if (!series.active || (!series.lowerLimit && !series.upperLimit)) continue;
        analysis::Limits limits;
        if (series.lowerLimit) limits.low = *series.lowerLimit;
        if (series.upperLimit) limits.high = *series.upperLimit;
        limited.push_back(i);
        lists.push_back(&series.points);
        allLimits.push_back(limits);
    }
    const std::vector<std::vector<analysis::Exceedance>> allRuns =
        analysis::exceedancesOfEach(lists, allLimits);
    for (std::size_t k = 0; k < limited.size(); ++k) {
        const std::size_t i = limited[k];
        const chart::LineSeries& series = all[i];
        const analysis::Limits& limits = allLimits[k];
        QString unit = seriesUnitText(chart_.chart(), i, units);
        if (!unit.isEmpty()) unit.prepend(QLatin1Char(' '));
        for (const analysis::Exceedance& run : analysis::tidyRuns(allRuns[k], tidying)) {
            const int row = table_->rowCount();
            table_->insertRow(row);
            table_->setItem(row, 0, cell(series.title));
            const bool high = run.side == analysis::ExceedSide::High;
            table_->setItem(
                row, 1,
                cell(high ? QStringLiteral("above %1%2").arg(number(limits.high), unit)
                          : QStringLiteral("below %1%2").arg(number(limits.low), unit)));
            table_->setItem(row, 2, cell(timeText(run.startX)));
            table_->setItem(row, 3, cell(timeText(run.endX)));
            // Date-time X values count in days.
            const long long seconds = std::llround((run.endX - run.startX) * 86400.0);
            table_->setItem(row, 4, cell(QStringLiteral("%1 s").arg(seconds)));
            table_->setItem(row, 5, cell(number(run.peak)));
            runs_.emplace_back(run.startX, run.endX);
        }
    }
    table_->resizeColumnsToContents();
}

void ExceedancesWindow::zoomToRow(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= runs_.size()) return;
    const auto [start, end] = runs_[static_cast<std::size_t>(row)];
    // A margin of a tenth of the run on each side, and at least one second.
    const double margin = std::max((end - start) * 0.1, 1.0 / 86400.0);
    chart_.zoomScroll().showTimeRange(start - margin, end + margin, chart_.layout());
}

// [SECTION] The menu and the cursor readout

AnalysisTools::AnalysisTools(chart::ChartWidget& chart, Dialogs& dialogs, const LoadedLog& log,
                             QString iniPath, QStatusBar& statusBar, QWidget* window)
    : QObject(window),
      chart_(chart),
      dialogs_(dialogs),
      log_(log),
      iniPath_(std::move(iniPath)),
      statusBar_(statusBar),
      limits_(readLimits(iniPath_)),
      derivedLimits_(readDerivedLimits(iniPath_)) {
    logReport_ = new LogReportWindow(window);
    statistics_ = new StatisticsWindow(chart, log_, window);
    exceedances_ = new ExceedancesWindow(chart, log_, window);
    limitsDialog_ = new LimitsDialog(window);
    connect(limitsDialog_, &QDialog::accepted, this, [this] {
        derivedLimits_ = limitsDialog_->derivedEntered(shownUnits());
        writeDerivedLimits(iniPath_, derivedLimits_);
        setLimits(limitsDialog_->entered(shownUnits()));
    });
    connect(&chart_, &chart::ChartWidget::cursorsChanged, this, &AnalysisTools::updateReadout);
    connect(&chart_, &chart::ChartWidget::repainted, this, &AnalysisTools::updateReadout);
    connect(&chart_, &chart::ChartWidget::seriesToggled, this, [this] {
        if (exceedances_->isVisible()) exceedances_->refresh();
    });
    // While cursor A is placed, + and - zoom around it.
    chart_.setZoomCentre([this] { return chart_.chart().cursorA; });
    applyLimits();
}

void AnalysisTools::addMenuEntries(QMenu& menu) {
    const auto add = [&](const QString& text, const char* name, auto slot) {
        QAction* action = menu.addAction(text, this, slot);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    add(QStringLiteral("&Log Report..."), "logReportAction", [this] {
        logReport_->show();
        logReport_->raise();
        logReport_->activateWindow();  // Escape closes it at once
    });
    add(QStringLiteral("&Statistics"), "statisticsAction", [this] {
        statistics_->refresh();
        statistics_->show();
        statistics_->raise();
        statistics_->activateWindow();  // Escape closes it at once
    });
    menu.addSeparator();
    add(QStringLiteral("Place Cursor &A at Centre"), "cursorAAction", [this] {
        placeCursorAtCentre(false);
    })->setToolTip(QStringLiteral("Or Ctrl+click on the chart"));
    add(QStringLiteral("Place Cursor &B at Centre"), "cursorBAction", [this] {
        placeCursorAtCentre(true);
    })->setToolTip(QStringLiteral("Or Ctrl+right click on the chart"));
    add(QStringLiteral("&Remove Cursors"), "removeCursorsAction",
        [this] { chart_.clearCursors(); });
    menu.addSeparator();
    add(QStringLiteral("Set Li&mits..."), "limitsAction", [this] {
        limitsDialog_->load(limits_, shownUnits(), &chart_.chart(), derivedLimits_);
        dialogs_.execModal(*limitsDialog_);
    });
    add(QStringLiteral("&Exceedances"), "exceedancesAction", [this] {
        exceedances_->refresh();
        exceedances_->show();
        exceedances_->raise();
        exceedances_->activateWindow();  // Escape closes it at once
    });
    menu.setToolTipsVisible(true);
}

void AnalysisTools::loadEnded() {
    if (log_.loaded())
        logReport_->setReport(log_.path, log_.fileSize, log_.report, log_.stopMessage);
    chart_.clearCursors();
    applyLimits();
    if (exceedances_->isVisible()) exceedances_->refresh();
}

void AnalysisTools::setLimits(const LimitTable& limits) {
    limits_ = limits;
    writeLimits(iniPath_, limits_);
    applyLimits();
    if (exceedances_->isVisible()) exceedances_->refresh();
}

void AnalysisTools::setDerivedLimits(const DerivedLimitTable& limits) {
    derivedLimits_ = limits;
    writeDerivedLimits(iniPath_, derivedLimits_);
    applyLimits();
    if (exceedances_->isVisible()) exceedances_->refresh();
}

void AnalysisTools::setEngineTools(EngineTools* engine) {
    engine_ = engine;
    connect(engine_, &EngineTools::derivedSeriesChanged, this, [this] {
        applyLimits();
        if (exceedances_->isVisible()) exceedances_->refresh();
        if (statistics_->isVisible()) statistics_->refresh();
    });
}

void AnalysisTools::applyLimits() {
    const UnitSelectors units = shownUnits();
    chart::Chart& c = chart_.chart();
    bool changed = false;
    for (chart::LineSeries& series : c.series) {
        if (!analysis::isDerivedSeriesName(series.name)) continue;
        const auto found = derivedLimits_.find(series.name);
        const ChannelLimits shown =
            found == derivedLimits_.end()
                ? ChannelLimits{}
                : derivedLimitsInUnit(found->second, unitCodeOf(TC1Series, units));
        changed = changed || series.lowerLimit != shown.lower || series.upperLimit != shown.upper;
        series.lowerLimit = shown.lower;
        series.upperLimit = shown.upper;
    }
    for (int i = 0; i < kChannelCount && static_cast<std::size_t>(i) < c.series.size(); ++i) {
        const ChannelLimits shown = limitsInUnit(i, limits_[i], unitCodeOf(i, units));
        chart::LineSeries& series = c.series[static_cast<std::size_t>(i)];
        changed = changed || series.lowerLimit != shown.lower || series.upperLimit != shown.upper;
        series.lowerLimit = shown.lower;
        series.upperLimit = shown.upper;
    }
    if (changed) c.invalidate();
}

void AnalysisTools::placeCursorAtCentre(bool b) {
    const chart::ChartLayout& layout = chart_.layout();
    const double centre = (layout.bottom.minimum() + layout.bottom.maximum()) / 2.0;
    chart_.placeCursor(b ? chart::ChartWidget::Cursor::B : chart::ChartWidget::Cursor::A, centre);
}

QString AnalysisTools::cursorReadout() const {
    const chart::Chart& c = chart_.chart();
    if (!c.cursorA && !c.cursorB) return {};
    QStringList parts;
    if (c.cursorA) parts << QStringLiteral("A %1").arg(timeText(*c.cursorA));
    if (c.cursorB) parts << QStringLiteral("B %1").arg(timeText(*c.cursorB));
    if (c.cursorA && c.cursorB) {
        // The seconds between the times the cursors' labels show.
        const long long seconds =
            chart::cursorTimeSeconds(*c.cursorB) - chart::cursorTimeSeconds(*c.cursorA);
        parts << QStringLiteral("B-A %1 s").arg(seconds);
    }
    // The values as the value axis labels them, so that a difference of two float
    // readings reads -0.1, not -0.09999943.
    const auto shown = [this](double v) { return chart_.labelValue(chart::AxisId::Left, v); };
    const auto value = [](const chart::LineSeries& s, const std::optional<double>& x) {
        std::optional<double> v;
        if (x)
            if (const auto p = analysis::readingAtOrBefore(s.points, *x)) v = p->y;
        return v;
    };
    for (const chart::LineSeries& s : c.series) {
        if (!s.active) continue;
        const std::optional<double> a = value(s, c.cursorA);
        const std::optional<double> b = value(s, c.cursorB);
        if (!a && !b) continue;  // no reading at or before either cursor
        QString text = s.title + QLatin1Char(':');
        if (c.cursorA) text += QStringLiteral(" A=") + (a ? shown(*a) : QStringLiteral("-"));
        if (c.cursorB) text += QStringLiteral(" B=") + (b ? shown(*b) : QStringLiteral("-"));
        if (a && b) text += QStringLiteral(" B-A=") + shown(*b - *a);
        // The hottest CHT says whose it is.
        if (engine_ && s.name == QLatin1String("HottestCHTSeries")) {
            QStringList whose;
            if (a) whose << QStringLiteral("A cyl %1").arg(engine_->hottestCylinderAt(*c.cursorA));
            if (b) whose << QStringLiteral("B cyl %1").arg(engine_->hottestCylinderAt(*c.cursorB));
            text += QStringLiteral(" (") + whose.join(QStringLiteral(", ")) + QLatin1Char(')');
        }
        parts << text;
    }
    return parts.join(QStringLiteral("  |  "));
}

void AnalysisTools::updateReadout() {
    const QString text = cursorReadout();
    statistics_->setCursorReadout(text);
    if (text.isEmpty()) {
        if (!statusBar_.currentMessage().isEmpty()) statusBar_.clearMessage();
        statusBar_.setToolTip(QString());
        return;
    }
    // Shortened with an ellipsis to the status bar's width (less its margins and size
    // grip); the whole text is in its tool tip and the Statistics window.
    const int room = std::max(0, statusBar_.width() - kStatusBarMargins);
    statusBar_.showMessage(statusBar_.fontMetrics().elidedText(text, Qt::ElideRight, room));
    statusBar_.setToolTip(text);
}

}  // namespace zp
