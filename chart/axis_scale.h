// The arithmetic every axis shares: integer rounding as the chart uses it, the
// value-to-pixel map of one axis and its inverse, the 1-2-5 step series and the text
// of a value label.
#pragma once

#include <QString>
#include <cmath>

namespace zp::chart {

// A pixel rectangle with exclusive right and bottom edges, as the chart uses it for
// its client area, plot area and legend box.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    // Point-in-rectangle: left and top edges inside, right and bottom edges outside.
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const PixelRect&) const = default;
};

// Pixel positions are clamped to this magnitude before rounding, so extreme values
// cannot overflow drawing coordinates.
inline constexpr double kPixelClamp = 67108863.0;

// Rounds to the nearest integer, ties to even (the current rounding mode, which the
// viewer never changes from round-to-nearest).
inline double roundEven(double x) {
    return std::nearbyint(x);
}

// roundEven() as an int, saturated to the int range; NaN gives 0.
int roundToInt(double x);

// The value-to-pixel map of one axis for one repaint. Horizontal axes grow to the
// right from startPixel; vertical axes grow upwards from endPixel (the bottom).
struct AxisScale {
    bool horizontal = true;
    double minimum = 0.0;
    double maximum = 0.0;
    int startPixel = 0;  // left or top end
    int endPixel = 0;    // right or bottom end

    double range() const { return maximum - minimum; }
    bool zeroRange() const { return range() == 0.0; }
    int size() const { return endPixel - startPixel; }

    // Pixel of a value; every value maps to the axis centre when the range is 0.
    // A non-finite value maps like the clamped extreme in its direction (NaN to the
    // minimum end); callers skip non-finite points before drawing.
    int valueToPixel(double value) const;

    // Value at a pixel; 0 when the axis is shorter than one pixel.
    double calcPosPoint(int pixel) const;
};

// The smallest of 1, 2, 5 x 10^m strictly greater than `value`; 1 for a value that is
// not finite or not positive.
double nextStep125(double value);

// A value as a label of a value axis, "#,##0.###": thousands grouped, at most three
// decimals, trailing zero decimals dropped, in the separators of QLocale().
QString formatAxisNumber(double value);

// A value in general decimal format with 15 significant digits, used only to tell
// whether two values print alike.
QString formatGeneral15(double value);

}  // namespace zp::chart
