// Fills a chart with the 41 channel series of the catalogue, as Chart1 holds them at
// start-up: inactive, listed in the legend, pen width 2, and RPM1Series holding its
// 25 sample points with date-time X values.
#pragma once

#include <QPalette>

#include "catalogue.h"
#include "chart_model.h"

namespace zp {

// `palette` supplies the two system colours (selection colour, dark 3-D shadow).
void createChannelSeries(chart::Chart& chart, const QPalette& palette);

// The series of `channel` in a chart filled by createChannelSeries.
inline chart::LineSeries& channelSeries(chart::Chart& chart, Channel channel) {
    return chart.series[static_cast<std::size_t>(channel)];
}

}  // namespace zp
