#include "chart/chart_render.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <cmath>

#include "chart/date_time_format.h"
#include "chart/text_measurer.h"

namespace zp::chart {

namespace {

const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kGridColour(128, 128, 128);
const QColor kBevelShadow(128, 128, 128);
const QColor kCursorAColour(200, 0, 0);
const QColor kCursorBColour(0, 0, 200);

// Whether any pixel of a text whose line box is `box` can be painted: its box, widened
// by a line height on every side for glyphs that overhang it, meets the device and the
// clip. Shaping is what drawing a text costs, and a small picture leaves many out.
bool textReachable(const QPainter& painter, const QRect& box) {
    const int margin = box.height();
    const QRectF wide = QRectF(box.adjusted(-margin, -margin, margin, margin));
    const QPaintDevice* device = painter.device();
    const QRectF onDevice = painter.combinedTransform().mapRect(wide);
    if (device && !onDevice.intersects(QRectF(0, 0, device->width(), device->height())))
        return false;
    return !painter.hasClipping() || painter.clipBoundingRect().intersects(wide);
}

// Draws text with its top-left corner at (x, top).
void drawTextAt(QPainter& painter, const FontMeasurer& measurer, int x, int top,
                const QString& line) {
    if (!textReachable(painter, QRect(x, top, measurer.width(line), measurer.height()))) return;
    painter.drawText(QPoint(x, top + measurer.metrics().ascent()), line);
}

// [SECTION] Legend

void drawCheckBox(QPainter& painter, const QRect& box, bool checked, const RenderOptions& options) {
    if (options.checkBox) {
        options.checkBox(painter, box, checked);
        return;
    }
    painter.fillRect(box, kWhite);
    painter.setPen(QPen(kGridColour, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    if (checked) {
        painter.setPen(QPen(kBlack, 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        const QPoint tick[] = {QPoint(box.left() + 3, box.top() + 6),
                               QPoint(box.left() + 5, box.top() + 9),
                               QPoint(box.left() + 10, box.top() + 3)};
        painter.drawPolyline(tick, 3);
    }
}

void drawLegend(QPainter& painter, const ChartLayout& layout, const Chart& chart,
                const RenderOptions& options, const FontMeasurer& measurer) {
    const LegendLayout& legend = layout.legend;
    if (!legend.visible) return;
    const PixelRect& r = legend.rect;
    const QRect box(r.left, r.top, r.width(), r.height());
    painter.fillRect(box.translated(kLegendShadowSize, kLegendShadowSize), kBlack);
    painter.fillRect(box, kWhite);
    painter.setPen(QPen(kBlack, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(0, 0, -1, -1));

    for (int k = 0; k < legend.shownCount(); ++k) {
        const LineSeries& series = chart.series[static_cast<std::size_t>(legend.items[k])];
        drawCheckBox(painter, legend.checkBoxRect(k), series.active, options);
        QPen sample = seriesPen(series);
        if (series.dashed) {
            sample.setCapStyle(Qt::FlatCap);
            sample.setDashPattern(
                {qreal(kDashOn) / sample.widthF(), qreal(kDashOff) / sample.widthF()});
        }
        painter.setPen(sample);
        const int y = legend.symbolY(k);
        painter.drawLine(legend.symbolLeft(k), y, legend.symbolLeft(k) + legend.symbolWidth, y);
        painter.setPen(kBlack);
        drawTextAt(painter, measurer, legend.textLeft(k), legend.textTop(k), series.title);
    }
}

// [SECTION] Axes

void drawGrid(QPainter& painter, const ChartLayout& layout) {
    const PixelRect& plot = layout.plot;
    QPen grid(kGridColour, 1, Qt::DotLine, Qt::FlatCap);
    painter.setPen(grid);
    if (layout.left.visible)
        for (int y : layout.left.ticks) painter.drawLine(plot.left + 1, y, plot.right - 1, y);
    if (layout.bottom.visible)
        for (int x : layout.bottom.ticks) painter.drawLine(x, plot.top + 1, x, plot.bottom - 1);
}

void drawLeftAxis(QPainter& painter, const ChartLayout& layout, const FontMeasurer& measurer) {
    const AxisLayout& axis = layout.left;
    const PixelRect& plot = layout.plot;
    painter.fillRect(QRect(plot.left - 1, plot.top, kAxisLineWidth, plot.height() + 2), kBlack);
    for (int y : axis.ticks)
        painter.fillRect(QRect(plot.left - 2 - kTickLength, y, kTickLength, 1), kBlack);
    for (int y : axis.minorTicks())
        painter.fillRect(QRect(plot.left - 2 - kMinorTickLength, y, kMinorTickLength, 1), kBlack);
    painter.setPen(kBlack);
    const int right = plot.left - kAxisTickSpace;
    for (const AxisLabel& label : axis.labels)
        drawTextAt(painter, measurer, right - measurer.width(label.text),
                   label.pos - layout.fontHeight / 2, label.text);
    if (!axis.title.isEmpty()) {
        // The left title reads upwards, centred along the axis, outside the labels.
        painter.save();
        const int centre = (plot.top + plot.bottom) / 2;
        painter.translate(layout.chartRect.left, centre);
        painter.rotate(-90);
        drawTextAt(painter, measurer, -measurer.width(axis.title) / 2, 0, axis.title);
        painter.restore();
    }
}

void drawBottomAxis(QPainter& painter, const ChartLayout& layout, const FontMeasurer& measurer) {
    const AxisLayout& axis = layout.bottom;
    const PixelRect& plot = layout.plot;
    painter.fillRect(QRect(plot.left - 1, plot.bottom, plot.width() + 2, kAxisLineWidth), kBlack);
    for (int x : axis.ticks) painter.fillRect(QRect(x, plot.bottom + 3, 1, kTickLength), kBlack);
    for (int x : axis.minorTicks())
        painter.fillRect(QRect(x, plot.bottom + 3, 1, kMinorTickLength), kBlack);
    painter.setPen(kBlack);
    const int top = plot.bottom + kAxisTickSpace;
    for (const AxisLabel& label : axis.labels)
        drawTextAt(painter, measurer, label.pos - measurer.width(label.text) / 2, top, label.text);
    if (!axis.title.isEmpty()) {
        // A white box with a lowered one-pixel bevel (dark top and left edges).
        const PixelRect& b = axis.titleBox;
        painter.fillRect(QRect(b.left, b.top, b.width(), b.height()), kWhite);
        painter.fillRect(QRect(b.left, b.top, b.width(), 1), kBevelShadow);
        painter.fillRect(QRect(b.left, b.top, 1, b.height()), kBevelShadow);
        painter.setPen(kBlack);
        const int textWidth = measurer.width(axis.title);
        drawTextAt(painter, measurer, b.left + (b.width() - textWidth) / 2, b.top, axis.title);
    }
}

// [SECTION] Point marks, limits and measurement cursors

// The marks of an active series that has them: a filled square centred on each point.
void drawPointMarks(QPainter& painter, const ChartLayout& layout, const LineSeries& series) {
    const PointView points = series.points.points();
    for (std::size_t i = 0; i < points.size(); ++i) {
        const ChartPoint p = points[i];
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
        const int x = layout.bottom.scale.valueToPixel(p.x);
        const int y = layout.left.scale.valueToPixel(p.y);
        painter.fillRect(QRect(x - 2, y - 2, 5, 5), series.color);
    }
}

// The limits of the active series: dashed lines in the series colour across the plot.
void drawLimits(QPainter& painter, const ChartLayout& layout, const Chart& chart) {
    const PixelRect& plot = layout.plot;
    for (const LineSeries& series : chart.series) {
        if (!series.active) continue;
        for (const std::optional<double>& limit : {series.lowerLimit, series.upperLimit}) {
            if (!limit || !std::isfinite(*limit)) continue;
            painter.setPen(QPen(series.color, 1, Qt::DashLine, Qt::FlatCap));
            const int y = layout.left.scale.valueToPixel(*limit);
            painter.drawLine(plot.left + 1, y, plot.right - 1, y);
        }
    }
}

// A measurement cursor: a vertical line with its name and time at the top of the plot.
void drawCursor(QPainter& painter, const ChartLayout& layout, const FontMeasurer& measurer,
                const QString& name, double x, const QColor& colour) {
    const PixelRect& plot = layout.plot;
    const int pixel = layout.bottom.scale.valueToPixel(x);
    if (pixel < plot.left || pixel > plot.right) return;
    painter.setPen(QPen(colour, 1, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(pixel, plot.top + 1, pixel, plot.bottom - 1);
    const QString text = name + QLatin1Char(' ') + cursorTimeText(x);
    const int width = measurer.width(text) + 4;
    const int left = std::min(pixel + 2, plot.right - width - 1);
    const QRect box(left, plot.top + 2, width, measurer.height());
    painter.fillRect(box, kWhite);
    painter.setPen(colour);
    drawTextAt(painter, measurer, box.left() + 2, box.top(), text);
}

}  // namespace

QString cursorTimeText(double x) {
    return formatDateTime(x, QStringLiteral("hh:nn:ss"));
}

long long cursorTimeSeconds(double x) {
    // Far beyond any calendar (and NaN) the label is empty: no seconds either.
    if (!(std::fabs(x) < 1e9)) return 0;
    const double ms = std::nearbyint(x * 86400000.0);
    return static_cast<long long>(std::floor(ms / 1000.0));
}

void paintChart(QPainter& painter, const ChartLayout& layout, const Chart& chart,
                const RenderOptions& options) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QColor background = options.background.isValid()
                                  ? options.background
                                  : QGuiApplication::palette().color(QPalette::Button);
    const PixelRect& client = layout.client;
    painter.fillRect(QRect(client.left, client.top, client.width(), client.height()), background);

    const QFont font = chartLabelFont();
    painter.setFont(font);
    const FontMeasurer measurer(font);
    drawLegend(painter, layout, chart, options, measurer);

    const PixelRect& plot = layout.plot;
    if (plot.width() > 0 && plot.height() > 0) {
        // Back wall: a frame one pixel wider and taller than the plot area.
        painter.setPen(QPen(kBlack, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(plot.left, plot.top, plot.width(), plot.height()));

        painter.save();
        painter.setClipRect(QRect(plot.left, plot.top, plot.width(), plot.height() + 1));
        for (const LineSeries& series : chart.series)
            if (series.active && !series.points.empty())
                drawSeriesLine(painter, series, layout, options.lineDrawing);
        for (const LineSeries& series : chart.series)
            if (series.active && series.pointMarks) drawPointMarks(painter, layout, series);
        drawLimits(painter, layout, chart);
        painter.restore();
        drawGrid(painter, layout);
        // The cursors are drawn over the grid, inside the plot area.
        if (chart.cursorA)
            drawCursor(painter, layout, measurer, QStringLiteral("A"), *chart.cursorA,
                       kCursorAColour);
        if (chart.cursorB)
            drawCursor(painter, layout, measurer, QStringLiteral("B"), *chart.cursorB,
                       kCursorBColour);
    }
    if (layout.left.visible) drawLeftAxis(painter, layout, measurer);
    if (layout.bottom.visible) drawBottomAxis(painter, layout, measurer);
    painter.restore();
}

ChartLayout render(QPainter& painter, const QRect& target, Chart& chart,
                   const RenderOptions& options) {
    const PixelRect client{target.left(), target.top(), target.left() + target.width(),
                           target.top() + target.height()};
    ChartLayout layout = layoutChart(chart, client);
    storeAutomaticRanges(chart, layout);
    paintChart(painter, layout, chart, options);
    return layout;
}

}  // namespace zp::chart
