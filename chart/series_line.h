// The polyline of one line series on a repaint: which points are visible, and the
// segments drawn between their pixel positions.
#pragma once

#include <QPen>
#include <cfloat>
#include <cstddef>

#include "chart/chart_layout.h"
#include "chart/series.h"

class QPainter;

namespace zp::chart {

// The pen of a series line: its width and colour, square ends. Each segment is drawn
// on its own, as the line rule draws one segment per point; a 2-pixel pen with round
// ends covers the same 2 x 2 pixel block at each end as a square one.
QPen seriesPen(const LineSeries& series);

// The dash pattern of a dashed series, in pixels along the line: drawn, then left out.
inline constexpr int kDashOn = 6;
inline constexpr int kDashOff = 4;

// AxisScale::valueToPixel with the axis' numbers taken out once, for the loops that
// map many values: the same pixel for every value.
class PixelMap {
  public:
    explicit PixelMap(const AxisScale& scale)
        : zeroRange_(scale.zeroRange()),
          horizontal_(scale.horizontal),
          centre_((scale.startPixel + scale.endPixel) / 2),
          base_(scale.horizontal ? scale.startPixel : scale.endPixel),
          minimum_(scale.minimum),
          size_(scale.size()),
          range_(scale.range()) {}

    int operator()(double value) const {
        if (zeroRange_) return centre_;
        double offset = (value - minimum_) * size_ / range_;
        if (offset != offset) offset = 0.0;  // NaN
        offset =
            offset < -kPixelClamp ? -kPixelClamp : (offset > kPixelClamp ? kPixelClamp : offset);
        // Adding and taking away 1.5 x 2^52 leaves no fraction bits, so the sum rounds
        // to an integer the way the rounding mode says: ties to even, as roundEven(),
        // for any |offset| below 2^51.
        double rounded;
        if constexpr (FLT_EVAL_METHOD == 0)
            rounded = (offset + kRoundingShift) - kRoundingShift;
        else
            rounded = roundEven(offset);  // wider intermediate results: no shortcut
        const int pixels = static_cast<int>(rounded);
        return horizontal_ ? base_ + pixels : base_ - pixels;
    }

  private:
    static constexpr double kRoundingShift = 6755399441055744.0;  // 1.5 x 2^52
    bool zeroRange_;
    bool horizontal_;
    int centre_;
    int base_;
    double minimum_;
    double size_;
    double range_;
};

// The index range of the points of `series` to draw for a bottom axis from `minimum`
// to `maximum`, found by binary search on X: `first` is the first point with X >=
// minimum, `last` the first with X >= maximum (or the last point). The line starts one
// point before `first` so that it enters from beyond the left edge. `empty` when no
// point has X >= minimum.
struct VisibleRange {
    bool empty = true;
    std::size_t first = 0;
    std::size_t last = 0;
};
VisibleRange visiblePoints(const LineSeries& series, double minimum, double maximum);

// How the polyline is drawn; on an aliased painter both give the same pixels.
enum class LineDrawing {
    // Per pixel column at most the first, the lowest, the highest and the last of the
    // points that land in it: the segments in between are vertical and lie within the
    // column's span from lowest to highest, which these cover.
    Reduced,
    // One segment per point, skipping a point that lands on the previous one's pixel.
    EveryPoint,
};

// Draws the polyline of `series` in its pen over the points visible between the
// plot area's left and right edges of `layout`: from the point before the first
// visible one to the last one, each on the pixel the axes map it to, a point that
// repeats the previous pixel skipped, points without finite values passed over.
// With antialiasing on every point is drawn: overlapping soft edges add up, so only
// aliased lines may drop the segments that other segments cover. A dashed series draws
// the same polyline in its solid pen with the pattern's gaps left out, the pattern
// running on from segment to segment (lengths counted as the pixels an aliased line
// steps over), so a line of many short segments still reads as dashed.
void drawSeriesLine(QPainter& painter, const LineSeries& series, const ChartLayout& layout,
                    LineDrawing drawing = LineDrawing::Reduced);

}  // namespace zp::chart
