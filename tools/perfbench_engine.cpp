#include "tools/perfbench_engine.h"

#include <QPalette>
#include <chrono>
#include <cstdio>

#include "analysis/derived_channels.h"
#include "analysis/lean_test.h"
#include "loading/channel_series.h"
#include "loading/log_loading.h"

namespace zp::perfbench {

namespace {

using Clock = std::chrono::steady_clock;

template <class F>
double bestMs(int repeat, F&& f) {
    double best = 0.0;
    for (int i = 0; i < repeat; ++i) {
        const Clock::time_point start = Clock::now();
        f();
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (i == 0 || ms < best) best = ms;
    }
    return best;
}

// Six cylinders as an engine monitor with twelve thermocouples may be wired.
analysis::EngineProfile sixCylinders() {
    analysis::EngineProfile p;
    p.cylinders = 6;
    const Channel egt[6] = {TC1Series, TC2Series, TC3Series, TC4Series, TC9Series, TC10Series};
    const Channel cht[6] = {TC5Series, TC6Series, TC7Series, TC8Series, TC11Series, TC12Series};
    for (int c = 0; c < 6; ++c) p.egt[c] = egt[c], p.cht[c] = cht[c];
    p.fuelFlow = FuelFlow1Series;
    return p;
}

}  // namespace

int engineMode(const QString& path, int repeat) {
    chart::Chart chart;
    createChannelSeries(chart, QPalette());
    prepareChartForLoad(chart);
    const ImportResult result =
        loadLogIntoChart(path, UnitSelectors{}, chart, ImportOptions::forThisMachine());
    if (result.status != ImportResult::Status::Loaded) {
        std::fprintf(stderr, "perfbench: %s\n", qPrintable(result.message));
        return 1;
    }
    // As after the first repaint: every series in time order.
    for (const chart::LineSeries& series : chart.series) (void)series.points.points();
    const analysis::EngineProfile profile = sixCylinders();
    std::size_t points = 0;
    const double derivedMs = bestMs(repeat, [&] {
        const analysis::DerivedSeries d = analysis::computeDerivedSeries(chart, profile);
        points = 0;
        for (const chart::PointList& p : d.points) points += p.size();
    });
    // One hour as a zoom leaves the time axis, where genlog's flight reduces power for
    // the descent, so that the fuel flow falls and every cylinder's EGT is read.
    const chart::PointList& flow = channelSeries(chart, FuelFlow1Series).points;
    const double from = flow.empty() ? 0.0 : flow[flow.size() * 31 / 40].x;
    const analysis::XRange hour{from, from + 1.0 / 24.0};
    std::size_t cylinders = 0;
    const double leanMs = bestMs(
        repeat * 5, [&] { cylinders = analysis::leanTest(chart, profile, hour).cylinders.size(); });
    std::printf("derived_ms=%.3f derived_points=%zu lean_ms=%.4f lean_cylinders=%zu\n", derivedMs,
                points, leanMs, cylinders);
    return 0;
}

}  // namespace zp::perfbench
