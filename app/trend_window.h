// The Trend window of the flight library: how a channel's maximum, mean or minimum moves
// from flight to flight, drawn by the chart engine against each flight's date and start
// time, one line per picked channel with a mark per flight and its limits dashed. It
// shows the flights the library window's filter keeps; hovering a mark names its flight,
// date and value, and double-clicking one opens that flight as the library does.
#pragma once

#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

#include "channels/catalogue.h"
#include "chart/chart_export.h"
#include "chart/chart_widget.h"
#include "library/flight.h"
#include "library/trend.h"
#include "library/trend_chart.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;

namespace zp {

// One flight the trend is drawn from.
struct TrendFlight {
    QString path;   // the log file, absolute
    QString shown;  // its name inside the library folder
    library::Flight flight;
    QString aircraft;  // its aircraft's registration (empty: none)
};

// The chart widget of the trend: its date labels are fitted to its size, and a double
// click on a mark reports that mark instead of starting a zoom.
class TrendChartWidget : public chart::ChartWidget {
    Q_OBJECT
  public:
    using chart::ChartWidget::ChartWidget;
    // Fits the date labels to the widget's size (after the chart's lines change).
    void fitLabels();

  signals:
    void doubleClicked(QPoint pos);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

class TrendWindow : public QWidget {
    Q_OBJECT
  public:
    explicit TrendWindow(QWidget* parent = nullptr);

    // The flights to draw, in the library's order, with the units their figures are in
    // and the limits to draw; the chart is drawn again.
    void setFlights(std::vector<TrendFlight> flights, const library::TrendChartSetup& setup);
    // The channels drawn (catalogue order) and the statistic.
    void setChannels(const std::vector<Channel>& channels);
    const std::vector<Channel>& channels() const { return channels_; }
    void setStatistic(library::TrendStatistic statistic);
    library::TrendStatistic statistic() const { return statistic_; }
    // A line per aircraft of the first channel picked, instead of a line per channel: the
    // fleet comparison. Offered when the flights belong to two aircraft or more.
    void setLinePerAircraft(bool on);
    bool linePerAircraft() const;

    const std::vector<library::TrendLine>& lines() const { return lines_; }
    const std::vector<TrendFlight>& flights() const { return flights_; }
    TrendChartWidget& chartWidget() const { return *chart_; }
    QLabel& readout() const { return *readout_; }

    // The mark nearest `pos` (widget pixels of the chart) within a few pixels: its line
    // and its point on that line; none when no mark is that near.
    struct Hit {
        std::size_t line = 0;
        std::size_t point = 0;
    };
    std::optional<Hit> markAt(QPoint pos) const;
    // "<file> flight <n>, <date> <start>: <title> <value>" for a mark.
    QString markText(const Hit& hit) const;

    // Writes the chart as the screen shows it (PNG, SVG, PDF) or the lines as CSV; an
    // empty text on success, else the reason.
    QString exportGraph(const QString& file, chart::ExportFormat format);
    QString exportCsv(const QString& file) const;

  signals:
    // A mark was double-clicked: open `path` and show that flight.
    void flightChosen(const QString& path, const library::Flight& flight);

  private:
    void rebuild();
    void showHover(int x, int y);
    void chooseExportGraph();
    void chooseExportCsv();

    std::vector<TrendFlight> flights_;
    library::TrendChartSetup setup_;
    std::vector<Channel> channels_;
    library::TrendStatistic statistic_ = library::TrendStatistic::Maximum;
    std::vector<library::TrendLine> lines_;

    QPushButton* channelsButton_;
    QMenu* channelsMenu_;
    QComboBox* statisticBox_;
    QCheckBox* perAircraftBox_;
    TrendChartWidget* chart_;
    QLabel* readout_;
};

}  // namespace zp
