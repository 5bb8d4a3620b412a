#include "library/derived_figures.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

#include "library/flight.h"

namespace zp::library {

QString EngineChannels::key() const {
    const auto list = [this](const std::array<std::optional<Channel>, 8>& channels) {
        QStringList names;
        for (int c = 0; c < cylinders; ++c)
            names << (channels[c] ? QLatin1String(kChannels[*channels[c]].name)
                                  : QLatin1String("none"));
        return names.join(u',');
    };
    return QStringLiteral("egt=%1;cht=%2").arg(list(egt), list(cht));
}

void sortDerivedFigures(std::vector<std::pair<QString, ChannelFigures>>& figures) {
    const auto rank = [](const QString& name) {
        if (name == u"EGTSpreadSeries") return 0;
        if (name == u"CHTSpreadSeries") return 1;
        if (name == u"HottestCHTSeries") return 2;
        return 3 + (name.size() > 3 ? name[3].digitValue() : 9);
    };
    std::stable_sort(figures.begin(), figures.end(),
                     [&](const auto& a, const auto& b) { return rank(a.first) < rank(b.first); });
}

void DerivedFiguresSink::Sum::add(double value) {
    if (!std::isfinite(value)) {
        inHigh = inLow = false;
        return;
    }
    if (count == 0) {
        minimum = maximum = value;
    } else {
        minimum = std::min(minimum, value);
        maximum = std::max(maximum, value);
    }
    ++count;
    sum += value;
    if (limits) {
        const bool high = value > limits->high;
        const bool low = !high && value < limits->low;
        if (high && !inHigh) ++highRuns;
        if (low && !inLow) ++lowRuns;
        inHigh = high;
        inLow = low;
    }
}

DerivedFiguresSink::DerivedFiguresSink(const EngineChannels& engine,
                                       const std::map<QString, Limits>& limits,
                                       const std::array<ToShownFn, kChannelCount>& toShown)
    : toShown_(toShown) {
    names_ = {QStringLiteral("EGTSpreadSeries"), QStringLiteral("CHTSpreadSeries"),
              QStringLiteral("HottestCHTSeries")};
    for (int c = 0; c < engine.cylinders && c < 8; ++c) {
        if (engine.egt[c]) egt_.push_back(*engine.egt[c]);
        if (engine.cht[c]) {
            cht_.push_back(*engine.cht[c]);
            chtCylinder_.push_back(c + 1);
            names_.push_back(QStringLiteral("CHT%1RateSeries").arg(c + 1));
        }
    }
    sums_.resize(names_.size());
    for (std::size_t k = 0; k < names_.size(); ++k) {
        const auto found = limits.find(names_[k]);
        if (found != limits.end()) sums_[k].limits = &found->second;
    }
    rates_.resize(cht_.size());
}

void DerivedFiguresSink::startFlight() {
    for (Sum& s : sums_) {
        const Limits* limits = s.limits;
        s = Sum{};
        s.limits = limits;
    }
    for (Rate& r : rates_) r = Rate{};
}

double DerivedFiguresSink::shown(const RecordEvent& event, Channel channel) const {
    const float recorded = event.values[channel];
    const ToShownFn convert = toShown_[static_cast<std::size_t>(channel)];
    return static_cast<double>(convert ? convert(recorded) : recorded);
}

bool DerivedFiguresSink::hasAll(const RecordModel& model, const std::vector<Channel>& list) {
    if (list.empty()) return false;
    for (const Channel c : list)
        if (std::find(model.plots.begin(), model.plots.end(), c) == model.plots.end()) return false;
    return true;
}

void DerivedFiguresSink::record(const RecordEvent& event, std::int64_t elapsed) {
    const RecordModel& model = *event.model;
    // A spread or the hottest of the record's readings, as floats as a series keeps them.
    const auto over = [&](const std::vector<Channel>& list, bool spread, std::size_t* which) {
        double lo = 0.0, hi = 0.0;
        for (std::size_t i = 0; i < list.size(); ++i) {
            const double v = shown(event, list[i]);
            if (!std::isfinite(v)) return std::numeric_limits<double>::quiet_NaN();
            if (i == 0 || v < lo) lo = v;
            if (i == 0 || v > hi) {
                hi = v;
                if (which) *which = i;
            }
        }
        return spread ? static_cast<double>(static_cast<float>(hi - lo)) : hi;
    };
    if (hasAll(model, egt_)) {
        const double v = over(egt_, true, nullptr);
        if (std::isfinite(v)) sums_[0].add(v);
    }
    if (hasAll(model, cht_)) {
        const double v = over(cht_, true, nullptr);
        if (std::isfinite(v)) sums_[1].add(v);
        std::size_t which = 0;
        const double h = over(cht_, false, &which);
        if (std::isfinite(h)) sums_[2].add(h);
    }
    for (std::size_t k = 0; k < cht_.size(); ++k) {
        if (std::find(model.plots.begin(), model.plots.end(), cht_[k]) == model.plots.end())
            continue;
        Rate& r = rates_[k];
        // A second without a reading of this channel is a gap fill on the chart.
        if (elapsed - r.last > 1 || elapsed < r.last) {
            r.window.clear();
            r.runStart = elapsed;
        }
        r.last = elapsed;
        const double v = shown(event, cht_[k]);
        if (!std::isfinite(v)) continue;
        if (r.window.empty()) r.runStart = elapsed;
        if (elapsed - r.runStart >= 60) {
            while (!r.window.empty() && r.window.front().first < elapsed - 60) r.window.pop_front();
            if (!r.window.empty() && r.window.front().first < elapsed) {
                const double apart = static_cast<double>(elapsed - r.window.front().first);
                sums_[3 + k].add(static_cast<double>(
                    static_cast<float>((v - r.window.front().second) * 60.0 / apart)));
            }
        }
        r.window.emplace_back(elapsed, v);
    }
}

std::vector<std::pair<QString, ChannelFigures>> DerivedFiguresSink::figures() const {
    std::vector<std::pair<QString, ChannelFigures>> out;
    for (std::size_t k = 0; k < sums_.size(); ++k) {
        const Sum& s = sums_[k];
        if (s.count == 0) continue;
        ChannelFigures f;
        f.count = s.count;
        f.minimum = s.minimum;
        f.maximum = s.maximum;
        f.mean = s.sum / static_cast<double>(s.count);
        f.highRuns = s.highRuns;
        f.lowRuns = s.lowRuns;
        out.emplace_back(names_[k], f);
    }
    return out;
}

}  // namespace zp::library
