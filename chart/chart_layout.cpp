#include "chart/chart_layout.h"

#include <algorithm>
#include <cmath>

namespace zp::chart {

namespace {

bool anyActive(const Chart& chart) {
    return std::any_of(chart.series.begin(), chart.series.end(),
                       [](const LineSeries& s) { return s.active; });
}

// The range of the data on one axis: over the active series, or over every series
// when none is active; series without a finite value there do not count.
ValueRange dataRange(const Chart& chart, bool xValues) {
    const bool active = anyActive(chart);
    ValueRange range;
    for (const LineSeries& series : chart.series) {
        if (active && !series.active) continue;
        const ValueRange r = seriesRange(series, xValues);
        if (!r.any) continue;
        if (!range.any) {
            range = r;
        } else {
            range.minimum = std::min(range.minimum, r.minimum);
            range.maximum = std::max(range.maximum, r.maximum);
        }
    }
    return range;
}

int widestActivePen(const Chart& chart) {
    int widest = 0;
    for (const LineSeries& series : chart.series)
        if (series.active) widest = std::max(widest, series.penWidth);
    return widest;
}

// The working range of an axis of `axisSize` pixels: the stored range while the axis
// is not automatic, else the data range (with stored ends where only one end is
// automatic) widened by the line margin at its automatic ends.
void rangeAxis(AxisLayout& axis, const AxisState& state, const Chart& chart, bool xValues,
               int axisSize) {
    axis.automatic = state.automatic;
    double minimum = state.minimum;
    double maximum = state.maximum;
    if (state.automatic) {
        const ValueRange data = dataRange(chart, xValues);
        if (state.automaticMinimum) minimum = data.any ? data.minimum : 0.0;
        if (state.automaticMaximum) maximum = data.any ? data.maximum : 0.0;
        const int margin = lineMarginFor(widestActivePen(chart));
        widenForMargins(minimum, maximum, axisSize, state.automaticMinimum ? margin : 0,
                        state.automaticMaximum ? margin : 0);
    }
    axis.scale.minimum = minimum;
    axis.scale.maximum = maximum;
    axis.format.range = maximum - minimum;
}

// Labels and ticks of a ranged and placed axis whose step is chosen; an axis that no
// active series uses has none.
void labelAxis(AxisLayout& axis) {
    if (!axis.hasActiveSeries) return;
    axis.labels = axisLabels(axis.scale, axis.format, axis.increment);
    for (const AxisLabel& label : axis.labels) axis.ticks.push_back(label.pos);
}

}  // namespace

ValueRange seriesRange(const LineSeries& series, bool xValues) {
    // The point list keeps its finite extremes as points come in.
    const FiniteRange& r = xValues ? series.points.xRange() : series.points.yRange();
    return ValueRange{r.any, r.minimum, r.maximum};
}

void widenForMargins(double& minimum, double& maximum, int axisSize, int lowMargin,
                     int highMargin) {
    const int room = axisSize - lowMargin - highMargin;
    if (room <= 0) return;
    const double span = maximum - minimum;
    const double low = lowMargin * span / room;
    const double high = highMargin * span / room;
    minimum -= low;
    maximum += high;
}

std::vector<int> AxisLayout::minorTicks() const {
    std::vector<int> minor;
    if (ticks.size() < 2) return minor;
    auto add = [&](int pos) {
        const int lo = std::min(scale.startPixel, scale.endPixel);
        const int hi = std::max(scale.startPixel, scale.endPixel);
        if (pos > lo && pos < hi) minor.push_back(pos);
    };
    const double firstStep = (ticks[1] - ticks[0]) / 4.0;
    for (int i = 1; i <= kMinorTickCount; ++i) add(ticks[0] - roundToInt(i * firstStep));
    for (std::size_t s = 1; s < ticks.size(); ++s) {
        const double step = (ticks[s] - ticks[s - 1]) / 4.0;
        for (int i = 1; i <= kMinorTickCount; ++i) add(ticks[s] - roundToInt(i * step));
    }
    for (int i = 1; i <= kMinorTickCount; ++i) add(ticks.back() + roundToInt(i * firstStep));
    return minor;
}

namespace {

// The flags, formats and titles of both axes, before anything is placed. The bottom
// axis shows date-times when the first active series has date-time X values.
void describeAxes(const Chart& chart, AxisLayout& bottom, AxisLayout& left) {
    const bool active = anyActive(chart);
    const LineSeries* firstActive = nullptr;
    for (const LineSeries& s : chart.series) {
        if (s.active) {
            firstActive = &s;
            break;
        }
    }
    bottom.visible = chart.bottomAxis.visible;
    left.visible = chart.leftAxis.visible;
    bottom.hasActiveSeries = active;
    left.hasActiveSeries = active;
    bottom.scale.horizontal = true;
    left.scale.horizontal = false;
    bottom.format.dateTime = firstActive != nullptr && firstActive->xDateTime;
    bottom.format.dateTimeFormat = chart.bottomAxis.dateTimeFormat;
    left.format.dateTime = false;
    bottom.title = chart.bottomAxis.title;
    left.title = chart.leftAxis.title;
}

// Left axis band: its width depends on the label texts, which depend on the label
// step, which depends on the axis height fixed before. A hidden axis is still ranged,
// since the series are drawn on it, but takes no room.
void placeLeftAxis(const Chart& chart, AxisLayout& left, PixelRect& plot,
                   const TextMeasurer& labels, int fh) {
    left.scale.startPixel = plot.top;
    left.scale.endPixel = plot.bottom;
    rangeAxis(left, chart.leftAxis, chart, false, left.scale.size());
    left.increment = axisIncrement(left.scale, left.format, labels);
    if (!left.visible) return;
    const double inc = left.increment;
    const int widest =
        std::max(labels.width(left.format.text(std::trunc(left.minimum() / inc) * inc)),
                 labels.width(left.format.text(std::trunc(left.maximum() / inc) * inc)));
    if (!left.title.isEmpty()) plot.left += fh;
    plot.left += widest + labels.width(QStringLiteral(" ")) + kAxisTickSpace;
}

// Bottom axis along the final plot area: range, step, labels and the title box centred
// under the plot.
void placeBottomAxis(const Chart& chart, AxisLayout& bottom, const PixelRect& plot,
                     const TextMeasurer& labels, int fh) {
    bottom.scale.startPixel = plot.left;
    bottom.scale.endPixel = plot.right;
    rangeAxis(bottom, chart.bottomAxis, chart, true, bottom.scale.size());
    bottom.increment = axisIncrement(bottom.scale, bottom.format, labels);
    if (!bottom.visible) return;
    labelAxis(bottom);
    if (bottom.title.isEmpty()) return;
    const int boxWidth = labels.width(bottom.title) + labels.width(QStringLiteral("W"));
    const int centre = (plot.left + plot.right) / 2;
    bottom.titleBox.left = centre - boxWidth / 2;
    bottom.titleBox.right = bottom.titleBox.left + boxWidth;
    bottom.titleBox.top = plot.bottom + kAxisTickSpace + fh;
    bottom.titleBox.bottom = bottom.titleBox.top + fh;
}

}  // namespace

ChartLayout layoutChart(const Chart& chart, const PixelRect& client, const TextMeasurer& labels,
                        int footLineHeight) {
    ChartLayout layout;
    layout.client = client;
    layout.fontHeight = labels.height();
    const int fh = layout.fontHeight;
    layout.chartRect = PixelRect{client.left + kMarginLeft, client.top + kMarginTop,
                                 client.right - kMarginRight, client.bottom - kMarginBottom};

    // The empty foot title still takes its line off the bottom.
    PixelRect rect = layout.chartRect;
    layout.footHeight = kFootMargin + footLineHeight;
    rect.bottom -= layout.footHeight;

    layout.legend = layoutLegend(chart, rect, client.width(), labels);
    rect.bottom = chartBottomAboveLegend(layout.legend, rect);

    AxisLayout& bottom = layout.bottom;
    AxisLayout& left = layout.left;
    describeAxes(chart, bottom, left);

    // Bottom axis band: title, one label line, axis line and ticks.
    PixelRect plot = rect;
    if (bottom.visible) {
        if (!bottom.title.isEmpty()) plot.bottom -= fh;
        plot.bottom -= fh + kAxisTickSpace;
    }
    placeLeftAxis(chart, left, plot, labels, fh);
    layout.plot = plot;
    placeBottomAxis(chart, bottom, plot, labels, fh);
    if (left.visible) labelAxis(left);
    return layout;
}

ChartLayout layoutChart(const Chart& chart, const PixelRect& client) {
    const FontMeasurer labels(chartLabelFont());
    const FontMeasurer foot(chartFootFont());
    return layoutChart(chart, client, labels, foot.height());
}

void storeAutomaticRanges(Chart& chart, const ChartLayout& layout) {
    auto store = [](AxisState& state, const AxisLayout& axis) {
        if (!axis.visible || !state.automatic) return;
        state.minimum = axis.minimum();
        state.maximum = axis.maximum();
    };
    store(chart.bottomAxis, layout.bottom);
    store(chart.leftAxis, layout.left);
}

}  // namespace zp::chart
