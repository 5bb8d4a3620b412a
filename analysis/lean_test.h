// The lean test: while the pilot leans the mixture (the fuel flow falls), each
// cylinder's EGT rises to a peak and falls again. The flow at which each cylinder
// peaks, and the spread of those flows, tell how evenly the injectors share the fuel.
#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "analysis/engine_profile.h"
#include "analysis/series_analysis.h"
#include "chart/chart_model.h"

namespace zp::analysis {

struct CylinderPeak {
    int cylinder = 0;  // 1-8
    bool peaked = false;
    double x = 0.0;         // time of the peak reading
    double egt = 0.0;       // the peak EGT
    double fuelFlow = 0.0;  // the last fuel flow reading at or before the peak
};

struct LeanTestResult {
    // Empty when the test has a result; else why not ("no decreasing fuel flow ...").
    QString problem;
    std::vector<CylinderPeak> cylinders;  // the cylinders with an EGT channel, in order
    int firstToPeak = 0;                  // cylinder number; 0: none peaked
    int lastToPeak = 0;
    double fuelFlowSpread = 0.0;  // highest minus lowest peak flow of the peaked cylinders
    // The EGT against the fuel flow readings of each cylinder in the range, for the
    // chart of the test: X the fuel flow, Y the EGT (parallel to `cylinders`).
    std::vector<std::vector<chart::ChartPoint>> curves;

    bool ok() const { return problem.isEmpty(); }
};

// The lean test over `range` of a chart's channel series, with the profile's EGT and
// fuel flow channels. The fuel flow falls over the range when the mean of its first
// tenth of readings is more than 2% above that of its last tenth. A cylinder's EGT
// peaks inside the range when its highest reading (the first of equal ones) lies
// between its first and its last tenth of readings and more than 0.5% above the mean
// of each of them.
LeanTestResult leanTest(const chart::Chart& chart, const EngineProfile& profile, XRange range);

// The result as lines of text, flows and temperatures with the given units.
QString leanTestText(const LeanTestResult& result, const QString& flowUnit,
                     const QString& temperatureUnit);

// Fills `chart` (emptied first) with one series per cylinder of EGT against fuel flow,
// ready for drawing by the chart engine.
void fillLeanTestChart(chart::Chart& chart, const LeanTestResult& result, const QString& flowUnit,
                       const QString& temperatureUnit);

}  // namespace zp::analysis
