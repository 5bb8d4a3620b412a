// The layout of one repaint of the chart, computed without drawing: the chart
// rectangle within its margins, the foot band, the legend, the axis ranges, label
// steps, labels and ticks, and the plot area. Drawing, the bitmap and printer output,
// the mouse handling and logdump all read this one result.
#pragma once

#include <QString>
#include <vector>

#include "chart/axis_labels.h"
#include "chart/axis_scale.h"
#include "chart/chart_model.h"
#include "chart/legend_layout.h"
#include "chart/text_measurer.h"

namespace zp::chart {

// Chart margins in pixels.
inline constexpr int kMarginLeft = 0;
inline constexpr int kMarginTop = 5;
inline constexpr int kMarginRight = 5;
inline constexpr int kMarginBottom = 5;
// Vertical margin of the foot title, added to its line height.
inline constexpr int kFootMargin = 5;
// Axis line (2) + 1 + tick length (4): the band between the plot edge and the labels.
inline constexpr int kAxisLineWidth = 2;
inline constexpr int kTickLength = 4;
inline constexpr int kMinorTickLength = 2;
inline constexpr int kMinorTickCount = 3;
inline constexpr int kAxisTickSpace = kAxisLineWidth + 1 + kTickLength;

// One axis in one repaint.
struct AxisLayout {
    bool visible = false;
    bool hasActiveSeries = false;  // some active series uses the axis: labels are drawn
    bool automatic = true;         // the range followed the data in this repaint
    AxisScale scale;
    AxisLabelFormat format;
    double increment = 0.0;
    std::vector<AxisLabel> labels;  // drawn order, largest value first
    std::vector<int> ticks;         // tick pixels, in label order
    QString title;
    PixelRect titleBox;  // the box of the title (bottom axis); empty without a title

    double minimum() const { return scale.minimum; }
    double maximum() const { return scale.maximum; }
    int valueToPixel(double value) const { return scale.valueToPixel(value); }
    double calcPosPoint(int pixel) const { return scale.calcPosPoint(pixel); }
    QString labelValue(double value) const { return format.text(value); }
    // Minor tick pixels of the recorded ticks, strictly between the axis ends.
    std::vector<int> minorTicks() const;
};

enum class AxisId { Bottom, Left };

struct ChartLayout {
    PixelRect client;     // the whole area drawn on
    PixelRect chartRect;  // within the margins, before foot band and legend
    int fontHeight = 0;
    int footHeight = 0;  // the band the foot title takes off the bottom
    LegendLayout legend;
    PixelRect plot;  // the plot area: series, grid and back wall
    AxisLayout bottom;
    AxisLayout left;

    const AxisLayout& axis(AxisId id) const { return id == AxisId::Bottom ? bottom : left; }
};

// The smallest and largest finite X (or Y) of a series; `any` is false when the series
// has no finite value there.
struct ValueRange {
    bool any = false;
    double minimum = 0.0;
    double maximum = 0.0;
};
ValueRange seriesRange(const LineSeries& series, bool xValues);

// Pixels left free at an automatic axis end for a line of pen width w.
inline int lineMarginFor(int penWidth) {
    return penWidth - (penWidth - 2) / 2;
}

// The data range [m, M] widened so that it maps onto an axis of `axisSize` pixels
// shortened by `lowMargin` and `highMargin` pixels at its ends.
void widenForMargins(double& minimum, double& maximum, int axisSize, int lowMargin, int highMargin);

// The layout of one repaint of `chart` on `client`, measuring label, title and legend
// texts with `labels` and taking a foot band of `footLineHeight` + 5 pixels.
ChartLayout layoutChart(const Chart& chart, const PixelRect& client, const TextMeasurer& labels,
                        int footLineHeight);

// The same with the chart's real fonts. Needs a QGuiApplication.
ChartLayout layoutChart(const Chart& chart, const PixelRect& client);

// Writes the working range of every automatic axis back into its AxisState, as a
// repaint does, so zoom and scroll start from the range on the screen.
void storeAutomaticRanges(Chart& chart, const ChartLayout& layout);

}  // namespace zp::chart
