#include "analysis/lean_test.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

#include "analysis/cursor_values.h"
#include "chart/chart_render.h"

namespace zp::analysis {

namespace {

using chart::ChartPoint;
using chart::PointList;
using chart::PointView;

// The readings of `list` in `range`, in X order, into `out` (emptied first; its room
// is kept for the next list).
void readingsIn(const PointList& list, const XRange& range, std::vector<ChartPoint>& out) {
    out.clear();
    const PointView p = list.points();
    std::size_t first = 0, last = p.size();
    // A list with a NaN X is not sorted, nor is a range of NaN ends any stretch.
    const bool checkX = list.hasNanX() || !(range.from <= range.to);
    if (!checkX) {
        first = static_cast<std::size_t>(
            std::lower_bound(p.begin(), p.end(), range.from,
                             [](const ChartPoint& q, double x) { return q.x < x; }) -
            p.begin());
        last = static_cast<std::size_t>(
            std::upper_bound(p.begin() + static_cast<std::ptrdiff_t>(first), p.end(), range.to,
                             [](double x, const ChartPoint& q) { return x < q.x; }) -
            p.begin());
    }
    out.reserve(last - first);
    const bool gapFills = list.gapFillCount() > 0;
    p.forEachValue(first, last, [&](std::size_t i, double y) {
        if (!std::isfinite(y) || (gapFills && list.isGapFill(i))) return;
        const double x = p.x(i);
        if (checkX && !(range.from <= x && x <= range.to)) return;
        out.push_back({x, y});
    });
}

// The mean Y of the first and of the last tenth (at least one reading) of `r`.
std::pair<double, double> endMeans(const std::vector<ChartPoint>& r) {
    const std::size_t n = std::max<std::size_t>(1, r.size() / 10);
    double a = 0.0, b = 0.0;
    for (std::size_t i = 0; i < n; ++i) a += r[i].y, b += r[r.size() - 1 - i].y;
    return {a / double(n), b / double(n)};
}

// The last reading at or before `x` of `r` (sorted by X); the first after it if none.
double valueAt(const std::vector<ChartPoint>& r, double x) {
    auto it = std::upper_bound(r.begin(), r.end(), x,
                               [](double v, const ChartPoint& q) { return v < q.x; });
    if (it == r.begin()) return r.front().y;
    return std::prev(it)->y;
}

}  // namespace

LeanTestResult leanTest(const chart::Chart& chart, const EngineProfile& profile, XRange range) {
    LeanTestResult result;
    if (!profile.fuelFlow || static_cast<std::size_t>(*profile.fuelFlow) >= chart.series.size()) {
        result.problem = QStringLiteral("The engine profile names no fuel flow channel.");
        return result;
    }
    std::vector<ChartPoint> flow;
    readingsIn(chart.series[static_cast<std::size_t>(*profile.fuelFlow)].points, range, flow);
    if (flow.size() < 3) {
        result.problem =
            QStringLiteral("No decreasing fuel flow: the range holds too few fuel flow readings.");
        return result;
    }
    const auto [flowStart, flowEnd] = endMeans(flow);
    if (!(flowStart - flowEnd > 0.02 * std::abs(flowStart))) {
        result.problem = QStringLiteral(
            "No decreasing fuel flow in the range: lean the mixture from rich to past peak "
            "EGT between the cursors.");
        return result;
    }
    std::vector<ChartPoint> r;  // one cylinder's readings at a time
    for (int c = 0; c < profile.cylinders; ++c) {
        const std::optional<Channel> egt = profile.egt[static_cast<std::size_t>(c)];
        if (!egt || static_cast<std::size_t>(*egt) >= chart.series.size()) continue;
        readingsIn(chart.series[static_cast<std::size_t>(*egt)].points, range, r);
        CylinderPeak peak;
        peak.cylinder = c + 1;
        std::vector<ChartPoint> curve;
        if (r.size() >= 3) {
            const auto top = std::max_element(
                r.begin(), r.end(),
                [](const ChartPoint& a, const ChartPoint& b) { return a.y < b.y; });
            const auto [start, end] = endMeans(r);
            const double margin = 0.005 * std::abs(top->y);
            const auto at = static_cast<std::size_t>(top - r.begin());
            const std::size_t tenth = std::max<std::size_t>(1, r.size() / 10);
            const bool inside = at >= tenth && at + tenth < r.size();
            if (inside && top->y > start + margin && top->y > end + margin) {
                peak.peaked = true;
                peak.x = top->x;
                peak.egt = top->y;
                peak.fuelFlow = valueAt(flow, top->x);
            }
            // Both in X order: the flow at each reading walks along with it.
            curve.reserve(r.size());
            std::size_t f = 0;
            for (const ChartPoint& p : r) {
                while (f + 1 < flow.size() && flow[f + 1].x <= p.x) ++f;
                curve.push_back({flow[f].x <= p.x ? flow[f].y : flow.front().y, p.y});
            }
        }
        result.cylinders.push_back(peak);
        result.curves.push_back(std::move(curve));
    }
    if (result.cylinders.empty()) {
        result.problem = QStringLiteral("The engine profile assigns no EGT channel.");
        return result;
    }
    double lo = 0.0, hi = 0.0, first = 0.0, last = 0.0;
    bool any = false;
    for (const CylinderPeak& p : result.cylinders) {
        if (!p.peaked) continue;
        if (!any || p.x < first) first = p.x, result.firstToPeak = p.cylinder;
        if (!any || p.x > last) last = p.x, result.lastToPeak = p.cylinder;
        if (!any || p.fuelFlow < lo) lo = p.fuelFlow;
        if (!any || p.fuelFlow > hi) hi = p.fuelFlow;
        any = true;
    }
    if (!any) {
        result.problem = QStringLiteral(
            "No EGT peaks in the range: no cylinder's EGT rose and fell again while the fuel "
            "flow fell.");
        return result;
    }
    result.fuelFlowSpread = hi - lo;
    return result;
}

QString leanTestText(const LeanTestResult& r, const QString& flowUnit,
                     const QString& temperatureUnit) {
    if (!r.ok()) return r.problem;
    const auto num = [](double v, int decimals) { return QString::number(v, 'f', decimals); };
    QStringList lines;
    for (const CylinderPeak& p : r.cylinders) {
        if (!p.peaked) {
            lines << QStringLiteral("Cylinder %1: no peak").arg(p.cylinder);
            continue;
        }
        lines << QStringLiteral("Cylinder %1: peak %2 %3 at %4, fuel flow %5 %6")
                     .arg(p.cylinder)
                     .arg(num(p.egt, 0), temperatureUnit, chart::cursorTimeText(p.x),
                          num(p.fuelFlow, 2), flowUnit);
    }
    lines << QStringLiteral("First to peak: cylinder %1; last to peak: cylinder %2")
                 .arg(r.firstToPeak)
                 .arg(r.lastToPeak);
    lines << QStringLiteral("Fuel flow spread: %1 %2").arg(num(r.fuelFlowSpread, 2), flowUnit);
    return lines.join(u'\n');
}

void fillLeanTestChart(chart::Chart& chart, const LeanTestResult& result, const QString& flowUnit,
                       const QString& temperatureUnit) {
    static constexpr std::uint32_t kColours[] = {0xFF0000, 0x0000FF, 0x008000, 0xFF8000,
                                                 0x800080, 0x008080, 0x808000, 0x000000};
    chart.series.clear();
    for (std::size_t k = 0; k < result.cylinders.size(); ++k) {
        chart::LineSeries s;
        const int cylinder = result.cylinders[k].cylinder;
        s.name = QStringLiteral("Cylinder%1Series").arg(cylinder);
        s.title = QStringLiteral("EGT %1").arg(cylinder);
        s.color = QColor::fromRgb(kColours[(cylinder - 1) % 8]);
        s.penWidth = 2;
        s.active = true;
        s.showInLegend = true;
        s.xDateTime = false;
        for (const ChartPoint& p : result.curves[k]) s.points.append(p.x, p.y);
        chart.series.push_back(std::move(s));
    }
    chart.bottomAxis.dateTimeFormat.clear();
    chart.bottomAxis.title = QStringLiteral("Fuel flow (%1)").arg(flowUnit);
    chart.leftAxis.title = QStringLiteral("EGT (%1)").arg(temperatureUnit);
    chart.invalidate();
}

}  // namespace zp::analysis
