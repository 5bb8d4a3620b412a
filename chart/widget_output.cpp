#include "chart/widget_output.h"

#include <QPainter>
#include <QPrinter>

#include "chart/chart_output.h"
#include "chart/chart_widget.h"

namespace zp::chart {

namespace {

// Puts the printer's orientation back when the job is over, however it ended.
class OrientationRestorer {
  public:
    explicit OrientationRestorer(QPrinter& printer)
        : printer_(printer), orientation_(printer.pageLayout().orientation()) {}
    ~OrientationRestorer() { printer_.setPageOrientation(orientation_); }
    OrientationRestorer(const OrientationRestorer&) = delete;
    OrientationRestorer& operator=(const OrientationRestorer&) = delete;

  private:
    QPrinter& printer_;
    QPageLayout::Orientation orientation_;
};

}  // namespace

QImage chartImage(ChartWidget& widget) {
    QImage image(widget.size(), QImage::Format_RGB32);
    // No clearing: the chart's own background covers every pixel.
    QPainter painter(&image);
    widget.renderTo(painter, image.rect());
    return image;
}

QString saveToBitmapFile(ChartWidget& widget, const QString& fileName) {
    return writeImageFile(chartImage(widget), fileName, "bmp");
}

QString printGraph(ChartWidget& widget, QPrinter& printer) {
    OrientationRestorer restorer(printer);
    printer.setPageOrientation(QPageLayout::Portrait);

    QPainter painter;
    if (!painter.begin(&printer)) return QStringLiteral("The print job could not be started.");
    try {
        widget.chart().printEnlargement = kPrintEnlargement;
        const QSize page = printer.pageRect(QPrinter::DevicePixel).toRect().size();
        const PixelRect rect = printRectangle(page.width(), page.height());
        printPartial(painter, QRect(rect.left, rect.top, rect.width(), rect.height()),
                     widget.chart(), widget.size(), widget.renderOptions());
    } catch (...) {
        printer.abort();
        painter.end();
        throw;
    }
    if (printer.printerState() == QPrinter::Error) {
        printer.abort();
        painter.end();
        return QStringLiteral("The print job failed.");
    }
    if (!painter.end()) return QStringLiteral("The print job failed.");
    return QString();
}

QString exportShown(ChartWidget& widget, ExportFormat format, const QString& file,
                    const std::function<PdfPage()>& pdfPage) {
    Chart& chart = widget.chart();
    switch (format) {
        case ExportFormat::Png:
            return exportPng(chart, widget.size(), widget.devicePixelRatioF(),
                             widget.renderOptions(), file);
        case ExportFormat::Svg:
            return exportSvg(chart, widget.size(), widget.renderOptions(), file);
        case ExportFormat::Pdf: {
            const PdfPage shown = pdfPage();
            const QPageLayout page(defaultPageSize(), shown.orientation, QMarginsF(12, 12, 12, 12),
                                   QPageLayout::Millimeter);
            return exportPdf(chart, widget.size(), shown.header, shown.title, page,
                             widget.renderOptions(), file);
        }
    }
    return {};
}

}  // namespace zp::chart
