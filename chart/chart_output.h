// The chart on other surfaces, without widgets: image files written safely, and the
// geometry and drawing of the chart scaled onto one portrait printer page within 5 %
// margins, through the chart's one drawing routine. The bitmap of the chart widget and
// the print job itself are in widget_output.h.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include "chart/axis_scale.h"
#include "chart/chart_model.h"
#include "chart/chart_render.h"

class QPainter;

namespace zp::chart {

// The print enlargement the print button gives the chart: it lays itself out on an
// area one and a half times its screen size, so texts and lines print two thirds as
// large relative to the chart.
inline constexpr int kPrintEnlargement = -50;
// Page margin on every side, in per cent of the page size.
inline constexpr int kPrintMarginPercent = 5;

// Writes `image` in `format` ("bmp", "png") to `fileName`, replacing a file of that
// name. The file is written under a temporary name and renamed into place, so a failed
// save leaves no partial file. Returns an empty text on success, else the error
// report: "Cannot create file "<path>". <reason>".
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

}  // namespace zp::chart
