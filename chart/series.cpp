#include "series.h"

#include <algorithm>
#include <cmath>

namespace zp::chart {

void PointList::clear() {
    points_.clear();
    ordered_ = true;
    firstPending_ = 0;
    nanXCount_ = 0;
}

void PointList::append(double x, double y) {
    if (std::isnan(x)) ++nanXCount_;
    if (ordered_ && !points_.empty() && x < points_.back().x) {
        ordered_ = false;
        firstPending_ = points_.size();
    }
    points_.push_back(ChartPoint{x, y});
}

const std::vector<ChartPoint>& PointList::points() const {
    if (!ordered_) settle();
    return points_;
}

void PointList::settle() const {
    if (nanXCount_ == 0) {
        // A stable sort by X of the arrival sequence gives the order that inserting
        // each point after the last point with X <= its own produces.
        std::stable_sort(points_.begin(), points_.end(),
                         [](const ChartPoint& a, const ChartPoint& b) { return a.x < b.x; });
    } else {
        // A NaN X compares false both ways, which no sort may be given. Insert each
        // pending point in turn instead: scan back past every point with a greater X
        // (a NaN X stops the scan) and put it right after.
        for (std::size_t i = firstPending_; i < points_.size(); ++i) {
            std::size_t j = i;
            while (j > 0 && points_[j - 1].x > points_[i].x) --j;
            std::rotate(points_.begin() + static_cast<std::ptrdiff_t>(j),
                        points_.begin() + static_cast<std::ptrdiff_t>(i),
                        points_.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        }
    }
    ordered_ = true;
    firstPending_ = points_.size();
}

}  // namespace zp::chart
