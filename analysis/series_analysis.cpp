#include "analysis/series_analysis.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "analysis/parallel_tasks.h"

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

namespace {

// The runs of readings beyond the limits in each stretch of readings. A reading is
// classed (within, High or Low) and only a change of class does more: readings that
// jitter about a limit cost little. A run ends at the end of its stretch (a gap fill or
// the end of the points follows); its X and its peak are read once it has ended.
class RunWalk {
  public:
    // `blocks`: the Y extent of each block of points in X order (empty: not known), by
    // which a block whose readings all lie within the limits is passed over unread.
    RunWalk(const chart::PointView& points, const Limits& limits, std::vector<Exceedance>& out,
            std::span<const chart::YExtent> blocks)
        : points_(points), high_(limits.high), low_(limits.low), out_(out), blocks_(blocks) {}

    template <bool kCheckX>
    void readings(std::size_t first, std::size_t last, const XRange& range) {
        int current = kWithin;
        std::size_t runFirst = first;
        const auto walk = [&](std::size_t from, std::size_t to) {
            points_.forEachValue(from, to, [&](std::size_t i, double y) {
                const int c = classOf<kCheckX>(i, y, range);
                if (c == current) return;
                if (current != kWithin) closeRun(current, runFirst, i);
                current = c;
                runFirst = i;
            });
        };
        if (kCheckX || blocks_.empty()) {
            walk(first, last);
        } else {
            constexpr std::size_t kBlock = chart::PointList::kBlockSize;
            for (std::size_t i = first; i < last;) {
                const std::size_t b = i / kBlock;
                if (i % kBlock == 0 && b < blocks_.size() && last - i >= kBlock &&
                    blocks_[b].low >= low_ && blocks_[b].high <= high_) {
                    // Every reading within the limits: the first ends a run.
                    if (current != kWithin) closeRun(current, runFirst, i);
                    current = kWithin;
                    i += kBlock;
                    continue;
                }
                const std::size_t to = std::min(last, (b + 1) * kBlock);
                walk(i, to);
                i = to;
            }
        }
        if (current != kWithin) closeRun(current, runFirst, last);
    }

  private:
    static constexpr int kWithin = 0;
    static constexpr int kHigh = 1;
    static constexpr int kLow = 2;

    // A reading within the limits, a NaN, an infinity and one outside the range end a
    // run and start none. With low above high, a reading beyond both counts as High.
    template <bool kCheckX>
    int classOf(std::size_t i, double y, const XRange& range) const {
        if (!(std::fabs(y) <= std::numeric_limits<double>::max())) return kWithin;
        const int c = y > high_ ? kHigh : (y < low_ ? kLow : kWithin);
        if constexpr (kCheckX)
            if (c != kWithin && !inRange(points_.x(i), range)) return kWithin;
        return c;
    }
    // The run of points [first, end) is over.
    void closeRun(int side, std::size_t first, std::size_t end) {
        const double peak = side == kHigh ? highest(first, end) : lowest(first, end);
        out_.push_back(Exceedance{side == kHigh ? ExceedSide::High : ExceedSide::Low,
                                  points_.x(first), points_.x(end - 1), peak});
    }
    // The first of the highest and of the lowest values of points [first, end).
    double highest(std::size_t first, std::size_t end) const {
        double peak = points_.y(first);
        points_.forEachValue(first + 1, end, [&peak](std::size_t, double y) {
            if (y > peak) peak = y;
        });
        return peak;
    }
    double lowest(std::size_t first, std::size_t end) const {
        double peak = points_.y(first);
        points_.forEachValue(first + 1, end, [&peak](std::size_t, double y) {
            if (y < peak) peak = y;
        });
        return peak;
    }

    const chart::PointView& points_;
    const double high_;
    const double low_;
    std::vector<Exceedance>& out_;
    const std::span<const chart::YExtent> blocks_;
};

}  // namespace

std::vector<Exceedance> exceedances(const chart::PointList& list, const Limits& limits,
                                    XRange range) {
    std::vector<Exceedance> out;
    const chart::PointView points = list.points();
    const Stretch stretch = stretchOf(list, points, range);
    // The blocks' extents, kept by the list for the chart's drawing, hold only where
    // every point is finite.
    RunWalk walk(points, limits, out,
                 list.allFinite() ? list.yBlocks() : std::span<const chart::YExtent>());
    forEachRun(
        list, stretch.first, stretch.last,
        [&](std::size_t first, std::size_t last) {
            if (stretch.checkX)
                walk.readings<true>(first, last, range);
            else
                walk.readings<false>(first, last, range);
        },
        [] {});
    return out;
}

namespace {

// Below this many points in all a single thread is quicker than starting others.
constexpr std::size_t kPointsForThreads = std::size_t{1} << 18;

// The lists' indexes, those with the most points in the range first, and whether they
// hold enough points in it in all for threads to pay. Each list is read in X order.
std::vector<std::size_t> largestFirst(std::span<const chart::PointList* const> lists,
                                      const XRange& range, bool& parallel) {
    std::vector<std::size_t> points(lists.size());
    for (std::size_t k = 0; k < lists.size(); ++k) {
        const chart::PointView view = lists[k]->points();
        const Stretch stretch = stretchOf(*lists[k], view, range);
        points[k] = stretch.last - stretch.first;
    }
    parallel = std::accumulate(points.begin(), points.end(), std::size_t{0}) >= kPointsForThreads;
    std::vector<std::size_t> order(lists.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return points[a] > points[b]; });
    return order;
}

}  // namespace

std::vector<std::optional<SeriesStats>> seriesStatsOfEach(
    std::span<const chart::PointList* const> lists, XRange range) {
    bool parallel = false;
    const std::vector<std::size_t> order = largestFirst(lists, range, parallel);
    std::vector<std::optional<SeriesStats>> out(lists.size());
    runTasks(
        order.size(), [&](std::size_t t) { out[order[t]] = seriesStats(*lists[order[t]], range); },
        parallel);
    return out;
}

std::vector<std::vector<Exceedance>> exceedancesOfEach(
    std::span<const chart::PointList* const> lists, std::span<const Limits> limits, XRange range) {
    bool parallel = false;
    const std::vector<std::size_t> order = largestFirst(lists, range, parallel);
    for (const chart::PointList* list : lists)
        if (list->allFinite()) (void)list->yBlocks();  // made before the threads read them
    std::vector<std::vector<Exceedance>> out(lists.size());
    runTasks(
        order.size(),
        [&](std::size_t t) {
            const std::size_t k = order[t];
            out[k] = exceedances(*lists[k], limits[k], range);
        },
        parallel);
    return out;
}

}  // namespace zp::analysis
