// How an axis chooses its label step and label values: the maximum label count from
// the label sizes, the 1-2-5 search of a value axis, the table search of a date-time
// axis, and the label values counted down from the maximum.
#pragma once

#include <QString>
#include <vector>

#include "chart/axis_scale.h"
#include "chart/text_measurer.h"

namespace zp::chart {

// Turns an axis value into its label text.
struct AxisLabelFormat {
    bool dateTime = false;   // the axis shows date-times
    QString dateTimeFormat;  // "hh:nn:ss" style; empty: the locale's default by range
    double range = 0.0;      // working range, which picks the default date-time format

    QString text(double value) const;
};

// One label of an axis: its value, its text and the pixel of its tick.
struct AxisLabel {
    double value = 0.0;
    QString text;
    int pos = 0;
};

// No labels are placed when the range holds this many increments or more.
inline constexpr double kMaxLabelSteps = 10000.0;

// Round(axisSize / (labelSize + Round(10% of labelSize))); 1 when labelSize <= 0.
int maxLabelCount(int axisSize, int labelSize);

// The step search of a value axis for at most `maxLabels` labels. It starts from
// |range| / (maxLabels + 1) (from 1 when the range is 0), or from 1 when `startAtOne`,
// and climbs the 1-2-5 series until the range holds at most maxLabels steps.
double valueIncrement(double range, int maxLabels, bool startAtOne = false);

// The step search of a date-time axis (in days) for at most `maxLabels` labels: from
// one microsecond, or from `provisional` days when that is larger, up the 1-2-5 series
// below one second, along the step table from one second, doubling from one year.
double dateTimeIncrement(double range, int maxLabels, double provisional = 0.0);

// The largest label size among the texts of `values` (text width on a horizontal
// axis, one line height on a vertical one).
int largestLabelSize(const std::vector<double>& values, const AxisLabelFormat& format,
                     bool horizontal, const TextMeasurer& measurer);

// The value between minimum and maximum whose label is measured: their mean, halved
// while it is a whole number other than 0.
double middleLabelValue(double minimum, double maximum);

// The label step of an axis: the first search with the labels of the minimum, maximum
// and middle value; when it gives 2 or more, a second search from a step of 1 with the
// labels of whole values near the ends. The second result is used.
double axisIncrement(const AxisScale& scale, const AxisLabelFormat& format,
                     const TextMeasurer& measurer);

// The label values in drawn order (largest first): multiples of `increment` counted
// down from the maximum to the minimum, one value when the range is (nearly) 0 or the
// step is too small to print differently, none for 10000 steps or more.
std::vector<double> labelValues(double minimum, double maximum, double increment);

// Label values, texts and tick pixels of an axis.
std::vector<AxisLabel> axisLabels(const AxisScale& scale, const AxisLabelFormat& format,
                                  double increment);

}  // namespace zp::chart
