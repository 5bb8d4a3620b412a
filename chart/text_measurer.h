// Text measurement for the chart layout. The layout code asks only for a font height
// and text widths, so tests can run it with exact, made-up metrics.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QHash>
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
// Widths are remembered per font for the thread: every paint lays out the same legend
// titles and mostly the same axis labels, and shaping a text is what measuring costs.
class FontMeasurer final : public TextMeasurer {
  public:
    explicit FontMeasurer(const QFont& font);
    int height() const override { return metrics_.height(); }
    int width(const QString& text) const override;
    const QFontMetrics& metrics() const { return metrics_; }

  private:
    QFontMetrics metrics_;
    QHash<QString, int>* widths_;
};

// Forgets the widths this thread remembers. A fuzz target calls it when each input ends,
// so that running an input twice allocates the same both times.
void forgetRememberedWidths();

// The font of axis labels, axis titles and the legend: "Arial" at 11 pixels (8 points
// on a 96-dpi screen), black.
QFont chartLabelFont();

// The font of the (empty) foot title, whose line height still takes a band off the
// bottom of the chart: "Arial" at 8 pixels.
QFont chartFootFont();

}  // namespace zp::chart
