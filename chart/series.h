// A line series of the chart: its fixed look, its flags and its point list.
#pragma once

#include <QColor>
#include <QString>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <limits>
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

// One point as a list keeps it compactly: the time in whole milliseconds from the
// list's first day, with the top bit marking a gap fill, and the value as a float.
struct CompactPoint {
    std::uint32_t time;
    float value;
};

// The X value of a compact time: the day plus the milliseconds over a day, computed as
// the import's time conversion computes it, so it gives back the very same double.
struct CompactTimes {
    static constexpr std::uint32_t kGapFill = std::uint32_t{1} << 31;
    static constexpr std::uint32_t kTimeBits = kGapFill - 1;
    static constexpr std::uint32_t kMillisecondsPerDay = 86400000;

    std::uint32_t firstDay = 0;

    double x(std::uint32_t time) const {
        const std::uint32_t t = time & kTimeBits;
        const std::uint32_t days = t / kMillisecondsPerDay;
        const std::uint32_t ms = t - days * kMillisecondsPerDay;
        return static_cast<double>(firstDay + days) +
               static_cast<double>(ms) / static_cast<double>(kMillisecondsPerDay);
    }
};

// The time bits of `x` as a time of day in whole milliseconds plus a whole day count,
// when that is what it is: the day and the milliseconds converted back give `x` bit for
// bit.
struct DayAndTime {
    bool exact = false;
    std::uint32_t day = 0;
    std::uint32_t ms = 0;
};
DayAndTime dayAndTimeOf(double x);

// The time bits of `x` as whole milliseconds since day 0 (day x 86,400,000 + ms) when
// dayAndTimeOf(x) is exact; kNotMilliseconds when it is not.
inline constexpr std::uint64_t kNotMilliseconds = ~std::uint64_t{0};
std::uint64_t millisecondsOf(double x);

// dayAndTimeOf(x), of which the last answer is kept: the points of one record, appended
// to one list after another, carry the same X.
inline const DayAndTime& cachedDayAndTime(double x) {
    thread_local std::uint64_t lastBits = ~std::uint64_t{0};  // a NaN: never passed
    thread_local DayAndTime last;
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
    if (bits != lastBits) {
        last = dayAndTimeOf(x);
        lastBits = bits;
    }
    return last;
}

// The points of a list in X order, read by index whichever form holds them.
class PointView {
  public:
    class Iterator;

    PointView() = default;

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    double x(std::size_t i) const {
        return wide_ ? wide_[i].x : times_.x(compact_[stored(i)].time);
    }
    double y(std::size_t i) const {
        return wide_ ? wide_[i].y : static_cast<double>(compact_[stored(i)].value);
    }
    ChartPoint operator[](std::size_t i) const { return ChartPoint{x(i), y(i)}; }
    // Calls f(i, y(i)) for i from `first` to `last` - 1, reading the values straight from
    // where they are stored: one run of consecutive points, or two where a compact block
    // wraps round.
    template <class F>
    void forEachValue(std::size_t first, std::size_t last, F f) const {
        if (wide_) {
            for (std::size_t i = first; i < last; ++i) f(i, wide_[i].y);
            return;
        }
        for (std::size_t i = first; i < last;) {
            const std::size_t at = stored(i);
            const std::size_t run = std::min(last - i, size_ - at);
            const CompactPoint* p = compact_ + at;
            for (std::size_t k = 0; k < run; ++k) f(i + k, static_cast<double>(p[k].value));
            i += run;
        }
    }
    // Several views walked side by side. When two views share a layout (both compact, of
    // one size, rotation and first day), the stored point at one place is the point of
    // the same index in both, and their stored times (gap-fill bit included) are equal
    // exactly when the X and the gap-fill marks are.
    bool sameLayout(const PointView& other) const {
        return !wide_ && !other.wide_ && size_ == other.size_ && rotation_ == other.rotation_ &&
               times_.firstDay == other.times_.firstDay;
    }
    // The compact points as stored (null in the wide form), with forEachStoredRun().
    const CompactPoint* storedPoints() const { return compact_; }
    // Calls f(i, at, count) for points `first` to `last` - 1 of a compact view: points i to
    // i + count - 1 lie at storedPoints()[at] on; one run, or two where the block wraps.
    template <class F>
    void forEachStoredRun(std::size_t first, std::size_t last, F f) const {
        for (std::size_t i = first; i < last;) {
            const std::size_t at = stored(i);
            const std::size_t run = std::min(last - i, size_ - at);
            f(i, at, run);
            i += run;
        }
    }
    // The X of a stored time of a compact view.
    double xOfStored(std::uint32_t time) const { return times_.x(time); }
    // Whether point i has the same X as point j of `other`; compact points of the same
    // first day compare their stored times, which give equal X exactly when equal.
    bool sameX(std::size_t i, const PointView& other, std::size_t j) const {
        if (!wide_ && !other.wide_ && times_.firstDay == other.times_.firstDay)
            return ((compact_[stored(i)].time ^ other.compact_[other.stored(j)].time) &
                    CompactTimes::kTimeBits) == 0;
        return x(i) == other.x(j);
    }
    ChartPoint front() const { return (*this)[0]; }
    ChartPoint back() const { return (*this)[size_ - 1]; }
    Iterator begin() const;
    Iterator end() const;

  private:
    friend class PointList;
    PointView(const ChartPoint* wide, const CompactPoint* compact, std::size_t size,
              std::size_t rotation, CompactTimes times)
        : wide_(wide), compact_(compact), size_(size), rotation_(rotation), times_(times) {}

    // Where point i lies in a compact block whose points start at `rotation_`.
    std::size_t stored(std::size_t i) const {
        const std::size_t at = i + rotation_;
        return at < size_ ? at : at - size_;
    }

    const ChartPoint* wide_ = nullptr;
    const CompactPoint* compact_ = nullptr;
    std::size_t size_ = 0;
    std::size_t rotation_ = 0;
    CompactTimes times_;
};

// Walks a view's points in order, giving each as a value.
class PointView::Iterator {
  public:
    using iterator_category = std::random_access_iterator_tag;
    using iterator_concept = std::random_access_iterator_tag;
    using value_type = ChartPoint;
    using difference_type = std::ptrdiff_t;
    using reference = ChartPoint;
    using pointer = void;

    Iterator() = default;
    Iterator(const PointView& view, std::size_t i) : view_(view), i_(i) {}

    ChartPoint operator*() const { return view_[i_]; }
    ChartPoint operator[](difference_type n) const { return view_[i_ + n]; }
    Iterator& operator++() { return ++i_, *this; }
    Iterator operator++(int) { return Iterator(view_, i_++); }
    Iterator& operator--() { return --i_, *this; }
    Iterator operator--(int) { return Iterator(view_, i_--); }
    Iterator& operator+=(difference_type n) { return i_ += n, *this; }
    Iterator& operator-=(difference_type n) { return i_ -= n, *this; }
    friend Iterator operator+(Iterator it, difference_type n) { return it += n; }
    friend Iterator operator+(difference_type n, Iterator it) { return it += n; }
    friend Iterator operator-(Iterator it, difference_type n) { return it -= n; }
    friend difference_type operator-(const Iterator& a, const Iterator& b) {
        return static_cast<difference_type>(a.i_) - static_cast<difference_type>(b.i_);
    }
    friend bool operator==(const Iterator& a, const Iterator& b) { return a.i_ == b.i_; }
    friend auto operator<=>(const Iterator& a, const Iterator& b) { return a.i_ <=> b.i_; }

  private:
    PointView view_;
    std::size_t i_ = 0;
};

inline PointView::Iterator PointView::begin() const {
    return Iterator(*this, 0);
}
inline PointView::Iterator PointView::end() const {
    return Iterator(*this, size_);
}

// The points of one series, kept in X order. Appending a point whose X is below the
// last X puts it after every stored point with X <= its X, so equal X keep their
// arrival order; a NaN X is never passed. Out-of-order appends are collected cheaply
// and merged into place the next time the points are read, by merging the runs of
// ascending X; the result is exactly that of inserting each point in turn.
//
// What the import appends fits in 8 bytes a point: every value is a float widened to
// a double, and every time is whole milliseconds of a day plus a day count. The list
// keeps such points compactly and gives back exactly the doubles appended. The first
// point that does not fit (a value that is no float, a time that the compact form does
// not reproduce bit for bit, a day too far from the first) turns the whole list into
// the wide form of two doubles a point, until it is next cleared.
//
// A gap-fill point is marked by a bit of its compact time; a wide list that holds gap
// fills keeps one mark byte per point beside them.
//
// The points lie in one block. It grows by half its size at a time through realloc,
// which large blocks on most systems do by remapping pages rather than copying, so
// growing never holds the old and the new block at once. Where the system allows, the
// pages a large block grows by are mapped in one go; shrinkToFit() gives back the room
// beyond the points once a load is done.
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
        if (!appendInOrder(x, y)) appendPoint(x, y, false);
    }
    // Appends (xs[k], ys[k * stride]) for k from 0 to n - 1, as append() would each in
    // turn, where ms[k] is millisecondsOf(xs[k]): the readings of several records at
    // once, whose times were decoded once for every list they go to.
    void appendColumn(const double* xs, const std::uint64_t* ms, const float* ys,
                      std::size_t stride, std::size_t n);
    // Appends the zero point of a gap fill at `x`: drawn as any point, but a placeholder
    // for a second without a record rather than a reading.
    void appendGapFill(double x) { appendPoint(x, 0.0, true); }
    // Appends `points` after those held, each at the X of its time as stored in the
    // compact view `source` (that of another list) with its value, or a gap fill where
    // the time has the gap-fill bit (its value unread): the very points append() and
    // appendGapFill() make of them, for a list computed from another one. While the
    // times ascend and this list counts them from the source's first day, they are kept
    // as they come rather than worked out from X again.
    void appendStored(const PointView& source, std::span<const CompactPoint> points);
    // Makes room for `n` points in all.
    void reserve(std::size_t n);
    // Gives back the room beyond the points held, once no more points are coming.
    void shrinkToFit();

    // Whether point i of points() is a gap-fill point (merges pending appends first).
    bool isGapFill(std::size_t i) const {
        if (gapFillCount_ == 0) return false;
        if (descents_ > 0) settle();
        return wide_ ? gapMarks_[i] != 0
                     : (compact()[view().stored(i)].time & CompactTimes::kGapFill) != 0;
    }
    // The number of gap-fill points held.
    std::size_t gapFillCount() const { return gapFillCount_; }
    // The index of the first gap-fill point among points() [from, to), or `to` when
    // there is none: the readings come in runs between two of them.
    std::size_t nextGapFill(std::size_t from, std::size_t to) const;

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // True when the points are held in the wide form.
    bool isWide() const { return wide_; }
    // The bytes of the block that holds the points (its capacity).
    std::size_t blockBytes() const { return capacityBytes_; }
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
    PointView points() const;
    ChartPoint operator[](std::size_t i) const { return points()[i]; }

    // The Y extent of every complete block of kBlockSize points in X order (block k
    // holds points k * kBlockSize to k * kBlockSize + kBlockSize - 1), so that a long
    // stretch of points can be summed up without reading each one. Computed on first
    // use after a change, for the blocks not computed yet. Meaningful only when
    // allFinite().
    static constexpr std::size_t kBlockSize = 64;
    std::span<const YExtent> yBlocks() const;

  private:
    // The append of nearly every point of a load, done in line: a finite point at or
    // after the last X, into a compact list in order that has room and holds its time
    // and value. False, with nothing changed, for any other point.
    bool appendInOrder(double x, double y) {
        if (wide_ || rotation_ != 0 || size_ == 0 ||
            size_ >= capacityBytes_ / sizeof(CompactPoint) || !(x >= lastX_) || !std::isfinite(x) ||
            !std::isfinite(y) ||
            std::fabs(y) > static_cast<double>(std::numeric_limits<float>::max()))
            return false;
        const auto value = static_cast<float>(y);
        if (std::bit_cast<std::uint64_t>(static_cast<double>(value)) !=
            std::bit_cast<std::uint64_t>(y))
            return false;
        const DayAndTime& at = cachedDayAndTime(x);
        if (!at.exact || at.day < times_.firstDay) return false;
        const std::uint64_t time =
            std::uint64_t{at.day - times_.firstDay} * CompactTimes::kMillisecondsPerDay + at.ms;
        if (time > CompactTimes::kTimeBits) return false;
        compact()[size_] = CompactPoint{static_cast<std::uint32_t>(time), value};
        lastX_ = x;
        ++size_;
        xRange_.add(x);
        yRange_.add(y);
        return true;
    }
    void appendPoint(double x, double y, bool gapFill);
    // Adds the least and the greatest of finite values appended in turn to yRange_.
    void addYExtremes(float low, float high);
    bool appendCompact(double x, double y, bool gapFill);
    void appendWide(double x, double y, bool gapFill);
    void noteAppended(double x, double y, bool gapFill);
    void widen();
    void reserveBytes(std::size_t bytes);
    std::size_t capacity() const {
        return capacityBytes_ / (wide_ ? sizeof(ChartPoint) : sizeof(CompactPoint));
    }
    ChartPoint* wide() const { return static_cast<ChartPoint*>(block_); }
    CompactPoint* compact() const { return static_cast<CompactPoint*>(block_); }
    void settle() const;
    // The points as stored, without merging pending appends first.
    PointView view() const;
    // Puts a rotated compact block back in X order in place.
    void unrotate();
    void allocateGapMarks();

    mutable void* block_ = nullptr;
    std::size_t capacityBytes_ = 0;
    std::size_t size_ = 0;
    bool wide_ = false;
    // The first day of the compact times, set by the first point of a compact list.
    CompactTimes times_;
    // The X of the last point in the block, to tell an out-of-order append.
    mutable double lastX_ = 0.0;
    // A compact block in X order from point `rotation_` on, wrapping round to its start:
    // a log that crosses midnight once is put in order by this alone, with no point
    // moved. Undone before the next append.
    mutable std::size_t rotation_ = 0;
    // Appends whose X was below the X before it since the points were last in order
    // (none: in order), and the index of the first of them.
    mutable std::size_t descents_ = 0;
    mutable std::size_t firstDescent_ = 0;
    std::size_t nanXCount_ = 0;
    std::size_t nonFiniteCount_ = 0;
    mutable FiniteRange xRange_;
    mutable FiniteRange yRange_;
    mutable std::vector<YExtent> yBlocks_;
    // In the wide form, one byte per point (1: gap fill), allocated with the capacity of
    // the points only once the list gets its first gap-fill point; a merge moves it
    // with the points.
    mutable std::uint8_t* gapMarks_ = nullptr;
    std::size_t gapFillCount_ = 0;
};

// One line series of the chart.
struct LineSeries {
    QString name;   // component name, e.g. "VoltsSeries"
    QString title;  // legend title
    QColor color;   // series colour, also the line pen colour
    int penWidth = 2;
    bool active = false;       // drawn and used for the axis ranges
    bool showInLegend = true;  // has a legend item
    bool xDateTime = false;    // X values are date-times
    // Drawn dashed (line and legend sample), as the series of an overlaid second log.
    bool dashed = false;
    // Limits in the series' Y values, drawn as dashed lines in the series colour while
    // the series is active; none drawn while unset.
    std::optional<double> lowerLimit;
    std::optional<double> upperLimit;
    // A filled square of five pixels at every point, over the line (a trend's points,
    // one per flight); none while off.
    bool pointMarks = false;
    PointList points;
};

}  // namespace zp::chart
