// The chart widget on other surfaces: a bitmap file of the chart as the screen shows
// it, and the print job of the print button. Both draw through the chart's one drawing
// routine (chart_output.h has the parts that need no widget).
#pragma once

#include <QImage>
#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <functional>

#include "chart/chart_export.h"

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

// What an exported PDF page shows besides the chart: the header lines above it, the
// document's title, and the page's orientation.
struct PdfPage {
    QStringList header;
    QString title;
    QPageLayout::Orientation orientation = QPageLayout::Landscape;
};

// The chart as the widget shows it, written as PNG, SVG or PDF (the page made by
// `pdfPage`, asked only for a PDF) on a default-size page with 12 mm margins. Returns an
// empty text on success, else the reason.
QString exportShown(ChartWidget& widget, ExportFormat format, const QString& file,
                    const std::function<PdfPage()>& pdfPage);

}  // namespace zp::chart
