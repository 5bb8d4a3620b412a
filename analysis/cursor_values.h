// What the measurement cursors read from a series: the last reading at or before a
// cursor's X. Gap-fill points and non-finite values are not readings.
#pragma once

#include <optional>

#include "chart/series.h"

namespace zp::analysis {

// The last reading with X <= x, in X order; none when no reading lies there.
std::optional<chart::ChartPoint> readingAtOrBefore(const chart::PointList& points, double x);

}  // namespace zp::analysis
