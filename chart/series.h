// A line series of the chart: its fixed look, its flags and its point list.
#pragma once

#include <QColor>
#include <QString>
#include <cstddef>
#include <vector>

namespace zp::chart {

struct ChartPoint {
    double x;
    double y;
};

// The points of one series, kept in X order. Appending a point whose X is below the
// last X puts it after every stored point with X <= its X, so equal X keep their
// arrival order. Out-of-order appends are collected cheaply and merged into place
// the next time the points are read; the result is exactly that of inserting each
// point in turn.
class PointList {
  public:
    void clear();
    void append(double x, double y);
    void reserve(std::size_t n) { points_.reserve(n); }

    std::size_t size() const { return points_.size(); }
    bool empty() const { return points_.empty(); }
    // True when some point has a NaN X, which leaves the list unsorted for a binary
    // search.
    bool hasNanX() const { return nanXCount_ > 0; }

    // The points in X order (merges pending out-of-order appends first).
    const std::vector<ChartPoint>& points() const;
    const ChartPoint& operator[](std::size_t i) const { return points()[i]; }

  private:
    void settle() const;

    mutable std::vector<ChartPoint> points_;
    mutable bool ordered_ = true;
    // Index of the first append that came out of order; the points before it are in
    // their final order.
    mutable std::size_t firstPending_ = 0;
    std::size_t nanXCount_ = 0;
};

// One line series (a TFastLineSeries as the chart uses it).
struct LineSeries {
    QString name;   // component name, e.g. "VoltsSeries"
    QString title;  // legend title
    QColor color;   // series colour, also the line pen colour
    int penWidth = 2;
    bool active = false;       // drawn and used for the axis ranges
    bool showInLegend = true;  // has a legend item
    bool xDateTime = false;    // X values are date-times
    PointList points;
};

}  // namespace zp::chart
