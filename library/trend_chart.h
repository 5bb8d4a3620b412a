// The trend chart: trend lines of the flight library as a chart of the chart engine, one
// line per channel and statistic in the channel's colour with a mark at each flight, the
// channel's limits as dashed lines and dates along the bottom; and the same lines as CSV.
// Kept apart from the rest of the library, which needs no Qt Gui.
#pragma once

#include <QByteArray>
#include <QPalette>
#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "channels/unit_selectors.h"
#include "chart/chart_model.h"
#include "library/trend.h"

namespace zp::library {

struct TrendChartSetup {
    UnitSelectors units{};  // the units the figures were read in
    std::array<std::optional<Limits>, kChannelCount> limits{};
};

// "CHT1Series:max": the series name of a trend line, as --trend names it.
QString trendSeriesName(const TrendRequest& request);
// "CHT1 max (°F)": its legend title with the channel's display unit.
QString trendSeriesTitle(const TrendRequest& request, const UnitSelectors& units);

// A chart of `lines`, in their order, every one active and in the legend; the bottom axis
// shows dates (its labels are fitted to a size by chart::fitCalendarLabels). `palette`
// gives the channels that take the desktop's colours.
chart::Chart trendChart(const std::vector<TrendLine>& lines, const TrendChartSetup& setup,
                        const QPalette& palette);

// The lines as CSV, one row per flight in the order of `flights` that has a point on any
// line: "Date", "Start", "File", "Flight" (its number in the file, from 1), then a column
// per line titled as in the legend (empty where the flight has no reading). Values in the
// C locale with the fewest digits that read back the same number; lines end with CR LF.
QByteArray trendCsv(const std::vector<TrendLine>& lines, const std::vector<const Flight*>& flights,
                    const std::vector<QString>& files, const UnitSelectors& units);

}  // namespace zp::library
