#include "analysis/cursor_values.h"

#include <algorithm>
#include <cmath>

namespace zp::analysis {

std::optional<chart::ChartPoint> readingAtOrBefore(const chart::PointList& points, double x) {
    const chart::PointView all = points.points();
    std::size_t end = all.size();
    if (!points.hasNanX()) {
        // Sorted by X: start from the first point beyond x.
        end = static_cast<std::size_t>(
            std::upper_bound(all.begin(), all.end(), x,
                             [](double v, const chart::ChartPoint& p) { return v < p.x; }) -
            all.begin());
    }
    for (std::size_t i = end; i-- > 0;) {
        const chart::ChartPoint p = all[i];
        if (!(p.x <= x) || !std::isfinite(p.x) || !std::isfinite(p.y) || points.isGapFill(i))
            continue;
        return p;
    }
    return std::nullopt;
}

}  // namespace zp::analysis
