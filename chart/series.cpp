#include "chart/series.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <utility>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace zp::chart {

namespace {

constexpr std::size_t kFirstCapacity = 256;

// Has the system map the pages of [from, from + bytes) of a block that just grew, all
// in one call, rather than on the first write to each page: that first write costs far
// more one page at a time. The room is given back once a load ends (shrinkToFit).
// Only a hint, and nothing where the system has no such call.
void mapAhead(void* from, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    constexpr std::size_t kWorthIt = std::size_t{1} << 20;
    if (bytes < kWorthIt) return;
    static const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto start = (reinterpret_cast<std::uintptr_t>(from) + page - 1) & ~(page - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(from) + bytes) & ~(page - 1);
    if (end > start)
        (void)madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
#else
    (void)from;
    (void)bytes;
#endif
}

bool isNan(double v) {
    return v != v;
}

bool isNanX(const ChartPoint& p) {
    return isNan(p.x);
}
bool isNanX(const CompactPoint&) {
    return false;
}

// The key points are ordered by: X in the wide form, the time bits in the compact one
// (a compact time's X grows with its time bits).
struct WideKey {
    double operator()(const ChartPoint& p) const { return p.x; }
};
struct CompactKey {
    std::uint32_t operator()(const CompactPoint& p) const {
        return p.time & CompactTimes::kTimeBits;
    }
};

// The partition point of [first, last) (keys ascending) for `before`, true for the
// points that lie before it: galloping from the front, so a short answer costs a few
// comparisons.
template <class P, class Before>
P* gallopFromFront(P* first, P* last, Before before) {
    std::size_t step = 1;
    P* low = first;  // every point before `low` lies before the answer
    while (low != last && before(*low)) {
        P* probe = static_cast<std::size_t>(last - low) > step ? low + step : last - 1;
        if (before(*probe)) {
            low = probe + 1;
            step *= 2;
            continue;
        }
        // The answer lies in [low, probe].
        P* high = probe;
        while (low < high) {
            P* mid = low + (high - low) / 2;
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
template <class P, class Before>
P* gallopFromBack(P* first, P* last, Before before) {
    std::size_t step = 1;
    P* high = last;  // every point from `high` on lies after the answer
    while (high != first && !before(high[-1])) {
        P* probe = static_cast<std::size_t>(high - first) > step ? high - 1 - step : first;
        if (!before(*probe)) {
            high = probe;
            step *= 2;
            continue;
        }
        P* low = probe + 1;  // probe lies before the answer
        while (low < high) {
            P* mid = low + (high - low) / 2;
            if (!before(*mid))
                high = mid;
            else
                low = mid + 1;
        }
        return high;
    }
    return high;
}

template <class P>
void moveBlock(P* to, const P* from, std::size_t n) {
    if (n > 0) std::memmove(to, from, n * sizeof(P));
}

// What the merge does with the points' gap marks: a list without them (or with the
// marks inside its points) has none to move.
struct NoMarks {
    template <class P>
    void copyOut(const P*, std::size_t) {}
    template <class P>
    void within(P* to, const P* from, std::size_t n) {
        moveBlock(to, from, n);
    }
    template <class P>
    void fromBuffer(P* to, const P* from, std::size_t n) {
        moveBlock(to, from, n);
    }
};

// A wide list with gap marks: every block of points moved, within the list or back from
// the merge buffer, takes its marks along; copying points out copies their marks out.
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
// point first where keys are equal. Only the smaller side is copied out, and blocks
// that keep their order are moved whole.
template <class P, class Key, class Marks>
void mergeRuns(P* p, std::size_t lo, std::size_t mid, std::size_t hi, std::vector<P>& buffer,
               Marks& marks, Key key) {
    if (!(key(p[mid]) < key(p[mid - 1]))) return;
    // The first point whose key is not below `k`, and the first whose key is above it.
    const auto below = [key](auto k) { return [key, k](const P& q) { return key(q) < k; }; };
    const auto notAbove = [key](auto k) { return [key, k](const P& q) { return !(k < key(q)); }; };
    // Left points not above the right's first point, and right points not below the
    // left's last point, are already in place.
    P* const middle = p + mid;
    P* const left = gallopFromFront(p + lo, middle, notAbove(key(p[mid])));
    P* const right = gallopFromBack(middle, p + hi, below(key(p[mid - 1])));
    const std::size_t leftCount = static_cast<std::size_t>(middle - left);
    const std::size_t rightCount = static_cast<std::size_t>(right - middle);

    if (leftCount <= rightCount) {
        buffer.assign(left, middle);
        marks.copyOut(left, leftCount);
        P* a = buffer.data();
        P* const aEnd = a + leftCount;
        P* b = middle;
        P* out = left;
        while (a != aEnd) {
            if (b == right) {
                marks.fromBuffer(out, a, static_cast<std::size_t>(aEnd - a));
                break;
            }
            if (key(*b) < key(*a)) {
                P* e = gallopFromFront(b, right, below(key(*a)));
                marks.within(out, b, static_cast<std::size_t>(e - b));
                out += e - b;
                b = e;
            } else {
                P* e = gallopFromFront(a, aEnd, notAbove(key(*b)));
                marks.fromBuffer(out, a, static_cast<std::size_t>(e - a));
                out += e - a;
                a = e;
            }
        }
    } else {
        buffer.assign(middle, right);
        marks.copyOut(middle, rightCount);
        P* const bBegin = buffer.data();
        P* b = bBegin + rightCount;  // one past the next right point
        P* a = middle;               // one past the next left point
        P* out = right;              // one past the next slot
        while (b != bBegin) {
            if (a == left) {
                const std::size_t n = static_cast<std::size_t>(b - bBegin);
                marks.fromBuffer(out - n, bBegin, n);
                break;
            }
            if (key(b[-1]) < key(a[-1])) {
                // Left points above the next right point go behind it.
                P* s = gallopFromBack(left, a, notAbove(key(b[-1])));
                const std::size_t n = static_cast<std::size_t>(a - s);
                out -= n;
                marks.within(out, s, n);
                a = s;
            } else {
                // Right points not below the next left point go behind it.
                P* s = gallopFromBack(bBegin, b, below(key(a[-1])));
                const std::size_t n = static_cast<std::size_t>(b - s);
                out -= n;
                marks.fromBuffer(out, s, n);
                b = s;
            }
        }
    }
}

// The end of the ascending run that starts at `from`.
template <class P, class Key>
std::size_t runEnd(const P* p, std::size_t from, std::size_t n, Key key) {
    std::size_t i = from + 1;
    while (i < n && !(key(p[i]) < key(p[i - 1]))) ++i;
    return i < n ? i : n;
}

// Sorts `n` points without NaN X stably by key: merges neighbouring ascending runs,
// pass after pass, until one run is left.
template <class P, class Key, class Marks>
void sortPiece(P* p, std::size_t n, std::vector<P>& buffer, Marks& marks, Key key) {
    if (n < 2) return;
    for (;;) {
        std::size_t lo = 0;
        std::size_t mid = runEnd(p, 0, n, key);
        if (mid == n) return;
        while (mid < n) {
            const std::size_t hi = runEnd(p, mid, n, key);
            mergeRuns(p, lo, mid, hi, buffer, marks, key);
            if (lo == 0 && hi == n) return;  // two runs made one: no second look needed
            lo = hi;
            mid = lo < n ? runEnd(p, lo, n, key) : n;
        }
    }
}

// Sorts the `n` points of `p` stably by key, after `descents` out-of-order appends of
// which the first came at `firstDescent`.
template <class P, class Key, class Marks>
void sortPoints(P* p, std::size_t n, std::size_t descents, std::size_t firstDescent, bool hasNanX,
                Marks& marks, Key key, std::vector<P>& buffer) {
    if (!hasNanX && descents == 1) {
        // One step back, as a log that crosses midnight makes: two runs, one merge.
        mergeRuns(p, 0, firstDescent, n, buffer, marks, key);
    } else if (!hasNanX) {
        sortPiece(p, n, buffer, marks, key);
    } else {
        // A NaN X is never passed, so it stays where it came in and the points between
        // two of them are sorted among themselves only.
        std::size_t start = 0;
        for (std::size_t i = 0; i < n; ++i) {
            if (!isNanX(p[i])) continue;
            sortPiece(p + start, i - start, buffer, marks, key);
            start = i + 1;
        }
        sortPiece(p + start, n - start, buffer, marks, key);
    }
}

// The merge buffers are kept from one list to the next (the lists of one load settle
// one after another), unless they grew large.
template <class T>
void trim(std::vector<T>& buffer) {
    constexpr std::size_t kKeptBuffer = std::size_t{1} << 20;
    if (buffer.capacity() > kKeptBuffer) std::vector<T>().swap(buffer);
}

FiniteRange yRangeOf(const PointView& points) {
    FiniteRange range;
    for (std::size_t i = 0; i < points.size(); ++i) range.add(points.y(i));
    return range;
}

}  // namespace

DayAndTime dayAndTimeOf(double x) {
    // Days below 2^24: one millisecond is then several units of the last place of the
    // sum, so a later time always gives a larger X.
    constexpr double kDayLimit = 16777216.0;
    DayAndTime found;
    if (!(x >= 0.0 && x < kDayLimit)) return found;
    // x is not negative: dropping the fraction is its floor. Adding and taking away 2^52
    // rounds a number in [0, 2^52) to a whole one as nearbyint does (to nearest, ties to
    // even), without a call.
    const double day = static_cast<double>(static_cast<std::uint32_t>(x));
    constexpr double kWhole = 4503599627370496.0;  // 2^52
    const double scaled = (x - day) * CompactTimes::kMillisecondsPerDay + kWhole;
    const double ms = scaled - kWhole;
    if (!(ms < CompactTimes::kMillisecondsPerDay)) return found;
    found.day = static_cast<std::uint32_t>(day);
    found.ms = static_cast<std::uint32_t>(ms);
    const double back =
        static_cast<double>(found.day) +
        static_cast<double>(found.ms) / static_cast<double>(CompactTimes::kMillisecondsPerDay);
    found.exact = std::bit_cast<std::uint64_t>(back) == std::bit_cast<std::uint64_t>(x);
    return found;
}

std::uint64_t millisecondsOf(double x) {
    const DayAndTime at = dayAndTimeOf(x);
    return at.exact ? std::uint64_t{at.day} * CompactTimes::kMillisecondsPerDay + at.ms
                    : kNotMilliseconds;
}

namespace {

// The first day of a compact list whose first point lies on `day`: room for days before
// it as well as after it.
std::uint32_t firstDayFor(std::uint32_t day) {
    constexpr std::uint32_t kDaysBefore = 12;
    return day > kDaysBefore ? day - kDaysBefore : 0;
}

// A value is held as a float when the float widened gives it back bit for bit.
bool isFloatExact(double y, float& value) {
    if (std::fabs(y) > std::numeric_limits<float>::max() && std::isfinite(y)) return false;
    value = static_cast<float>(y);
    return std::bit_cast<std::uint64_t>(static_cast<double>(value)) ==
           std::bit_cast<std::uint64_t>(y);
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
    (void)other.points();  // merges pending appends
    clear();
    wide_ = other.wide_;
    times_ = other.times_;
    const std::size_t pointBytes = wide_ ? sizeof(ChartPoint) : sizeof(CompactPoint);
    reserveBytes(other.size_ * pointBytes);
    // A rotated block is copied in X order.
    const std::size_t tail = (other.size_ - other.rotation_) * pointBytes;
    const char* from = static_cast<const char*>(other.block_);
    if (tail > 0) std::memcpy(block_, from + other.rotation_ * pointBytes, tail);
    if (other.rotation_ > 0)
        std::memcpy(static_cast<char*>(block_) + tail, from, other.rotation_ * pointBytes);
    size_ = other.size_;
    lastX_ = other.lastX_;
    nanXCount_ = other.nanXCount_;
    nonFiniteCount_ = other.nonFiniteCount_;
    xRange_ = other.xRange_;
    yRange_ = other.yRange_;
    gapFillCount_ = other.gapFillCount_;
    if (other.gapMarks_) {
        allocateGapMarks();
        std::memcpy(gapMarks_, other.gapMarks_, size_);
    }
    return *this;
}

PointList& PointList::operator=(PointList&& other) noexcept {
    if (this == &other) return *this;
    std::free(block_);
    std::free(gapMarks_);
    block_ = std::exchange(other.block_, nullptr);
    capacityBytes_ = std::exchange(other.capacityBytes_, 0);
    gapMarks_ = std::exchange(other.gapMarks_, nullptr);
    gapFillCount_ = std::exchange(other.gapFillCount_, 0);
    size_ = std::exchange(other.size_, 0);
    rotation_ = std::exchange(other.rotation_, 0);
    wide_ = std::exchange(other.wide_, false);
    times_ = std::exchange(other.times_, CompactTimes{});
    lastX_ = std::exchange(other.lastX_, 0.0);
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
    std::free(block_);
    std::free(gapMarks_);
}

void PointList::clear() {
    size_ = 0;
    rotation_ = 0;
    wide_ = false;
    times_ = CompactTimes{};
    lastX_ = 0.0;
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
    const std::size_t pointBytes = wide_ ? sizeof(ChartPoint) : sizeof(CompactPoint);
    if (n > std::numeric_limits<std::size_t>::max() / pointBytes) throw std::bad_alloc();
    reserveBytes(n * pointBytes);
}

void PointList::reserveBytes(std::size_t bytes) {
    if (bytes <= capacityBytes_) return;
    void* block = std::realloc(block_, bytes);
    if (!block) throw std::bad_alloc();
    mapAhead(static_cast<char*>(block) + capacityBytes_, bytes - capacityBytes_);
    block_ = block;
    capacityBytes_ = bytes;
    if (gapMarks_) {
        void* marks = std::realloc(gapMarks_, capacity());
        if (!marks) throw std::bad_alloc();
        gapMarks_ = static_cast<std::uint8_t*>(marks);
    }
}

void PointList::shrinkToFit() {
    const std::size_t pointBytes = wide_ ? sizeof(ChartPoint) : sizeof(CompactPoint);
    // Small lists keep their room; so does a list whose room is nearly all used.
    const std::size_t used = size_ * pointBytes;
    if (capacityBytes_ - used < (std::size_t{64} << 10) || size_ == 0) return;
    void* block = std::realloc(block_, used);
    if (!block) return;  // the larger block stays as it was
    block_ = block;
    capacityBytes_ = used;
    if (gapMarks_) {
        void* marks = std::realloc(gapMarks_, size_);
        if (marks) gapMarks_ = static_cast<std::uint8_t*>(marks);
    }
}

void PointList::allocateGapMarks() {
    if (gapMarks_) return;
    const std::size_t n = capacity();
    void* marks = std::calloc(n > 0 ? n : 1, 1);
    if (!marks) throw std::bad_alloc();
    gapMarks_ = static_cast<std::uint8_t*>(marks);
}

void PointList::appendColumn(const double* xs, const std::uint64_t* ms, const float* ys,
                             std::size_t stride, std::size_t n) {
    std::size_t k = 0;
    while (k < n) {
        // The points that go straight into a compact list in order with room for them,
        // with the list's state in locals; the first that does not goes through
        // append().
        const std::size_t room =
            wide_ || rotation_ != 0 || size_ == 0 ? 0 : std::min(capacity() - size_, n - k);
        CompactPoint* const to = compact() + size_;
        const std::uint64_t firstMs =
            std::uint64_t{times_.firstDay} * CompactTimes::kMillisecondsPerDay;
        const double lastX = lastX_;
        // The Y extremes of the readings read. Those that go in through append() below,
        // when a time goes back, are added again there, which changes nothing.
        float low = std::numeric_limits<float>::infinity();
        float high = -std::numeric_limits<float>::infinity();
        // An exact time is a finite X, and X grows with it: the column is in order once
        // its first X is not below the last X, up to the first time that goes back.
        std::size_t done = 0;
        std::uint64_t previous = 0;
        for (; done < room; ++done) {
            const float value = ys[(k + done) * stride];
            // Before the first day (or not exact) wraps round to beyond the time bits.
            const std::uint64_t time = ms[k + done] - firstMs;
            if (time > CompactTimes::kTimeBits || time < previous || !std::isfinite(value)) break;
            to[done] = CompactPoint{static_cast<std::uint32_t>(time), value};
            previous = time;
            low = value < low ? value : low;
            high = value > high ? value : high;
        }
        if (done > 0 && !(xs[k] >= lastX)) done = 0;
        if (done > 0) {
            size_ += done;
            lastX_ = xs[k + done - 1];
            xRange_.add(xs[k]);
            xRange_.add(xs[k + done - 1]);
            addYExtremes(low, high);
            k += done;
        }
        if (k < n) {
            append(xs[k], static_cast<double>(ys[k * stride]));
            ++k;
        }
    }
}

void PointList::addYExtremes(float low, float high) {
    // As adding each value in turn: a new extreme only where strictly beyond.
    if (!yRange_.any) {
        yRange_.any = true;
        yRange_.minimum = low;
        yRange_.maximum = high;
        return;
    }
    if (low < yRange_.minimum) yRange_.minimum = low;
    if (high > yRange_.maximum) yRange_.maximum = high;
}

void PointList::appendPoint(double x, double y, bool gapFill) {
    if (rotation_ > 0) unrotate();
    if (size_ == capacity()) {
        const std::size_t now = capacity();
        std::size_t next = now < kFirstCapacity ? kFirstCapacity : now + now / 2;
        reserve(next);
    }
    if (wide_ || !appendCompact(x, y, gapFill)) appendWide(x, y, gapFill);
    noteAppended(x, y, gapFill);
}

bool PointList::appendCompact(double x, double y, bool gapFill) {
    const DayAndTime& at = cachedDayAndTime(x);
    float value;
    if (!at.exact || !isFloatExact(y, value)) {
        widen();
        return false;
    }
    if (size_ == 0) times_.firstDay = firstDayFor(at.day);
    const std::uint64_t time =
        std::uint64_t{at.day - times_.firstDay} * CompactTimes::kMillisecondsPerDay + at.ms;
    if (at.day < times_.firstDay || time > CompactTimes::kTimeBits) {
        widen();
        return false;
    }
    compact()[size_] = CompactPoint{
        static_cast<std::uint32_t>(time) | (gapFill ? CompactTimes::kGapFill : 0u), value};
    return true;
}

void PointList::appendStored(const PointView& source, std::span<const CompactPoint> points) {
    if (points.empty()) return;
    const CompactTimes& times = source.times_;
    const double firstX = times.x(points.front().time);
    // Kept as they come: into a compact list in order, counting from the source's first
    // day (as an empty list would from its first point), each time at or after the one
    // before, every value finite.
    bool asTheyCome = !wide_ && rotation_ == 0 && descents_ == 0;
    if (asTheyCome && size_ == 0) {
        const DayAndTime& at = cachedDayAndTime(firstX);
        asTheyCome = at.exact && firstDayFor(at.day) == times.firstDay;
    } else if (asTheyCome) {
        asTheyCome = times_.firstDay == times.firstDay && firstX >= lastX_;
    }
    if (asTheyCome && size_ + points.size() > capacity()) {
        const std::size_t grown = capacity() + capacity() / 2;
        reserve(std::max({size_ + points.size(), grown, kFirstCapacity}));
    }
    if (asTheyCome) {
        // Written beyond the points held, and taken in only when every one was fit.
        CompactPoint* to = compact() + size_;
        std::uint32_t last = points.front().time & CompactTimes::kTimeBits;
        std::uint32_t unfit = 0;  // set by a time going back or a value not finite
        std::size_t gapFills = 0;
        // The extremes as FiniteRange::add() keeps them, the values being finite.
        const double first = (points.front().time & CompactTimes::kGapFill)
                                 ? 0.0
                                 : static_cast<double>(points.front().value);
        double low = yRange_.any ? yRange_.minimum : first;
        double high = yRange_.any ? yRange_.maximum : first;
        for (const CompactPoint& p : points) {
            const std::uint32_t time = p.time & CompactTimes::kTimeBits;
            const std::uint32_t gapFill = p.time >> 31;
            const auto bits = std::bit_cast<std::uint32_t>(p.value);
            unfit |= (time < last ? 1u : 0u) | ((bits & 0x7F800000u) == 0x7F800000u ? 1u : 0u);
            last = time;
            const float value = std::bit_cast<float>(bits & (gapFill - 1));  // a gap fill's 0
            *to++ = CompactPoint{p.time, value};
            gapFills += gapFill;
            const double v = value;
            low = v < low ? v : low;
            high = v > high ? v : high;
        }
        if (unfit == 0) {
            if (size_ == 0) times_.firstDay = times.firstDay;
            size_ += points.size();
            gapFillCount_ += gapFills;
            yRange_.any = true;
            yRange_.minimum = low;
            yRange_.maximum = high;
            // The times ascend: the first and the last X are the extremes among them.
            lastX_ = times.x(points.back().time);
            xRange_.add(firstX);
            xRange_.add(lastX_);
            return;
        }
    }
    for (const CompactPoint& p : points) {
        if (p.time & CompactTimes::kGapFill)
            appendGapFill(times.x(p.time));
        else
            append(times.x(p.time), static_cast<double>(p.value));
    }
}

void PointList::appendWide(double x, double y, bool gapFill) {
    // appendPoint() and widen() made room for the point.
    if (gapFill) allocateGapMarks();
    if (gapMarks_) gapMarks_[size_] = gapFill ? 1 : 0;
    wide()[size_] = ChartPoint{x, y};
}

void PointList::noteAppended(double x, double y, bool gapFill) {
    if (!(std::isfinite(x) && std::isfinite(y))) {
        ++nonFiniteCount_;
        if (isNan(x)) ++nanXCount_;
    }
    if (size_ > 0 && x < lastX_ && descents_++ == 0) firstDescent_ = size_;
    lastX_ = x;
    ++size_;
    if (gapFill) ++gapFillCount_;
    xRange_.add(x);
    yRange_.add(y);
}

void PointList::widen() {
    // Every point the compact form held, decoded into a new block of the wide form
    // with room for the next one; gap fills get their mark bytes.
    const std::size_t room = size_ + 1 > capacity() ? size_ + 1 : capacity();
    if (room > std::numeric_limits<std::size_t>::max() / sizeof(ChartPoint)) throw std::bad_alloc();
    auto* points = static_cast<ChartPoint*>(std::malloc(room * sizeof(ChartPoint)));
    if (!points) throw std::bad_alloc();
    std::uint8_t* marks = nullptr;
    if (gapFillCount_ > 0) {
        marks = static_cast<std::uint8_t*>(std::calloc(room, 1));
        if (!marks) {
            std::free(points);
            throw std::bad_alloc();
        }
    }
    const CompactPoint* from = compact();
    const PointView inOrder = view();
    for (std::size_t i = 0; i < size_; ++i) {
        const CompactPoint& p = from[inOrder.stored(i)];
        points[i] = ChartPoint{times_.x(p.time), static_cast<double>(p.value)};
        if (marks) marks[i] = (p.time & CompactTimes::kGapFill) ? 1 : 0;
    }
    rotation_ = 0;
    std::free(block_);
    block_ = points;
    capacityBytes_ = room * sizeof(ChartPoint);
    gapMarks_ = marks;
    wide_ = true;
}

std::size_t PointList::nextGapFill(std::size_t from, std::size_t to) const {
    if (gapFillCount_ == 0 || from >= to) return to;
    if (descents_ > 0) settle();
    if (wide_) {
        const void* mark = std::memchr(gapMarks_ + from, 1, to - from);
        return mark ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(mark) - gapMarks_)
                    : to;
    }
    const CompactPoint* p = compact();
    const PointView inOrder = view();
    for (std::size_t i = from; i < to; ++i)
        if (p[inOrder.stored(i)].time & CompactTimes::kGapFill) return i;
    return to;
}

PointView PointList::points() const {
    if (descents_ > 0) settle();
    return view();
}

PointView PointList::view() const {
    if (wide_) return PointView(wide(), nullptr, size_, 0, times_);
    return PointView(nullptr, compact(), size_, rotation_, times_);
}

void PointList::unrotate() {
    // The smaller part goes out to a buffer while the larger one moves.
    CompactPoint* p = compact();
    const std::size_t head = rotation_;  // stored first, belongs last
    const std::size_t tail = size_ - rotation_;
    thread_local std::vector<CompactPoint> buffer;
    if (head <= tail) {
        buffer.assign(p, p + head);
        std::memmove(p, p + head, tail * sizeof(CompactPoint));
        std::memcpy(p + tail, buffer.data(), head * sizeof(CompactPoint));
    } else {
        buffer.assign(p + head, p + size_);
        std::memmove(p + tail, p, head * sizeof(CompactPoint));
        std::memcpy(p, buffer.data(), tail * sizeof(CompactPoint));
    }
    trim(buffer);
    rotation_ = 0;
}

const FiniteRange& PointList::xRange() const {
    if (descents_ > 0) settle();
    return xRange_;
}

const FiniteRange& PointList::yRange() const {
    if (descents_ > 0) settle();
    return yRange_;
}

void PointList::settle() const {
    thread_local std::vector<ChartPoint> wideBuffer;
    if (wide_ && gapMarks_) {
        thread_local std::vector<std::uint8_t> markBuffer;
        MovedMarks marks(wide(), gapMarks_, wideBuffer, markBuffer);
        sortPoints(wide(), size_, descents_, firstDescent_, nanXCount_ > 0, marks, WideKey{},
                   wideBuffer);
        trim(markBuffer);
    } else if (wide_) {
        NoMarks marks;
        sortPoints(wide(), size_, descents_, firstDescent_, nanXCount_ > 0, marks, WideKey{},
                   wideBuffer);
    } else {
        // No NaN X here, and the gap-fill bit travels inside each point. A single step
        // back to below the very first point (a log across midnight) is a rotation.
        const CompactPoint* p = compact();
        const CompactKey key;
        if (descents_ == 1 && key(p[size_ - 1]) < key(p[0])) {
            rotation_ = firstDescent_;
        } else {
            thread_local std::vector<CompactPoint> compactBuffer;
            NoMarks marks;
            sortPoints(compact(), size_, descents_, firstDescent_, false, marks, CompactKey{},
                       compactBuffer);
            trim(compactBuffer);
        }
    }
    trim(wideBuffer);
    descents_ = 0;
    yBlocks_.clear();
    const PointView inOrder = view();
    if (size_ > 0) lastX_ = inOrder.x(size_ - 1);
    // The extremes do not depend on the order, except which zero (+0 or -0) is met
    // first when a zero is an extreme. Equal X keep their arrival order, so the X
    // extremes stand; the Y values moved with their X: scan them again then.
    if (yRange_.any && (yRange_.minimum == 0.0 || yRange_.maximum == 0.0))
        yRange_ = yRangeOf(inOrder);
}

std::span<const YExtent> PointList::yBlocks() const {
    const PointView all = points();
    const std::size_t complete = all.size() / kBlockSize;
    if (yBlocks_.size() < complete) {
        if (yBlocks_.capacity() < complete) yBlocks_.reserve(complete + complete / 2);
        for (std::size_t b = yBlocks_.size(); b < complete; ++b) {
            const std::size_t first = b * kBlockSize;
            double low = all.y(first);
            double high = low;
            for (std::size_t k = 1; k < kBlockSize; ++k) {
                const double v = all.y(first + k);
                low = low < v ? low : v;
                high = high > v ? high : v;
            }
            yBlocks_.push_back(YExtent{low, high});
        }
    }
    return {yBlocks_.data(), complete};
}

}  // namespace zp::chart
