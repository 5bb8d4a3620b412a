#include "series.h"

#include <algorithm>

namespace zp::chart {

void PointList::clear() {
    points_.clear();
    ordered_ = true;
}

void PointList::append(double x, double y) {
    if (ordered_ && !points_.empty() && x < points_.back().x) ordered_ = false;
    points_.push_back(ChartPoint{x, y});
}

const std::vector<ChartPoint>& PointList::points() const {
    if (!ordered_) settle();
    return points_;
}

void PointList::settle() const {
    // A stable sort by X of the arrival sequence gives the order that inserting each
    // point after the last point with X <= its own produces.
    std::stable_sort(points_.begin(), points_.end(),
                     [](const ChartPoint& a, const ChartPoint& b) { return a.x < b.x; });
    ordered_ = true;
}

}  // namespace zp::chart
