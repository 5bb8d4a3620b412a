#include "chart/series_line.h"

#include <QLine>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace zp::chart {

namespace {

bool isFinitePoint(const ChartPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// Collects the segments of the polyline, skipping a vertex that repeats the previous
// one.
class Segments {
  public:
    explicit Segments(QPoint start) : previous_(start) {}

    void to(QPoint p) {
        if (p == previous_) return;
        lines_.emplace_back(previous_, p);
        previous_ = p;
    }

    // One pixel column visited from `first` to `last`, reaching `low` and `high` on
    // the way (pixel y values). The vertical segments between them cover the span
    // from low to high whatever the order, so the shorter way round is taken.
    void column(int x, int first, int low, int high, int last) {
        const int viaLow = (first - low) + (high - low) + (high - last);
        const int viaHigh = (high - first) + (high - low) + (last - low);
        to(QPoint(x, first));
        if (viaLow <= viaHigh) {
            to(QPoint(x, low));
            to(QPoint(x, high));
        } else {
            to(QPoint(x, high));
            to(QPoint(x, low));
        }
        to(QPoint(x, last));
    }

    void draw(QPainter& painter, const QPen& pen) const {
        if (lines_.empty()) return;
        painter.setPen(pen);
        constexpr std::size_t kBatch = std::size_t{1} << 16;  // drawLines counts in int
        for (std::size_t i = 0; i < lines_.size(); i += kBatch)
            painter.drawLines(lines_.data() + i,
                              static_cast<int>(std::min(kBatch, lines_.size() - i)));
    }

    // The segments with the gaps of the dash pattern left out: the pattern runs along
    // the polyline, each segment's length the larger of its two extents.
    void drawDashed(QPainter& painter, const QPen& pen) const {
        if (lines_.empty()) return;
        std::vector<QLine> dashes;
        dashes.reserve(lines_.size() + lines_.size() / 2);
        constexpr int kPeriod = kDashOn + kDashOff;
        int phase = 0;  // pixels into the pattern at the start of the next segment
        for (const QLine& line : lines_) {
            const int dx = line.dx();
            const int dy = line.dy();
            const int length = std::max(std::abs(dx), std::abs(dy));
            const auto at = [&](int step) {
                return QPoint(
                    line.x1() + static_cast<int>(std::lround(double(dx) * step / length)),
                    line.y1() + static_cast<int>(std::lround(double(dy) * step / length)));
            };
            // Walk the segment in pieces that lie in one part of the pattern.
            int done = 0;
            while (done < length) {
                const int inPattern = phase % kPeriod;
                const bool on = inPattern < kDashOn;
                const int left = on ? kDashOn - inPattern : kPeriod - inPattern;
                const int piece = std::min(left, length - done);
                if (on) dashes.emplace_back(at(done), at(done + piece));
                done += piece;
                phase = (phase + piece) % kPeriod;
            }
        }
        if (dashes.empty()) return;
        painter.setPen(pen);
        constexpr std::size_t kBatch = std::size_t{1} << 16;
        for (std::size_t i = 0; i < dashes.size(); i += kBatch)
            painter.drawLines(dashes.data() + i,
                              static_cast<int>(std::min(kBatch, dashes.size() - i)));
    }

    void reserve(std::size_t n) { lines_.reserve(n); }

  private:
    QPoint previous_;
    std::vector<QLine> lines_;
};

// The straightforward rule: one segment per point.
void everyPoint(Segments& segments, const PointView& points, std::size_t start, std::size_t last,
                const AxisScale& x, const AxisScale& y) {
    segments.reserve(last - start);
    for (std::size_t i = start + 1; i <= last; ++i) {
        if (!isFinitePoint(points[i])) continue;
        segments.to(QPoint(x.valueToPixel(points[i].x), y.valueToPixel(points[i].y)));
    }
}

// The reduction for any points: pixels computed one by one, consecutive points of
// one pixel column gathered.
void reducedByPoint(Segments& segments, const PointView& points, std::size_t start,
                    std::size_t last, const AxisScale& xScale, const AxisScale& yScale) {
    const PixelMap x(xScale);
    const PixelMap y(yScale);
    bool open = false;
    int columnX = 0, first = 0, low = 0, high = 0, latest = 0;
    for (std::size_t i = start; i <= last; ++i) {
        if (!isFinitePoint(points[i])) continue;
        const int px = x(points[i].x);
        const int py = y(points[i].y);
        if (open && px == columnX) {
            low = std::min(low, py);
            high = std::max(high, py);
            latest = py;
            continue;
        }
        if (open) segments.column(columnX, first, low, high, latest);
        open = true;
        columnX = px;
        first = low = high = latest = py;
    }
    if (open) segments.column(columnX, first, low, high, latest);
}

// The smallest and largest of the Y values of n > 0 points without NaN.
void yExtremes(const PointView& p, std::size_t from, std::size_t n, double& smallest,
               double& largest) {
    double lo = p.y(from);
    double hi = lo;
    for (std::size_t k = from + 1; k < from + n; ++k) {
        const double v = p.y(k);
        lo = lo < v ? lo : v;
        hi = hi > v ? hi : v;
    }
    smallest = lo;
    largest = hi;
}

// The smallest and largest Y of the points [from, to) of a list whose values are all
// finite: the complete blocks inside the stretch from their stored extents, the
// points at either end one by one.
void yExtremesOf(const PointView& p, std::span<const YExtent> blocks, std::size_t from,
                 std::size_t to, double& smallest, double& largest) {
    constexpr std::size_t kBlock = PointList::kBlockSize;
    const std::size_t firstBlock = (from + kBlock - 1) / kBlock;
    std::size_t endBlock = to / kBlock;
    if (endBlock > blocks.size()) endBlock = blocks.size();
    if (endBlock <= firstBlock) {
        yExtremes(p, from, to - from, smallest, largest);
        return;
    }
    double lo = blocks[firstBlock].low;
    double hi = blocks[firstBlock].high;
    for (std::size_t b = firstBlock + 1; b < endBlock; ++b) {
        lo = lo < blocks[b].low ? lo : blocks[b].low;
        hi = hi > blocks[b].high ? hi : blocks[b].high;
    }
    double a = 0.0, z = 0.0;
    if (from < firstBlock * kBlock) {
        yExtremes(p, from, firstBlock * kBlock - from, a, z);
        lo = lo < a ? lo : a;
        hi = hi > z ? hi : z;
    }
    if (endBlock * kBlock < to) {
        yExtremes(p, endBlock * kBlock, to - endBlock * kBlock, a, z);
        lo = lo < a ? lo : a;
        hi = hi > z ? hi : z;
    }
    smallest = lo;
    largest = hi;
}

// The reduction for points that are all finite and in X order: the pixel column of
// X never goes back, so the points of one column are found by searching X, and the
// lowest and highest pixel come from the smallest and largest value (the value to
// pixel map is monotonic, so which zero or which of equal values is found does not
// matter).
void reducedByColumn(Segments& segments, const PointList& list, std::size_t start, std::size_t last,
                     const AxisScale& xScale, const AxisScale& yScale) {
    const PointView p = list.points();
    const std::span<const YExtent> blocks = list.yBlocks();
    const PixelMap x(xScale);
    const PixelMap y(yScale);
    std::size_t i = start;
    std::size_t width = 1;  // points in the previous column: the guess for this one
    while (i <= last) {
        const int column = x(p.x(i));
        // The end of the column: the first index from `i` on in another column. Start
        // at the guess, gallop towards the answer, then bisect.
        std::size_t inside = i;          // known to lie in the column
        std::size_t outside = last + 1;  // known to lie beyond it (or the end)
        const std::size_t guess = i + width;
        if (guess <= last) {
            if (x(p.x(guess)) == column) {
                inside = guess;
                for (std::size_t step = 1; inside + step <= last; step *= 2) {
                    if (x(p.x(inside + step)) != column) {
                        outside = inside + step;
                        break;
                    }
                    inside += step;
                }
            } else {
                outside = guess;
                for (std::size_t step = 1; step < outside - inside; step *= 2) {
                    if (x(p.x(outside - step)) == column) {
                        inside = outside - step;
                        break;
                    }
                    outside -= step;
                }
            }
        }
        while (outside - inside > 1) {
            const std::size_t mid = inside + (outside - inside) / 2;
            if (x(p.x(mid)) == column)
                inside = mid;
            else
                outside = mid;
        }
        double smallest = 0.0, largest = 0.0;
        yExtremesOf(p, blocks, i, outside, smallest, largest);
        const int a = y(smallest);
        const int b = y(largest);
        segments.column(column, y(p.y(i)), std::min(a, b), std::max(a, b), y(p.y(outside - 1)));
        width = outside - i;
        i = outside;
    }
}

}  // namespace

QPen seriesPen(const LineSeries& series) {
    return QPen(series.color, series.penWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}

VisibleRange visiblePoints(const LineSeries& series, double minimum, double maximum) {
    const PointView points = series.points.points();
    VisibleRange range;
    std::size_t first = points.size();
    std::size_t last = points.size();
    if (!series.points.hasNanX()) {
        auto below = [](const ChartPoint& p, double value) { return p.x < value; };
        const auto f = std::lower_bound(points.begin(), points.end(), minimum, below);
        const auto l = std::lower_bound(f, points.end(), maximum, below);
        first = static_cast<std::size_t>(f - points.begin());
        last = static_cast<std::size_t>(l - points.begin());
    } else {
        // A NaN X breaks the order a binary search needs; scan instead.
        auto atLeast = [&](std::size_t from, double value) {
            while (from < points.size() && !(points[from].x >= value)) ++from;
            return from;
        };
        first = atLeast(0, minimum);
        last = atLeast(first, maximum);
    }
    if (first == points.size()) return range;
    range.empty = false;
    range.first = first;
    range.last = last == points.size() ? points.size() - 1 : last;
    return range;
}

void drawSeriesLine(QPainter& painter, const LineSeries& series, const ChartLayout& layout,
                    LineDrawing drawing) {
    const AxisScale& x = layout.bottom.scale;
    const AxisScale& y = layout.left.scale;
    const VisibleRange range =
        visiblePoints(series, x.calcPosPoint(layout.plot.left), x.calcPosPoint(layout.plot.right));
    if (range.empty) return;
    const PointView points = series.points.points();

    // Start one point before the first visible one; a point without finite values is
    // passed over, the line joining its neighbours.
    std::size_t start = range.first > 0 ? range.first - 1 : 0;
    while (start > 0 && !isFinitePoint(points[start])) --start;
    while (start <= range.last && !isFinitePoint(points[start])) ++start;
    if (start > range.last) return;

    Segments segments(QPoint(x.valueToPixel(points[start].x), y.valueToPixel(points[start].y)));
    if (drawing == LineDrawing::EveryPoint || painter.testRenderHint(QPainter::Antialiasing))
        everyPoint(segments, points, start, range.last, x, y);
    else if (series.points.allFinite())
        reducedByColumn(segments, series.points, start, range.last, x, y);
    else
        reducedByPoint(segments, points, start, range.last, x, y);
    if (series.dashed)
        segments.drawDashed(painter, seriesPen(series));
    else
        segments.draw(painter, seriesPen(series));
}

}  // namespace zp::chart
