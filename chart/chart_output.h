// The chart on other surfaces: a bitmap file of the chart as the screen shows it, and
// the chart scaled onto one portrait printer page within 5 % margins. Both draw
// through the chart's one drawing routine.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include "chart/axis_scale.h"
#include "chart/chart_model.h"
#include "chart/chart_render.h"

class QPainter;
class QPrinter;

namespace zp::chart {

class ChartWidget;

// The print enlargement the print button gives the chart: it lays itself out on an
// area one and a half times its screen size, so texts and lines print two thirds as
// large relative to the chart.
inline constexpr int kPrintEnlargement = -50;
// Page margin on every side, in per cent of the page size.
inline constexpr int kPrintMarginPercent = 5;

// The chart at its current client size, drawn as on the screen. The image is 32-bit
// RGB (Format_RGB32), the screen's own format on the desktops the viewer runs on.
QImage chartImage(ChartWidget& widget);

// Writes chartImage() as a Windows bitmap, replacing a file of that
// name. The file is written under a temporary name and renamed into place, so a failed
// save leaves no partial file. Returns an empty text on success, else the error
// report: "Cannot create file "<path>". <reason>".
QString saveToBitmapFile(ChartWidget& widget, const QString& fileName);

// Writes `image` in `format` ("bmp", "png") to `fileName` as saveToBitmapFile does:
// under a temporary name renamed into place; an empty text on success, else the report.
QString writeImageFile(const QImage& image, const QString& fileName, const char* format);

// The report of a file that cannot be written: "Cannot create file "<path>". <reason>".
QString fileError(const QString& fileName, const QString& reason);

// The printing rectangle on a printable page of `pageWidth` x `pageHeight` device
// pixels: margins of width x 5 / 100 and height x 5 / 100 (rounded down) on each side.
PixelRect printRectangle(int pageWidth, int pageHeight);

// The logical area the chart is laid out on when printed: each side of `screen` less
// Round(side x enlargement / 100).
QSize printExtent(const QSize& screen, int enlargement);

// Draws `chart`, laid out on printExtent(screenSize, its enlargement), so
// that it fills `target` (device coordinates of `painter`) exactly, clipped to it. The
// painter's transformation and clipping are restored afterwards; the chart's stored
// axis ranges are not touched.
void printPartial(QPainter& painter, const QRect& target, const Chart& chart,
                  const QSize& screenSize, const RenderOptions& options = {});

// The print job of the print button on `printer`: portrait orientation, enlargement
// kPrintEnlargement, the chart within printRectangle() of the printable page, then the
// printer's own orientation again. A failed job is aborted. Returns an empty text on
// success, else the error report.
QString printGraph(ChartWidget& widget, QPrinter& printer);

}  // namespace zp::chart
