// Statistics and limit exceedances of one series over a stretch of its X axis. Only
// readings count: the zero points of a gap fill and the non-finite values are left out.
#pragma once

#include <cstddef>
#include <limits>
#include <optional>
#include <span>
#include <vector>

#include "chart/series.h"

namespace zp::analysis {

inline constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The points with from <= X <= to; the default is the whole axis. A NaN X is in no range.
struct XRange {
    double from = -kInfinity;
    double to = kInfinity;
};

struct SeriesStats {
    std::size_t count = 0;  // readings in the range
    double minimum = 0.0;
    double minimumX = 0.0;  // X of the first reading, in X order, that has the minimum
    double maximum = 0.0;
    double maximumX = 0.0;  // X of the first reading, in X order, that has the maximum
    double mean = 0.0;      // the sum of the readings in X order, divided by count
};

// The statistics of the readings of `points` in `range`; none when there is no reading.
std::optional<SeriesStats> seriesStats(const chart::PointList& points, XRange range = {});

// A reading above `high` or below `low` exceeds its limit; one equal to it does not.
// An infinite limit (the default) is no limit.
struct Limits {
    double low = -kInfinity;
    double high = kInfinity;
};

enum class ExceedSide { High, Low };

// A run of consecutive readings beyond one limit: X of its first and last reading and
// its peak, the highest reading of a High run or the lowest of a Low run.
struct Exceedance {
    ExceedSide side = ExceedSide::High;
    double startX = 0.0;
    double endX = 0.0;
    double peak = 0.0;
    bool operator==(const Exceedance&) const = default;
};

// The runs of consecutive readings in `range` (in X order) beyond `limits`, in X order.
// A gap-fill point or a non-finite reading ends a run and never starts one. With low
// above high, a reading beyond both counts as High.
std::vector<Exceedance> exceedances(const chart::PointList& points, const Limits& limits,
                                    XRange range = {});

// seriesStats() and exceedances() of many lists at once, in the lists' order: the same
// results, computed on every core when the lists hold many points in the range. The
// lists are read in X order first, so that the threads only read them.
std::vector<std::optional<SeriesStats>> seriesStatsOfEach(
    std::span<const chart::PointList* const> lists, XRange range = {});
std::vector<std::vector<Exceedance>> exceedancesOfEach(
    std::span<const chart::PointList* const> lists, std::span<const Limits> limits,
    XRange range = {});

}  // namespace zp::analysis
