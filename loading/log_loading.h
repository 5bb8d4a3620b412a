// The one load path of the viewer, logdump, the benchmarks and the fuzz targets: a log
// file into the 41 channel series of a chart, with what the information panel shows
// returned as a value.
#pragma once

#include "chart/chart_model.h"
#include "import/log_import.h"

namespace zp {

// The steps done on every press of the load button before its dialog, whether or not a
// file is then chosen: the bottom axis shows times as "hh:nn:ss" and every channel
// series' X values are date-times.
void prepareChartForLoad(chart::Chart& chart);

// Reads `path` into the channel series of `chart` (filled by createChannelSeries) and
// sets the bottom axis title to the date field of the latest record. The chart is
// marked for a new layout. The result's panel update says what the information panel
// shows now.
ImportResult loadLogIntoChart(const QString& path, const UnitSelectors& units, chart::Chart& chart,
                              const ImportOptions& options);

}  // namespace zp
