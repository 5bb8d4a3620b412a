#include "chart/axis_labels.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "chart/date_time_format.h"

namespace zp::chart {

namespace {

// Safety bound for every step search: the 1-2-5 series crosses the whole double range
// in about 2000 steps.
constexpr int kMaxSearchSteps = 4000;

// Round(range / step) > maxLabels, treating quotients beyond the 32-bit range (and
// NaN) as too many.
bool tooManySteps(double range, double step, int maxLabels) {
    const double q = range / step;
    if (!(std::fabs(q) <= static_cast<double>(INT_MAX))) return true;
    return roundEven(q) > maxLabels;
}

}  // namespace

QString AxisLabelFormat::text(double value) const {
    if (!dateTime) return formatAxisNumber(value);
    if (!dateTimeFormat.isEmpty()) return formatDateTime(value, dateTimeFormat);
    return formatDateTimeQt(value, defaultDateTimePattern(range));
}

int maxLabelCount(int axisSize, int labelSize) {
    if (labelSize <= 0) return 1;
    const double spacing = roundEven(10.0 * 0.01 * labelSize);
    return roundToInt(axisSize / (labelSize + spacing));
}

double valueIncrement(double range, int maxLabels, bool startAtOne) {
    if (maxLabels < 1) return 1e-12;
    double step = startAtOne || range == 0.0 ? 1.0 : std::fabs(range) / (maxLabels + 1);
    for (int i = 0; i < kMaxSearchSteps && tooManySteps(range, step, maxLabels); ++i) {
        step = nextStep125(step);
        if (!std::isfinite(step)) {
            step = range;
            break;
        }
        if (step > range) break;
    }
    return std::max(step, 1e-12);
}

double dateTimeIncrement(double range, int maxLabels, double provisional) {
    if (maxLabels < 1) return kOneMicrosecond;
    double step = std::max(kOneMicrosecond, provisional);
    if (range / step > 1000000.0) step = range / 1000000.0;
    for (int i = 0;
         i < kMaxSearchSteps && std::isfinite(step) && tooManySteps(range, step, maxLabels); ++i) {
        if (step >= 365.0)
            step *= 2.0;
        else if (step >= kOneSecond)
            step = nextDateTimeStep(step);
        else
            step = nextStep125(step);
    }
    return std::max(kOneMicrosecond, step);
}

int largestLabelSize(const std::vector<double>& values, const AxisLabelFormat& format,
                     bool horizontal, const TextMeasurer& measurer) {
    // Labels are one line each and not rotated, so on a vertical axis every label is
    // one font height tall whatever its text.
    if (!horizontal) return measurer.height();
    int largest = 0;
    for (double v : values) largest = std::max(largest, measurer.width(format.text(v)));
    return largest;
}

double middleLabelValue(double minimum, double maximum) {
    double middle = (minimum + maximum) / 2.0;
    // Halving a whole number ends once it gains a fraction; the bound covers the
    // largest doubles and stops at infinities.
    for (int i = 0; i < 2100 && std::isfinite(middle) && middle != 0.0; ++i) {
        double whole = 0.0;
        if (std::modf(middle, &whole) != 0.0) break;
        middle /= 2.0;
    }
    return middle;
}

double axisIncrement(const AxisScale& scale, const AxisLabelFormat& format,
                     const TextMeasurer& measurer) {
    const double minimum = scale.minimum;
    const double maximum = scale.maximum;
    const double range = scale.range();
    const bool horizontal = scale.horizontal;

    const int firstSize = largestLabelSize({minimum, maximum, middleLabelValue(minimum, maximum)},
                                           format, horizontal, measurer);
    const int firstCount = maxLabelCount(scale.size(), firstSize);
    const double first =
        format.dateTime ? dateTimeIncrement(range, firstCount) : valueIncrement(range, firstCount);
    if (!(first >= 2.0)) return first;

    const double top = std::trunc(maximum);
    const double bottom = roundEven(minimum);
    const int secondSize =
        largestLabelSize({top, bottom, middleLabelValue(bottom, top), top - 1.0, bottom + 1.0},
                         format, horizontal, measurer);
    const int secondCount = maxLabelCount(scale.size(), secondSize);
    return format.dateTime ? dateTimeIncrement(range, secondCount, 1.0)
                           : valueIncrement(range, secondCount, true);
}

std::vector<double> labelValues(double minimum, double maximum, double increment) {
    const double range = maximum - minimum;
    if (!(increment > 0.0) || !std::isfinite(range) || !std::isfinite(increment)) return {};
    if (!(std::fabs(range / increment) < kMaxLabelSteps)) return {};

    double first = formatGeneral15(minimum) == formatGeneral15(maximum)
                       ? maximum
                       : std::trunc(maximum / increment) * increment;
    for (int i = 0; i < 8 && first > maximum; ++i) first -= increment;

    if (range == 0.0 || std::fabs(range) < 1e-10 ||
        formatGeneral15(first) == formatGeneral15(first - increment))
        return {first};

    const double limit = minimum >= 0.0 ? (minimum - 1e-12) / (1.0 + 1e-12) : minimum;
    std::vector<double> values;
    for (double v = first; v >= limit && values.size() <= kMaxLabelSteps; v -= increment)
        values.push_back(v);
    return values;
}

std::vector<AxisLabel> axisLabels(const AxisScale& scale, const AxisLabelFormat& format,
                                  double increment) {
    std::vector<AxisLabel> labels;
    for (double v : labelValues(scale.minimum, scale.maximum, increment))
        labels.push_back(AxisLabel{v, format.text(v), scale.valueToPixel(v)});
    return labels;
}

}  // namespace zp::chart
