// The one drawing routine of the chart. The widget's paint event, the bitmap export
// and the printer all call render() with their own painter and target rectangle, so
// they get the same picture.
#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <functional>

#include "chart/chart_layout.h"
#include "chart/chart_model.h"
#include "chart/series_line.h"

class QPainter;

namespace zp::chart {

struct RenderOptions {
    // Draws a legend check box into `box`, ticked or not, when set (the chart widget
    // draws the platform's check box); otherwise a plain box with a tick.
    std::function<void(QPainter& painter, const QRect& box, bool checked)> checkBox;
    // The panel colour behind everything; when invalid, the application palette's
    // button face colour.
    QColor background;
    // How the series lines are drawn (the same pixels either way; EveryPoint is the
    // slow reference that benchmarks and tests compare with).
    LineDrawing lineDrawing = LineDrawing::Reduced;
};

// Lays the chart out on `target` (in the painter's coordinates), writes the automatic
// ranges back into the chart's axes and paints: panel, legend, back wall, the active
// series in chart order clipped to the plot area with the limits of those that have
// them, then grid, the measurement cursors that are set, axes, labels and title.
// Drawing is aliased, as on a plain pixel canvas. Returns the layout it drew.
// Needs a QGuiApplication (fonts).
ChartLayout render(QPainter& painter, const QRect& target, Chart& chart,
                   const RenderOptions& options = {});

// The time of a measurement cursor as its label shows it: "hh:nn:ss".
QString cursorTimeText(double x);
// The same time in whole seconds, as the label shows it: rounded to the millisecond,
// then without the part of a second. Two cursors are as many seconds apart as their
// labels say.
long long cursorTimeSeconds(double x);

// Paints an already computed layout; render() is this after layoutChart().
void paintChart(QPainter& painter, const ChartLayout& layout, const Chart& chart,
                const RenderOptions& options = {});

}  // namespace zp::chart
