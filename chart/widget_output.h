// The chart widget on other surfaces: a bitmap file of the chart as the screen shows
// it, and the print job of the print button. Both draw through the chart's one drawing
// routine (chart_output.h has the parts that need no widget).
#pragma once

#include <QImage>
#include <QString>

class QPrinter;

namespace zp::chart {

class ChartWidget;

// The chart at its current client size, drawn as on the screen. The image is 32-bit
// RGB (Format_RGB32), the screen's own format on the desktops the viewer runs on.
QImage chartImage(ChartWidget& widget);

// Writes chartImage() as a Windows bitmap as writeImageFile does: replacing a file of
// that name, never leaving a partial one. Returns an empty text on success, else the
// error report: "Cannot create file "<path>". <reason>".
QString saveToBitmapFile(ChartWidget& widget, const QString& fileName);

// The print job of the print button on `printer`: portrait orientation, enlargement
// kPrintEnlargement, the chart within printRectangle() of the printable page, then the
// printer's own orientation again. A failed job is aborted. Returns an empty text on
// success, else the error report.
QString printGraph(ChartWidget& widget, QPrinter& printer);

}  // namespace zp::chart
