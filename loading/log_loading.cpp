#include "loading/log_loading.h"

#include "loading/channel_series.h"

namespace zp {

void prepareChartForLoad(chart::Chart& chart) {
    chart.bottomAxis.dateTimeFormat = QStringLiteral("hh:nn:ss");
    for (int c = 0; c < kChannelCount; ++c)
        channelSeries(chart, static_cast<Channel>(c)).xDateTime = true;
    chart.invalidate();
}

ImportResult loadLogIntoChart(const QString& path, const UnitSelectors& units, chart::Chart& chart,
                              const ImportOptions& options) {
    ChartImportSink sink(chart);
    ImportResult result = importLogFile(path, units, sink, options);
    for (chart::LineSeries& series : chart.series) series.points.shrinkToFit();
    if (result.panel.axisTitle) chart.bottomAxis.title = *result.panel.axisTitle;
    chart.invalidate();
    return result;
}

}  // namespace zp
