#include "chart/chart_export.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImageWriter>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>

#include "chart/chart_output.h"
#include "chart/date_time_format.h"

namespace zp::chart {

namespace {

// The resolution of the PDF page's device units; the page is vector drawing, so it
// only sets how finely positions are given.
constexpr int kPdfResolution = 600;
// Space between the header and the chart, and between header blocks, in points.
constexpr qreal kHeaderGapPoints = 6.0;

QFont headerFont(qreal pointSize, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

// `line` broken at its spaces into lines no wider than `width` where the words allow;
// a word wider than `width` stands on a line of its own. Only plain spaces break a line
// (not hyphens, and not non-breaking spaces).
QStringList wrapAtSpaces(const QString& line, const QFontMetricsF& metrics, qreal width) {
    QStringList out;
    QString current;
    for (const QString& word : line.split(QLatin1Char(' '))) {
        const QString longer = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
        if (!current.isEmpty() && metrics.horizontalAdvance(longer) > width) {
            out << current;
            current = word;
        } else {
            current = longer;
        }
    }
    out << current;
    return out;
}

// Draws the header lines from the top of `width`, wrapping long lines at their spaces;
// returns the height they took.
int paintHeader(QPainter& painter, int width, const QStringList& lines, int gap) {
    int y = 0;
    for (int i = 0; i < lines.size(); ++i) {
        painter.setFont(i == 0 ? headerFont(14, true) : headerFont(9, false));
        const QFontMetricsF metrics(painter.font(), painter.device());
        for (const QString& part : wrapAtSpaces(lines.at(i), metrics, width)) {
            const QRect room(0, y, width, painter.device()->height());
            QRect used;
            painter.drawText(room, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, part, &used);
            y = used.bottom() + 1;
        }
        if (i == 0) y += gap / 2;
    }
    return y;
}

// Draws the chart into `target` (device units), laid out on an area of the target's
// shape whose shorter fit is `screen`, scaled evenly in both directions.
void paintChartInto(QPainter& painter, const QRect& target, Chart& chart, const QSize& screen,
                    const RenderOptions& options) {
    if (target.width() <= 0 || target.height() <= 0 || screen.width() <= 0 || screen.height() <= 0)
        return;
    const qreal scale =
        std::min(qreal(target.width()) / screen.width(), qreal(target.height()) / screen.height());
    const QSize logical(qRound(target.width() / scale), qRound(target.height() / scale));
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(scale, scale);
    render(painter, QRect(QPoint(0, 0), logical), chart, options);
    painter.restore();
}

}  // namespace

std::optional<ExportFormat> exportFormatOf(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    for (ExportFormat format : {ExportFormat::Png, ExportFormat::Svg, ExportFormat::Pdf})
        if (suffix == exportSuffix(format)) return format;
    return std::nullopt;
}

QString exportSuffix(ExportFormat format) {
    switch (format) {
        case ExportFormat::Png:
            return QStringLiteral("png");
        case ExportFormat::Svg:
            return QStringLiteral("svg");
        case ExportFormat::Pdf:
            return QStringLiteral("pdf");
    }
    return {};
}

QImage exportImage(Chart& chart, const QSize& size, qreal devicePixelRatio,
                   const RenderOptions& options) {
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    QImage image(QSize(qCeil(size.width() * ratio), qCeil(size.height() * ratio)),
                 QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    // No clearing: the chart's own background covers every pixel.
    QPainter painter(&image);
    render(painter, QRect(QPoint(0, 0), size), chart, options);
    return image;
}

QString exportPng(Chart& chart, const QSize& size, qreal devicePixelRatio,
                  const RenderOptions& options, const QString& fileName) {
    return writeImageFile(exportImage(chart, size, devicePixelRatio, options), fileName, "png");
}

QString exportSvg(Chart& chart, const QSize& size, const RenderOptions& options,
                  const QString& fileName) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) return fileError(fileName, file.errorString());
    QSvgGenerator generator;
    generator.setOutputDevice(&file);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setTitle(QFileInfo(fileName).completeBaseName());
    {
        QPainter painter;
        if (!painter.begin(&generator)) {
            file.cancelWriting();
            return fileError(fileName, QStringLiteral("The drawing could not be started."));
        }
        render(painter, QRect(QPoint(0, 0), size), chart, options);
    }
    if (!file.commit()) return fileError(fileName, file.errorString());
    return QString();
}

QString timeSpanText(double minimum, double maximum) {
    const QString format = QStringLiteral("hh:nn:ss");
    return QStringLiteral("%1 \u2013 %2")
        .arg(formatDateTime(minimum, format), formatDateTime(maximum, format));
}

QPageSize defaultPageSize(const QLocale& locale) {
    return QPageSize(locale.measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                             : QPageSize::A4);
}

QString exportPdf(Chart& chart, const QSize& screenSize, const QStringList& headerLines,
                  const QString& title, const QPageLayout& page, const RenderOptions& options,
                  const QString& fileName) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) return fileError(fileName, file.errorString());
    QPdfWriter writer(&file);
    writer.setResolution(kPdfResolution);
    writer.setPageLayout(page);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Zimra / Pexo Data Viewer"));
    {
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            return fileError(fileName, QStringLiteral("The page could not be started."));
        }
        // Device units of the page's printable area, its top left at (0, 0).
        const int width = writer.width();
        const int height = writer.height();
        const int gap = qRound(kHeaderGapPoints * kPdfResolution / 72.0);
        painter.setPen(Qt::black);
        const int headerHeight = paintHeader(painter, width, headerLines, gap);
        const int ruleY = headerHeight + gap / 2;
        painter.setPen(QPen(Qt::black, kPdfResolution / 144.0));
        painter.drawLine(0, ruleY, width, ruleY);
        const int chartTop = ruleY + gap;
        paintChartInto(painter, QRect(0, chartTop, width, height - chartTop), chart, screenSize,
                       options);
        if (!painter.end()) {
            file.cancelWriting();
            return fileError(fileName, QStringLiteral("The page could not be written."));
        }
    }
    if (!file.commit()) return fileError(fileName, file.errorString());
    return QString();
}

}  // namespace zp::chart
