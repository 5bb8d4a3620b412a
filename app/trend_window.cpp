#include "app/trend_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QSaveFile>
#include <QSet>
#include <QShortcut>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>

#include "chart/date_axis.h"
#include "chart/date_time_format.h"
#include "chart/widget_output.h"

namespace zp {

namespace {

// How near (in pixels, each way) the pointer must be to a mark to name it.
constexpr int kHitDistance = 5;

const library::TrendStatistic kStatistics[] = {library::TrendStatistic::Maximum,
                                               library::TrendStatistic::Mean,
                                               library::TrendStatistic::Minimum};

}  // namespace

// [SECTION] The chart widget

void TrendChartWidget::fitLabels() {
    chart::fitCalendarLabels(chart(), chart::PixelRect{0, 0, width(), height()});
    chart().invalidate();
}

void TrendChartWidget::resizeEvent(QResizeEvent* event) {
    chart::fitCalendarLabels(chart(), chart::PixelRect{0, 0, width(), height()});
    chart::ChartWidget::resizeEvent(event);
}

void TrendChartWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click on the plot names a mark there; the zoom drag
    // its first press began ends with the release as a click, which changes nothing.
    if (event->button() == Qt::LeftButton && !(event->modifiers() & Qt::ControlModifier)) {
        emit doubleClicked(event->position().toPoint());
        event->accept();
        return;
    }
    chart::ChartWidget::mouseDoubleClickEvent(event);
}

// [SECTION] The window

TrendWindow::TrendWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("trendWindow"));
    setWindowTitle(QStringLiteral("Flight Trend"));
    setWindowFlag(Qt::Window);

    channelsButton_ = new QPushButton(QStringLiteral("C&hannels"), this);
    channelsButton_->setObjectName(QStringLiteral("trendChannels"));
    channelsButton_->setToolTip(QStringLiteral("Channels drawn, a line each"));
    channelsMenu_ = new QMenu(channelsButton_);
    channelsButton_->setMenu(channelsMenu_);
    for (int c = 0; c < kChannelCount; ++c) {
        QAction* action = channelsMenu_->addAction(QLatin1String(kChannels[c].title));
        action->setCheckable(true);
        action->setData(c);
        connect(action, &QAction::toggled, this, [this] {
            std::vector<Channel> picked;
            for (const QAction* a : channelsMenu_->actions())
                if (a->isChecked()) picked.push_back(static_cast<Channel>(a->data().toInt()));
            channels_ = picked;
            rebuild();
        });
    }

    auto* statisticLabel = new QLabel(QStringLiteral("&Statistic:"), this);
    statisticBox_ = new QComboBox(this);
    statisticBox_->setObjectName(QStringLiteral("trendStatistic"));
    for (const library::TrendStatistic s : kStatistics)
        statisticBox_->addItem(
            QStringLiteral("%1 per flight").arg(QLatin1String(library::statisticName(s))));
    statisticLabel->setBuddy(statisticBox_);
    connect(statisticBox_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0 || index >= int(std::size(kStatistics))) return;
        statistic_ = kStatistics[index];
        rebuild();
    });

    perAircraftBox_ = new QCheckBox(QStringLiteral("Line per &aircraft"), this);
    perAircraftBox_->setObjectName(QStringLiteral("trendPerAircraft"));
    perAircraftBox_->setToolTip(
        QStringLiteral("The first channel picked, a line for each aircraft of the library"));
    perAircraftBox_->setEnabled(false);
    connect(perAircraftBox_, &QCheckBox::toggled, this, [this] { rebuild(); });

    auto* exportGraph = new QPushButton(QStringLiteral("&Export Graph..."), this);
    exportGraph->setObjectName(QStringLiteral("trendExportGraph"));
    connect(exportGraph, &QPushButton::clicked, this, &TrendWindow::chooseExportGraph);
    auto* exportCsv = new QPushButton(QStringLiteral("Export CS&V..."), this);
    exportCsv->setObjectName(QStringLiteral("trendExportCsv"));
    connect(exportCsv, &QPushButton::clicked, this, &TrendWindow::chooseExportCsv);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("closeButton"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    chart_ = new TrendChartWidget(this);
    chart_->setObjectName(QStringLiteral("trendChart"));
    chart_->setMouseTracking(true);
    connect(chart_, &chart::ChartWidget::mouseMoved, this,
            [this](Qt::KeyboardModifiers, int x, int y) { showHover(x, y); });
    connect(chart_, &TrendChartWidget::doubleClicked, this, [this](QPoint pos) {
        const std::optional<Hit> hit = markAt(pos);
        if (!hit) return;
        const TrendFlight& f = flights_[lines_[hit->line].points[hit->point].flight];
        emit flightChosen(f.path, f.flight);
    });
    readout_ = new QLabel(this);
    readout_->setObjectName(QStringLiteral("trendReadout"));

    auto* controls = new QHBoxLayout;
    controls->addWidget(channelsButton_);
    controls->addWidget(statisticLabel);
    controls->addWidget(statisticBox_);
    controls->addWidget(perAircraftBox_);
    controls->addStretch(1);
    controls->addWidget(exportGraph);
    controls->addWidget(exportCsv);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(readout_, 1);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(chart_, 1);
    layout->addLayout(bottom);
    resize(820, 600);
}

void TrendWindow::setFlights(std::vector<TrendFlight> flights,
                             const library::TrendChartSetup& setup) {
    flights_ = std::move(flights);
    setup_ = setup;
    QSet<QString> aircraft;
    for (const TrendFlight& f : flights_)
        if (!f.aircraft.isEmpty()) aircraft.insert(f.aircraft);
    {
        const QSignalBlocker quiet(perAircraftBox_);
        perAircraftBox_->setEnabled(aircraft.size() > 1);
        if (aircraft.size() < 2) perAircraftBox_->setChecked(false);
    }
    rebuild();
}

void TrendWindow::setLinePerAircraft(bool on) {
    perAircraftBox_->setChecked(on && perAircraftBox_->isEnabled());
}

bool TrendWindow::linePerAircraft() const {
    return perAircraftBox_->isChecked();
}

void TrendWindow::setChannels(const std::vector<Channel>& channels) {
    for (QAction* action : channelsMenu_->actions()) {
        const QSignalBlocker quiet(action);
        const auto c = static_cast<Channel>(action->data().toInt());
        action->setChecked(std::find(channels.begin(), channels.end(), c) != channels.end());
    }
    channels_.clear();
    for (int c = 0; c < kChannelCount; ++c)
        if (std::find(channels.begin(), channels.end(), static_cast<Channel>(c)) != channels.end())
            channels_.push_back(static_cast<Channel>(c));
    rebuild();
}

void TrendWindow::setStatistic(library::TrendStatistic statistic) {
    const auto at = std::find(std::begin(kStatistics), std::end(kStatistics), statistic);
    statisticBox_->setCurrentIndex(static_cast<int>(at - std::begin(kStatistics)));
}

void TrendWindow::rebuild() {
    std::vector<const library::Flight*> flights;
    flights.reserve(flights_.size());
    for (const TrendFlight& f : flights_) flights.push_back(&f.flight);
    std::vector<library::TrendRequest> requests;
    for (const Channel c : channels_) requests.push_back(library::TrendRequest{c, statistic_});
    if (linePerAircraft() && !requests.empty()) {
        std::vector<QString> aircraft;
        aircraft.reserve(flights_.size());
        for (const TrendFlight& f : flights_) aircraft.push_back(f.aircraft);
        lines_ = library::trendLinesByAircraft(flights, aircraft, requests.front());
    } else {
        lines_ = library::trendLines(flights, requests);
    }

    chart::Chart built = library::trendChart(lines_, setup_, palette());
    chart::Chart& shown = chart_->chart();
    shown.series = std::move(built.series);
    shown.bottomAxis = built.bottomAxis;
    shown.leftAxis = built.leftAxis;
    chart_->zoomScroll().undoZoom();
    chart_->zoomScroll().clearHistory();
    chart_->fitLabels();
    // What the readout named may be gone with the flights or lines it came from.
    readout_->setText(QStringLiteral("Point at a mark to see its flight."));
}

std::optional<TrendWindow::Hit> TrendWindow::markAt(QPoint pos) const {
    const chart::ChartLayout& layout = chart_->layout();
    if (!layout.plot.contains(pos.x(), pos.y())) return std::nullopt;
    std::optional<Hit> best;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::size_t k = 0; k < lines_.size(); ++k) {
        for (std::size_t i = 0; i < lines_[k].points.size(); ++i) {
            const library::TrendPoint& p = lines_[k].points[i];
            const int dx = std::abs(layout.bottom.valueToPixel(p.x) - pos.x());
            const int dy = std::abs(layout.left.valueToPixel(p.y) - pos.y());
            if (dx > kHitDistance || dy > kHitDistance) continue;
            if (dx + dy < bestDistance) {
                bestDistance = dx + dy;
                best = Hit{k, i};
            }
        }
    }
    return best;
}

QString TrendWindow::markText(const Hit& hit) const {
    const library::TrendLine& line = lines_[hit.line];
    const library::TrendPoint& p = line.points[hit.point];
    const TrendFlight& f = flights_[p.flight];
    return QStringLiteral("%1 flight %2, %3 %4: %5 %6")
        .arg(f.shown)
        .arg(f.flight.index + 1)
        .arg(f.flight.date.toString(Qt::ISODate), library::secondText(f.flight.startSecond),
             library::trendSeriesTitle(line.request, setup_.units), QString::number(p.y, 'g', 7));
}

void TrendWindow::showHover(int x, int y) {
    const std::optional<Hit> hit = markAt(QPoint(x, y));
    if (!hit) {
        QToolTip::hideText();
        return;
    }
    const QString text = markText(*hit);
    readout_->setText(text);
    QToolTip::showText(chart_->mapToGlobal(QPoint(x, y)), text, chart_);
}

// [SECTION] Exports

QString TrendWindow::exportGraph(const QString& file, chart::ExportFormat format) {
    return chart::exportShown(*chart_, format, file, [this] {
        const chart::ChartLayout& shown = chart_->layout();
        QStringList header;
        header << QStringLiteral("Flight trend: %1 per flight")
                      .arg(QLatin1String(library::statisticName(statistic_)));
        header << QStringLiteral("%1 to %2, %3 flights")
                      .arg(chart::formatDateTime(shown.bottom.minimum(),
                                                 QStringLiteral("yyyy/mm/dd")),
                           chart::formatDateTime(shown.bottom.maximum(),
                                                 QStringLiteral("yyyy/mm/dd")))
                      .arg(flights_.size());
        // The lines as the legend names them (with their aircraft, a line per aircraft).
        for (const chart::LineSeries& series : chart_->chart().series) header << series.title;
        return chart::PdfPage{header, QStringLiteral("Flight trend"), QPageLayout::Landscape};
    });
}

QString TrendWindow::exportCsv(const QString& file) const {
    std::vector<const library::Flight*> flights;
    std::vector<QString> names;
    for (const TrendFlight& f : flights_) {
        flights.push_back(&f.flight);
        names.push_back(f.shown);
    }
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(library::trendCsv(lines_, flights, names, setup_.units)) < 0 || !out.commit())
        return out.errorString();
    return {};
}

void TrendWindow::chooseExportGraph() {
    QString filter;
    QString file = QFileDialog::getSaveFileName(
        this, QStringLiteral("Export trend graph"), QString(),
        QStringLiteral("PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)"), &filter);
    if (file.isEmpty()) return;
    chart::ExportFormat format = filter.startsWith(QLatin1String("SVG")) ? chart::ExportFormat::Svg
                                 : filter.startsWith(QLatin1String("PDF"))
                                     ? chart::ExportFormat::Pdf
                                     : chart::ExportFormat::Png;
    if (const auto bySuffix = chart::exportFormatOf(file))
        format = *bySuffix;
    else
        file += QLatin1Char('.') + chart::exportSuffix(format);
    const QString error = exportGraph(file, format);
    if (!error.isEmpty()) QMessageBox::critical(this, QStringLiteral("Error"), error);
}

void TrendWindow::chooseExportCsv() {
    QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Export trend as CSV"),
                                                QString(), QStringLiteral("CSV files (*.csv)"));
    if (file.isEmpty()) return;
    if (QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".csv");
    const QString error = exportCsv(file);
    if (!error.isEmpty())
        QMessageBox::critical(this, QStringLiteral("Error"),
                              QStringLiteral("Cannot write \"%1\". %2").arg(file, error));
}

}  // namespace zp
