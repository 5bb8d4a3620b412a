// Headless access to the chart engine for logdump: the layout of one repaint as JSON,
// and that repaint drawn into a BMP file, computed by the same code as the screen.
// Both measure text with the chart's fonts, so a QGuiApplication must exist (logdump
// creates one on the offscreen platform). Like a repaint, both write the automatic
// axis ranges back into the chart.
#pragma once

#include <QString>

#include "chart/chart_model.h"

namespace zp::chart {

// The "layout" object of logdump's report (a JSON object text) for a chart whose
// client area is width x height pixels.
QString layoutReportJson(Chart& chart, int width, int height);

// Draws the same repaint into a width x height RGB image and saves it as a BMP file;
// false when the size is empty or the file cannot be written.
bool renderToBmp(Chart& chart, int width, int height, const QString& fileName);

}  // namespace zp::chart
