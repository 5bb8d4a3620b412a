#include "analysis/series_analysis.h"

#include <algorithm>
#include <cmath>

namespace zp::analysis {

namespace {

using chart::ChartPoint;

// The index stretch [first, last) of the points whose X can lie in `range`, and whether
// each X must still be checked: a list with a NaN X is not sorted, so all of it then.
struct Stretch {
    std::size_t first = 0;
    std::size_t last = 0;
    bool checkX = false;
};

Stretch stretchOf(const chart::PointList& list, const chart::PointView& points,
                  const XRange& range) {
    if (list.hasNanX() || !(range.from <= range.to)) return {0, points.size(), true};
    const auto begin = std::lower_bound(points.begin(), points.end(), range.from,
                                        [](const ChartPoint& p, double x) { return p.x < x; });
    const auto end = std::upper_bound(begin, points.end(), range.to,
                                      [](double x, const ChartPoint& p) { return x < p.x; });
    return {static_cast<std::size_t>(begin - points.begin()),
            static_cast<std::size_t>(end - points.begin()), false};
}

bool inRange(double x, const XRange& range) {
    return range.from <= x && x <= range.to;
}

// Calls `readings(first, last)` for each stretch of points between gap-fill points
// and `gapFill()` for each gap-fill point, in X order.
template <class Readings, class GapFill>
void forEachRun(const chart::PointList& list, std::size_t first, std::size_t last,
                Readings readings, GapFill gapFill) {
    std::size_t i = first;
    while (i < last) {
        const std::size_t g = list.nextGapFill(i, last);
        if (g > i) readings(i, g);
        if (g == last) break;
        gapFill();
        i = g + 1;
    }
}

// Running sums of the readings of the stretches a forEachRun hands out.
struct Accumulator {
    std::size_t count = 0;
    double sum = 0.0;
    double minimum = kInfinity;
    double minimumX = 0.0;
    double maximum = -kInfinity;
    double maximumX = 0.0;

    template <bool kCheckX>
    void add(const chart::PointView& p, std::size_t i, std::size_t end, const XRange& range) {
        // Locals keep the loop in registers; an X is decoded only where it is needed.
        std::size_t n = count;
        double s = sum, low = minimum, lowX = minimumX, high = maximum, highX = maximumX;
        p.forEachValue(i, end, [&](std::size_t k, double y) {
            if (!std::isfinite(y)) return;
            if constexpr (kCheckX)
                if (!inRange(p.x(k), range)) return;
            ++n;
            s += y;
            if (y < low) {
                low = y;
                lowX = p.x(k);
            }
            if (y > high) {
                high = y;
                highX = p.x(k);
            }
        });
        count = n;
        sum = s;
        minimum = low;
        minimumX = lowX;
        maximum = high;
        maximumX = highX;
    }
};

// The run being followed while the readings pass.
class RunTracker {
  public:
    RunTracker(const Limits& limits, std::vector<Exceedance>& out) : limits_(limits), out_(out) {}

    void reading(double x, double y) {
        if (y > limits_.high) {
            extend(ExceedSide::High, x, y);
        } else if (y < limits_.low) {
            extend(ExceedSide::Low, x, y);
        } else {
            end();
        }
    }
    void end() {
        if (open_) out_.push_back(run_);
        open_ = false;
    }
    bool open() const { return open_; }

  private:
    void extend(ExceedSide side, double x, double y) {
        if (open_ && run_.side == side) {
            run_.endX = x;
            if (side == ExceedSide::High ? y > run_.peak : y < run_.peak) run_.peak = y;
            return;
        }
        end();
        run_ = Exceedance{side, x, x, y};
        open_ = true;
    }

    const Limits& limits_;
    std::vector<Exceedance>& out_;
    Exceedance run_;
    bool open_ = false;
};

}  // namespace

std::optional<SeriesStats> seriesStats(const chart::PointList& list, XRange range) {
    const chart::PointView points = list.points();
    const Stretch stretch = stretchOf(list, points, range);
    Accumulator acc;
    forEachRun(
        list, stretch.first, stretch.last,
        [&](std::size_t first, std::size_t last) {
            if (stretch.checkX)
                acc.add<true>(points, first, last, range);
            else
                acc.add<false>(points, first, last, range);
        },
        [] {});
    if (acc.count == 0) return std::nullopt;
    return SeriesStats{acc.count,   acc.minimum,  acc.minimumX,
                       acc.maximum, acc.maximumX, acc.sum / static_cast<double>(acc.count)};
}

std::vector<Exceedance> exceedances(const chart::PointList& list, const Limits& limits,
                                    XRange range) {
    std::vector<Exceedance> out;
    const chart::PointView points = list.points();
    const Stretch stretch = stretchOf(list, points, range);
    RunTracker tracker(limits, out);
    forEachRun(
        list, stretch.first, stretch.last,
        [&](std::size_t first, std::size_t last) {
            // Most readings lie within the limits and end nothing: their X, which takes a
            // division to decode, is read only where it is needed.
            points.forEachValue(first, last, [&](std::size_t i, double y) {
                // A reading within the limits (never a NaN) ends a run wherever it lies.
                if (y <= limits.high && y >= limits.low) {
                    if (tracker.open()) tracker.end();
                } else if (!std::isfinite(y) || (stretch.checkX && !inRange(points.x(i), range))) {
                    tracker.end();
                } else {
                    tracker.reading(points.x(i), y);
                }
            });
        },
        [&] { tracker.end(); });
    tracker.end();
    return out;
}

}  // namespace zp::analysis
