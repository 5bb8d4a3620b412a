// Fills a chart with the 41 channel series of the catalogue, as the chart holds them at
// start-up: inactive, listed in the legend, pen width 2, and RPM1Series holding its
// 25 sample points with date-time X values.
#pragma once

#include <QPalette>
#include <QString>
#include <vector>

#include "channels/catalogue.h"
#include "channels/unit_selectors.h"
#include "chart/chart_model.h"
#include "import/import_sink.h"

namespace zp {

// `palette` supplies the two system colours (selection colour, dark 3-D shadow).
void createChannelSeries(chart::Chart& chart, const QPalette& palette);

// The display unit of each series of a chart filled by createChannelSeries, under
// `units`, in series order.
std::vector<QString> channelUnitTexts(const UnitSelectors& units);

// The series of `channel` in a chart filled by createChannelSeries.
inline chart::LineSeries& channelSeries(chart::Chart& chart, Channel channel) {
    return chart.series[static_cast<std::size_t>(channel)];
}

// The import sink that writes into a chart filled by createChannelSeries.
class ChartImportSink : public ImportSink {
  public:
    explicit ChartImportSink(chart::Chart& chart) : chart_(chart) {}

    void clearSeries(Channel channel) override { channelSeries(chart_, channel).points.clear(); }
    void setShowInLegend(Channel channel, bool on) override {
        channelSeries(chart_, channel).showInLegend = on;
    }
    void addXY(Channel channel, double x, double y) override {
        channelSeries(chart_, channel).points.append(x, y);
    }
    void addSteps(std::span<const Channel> channels, const double* xs, const float* const* columns,
                  std::size_t stride, std::size_t count) override;
    void addGapFill(Channel channel, double x) override {
        channelSeries(chart_, channel).points.appendGapFill(x);
    }
    // Each series' points are its own: distinct series may grow at once.
    bool appendsChannelsApart() const override { return true; }
    void reservePoints(Channel channel, std::size_t points) override {
        channelSeries(chart_, channel).points.reserve(points);
    }

  private:
    chart::Chart& chart_;
};

}  // namespace zp
