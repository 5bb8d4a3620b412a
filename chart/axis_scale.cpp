#include "chart/axis_scale.h"

#include <QLocale>
#include <algorithm>
#include <array>
#include <climits>
#include <limits>

namespace zp::chart {

int roundToInt(double x) {
    if (std::isnan(x)) return 0;
    const double r = roundEven(x);
    if (r >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (r <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(r);
}

int AxisScale::valueToPixel(double value) const {
    if (zeroRange()) return (startPixel + endPixel) / 2;
    double offset = (value - minimum) * size() / range();
    if (std::isnan(offset)) offset = 0.0;
    offset = std::clamp(offset, -kPixelClamp, kPixelClamp);
    const int rounded = static_cast<int>(roundEven(offset));
    return horizontal ? startPixel + rounded : endPixel - rounded;
}

double AxisScale::calcPosPoint(int pixel) const {
    if (size() < 1) return 0.0;
    const double d = static_cast<double>(pixel - startPixel) * range() / size();
    return horizontal ? minimum + d : maximum - d;
}

double nextStep125(double value) {
    if (!std::isfinite(value) || value <= 0.0) return 1.0;
    // Candidates around the decade of the value; the smallest one above it wins.
    // Computing each candidate the same way every time keeps the series strictly
    // increasing even where the decimal values are not exact in binary.
    const int decade = static_cast<int>(std::floor(std::log10(value)));
    static constexpr std::array<double, 3> kMantissas = {1.0, 2.0, 5.0};
    double best = std::numeric_limits<double>::infinity();
    for (int e = decade - 1; e <= decade + 1; ++e) {
        const double scale = std::pow(10.0, e);
        for (double m : kMantissas) {
            const double candidate = m * scale;
            if (candidate > value && candidate < best) best = candidate;
        }
    }
    return best;
}

QString formatAxisNumber(double value) {
    const QLocale locale;
    if (!std::isfinite(value)) return locale.toString(value);
    // A value that rounds to zero prints as "0", never "-0".
    if (std::fabs(value) < 0.0005) value = 0.0;
    QString text = locale.toString(value, 'f', 3);
    const QString point = locale.decimalPoint();
    const qsizetype pointAt = text.lastIndexOf(point);
    if (pointAt >= 0) {
        qsizetype end = text.size();
        while (end > pointAt + point.size() && text.at(end - 1) == locale.zeroDigit().at(0)) --end;
        if (end == pointAt + point.size()) end = pointAt;
        text.truncate(end);
    }
    return text;
}

QString formatGeneral15(double value) {
    return QString::number(value, 'g', 15);
}

}  // namespace zp::chart
