#include "app/export_header.h"

#include <QFileInfo>

#include "analysis/visible_data.h"
#include "app/engine_tools.h"
#include "channels/channel_units.h"
#include "chart/chart_export.h"

namespace zp {

namespace {

constexpr QChar kNoBreakSpace(0x00A0);

// The drawn series of the loaded log with their units, e.g. "TC1 (°F)".
QStringList drawnSeriesWithUnits(const LoadedLog& log, const chart::Chart& chart) {
    QStringList items;
    for (std::size_t c = 0; c < chart.series.size(); ++c) {
        const chart::LineSeries& series = chart.series[c];
        if (!series.active || !series.showInLegend || series.points.empty()) continue;
        const QString unit = seriesUnitText(chart, c, log.units);
        items
            << analysis::titleWithUnit(series.title, unit).replace(QLatin1Char(' '), kNoBreakSpace);
    }
    return items;
}

}  // namespace

QStringList pdfHeaderLines(const LoadedLog& log, const chart::Chart& chart,
                           analysis::XRange visible) {
    QStringList lines;
    lines << (log.loaded() ? QFileInfo(log.path).fileName() : QStringLiteral("(no log loaded)"));
    lines << QStringLiteral("Model: %1    Date: %2    Time: %3")
                 .arg(log.panel.modelText, log.date, chart::timeSpanText(visible.from, visible.to));
    const PanelTexts& panel = log.panel;
    if (panel.countersVisible)
        lines << QStringLiteral(
                     "Hobbs Start: %1    Hobbs Stop: %2    Maintenance Start: %3    "
                     "Maintenance Stop: %4")
                     .arg(panel.hobbsStart, panel.hobbsStop, panel.maintenanceStart,
                          panel.maintenanceStop);
    const QStringList series = drawnSeriesWithUnits(log, chart);
    if (!series.isEmpty()) lines << QStringLiteral("Series: ") + series.join(QStringLiteral(", "));
    return lines;
}

}  // namespace zp
