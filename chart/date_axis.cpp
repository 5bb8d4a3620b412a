#include "chart/date_axis.h"

#include <algorithm>

#include "chart/chart_layout.h"

namespace zp::chart {

namespace {

// The formats from the most to the least said.
const char* const kFormats[] = {"d mmm hh:nn", "d mmm yyyy", "mmm yyyy", "yyyy"};

int detailOf(const QString& format) {
    for (int i = 0; i < 4; ++i)
        if (format == QLatin1String(kFormats[i])) return i;
    return 0;
}

}  // namespace

QString calendarLabelFormat(double increment) {
    // A step of 32 days or more never puts two labels in one month, one of 365 days or
    // more (the table's year, then doubling) never two in one year.
    if (increment < 1.0) return QLatin1String(kFormats[0]);
    if (increment < 32.0) return QLatin1String(kFormats[1]);
    if (increment < 365.0) return QLatin1String(kFormats[2]);
    return QLatin1String(kFormats[3]);
}

void fitCalendarLabels(Chart& chart, const PixelRect& client) {
    // Start from the step the range would have with about eight labels.
    double lowest = 0.0, highest = 0.0;
    bool any = false;
    for (const LineSeries& series : chart.series) {
        if (!series.active) continue;
        const ValueRange r = seriesRange(series, true);
        if (!r.any) continue;
        lowest = any ? std::min(lowest, r.minimum) : r.minimum;
        highest = any ? std::max(highest, r.maximum) : r.maximum;
        any = true;
    }
    QString format = calendarLabelFormat(any ? (highest - lowest) / 8.0 : 1.0);
    for (int pass = 0; pass < 3; ++pass) {
        chart.bottomAxis.dateTimeFormat = format;
        const QString needed = calendarLabelFormat(layoutChart(chart, client).bottom.increment);
        if (needed == format) return;
        // A format that says more than the step needs keeps the labels apart; one that
        // says less does not, so only a change to more is made after the first pass.
        if (pass > 0 && detailOf(needed) > detailOf(format)) return;
        format = needed;
    }
    chart.bottomAxis.dateTimeFormat = format;
}

}  // namespace zp::chart
