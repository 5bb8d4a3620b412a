// A line series of the chart: its fixed look, its flags and its point list.
#pragma once

#include <QColor>
#include <QString>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace zp::chart {

struct ChartPoint {
    double x;
    double y;
};

// The smallest and largest finite value of one coordinate over the points of a list.
struct FiniteRange {
    bool any = false;
    double minimum = 0.0;
    double maximum = 0.0;

    void add(double v) {
        if (!std::isfinite(v)) return;
        if (!any) {
            any = true;
            minimum = maximum = v;
        } else if (v < minimum) {
            minimum = v;
        } else if (v > maximum) {
            maximum = v;
        }
    }
};

// The smallest and largest Y of one block of consecutive points.
struct YExtent {
    double low;
    double high;
};

// The points of one series, kept in X order. Appending a point whose X is below the
// last X puts it after every stored point with X <= its X, so equal X keep their
// arrival order; a NaN X is never passed. Out-of-order appends are collected cheaply
// and merged into place the next time the points are read, by merging the runs of
// ascending X; the result is exactly that of inserting each point in turn.
//
// A list that holds gap-fill points keeps one mark byte per point beside them, in the
// same order; a list without any costs nothing more.
//
// The points lie in one block of two doubles each. The block grows by half its size
// at a time through realloc, which large blocks on most systems do by remapping pages
// rather than copying, so growing never holds the old and the new block at once; the
// part not yet written is never touched.
class PointList {
  public:
    PointList() = default;
    PointList(const PointList& other);
    PointList(PointList&& other) noexcept;
    PointList& operator=(const PointList& other);
    PointList& operator=(PointList&& other) noexcept;
    ~PointList();

    // Removes every point; the block is kept for the next points.
    void clear();
    void append(double x, double y) {
        if (size_ == capacity_) grow(size_ + 1);
        if (gapMarks_) gapMarks_[size_] = 0;
        if (!(std::isfinite(x) && std::isfinite(y))) countNonFinite(x);
        if (size_ > 0 && x < data_[size_ - 1].x && descents_++ == 0) firstDescent_ = size_;
        data_[size_++] = ChartPoint{x, y};
        xRange_.add(x);
        yRange_.add(y);
    }
    // Appends the zero point of a gap fill at `x`: drawn as any point, but a placeholder
    // for a second without a record rather than a reading.
    void appendGapFill(double x);
    // Makes room for `n` points in all.
    void reserve(std::size_t n);

    // Whether point i of points() is a gap-fill point (merges pending appends first).
    bool isGapFill(std::size_t i) const {
        if (gapFillCount_ == 0) return false;
        if (descents_ > 0) settle();
        return gapMarks_[i] != 0;
    }
    // The number of gap-fill points held.
    std::size_t gapFillCount() const { return gapFillCount_; }
    // The index of the first gap-fill point among points() [from, to), or `to` when
    // there is none: the readings come in runs between two of them.
    std::size_t nextGapFill(std::size_t from, std::size_t to) const;

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // True when some point has a NaN X, which leaves the list unsorted for a binary
    // search.
    bool hasNanX() const { return nanXCount_ > 0; }
    // True when every X and Y is finite.
    bool allFinite() const { return nonFiniteCount_ == 0; }
    // The finite extremes of the X and of the Y values, kept as points come in; the
    // same as a scan of points() in order would find (a zero of either sign included).
    const FiniteRange& xRange() const;
    const FiniteRange& yRange() const;

    // The points in X order (merges pending out-of-order appends first). Valid until
    // the list is next changed.
    std::span<const ChartPoint> points() const;
    const ChartPoint& operator[](std::size_t i) const { return points()[i]; }

    // The Y extent of every complete block of kBlockSize points in X order (block k
    // holds points k * kBlockSize to k * kBlockSize + kBlockSize - 1), so that a long
    // stretch of points can be summed up without reading each one. Computed on first
    // use after a change, for the blocks not computed yet. Meaningful only when
    // allFinite().
    static constexpr std::size_t kBlockSize = 64;
    std::span<const YExtent> yBlocks() const;

  private:
    void grow(std::size_t minimum);
    void countNonFinite(double x);
    void settle() const;
    template <class Marks>
    void sortPoints(Marks& marks, std::vector<ChartPoint>& buffer) const;
    void allocateGapMarks();

    mutable ChartPoint* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    // Appends whose X was below the X before it since the points were last in order
    // (none: in order), and the index of the first of them.
    mutable std::size_t descents_ = 0;
    mutable std::size_t firstDescent_ = 0;
    std::size_t nanXCount_ = 0;
    std::size_t nonFiniteCount_ = 0;
    mutable FiniteRange xRange_;
    mutable FiniteRange yRange_;
    mutable std::vector<YExtent> yBlocks_;
    // One byte per point (1: gap fill), allocated with the capacity of the points only
    // once the list gets its first gap-fill point; a merge moves it with the points.
    mutable std::uint8_t* gapMarks_ = nullptr;
    std::size_t gapFillCount_ = 0;
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
    // Limits in the series' Y values, drawn as dashed lines in the series colour while
    // the series is active; none drawn while unset.
    std::optional<double> lowerLimit;
    std::optional<double> upperLimit;
    PointList points;
};

}  // namespace zp::chart
