#include "analysis/derived_channels.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <functional>
#include <optional>
#include <span>

#include "analysis/parallel_tasks.h"
#include "channels/channel_units.h"

namespace zp::analysis {

namespace {

using chart::CompactPoint;
using chart::CompactTimes;
using chart::PointList;
using chart::PointView;

// One source series walked in X order.
struct Walker {
    const PointList* list;
    PointView view;
    std::size_t i = 0;
    std::size_t groupEnd = 0;  // end of the points at the current X
};

bool isReading(const PointList& list, const PointView& view, std::size_t i) {
    return std::isfinite(view.y(i)) && !list.isGapFill(i);
}

// The common case, where every series holds the points of the same records: the same
// X at every index, and at each index either a reading in every series or a gap fill in
// every series. Then the sets are the points of one index. False when the series are
// not so, found perhaps after some sets were handed out: the caller starts again.
template <class Tuple, class Gap>
bool forEachSetAlike(const std::vector<const PointList*>& channels, Tuple& tuple, Gap& gap) {
    const std::size_t n = channels.size();
    std::vector<PointView> views;
    views.reserve(n);
    for (const PointList* list : channels) {
        views.push_back(list->points());
        if (list->size() != channels.front()->size() ||
            list->gapFillCount() != channels.front()->gapFillCount())
            return false;
    }
    const std::size_t size = views.front().size();
    const bool gapFills = channels.front()->gapFillCount() > 0;
    std::vector<double> values(n);
    for (std::size_t i = 0; i < size; ++i) {
        const double x = views[0].x(i);
        const bool fill = gapFills && channels[0]->isGapFill(i);
        bool finite = true;
        for (std::size_t s = 0; s < n; ++s) {
            if (s > 0 && !views[s].sameX(i, views[0], i)) return false;
            if (gapFills && s > 0 && channels[s]->isGapFill(i) != fill) return false;
            values[s] = views[s].y(i);
            finite = finite && std::isfinite(values[s]);
        }
        if (fill) {
            gap(x);
        } else if (!finite) {
            // A non-finite value among readings pairs by reading, not by index.
            return false;
        } else {
            tuple(x, values.data());
        }
    }
    return true;
}

// Calls `tuple(x, values)` for each set of readings at one time, one from each series
// (the k-th readings at that X of each), and `gap(x)` for each time at which every
// series has only gap fills. Every series needs a point for a set to be made.
// `restart()` empties what was handed out when the common case turns out not to hold.
// `alikeFirst` false goes straight to the general walk.
template <class Tuple, class Gap, class Restart>
void forEachSet(const std::vector<const PointList*>& channels, Tuple tuple, Gap gap,
                Restart restart, bool alikeFirst = true) {
    if (channels.empty()) return;
    for (const PointList* list : channels)
        if (list->empty()) return;  // a missing channel: no time has every reading
    if (alikeFirst) {
        if (forEachSetAlike(channels, tuple, gap)) return;
        restart();
    }
    std::vector<Walker> walkers;
    walkers.reserve(channels.size());
    for (const PointList* list : channels) {
        if (list->empty()) return;  // a missing channel: no time has every reading
        walkers.push_back(Walker{list, list->points()});
    }
    std::vector<double> values(channels.size());
    std::vector<std::size_t> at(channels.size());
    const std::size_t n = walkers.size();
    for (;;) {
        // The next time: the least X among the series not yet at their end.
        double x = 0.0;
        bool any = false;
        for (const Walker& w : walkers) {
            if (w.i >= w.view.size()) continue;
            const double wx = w.view.x(w.i);
            if (!any || wx < x) x = wx, any = true;
        }
        if (!any) return;
        bool everyHasPoint = true;
        bool allGapFills = true;
        for (std::size_t s = 0; s < n; ++s) {
            Walker& w = walkers[s];
            std::size_t e = w.i;
            while (e < w.view.size() && w.view.x(e) == x) {
                if (!w.list->isGapFill(e)) allGapFills = false;
                ++e;
            }
            if (e == w.i) everyHasPoint = false;
            w.groupEnd = e;
            at[s] = w.i;
        }
        bool made = false;
        if (everyHasPoint) {
            for (;;) {
                bool complete = true;
                for (std::size_t s = 0; s < n && complete; ++s) {
                    Walker& w = walkers[s];
                    std::size_t& k = at[s];
                    while (k < w.groupEnd && !isReading(*w.list, w.view, k)) ++k;
                    if (k == w.groupEnd)
                        complete = false;
                    else
                        values[s] = w.view.y(k++);
                }
                if (!complete) break;
                tuple(x, values.data());
                made = true;
            }
            if (!made && allGapFills) gap(x);
        }
        for (Walker& w : walkers) w.i = w.groupEnd;
    }
}

// A value as the float a series keeps, so that the derived series stay compact.
double asStored(double v) {
    return static_cast<double>(static_cast<float>(v));
}

const char* kindName(DerivedKind kind) {
    switch (kind) {
        case DerivedKind::EgtSpread:
            return "EGTSpreadSeries";
        case DerivedKind::ChtSpread:
            return "CHTSpreadSeries";
        case DerivedKind::HottestCht:
            return "HottestCHTSeries";
        case DerivedKind::ChtRate:
            break;
    }
    return "";
}

std::vector<const PointList*> assigned(const chart::Chart& chart,
                                       const std::array<std::optional<Channel>, kMaxCylinders>& a,
                                       int cylinders, std::vector<int>* numbers = nullptr) {
    std::vector<const PointList*> lists;
    for (int c = 0; c < cylinders; ++c) {
        if (!a[static_cast<std::size_t>(c)]) continue;
        const auto index = static_cast<std::size_t>(*a[static_cast<std::size_t>(c)]);
        if (index >= chart.series.size()) continue;
        lists.push_back(&chart.series[index].points);
        if (numbers) numbers->push_back(c + 1);
    }
    return lists;
}

// Colours of the derived series: dark, apart from the channels' bright ones.
constexpr std::uint32_t kDerivedColours[] = {0x8B0000, 0x00008B, 0xB8860B, 0x2F4F4F,
                                             0x8B008B, 0x556B2F, 0x8B4513, 0x483D8B,
                                             0x008B8B, 0x696969, 0xC71585};

}  // namespace

std::vector<DerivedChannel> derivedChannels(const EngineProfile& profile) {
    std::vector<DerivedChannel> out;
    out.push_back({DerivedKind::EgtSpread, 0, QLatin1String(kindName(DerivedKind::EgtSpread)),
                   QStringLiteral("EGT spread")});
    out.push_back({DerivedKind::ChtSpread, 0, QLatin1String(kindName(DerivedKind::ChtSpread)),
                   QStringLiteral("CHT spread")});
    out.push_back({DerivedKind::HottestCht, 0, QLatin1String(kindName(DerivedKind::HottestCht)),
                   QStringLiteral("Hottest CHT")});
    for (int c = 0; c < profile.cylinders; ++c) {
        if (!profile.cht[static_cast<std::size_t>(c)]) continue;
        out.push_back({DerivedKind::ChtRate, c + 1, QStringLiteral("CHT%1RateSeries").arg(c + 1),
                       QStringLiteral("CHT %1 rate").arg(c + 1)});
    }
    return out;
}

QString derivedUnitText(DerivedKind kind, const UnitSelectors& units) {
    const QString degrees = QString::fromUtf8(unitText(TC1Series, units));
    return kind == DerivedKind::ChtRate ? degrees + QStringLiteral("/min") : degrees;
}

namespace {

// The X of stored times of a compact view, worked out once for each run of equal times
// (the records of one second of a log that writes several a second).
class StoredX {
  public:
    explicit StoredX(const PointView& view) : view_(view) {}
    double operator()(std::uint32_t time) {
        if (!known_ || time != time_) known_ = true, time_ = time, x_ = view_.xOfStored(time);
        return x_;
    }

  private:
    const PointView& view_;
    bool known_ = false;
    std::uint32_t time_ = 0;
    double x_ = 0.0;
};

// The points of a derived list at stored times of its source, handed to the list in
// batches (PointList::appendStored).
class StoredAppender {
  public:
    StoredAppender(PointList& list, const PointView& source) : list_(&list), source_(&source) {}
    void add(std::uint32_t time, double value) {
        batch_[count_++] = CompactPoint{time, static_cast<float>(value)};
        if (count_ == kBatch) flush();
    }
    void flush() {
        list_->appendStored(*source_, std::span(batch_.data(), count_));
        count_ = 0;
    }

  private:
    static constexpr std::size_t kBatch = 512;
    PointList* list_;
    const PointView* source_;
    std::array<CompactPoint, kBatch> batch_;
    std::size_t count_ = 0;
};

// What a walk of series of one layout came to.
enum class OneLayout {
    NotOneLayout,  // the series do not share a layout: nothing was handed out
    Done,          // every point was handed out
    Differs,       // the records or the values differ: start again with the general walk
};

// The views of `lists` and their stored points when they all share the first one's
// layout, else none.
bool storedAlike(const std::vector<const PointList*>& lists, PointView& first,
                 std::vector<const CompactPoint*>& stored) {
    if (lists.empty()) return false;
    first = lists.front()->points();
    if (first.empty()) return false;
    stored.clear();
    for (const PointList* list : lists) {
        const PointView view = list->points();
        if (!view.sameLayout(first)) return false;
        stored.push_back(view.storedPoints());
    }
    return true;
}

// The spread (and the hottest) of series of one layout, the common case of channels of
// one instrument, walked in stored order: the stored times of one place must be the same
// word in every series, a gap fill in all or in none, and the values are read straight.
// The sets are those forEachSetAlike() makes.
template <bool kHottest>
OneLayout spreadOfOneLayout(const std::vector<const PointList*>& channels, PointList& spread,
                            Hottest* hottest) {
    PointView first;
    std::vector<const CompactPoint*> stored;
    if (!storedAlike(channels, first, stored)) return OneLayout::NotOneLayout;
    const std::size_t n = stored.size();
    StoredAppender spreadPoints(spread, first);
    std::optional<StoredAppender> hottestPoints;
    if constexpr (kHottest) hottestPoints.emplace(hottest->points, first);
    bool differs = false;
    first.forEachStoredRun(0, first.size(), [&](std::size_t, std::size_t at, std::size_t count) {
        if (differs) return;
        for (std::size_t k = at; k < at + count; ++k) {
            const std::uint32_t time = stored[0][k].time;
            std::uint32_t unlike = 0;  // the bits in which some series' time differs
            double lo = stored[0][k].value;
            double hi = lo;
            std::size_t hot = 0;
            bool finite = std::isfinite(lo);
            for (std::size_t s = 1; s < n; ++s) {
                const CompactPoint& p = stored[s][k];
                unlike |= p.time ^ time;
                const double v = p.value;
                finite &= std::isfinite(v);
                if (v < lo) lo = v;
                // The first of equal values: a tie goes to the lower cylinder.
                if (v > hi) hi = v, hot = s;
            }
            if (unlike != 0) {
                differs = true;
                return;
            }
            if (time & CompactTimes::kGapFill) {
                spreadPoints.add(time, 0.0);
                if constexpr (kHottest) {
                    hottestPoints->add(time, 0.0);
                    hottest->which.push_back(0xFF);
                }
            } else if (!finite) {
                // A non-finite value among readings pairs by reading, not by index.
                differs = true;
                return;
            } else {
                spreadPoints.add(time, asStored(hi - lo));
                if constexpr (kHottest) {
                    hottestPoints->add(time, hi);
                    hottest->which.push_back(static_cast<std::uint8_t>(hot));
                }
            }
        }
    });
    if (differs) return OneLayout::Differs;
    spreadPoints.flush();
    if constexpr (kHottest) hottestPoints->flush();
    return OneLayout::Done;
}

// The spread and, when asked, the hottest of `channels` in one pass.
void spreadAndHottest(const std::vector<const PointList*>& channels, PointList& spread,
                      Hottest* hottest) {
    const std::size_t n = channels.size();
    const std::size_t expected = channels.empty() ? 0 : channels.front()->size();
    spread.reserve(expected);
    if (hottest) {
        hottest->points.reserve(expected);
        hottest->which.reserve(expected);
    }
    const auto restart = [&] {
        spread.clear();
        if (hottest) {
            hottest->points.clear();
            hottest->which.clear();
        }
    };
    const OneLayout walked = hottest ? spreadOfOneLayout<true>(channels, spread, hottest)
                                     : spreadOfOneLayout<false>(channels, spread, hottest);
    if (walked != OneLayout::Done) {
        if (walked == OneLayout::Differs) restart();
        forEachSet(
            channels,
            [&](double x, const double* v) {
                double lo = v[0], hi = v[0];
                std::size_t hot = 0;
                for (std::size_t s = 1; s < n; ++s) {
                    if (v[s] < lo) lo = v[s];
                    // The first of equal values: a tie goes to the lower cylinder.
                    if (v[s] > hi) hi = v[s], hot = s;
                }
                spread.append(x, asStored(hi - lo));
                if (hottest) {
                    hottest->points.append(x, hi);
                    hottest->which.push_back(static_cast<std::uint8_t>(hot));
                }
            },
            [&](double x) {
                spread.appendGapFill(x);
                if (hottest) {
                    hottest->points.appendGapFill(x);
                    hottest->which.push_back(0xFF);
                }
            },
            restart, walked == OneLayout::NotOneLayout);
    }
    spread.shrinkToFit();
    if (hottest) hottest->points.shrinkToFit();
}

}  // namespace

PointList spreadOf(const std::vector<const PointList*>& channels) {
    PointList out;
    spreadAndHottest(channels, out, nullptr);
    return out;
}

Hottest hottestOf(const std::vector<const PointList*>& channels) {
    PointList spread;
    Hottest out;
    spreadAndHottest(channels, spread, &out);
    return out;
}

PointList rateOf(const PointList& cht, double secondsPerX) {
    PointList out;
    const PointView p = cht.points();
    out.reserve(p.size());
    const double msPerX = secondsPerX * 1000.0;
    // Whole milliseconds of a (non-negative) X, as the log's times count.
    const auto ms = [&](double x) { return static_cast<long long>(x * msPerX + 0.5); };
    constexpr long long kWindow = 60000;
    std::size_t i = 0;
    while (i < p.size()) {
        const std::size_t g = cht.nextGapFill(i, p.size());
        // Readings [i, g): the window's first reading j walks along behind each reading.
        std::size_t j = i;
        long long tj = -1;  // the time of reading j once read; -1: not yet
        bool started = false;
        long long runStart = 0;
        for (std::size_t k = i; k < g; ++k) {
            const double y = p.y(k);
            if (!std::isfinite(y)) continue;
            const double x = p.x(k);
            const long long t = ms(x);
            if (!started) started = true, runStart = t;
            if (t - runStart < kWindow) continue;
            for (;;) {
                if (j >= k) break;
                if (!std::isfinite(p.y(j))) {
                    ++j, tj = -1;
                    continue;
                }
                if (tj < 0) tj = ms(p.x(j));
                if (tj >= t - kWindow) break;
                ++j, tj = -1;
            }
            if (j >= k || tj >= t) continue;
            out.append(x, asStored((y - p.y(j)) * 60000.0 / static_cast<double>(t - tj)));
        }
        if (g == p.size()) break;
        out.appendGapFill(p.x(g));
        i = g + 1;
    }
    out.shrinkToFit();
    return out;
}

namespace {

// change * 60000 / apart, the change over `apart` ms in a minute. Readings a minute apart,
// as they nearly always are, need no division when change * 60000 is exact: then the
// quotient is exact too, and is `change` itself. 60000 has 11 significant bits, so the
// product is exact when `change` has at most 42, that is when the last 11 bits of its
// 52 are zero (as those of the difference of two floats of like size are); it stays far
// within the range of a double.
double perMinute(double change, double apart) {
    constexpr std::uint64_t kLowBits = (std::uint64_t{1} << 11) - 1;
    if (apart == 60000.0 && (std::bit_cast<std::uint64_t>(change) & kLowBits) == 0 &&
        std::isfinite(change))
        return change;
    return change * 60000.0 / apart;
}

// The rates of CHT series of one layout (see ratesOfAlike) walked in stored order: the
// stored times of one place must be the same word in every series. False, with `outs`
// emptied, where the times differ.
bool ratesOfOneLayout(const PointView& first, const std::vector<const CompactPoint*>& stored,
                      std::vector<PointList*>& outs, double secondsPerX) {
    const std::size_t n = stored.size();
    const std::size_t size = first.size();
    const double msPerX = secondsPerX * 1000.0;
    const auto ms = [&](double x) { return static_cast<long long>(x * msPerX + 0.5); };
    constexpr long long kWindow = 60000;
    StoredX xOf(first);
    StoredX xOfWindow(first);
    std::vector<StoredAppender> rates;
    rates.reserve(n);
    for (PointList* out : outs) rates.emplace_back(*out, first);
    bool inRun = false;  // a reading since the last gap fill
    long long runStart = 0;
    std::size_t j = 0;  // the stored place of the window's first reading
    long long tj = 0;
    bool differs = false;
    first.forEachStoredRun(0, size, [&](std::size_t, std::size_t at, std::size_t count) {
        if (differs) return;
        for (std::size_t k = at; k < at + count; ++k) {
            const std::uint32_t time = stored[0][k].time;
            std::uint32_t unlike = 0;  // the bits in which some series' time differs
            for (std::size_t s = 1; s < n; ++s) unlike |= stored[s][k].time ^ time;
            if (unlike != 0) {
                differs = true;
                return;
            }
            if (time & CompactTimes::kGapFill) {
                for (StoredAppender& rate : rates) rate.add(time, 0.0);
                inRun = false;
                continue;
            }
            const long long t = ms(xOf(time));
            if (!inRun) inRun = true, runStart = t, j = k, tj = t;
            if (t - runStart < kWindow) continue;
            while (tj < t - kWindow) {
                if (++j == size) j = 0;
                tj = ms(xOfWindow(stored[0][j].time));
            }
            if (tj >= t) continue;
            const double apart = static_cast<double>(t - tj);
            for (std::size_t s = 0; s < n; ++s) {
                const double change = static_cast<double>(stored[s][k].value) -
                                      static_cast<double>(stored[s][j].value);
                rates[s].add(time, asStored(perMinute(change, apart)));
            }
        }
    });
    if (differs) {
        for (PointList* out : outs) out->clear();
        return false;
    }
    for (StoredAppender& rate : rates) rate.flush();
    return true;
}

// The rates of several CHT series of the same records (the same X at every index, gap
// fills at the same indexes, every value finite) in one pass: the times and the
// window are read once for all. False, with `outs` emptied, when they are not so.
bool ratesOfAlike(const std::vector<const PointList*>& chts, std::vector<PointList*>& outs,
                  double secondsPerX) {
    const std::size_t n = chts.size();
    if (n == 0) return true;
    const PointList& first = *chts.front();
    for (const PointList* list : chts)
        if (!list->allFinite() || list->size() != first.size() ||
            list->gapFillCount() != first.gapFillCount())
            return false;
    for (PointList* out : outs) out->reserve(first.size());
    {
        PointView view;
        std::vector<const CompactPoint*> stored;
        if (storedAlike(chts, view, stored)) {
            const bool done = ratesOfOneLayout(view, stored, outs, secondsPerX);
            if (done)
                for (PointList* out : outs) out->shrinkToFit();
            return done;
        }
    }
    std::vector<PointView> views;
    for (const PointList* list : chts) views.push_back(list->points());
    const PointView& p = views.front();
    const auto fail = [&] {
        for (PointList* out : outs) out->clear();
        return false;
    };
    const double msPerX = secondsPerX * 1000.0;
    const auto ms = [&](double x) { return static_cast<long long>(x * msPerX + 0.5); };
    constexpr long long kWindow = 60000;
    std::size_t i = 0;
    while (i < p.size()) {
        const std::size_t g = first.nextGapFill(i, p.size());
        for (std::size_t s = 1; s < n; ++s)
            if (chts[s]->nextGapFill(i, p.size()) != g) return fail();
        std::size_t j = i;
        long long tj = ms(p.x(i));
        const long long runStart = tj;
        for (std::size_t k = i; k < g; ++k) {
            const double x = p.x(k);
            for (std::size_t s = 1; s < n; ++s)
                if (!views[s].sameX(k, p, k)) return fail();
            const long long t = ms(x);
            if (t - runStart < kWindow) continue;
            while (tj < t - kWindow) tj = ms(p.x(++j));
            if (tj >= t) continue;
            const double apart = static_cast<double>(t - tj);
            for (std::size_t s = 0; s < n; ++s)
                outs[s]->append(x, asStored((views[s].y(k) - views[s].y(j)) * 60000.0 / apart));
        }
        if (g == p.size()) break;
        const double x = p.x(g);
        for (std::size_t s = 1; s < n; ++s)
            if (views[s].x(g) != x) return fail();
        for (PointList* out : outs) out->appendGapFill(x);
        i = g + 1;
    }
    for (PointList* out : outs) out->shrinkToFit();
    return true;
}

// The rates of `chts` into `outs`: together when they are alike, else one by one.
void ratesOf(const std::vector<const PointList*>& chts, std::vector<PointList*> outs) {
    if (ratesOfAlike(chts, outs, 86400.0)) return;
    for (std::size_t s = 0; s < chts.size(); ++s) *outs[s] = rateOf(*chts[s]);
}

}  // namespace

DerivedSeries computeDerivedSeries(const chart::Chart& chart, const EngineProfile& profile) {
    DerivedSeries d;
    d.channels = derivedChannels(profile);
    d.points.resize(d.channels.size());
    std::vector<int> numbers;
    const std::vector<const PointList*> egt = assigned(chart, profile.egt, profile.cylinders);
    const std::vector<const PointList*> cht =
        assigned(chart, profile.cht, profile.cylinders, &numbers);
    // Every series read once in time order before the threads share them.
    for (const PointList* list : egt) (void)list->points();
    for (const PointList* list : cht) (void)list->points();

    // Each derived series is a task of its own; the threads take whichever is next.
    Hottest hottest;
    std::vector<std::function<void()>> tasks;
    tasks.push_back([&] { d.points[0] = spreadOf(egt); });
    tasks.push_back([&] { spreadAndHottest(cht, d.points[1], &hottest); });
    // The rates in two halves, each read in one pass.
    const std::size_t rates = d.channels.size() - 3;
    for (const auto& [from, to] :
         {std::pair{std::size_t{0}, rates / 2}, std::pair{rates / 2, rates}}) {
        if (from == to) continue;
        tasks.push_back([&, from, to] {
            std::vector<const PointList*> in(cht.begin() + from, cht.begin() + to);
            std::vector<PointList*> out;
            for (std::size_t k = from; k < to; ++k) out.push_back(&d.points[3 + k]);
            ratesOf(in, out);
        });
    }
    runTasks(tasks.size(), [&](std::size_t t) { tasks[t](); });

    d.points[2] = std::move(hottest.points);
    // The channel indexes turned into cylinder numbers where they are.
    for (std::uint8_t& which : hottest.which)
        which = which == 0xFF ? 0 : static_cast<std::uint8_t>(numbers[which]);
    d.hottestCylinder = std::move(hottest.which);
    return d;
}

bool isDerivedSeriesName(const QString& name) {
    if (name == QLatin1String(kindName(DerivedKind::EgtSpread)) ||
        name == QLatin1String(kindName(DerivedKind::ChtSpread)) ||
        name == QLatin1String(kindName(DerivedKind::HottestCht)))
        return true;
    return name.size() == 14 && name.startsWith(QLatin1String("CHT")) &&
           name.endsWith(QLatin1String("RateSeries")) && name[3] >= u'1' && name[3] <= u'8';
}

void removeDerivedSeries(chart::Chart& chart) {
    std::erase_if(chart.series,
                  [](const chart::LineSeries& s) { return isDerivedSeriesName(s.name); });
}

void appendDerivedSeries(chart::Chart& chart, DerivedSeries& derived,
                         const std::vector<QString>& active) {
    removeDerivedSeries(chart);
    const bool dateTime = !chart.series.empty() && chart.series.front().xDateTime;
    for (std::size_t k = 0; k < derived.channels.size(); ++k) {
        chart::LineSeries s;
        s.name = derived.channels[k].name;
        s.title = derived.channels[k].title;
        s.color = QColor::fromRgb(kDerivedColours[k % std::size(kDerivedColours)]);
        s.penWidth = 2;
        s.active = std::find(active.begin(), active.end(), s.name) != active.end();
        s.showInLegend = true;
        s.xDateTime = dateTime;
        if (k < derived.points.size()) s.points = std::move(derived.points[k]);
        chart.series.push_back(std::move(s));
    }
    derived.points.clear();
    chart.invalidate();
}

const DerivedChannel* derivedChannelNamed(const DerivedSeries& derived, const QString& name) {
    for (const DerivedChannel& c : derived.channels)
        if (c.name == name) return &c;
    return nullptr;
}

}  // namespace zp::analysis
