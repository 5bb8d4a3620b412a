#include "chart/series.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <utility>
#include <vector>

namespace zp::chart {

namespace {

constexpr std::size_t kFirstCapacity = 256;

bool isNan(double v) {
    return v != v;
}

// The partition point of [first, last) (X ascending) for `before`, true for the points
// that lie before it: galloping from the front, so a short answer costs a few
// comparisons.
template <class Before>
ChartPoint* gallopFromFront(ChartPoint* first, ChartPoint* last, Before before) {
    std::size_t step = 1;
    ChartPoint* low = first;  // every point before `low` lies before the answer
    while (low != last && before(*low)) {
        ChartPoint* probe = static_cast<std::size_t>(last - low) > step ? low + step : last - 1;
        if (before(*probe)) {
            low = probe + 1;
            step *= 2;
            continue;
        }
        // The answer lies in [low, probe].
        ChartPoint* high = probe;
        while (low < high) {
            ChartPoint* mid = low + (high - low) / 2;
            if (before(*mid))
                low = mid + 1;
            else
                high = mid;
        }
        return low;
    }
    return low;
}

// The same partition point, galloping from the back.
template <class Before>
ChartPoint* gallopFromBack(ChartPoint* first, ChartPoint* last, Before before) {
    std::size_t step = 1;
    ChartPoint* high = last;  // every point from `high` on lies after the answer
    while (high != first && !before(high[-1])) {
        ChartPoint* probe = static_cast<std::size_t>(high - first) > step ? high - 1 - step : first;
        if (!before(*probe)) {
            high = probe;
            step *= 2;
            continue;
        }
        ChartPoint* low = probe + 1;  // probe lies before the answer
        while (low < high) {
            ChartPoint* mid = low + (high - low) / 2;
            if (!before(*mid))
                high = mid;
            else
                low = mid + 1;
        }
        return high;
    }
    return high;
}

// The first point whose X is not below `x`, and the first whose X is above it.
auto belowX(double x) {
    return [x](const ChartPoint& p) { return p.x < x; };
}
auto notAboveX(double x) {
    return [x](const ChartPoint& p) { return !(x < p.x); };
}

void moveBlock(ChartPoint* to, const ChartPoint* from, std::size_t n) {
    if (n > 0) std::memmove(to, from, n * sizeof(ChartPoint));
}

// What the merge does with the points' gap marks: a list without them has none to move.
struct NoMarks {
    void copyOut(const ChartPoint*, std::size_t) {}
    void within(ChartPoint* to, const ChartPoint* from, std::size_t n) { moveBlock(to, from, n); }
    void fromBuffer(ChartPoint* to, const ChartPoint* from, std::size_t n) {
        moveBlock(to, from, n);
    }
};

// A list with gap marks: every block of points moved, within the list or back from the
// merge buffer, takes its marks along; copying points out copies their marks out.
class MovedMarks {
  public:
    MovedMarks(const ChartPoint* points, std::uint8_t* marks, const std::vector<ChartPoint>& buffer,
               std::vector<std::uint8_t>& markBuffer)
        : points_(points), marks_(marks), buffer_(buffer), markBuffer_(markBuffer) {}

    void copyOut(const ChartPoint* first, std::size_t n) {
        markBuffer_.assign(markOf(first), markOf(first) + n);
    }
    void within(ChartPoint* to, const ChartPoint* from, std::size_t n) {
        moveBlock(to, from, n);
        if (n > 0) std::memmove(markOf(to), markOf(from), n);
    }
    void fromBuffer(ChartPoint* to, const ChartPoint* from, std::size_t n) {
        moveBlock(to, from, n);
        if (n > 0) std::memcpy(markOf(to), markBuffer_.data() + (from - buffer_.data()), n);
    }

  private:
    std::uint8_t* markOf(const ChartPoint* p) const { return marks_ + (p - points_); }

    const ChartPoint* points_;
    std::uint8_t* marks_;
    const std::vector<ChartPoint>& buffer_;
    std::vector<std::uint8_t>& markBuffer_;
};

// Merges the ascending runs [lo, mid) and [mid, hi) of `p` in place, the left run's
// point first where X are equal. Only the smaller side is copied out, and blocks that
// keep their order are moved whole.
template <class Marks>
void mergeRuns(ChartPoint* p, std::size_t lo, std::size_t mid, std::size_t hi,
               std::vector<ChartPoint>& buffer, Marks& marks) {
    if (!(p[mid].x < p[mid - 1].x)) return;
    // Left points not above the right's first point, and right points not below the
    // left's last point, are already in place.
    ChartPoint* const middle = p + mid;
    ChartPoint* const left = gallopFromFront(p + lo, middle, notAboveX(p[mid].x));
    ChartPoint* const right = gallopFromBack(middle, p + hi, belowX(p[mid - 1].x));
    const std::size_t leftCount = static_cast<std::size_t>(middle - left);
    const std::size_t rightCount = static_cast<std::size_t>(right - middle);

    if (leftCount <= rightCount) {
        buffer.assign(left, middle);
        marks.copyOut(left, leftCount);
        ChartPoint* a = buffer.data();
        ChartPoint* const aEnd = a + leftCount;
        ChartPoint* b = middle;
        ChartPoint* out = left;
        while (a != aEnd) {
            if (b == right) {
                marks.fromBuffer(out, a, static_cast<std::size_t>(aEnd - a));
                break;
            }
            if (b->x < a->x) {
                ChartPoint* e = gallopFromFront(b, right, belowX(a->x));
                marks.within(out, b, static_cast<std::size_t>(e - b));
                out += e - b;
                b = e;
            } else {
                ChartPoint* e = gallopFromFront(a, aEnd, notAboveX(b->x));
                marks.fromBuffer(out, a, static_cast<std::size_t>(e - a));
                out += e - a;
                a = e;
            }
        }
    } else {
        buffer.assign(middle, right);
        marks.copyOut(middle, rightCount);
        ChartPoint* const bBegin = buffer.data();
        ChartPoint* b = bBegin + rightCount;  // one past the next right point
        ChartPoint* a = middle;               // one past the next left point
        ChartPoint* out = right;              // one past the next slot
        while (b != bBegin) {
            if (a == left) {
                const std::size_t n = static_cast<std::size_t>(b - bBegin);
                marks.fromBuffer(out - n, bBegin, n);
                break;
            }
            if (b[-1].x < a[-1].x) {
                // Left points above the next right point go behind it.
                ChartPoint* s = gallopFromBack(left, a, notAboveX(b[-1].x));
                const std::size_t n = static_cast<std::size_t>(a - s);
                out -= n;
                marks.within(out, s, n);
                a = s;
            } else {
                // Right points not below the next left point go behind it.
                ChartPoint* s = gallopFromBack(bBegin, b, belowX(a[-1].x));
                const std::size_t n = static_cast<std::size_t>(b - s);
                out -= n;
                marks.fromBuffer(out, s, n);
                b = s;
            }
        }
    }
}

// The end of the ascending run that starts at `from`.
std::size_t runEnd(const ChartPoint* p, std::size_t from, std::size_t n) {
    std::size_t i = from + 1;
    while (i < n && !(p[i].x < p[i - 1].x)) ++i;
    return i < n ? i : n;
}

// Sorts `n` points without NaN X stably by X: merges neighbouring ascending runs,
// pass after pass, until one run is left.
template <class Marks>
void sortPiece(ChartPoint* p, std::size_t n, std::vector<ChartPoint>& buffer, Marks& marks) {
    if (n < 2) return;
    for (;;) {
        std::size_t lo = 0;
        std::size_t mid = runEnd(p, 0, n);
        if (mid == n) return;
        while (mid < n) {
            const std::size_t hi = runEnd(p, mid, n);
            mergeRuns(p, lo, mid, hi, buffer, marks);
            if (lo == 0 && hi == n) return;  // two runs made one: no second look needed
            lo = hi;
            mid = lo < n ? runEnd(p, lo, n) : n;
        }
    }
}

FiniteRange yRangeOf(const ChartPoint* p, std::size_t n) {
    FiniteRange range;
    for (std::size_t i = 0; i < n; ++i) range.add(p[i].y);
    return range;
}

}  // namespace

PointList::PointList(const PointList& other) {
    *this = other;
}

PointList::PointList(PointList&& other) noexcept {
    *this = std::move(other);
}

PointList& PointList::operator=(const PointList& other) {
    if (this == &other) return *this;
    const std::span<const ChartPoint> source = other.points();
    clear();
    reserve(source.size());
    if (!source.empty()) std::memcpy(data_, source.data(), source.size() * sizeof(ChartPoint));
    size_ = source.size();
    nanXCount_ = other.nanXCount_;
    nonFiniteCount_ = other.nonFiniteCount_;
    xRange_ = other.xRange_;
    yRange_ = other.yRange_;
    yBlocks_.clear();
    if (other.gapFillCount_ > 0) {
        allocateGapMarks();
        std::memcpy(gapMarks_, other.gapMarks_, size_);
        gapFillCount_ = other.gapFillCount_;
    }
    return *this;
}

PointList& PointList::operator=(PointList&& other) noexcept {
    if (this == &other) return *this;
    std::free(data_);
    std::free(gapMarks_);
    data_ = std::exchange(other.data_, nullptr);
    gapMarks_ = std::exchange(other.gapMarks_, nullptr);
    gapFillCount_ = std::exchange(other.gapFillCount_, 0);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
    descents_ = std::exchange(other.descents_, 0);
    firstDescent_ = std::exchange(other.firstDescent_, 0);
    nanXCount_ = std::exchange(other.nanXCount_, 0);
    nonFiniteCount_ = std::exchange(other.nonFiniteCount_, 0);
    xRange_ = std::exchange(other.xRange_, FiniteRange{});
    yRange_ = std::exchange(other.yRange_, FiniteRange{});
    yBlocks_ = std::move(other.yBlocks_);
    other.yBlocks_.clear();
    return *this;
}

PointList::~PointList() {
    std::free(data_);
    std::free(gapMarks_);
}

void PointList::clear() {
    size_ = 0;
    descents_ = 0;
    nanXCount_ = 0;
    nonFiniteCount_ = 0;
    xRange_ = FiniteRange{};
    yRange_ = FiniteRange{};
    yBlocks_.clear();
    // The marks go with the points: the next points may have no gap fill.
    std::free(gapMarks_);
    gapMarks_ = nullptr;
    gapFillCount_ = 0;
}

void PointList::reserve(std::size_t n) {
    if (n <= capacity_) return;
    if (n > std::numeric_limits<std::size_t>::max() / sizeof(ChartPoint)) throw std::bad_alloc();
    void* block = std::realloc(data_, n * sizeof(ChartPoint));
    if (!block) throw std::bad_alloc();
    data_ = static_cast<ChartPoint*>(block);
    capacity_ = n;
    if (gapMarks_) {
        void* marks = std::realloc(gapMarks_, n);
        if (!marks) throw std::bad_alloc();
        gapMarks_ = static_cast<std::uint8_t*>(marks);
    }
}

void PointList::allocateGapMarks() {
    if (gapMarks_) return;
    void* marks = std::calloc(capacity_ > 0 ? capacity_ : 1, 1);
    if (!marks) throw std::bad_alloc();
    gapMarks_ = static_cast<std::uint8_t*>(marks);
}

void PointList::appendGapFill(double x) {
    if (size_ == capacity_) grow(size_ + 1);
    allocateGapMarks();
    append(x, 0.0);
    gapMarks_[size_ - 1] = 1;
    ++gapFillCount_;
}

std::size_t PointList::nextGapFill(std::size_t from, std::size_t to) const {
    if (gapFillCount_ == 0 || from >= to) return to;
    if (descents_ > 0) settle();
    const void* mark = std::memchr(gapMarks_ + from, 1, to - from);
    return mark ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(mark) - gapMarks_) : to;
}

void PointList::grow(std::size_t minimum) {
    std::size_t next = capacity_ < kFirstCapacity ? kFirstCapacity : capacity_ + capacity_ / 2;
    if (next < minimum) next = minimum;
    reserve(next);
}

void PointList::countNonFinite(double x) {
    ++nonFiniteCount_;
    if (isNan(x)) ++nanXCount_;
}

std::span<const ChartPoint> PointList::points() const {
    if (descents_ > 0) settle();
    return {data_, size_};
}

const FiniteRange& PointList::xRange() const {
    if (descents_ > 0) settle();
    return xRange_;
}

const FiniteRange& PointList::yRange() const {
    if (descents_ > 0) settle();
    return yRange_;
}

template <class Marks>
void PointList::sortPoints(Marks& marks, std::vector<ChartPoint>& buffer) const {
    if (nanXCount_ == 0 && descents_ == 1) {
        // One step back, as a log that crosses midnight makes: two runs, one merge.
        mergeRuns(data_, 0, firstDescent_, size_, buffer, marks);
    } else if (nanXCount_ == 0) {
        sortPiece(data_, size_, buffer, marks);
    } else {
        // A NaN X is never passed, so it stays where it came in and the points between
        // two of them are sorted among themselves only.
        std::size_t start = 0;
        for (std::size_t i = 0; i < size_; ++i) {
            if (!isNan(data_[i].x)) continue;
            sortPiece(data_ + start, i - start, buffer, marks);
            start = i + 1;
        }
        sortPiece(data_ + start, size_ - start, buffer, marks);
    }
}

void PointList::settle() const {
    // The merge buffer is kept from one list to the next (the lists of one load settle
    // one after another), unless it grew large.
    constexpr std::size_t kKeptBuffer = std::size_t{1} << 20;
    thread_local std::vector<ChartPoint> buffer;
    if (gapMarks_) {
        thread_local std::vector<std::uint8_t> markBuffer;
        MovedMarks marks(data_, gapMarks_, buffer, markBuffer);
        sortPoints(marks, buffer);
        if (markBuffer.capacity() > kKeptBuffer) std::vector<std::uint8_t>().swap(markBuffer);
    } else {
        NoMarks marks;
        sortPoints(marks, buffer);
    }
    if (buffer.capacity() > kKeptBuffer) std::vector<ChartPoint>().swap(buffer);
    descents_ = 0;
    yBlocks_.clear();
    // The extremes do not depend on the order, except which zero (+0 or -0) is met
    // first when a zero is an extreme. Equal X keep their arrival order, so the X
    // extremes stand; the Y values moved with their X: scan them again then.
    if (yRange_.any && (yRange_.minimum == 0.0 || yRange_.maximum == 0.0))
        yRange_ = yRangeOf(data_, size_);
}

std::span<const YExtent> PointList::yBlocks() const {
    const std::span<const ChartPoint> all = points();
    const std::size_t complete = all.size() / kBlockSize;
    if (yBlocks_.size() < complete) {
        if (yBlocks_.capacity() < complete) yBlocks_.reserve(complete + complete / 2);
        for (std::size_t b = yBlocks_.size(); b < complete; ++b) {
            const ChartPoint* p = all.data() + b * kBlockSize;
            double low = p[0].y;
            double high = p[0].y;
            for (std::size_t k = 1; k < kBlockSize; ++k) {
                low = low < p[k].y ? low : p[k].y;
                high = high > p[k].y ? high : p[k].y;
            }
            yBlocks_.push_back(YExtent{low, high});
        }
    }
    return {yBlocks_.data(), complete};
}

}  // namespace zp::chart
