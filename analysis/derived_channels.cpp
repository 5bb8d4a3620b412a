#include "analysis/derived_channels.h"

#include <algorithm>
#include <cmath>

#include "channels/channel_units.h"

namespace zp::analysis {

namespace {

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

// Calls `tuple(x, values)` for each set of readings at one time, one from each series
// (the k-th readings at that X of each), and `gap(x)` for each time at which every
// series has only gap fills. Every series needs a point for a set to be made.
template <class Tuple, class Gap>
void forEachSet(const std::vector<const PointList*>& channels, Tuple tuple, Gap gap) {
    if (channels.empty()) return;
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

PointList spreadOf(const std::vector<const PointList*>& channels) {
    PointList out;
    if (!channels.empty()) out.reserve(channels.front()->size());
    forEachSet(
        channels,
        [&](double x, const double* v) {
            const auto [lo, hi] = std::minmax_element(v, v + channels.size());
            out.append(x, asStored(*hi - *lo));
        },
        [&](double x) { out.appendGapFill(x); });
    out.shrinkToFit();
    return out;
}

Hottest hottestOf(const std::vector<const PointList*>& channels) {
    Hottest out;
    if (!channels.empty()) {
        out.points.reserve(channels.front()->size());
        out.which.reserve(channels.front()->size());
    }
    forEachSet(
        channels,
        [&](double x, const double* v) {
            // max_element gives the first of equal values: a tie goes to the lower cylinder.
            const double* hot = std::max_element(v, v + channels.size());
            out.points.append(x, *hot);
            out.which.push_back(static_cast<std::uint8_t>(hot - v));
        },
        [&](double x) {
            out.points.appendGapFill(x);
            out.which.push_back(0xFF);
        });
    out.points.shrinkToFit();
    return out;
}

PointList rateOf(const PointList& cht, double secondsPerX) {
    PointList out;
    const PointView p = cht.points();
    out.reserve(p.size());
    const double msPerX = secondsPerX * 1000.0;
    const auto ms = [&](std::size_t i) { return std::llround(p.x(i) * msPerX); };
    constexpr long long kWindow = 60000;
    std::size_t i = 0;
    while (i < p.size()) {
        const std::size_t g = cht.nextGapFill(i, p.size());
        // Readings [i, g): the window's first reading walks along behind each reading.
        std::size_t j = i;
        bool started = false;
        long long runStart = 0;
        for (std::size_t k = i; k < g; ++k) {
            if (!std::isfinite(p.y(k))) continue;
            const long long t = ms(k);
            if (!started) started = true, runStart = t;
            if (t - runStart < kWindow) continue;
            while (j < k && (!std::isfinite(p.y(j)) || ms(j) < t - kWindow)) ++j;
            const long long apart = t - ms(j);
            if (apart <= 0) continue;
            out.append(p.x(k), asStored((p.y(k) - p.y(j)) * 60000.0 / static_cast<double>(apart)));
        }
        if (g == p.size()) break;
        out.appendGapFill(p.x(g));
        i = g + 1;
    }
    out.shrinkToFit();
    return out;
}

DerivedSeries computeDerivedSeries(const chart::Chart& chart, const EngineProfile& profile) {
    DerivedSeries d;
    d.channels = derivedChannels(profile);
    d.points.resize(d.channels.size());
    std::vector<int> numbers;
    const std::vector<const PointList*> egt = assigned(chart, profile.egt, profile.cylinders);
    const std::vector<const PointList*> cht =
        assigned(chart, profile.cht, profile.cylinders, &numbers);
    d.points[0] = spreadOf(egt);
    d.points[1] = spreadOf(cht);
    Hottest hottest = hottestOf(cht);
    d.points[2] = std::move(hottest.points);
    d.hottestCylinder.resize(hottest.which.size());
    for (std::size_t i = 0; i < hottest.which.size(); ++i)
        d.hottestCylinder[i] =
            hottest.which[i] == 0xFF ? 0 : static_cast<std::uint8_t>(numbers[hottest.which[i]]);
    for (std::size_t k = 3; k < d.channels.size(); ++k) d.points[k] = rateOf(*cht[k - 3]);
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
