// Text measurement for the chart layout. The layout code asks only for a font height
// and text widths, so tests can run it with exact, made-up metrics.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QString>

namespace zp::chart {

// Measures texts in one font: height() is the height of a line (the height of "W"),
// width() the horizontal advance of a text.
class TextMeasurer {
  public:
    virtual ~TextMeasurer() = default;
    virtual int height() const = 0;
    virtual int width(const QString& text) const = 0;
};

// TextMeasurer backed by QFontMetrics of a real font. Needs a QGuiApplication.
class FontMeasurer final : public TextMeasurer {
  public:
    explicit FontMeasurer(const QFont& font) : metrics_(font) {}
    int height() const override { return metrics_.height(); }
    int width(const QString& text) const override { return metrics_.horizontalAdvance(text); }

  private:
    QFontMetrics metrics_;
};

// The font of axis labels, axis titles and the legend: "Arial" at 11 pixels (8 points
// on a 96-dpi screen), black.
QFont chartLabelFont();

// The font of the (empty) foot title, whose line height still takes a band off the
// bottom of the chart: "Arial" at 8 pixels.
QFont chartFootFont();

}  // namespace zp::chart
