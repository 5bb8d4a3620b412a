// Export of the chart to files others can open: a PNG image at the screen's pixel
// density, an SVG drawing and a one-page PDF document with a header of the log's
// details above the chart. All three draw through the chart's one drawing routine,
// render(), at the current zoom with the current series.
#pragma once

#include <QImage>
#include <QLocale>
#include <QPageLayout>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

#include "chart/chart_model.h"
#include "chart/chart_render.h"

namespace zp::chart {

enum class ExportFormat { Png, Svg, Pdf };

// The format a file name asks for by its suffix ("png", "svg", "pdf", in any case);
// none for any other suffix or none at all.
std::optional<ExportFormat> exportFormatOf(const QString& fileName);
// The suffix of a format without its dot, e.g. "svg".
QString exportSuffix(ExportFormat format);

// The chart laid out on `size` logical pixels, drawn on an image of `size` times
// `devicePixelRatio` device pixels that carries that ratio (sharp on a high-density
// screen; a ratio of 1 gives the bitmap export's picture). Needs a QGuiApplication.
QImage exportImage(Chart& chart, const QSize& size, qreal devicePixelRatio,
                   const RenderOptions& options = {});

// Writes exportImage() as a PNG file, replacing a file of that name. As with all the
// exports the file is written under a temporary name and renamed into place, so a
// failed export leaves no partial file. Returns an empty text on success, else the
// error report: "Cannot create file "<path>". <reason>".
QString exportPng(Chart& chart, const QSize& size, qreal devicePixelRatio,
                  const RenderOptions& options, const QString& fileName);

// Writes the chart laid out on `size` as an SVG drawing of that size: lines as paths
// and texts as text elements. Returns an empty text on success, else the error report.
QString exportSvg(Chart& chart, const QSize& size, const RenderOptions& options,
                  const QString& fileName);

// The visible span of a time axis from `minimum` to `maximum` (days), as
// "hh:nn:ss – hh:nn:ss".
QString timeSpanText(double minimum, double maximum);

// The paper of the locale: US Letter where the locale measures in the US system,
// else A4.
QPageSize defaultPageSize(const QLocale& locale = QLocale());

// Writes a one-page PDF document in `page`'s size, orientation and margins: the header
// lines at the top (the first one larger and bold; a long line wraps at its spaces),
// then the chart filling the rest of the page; `title` is the document's title. The chart is laid
// out as on a screen area of the page's shape whose shorter fit is `screenSize`, so its texts and
// lines keep their size relative to the chart as on the screen. Returns an empty text on success,
// else the error report.
QString exportPdf(Chart& chart, const QSize& screenSize, const QStringList& headerLines,
                  const QString& title, const QPageLayout& page, const RenderOptions& options,
                  const QString& fileName);

}  // namespace zp::chart
