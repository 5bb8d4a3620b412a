#include "chart/chart_output.h"

#include <QDir>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>

namespace zp::chart {

QString fileError(const QString& fileName, const QString& reason) {
    return QStringLiteral("Cannot create file \"%1\". %2")
        .arg(QDir::toNativeSeparators(fileName), reason);
}

QString writeImageFile(const QImage& image, const QString& fileName, const char* format) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) return fileError(fileName, file.errorString());
    QImageWriter writer(&file, format);
    if (!writer.write(image)) {
        file.cancelWriting();
        return fileError(fileName, writer.errorString());
    }
    if (!file.commit()) return fileError(fileName, file.errorString());
    return QString();
}

PixelRect printRectangle(int pageWidth, int pageHeight) {
    const int mx = pageWidth * kPrintMarginPercent / 100;
    const int my = pageHeight * kPrintMarginPercent / 100;
    return PixelRect{mx, my, pageWidth - mx, pageHeight - my};
}

QSize printExtent(const QSize& screen, int enlargement) {
    auto side = [enlargement](int length) {
        return length - roundToInt(static_cast<double>(length) * enlargement / 100.0);
    };
    return QSize(side(screen.width()), side(screen.height()));
}

void printPartial(QPainter& painter, const QRect& target, const Chart& chart,
                  const QSize& screenSize, const RenderOptions& options) {
    const QRect r = target.normalized();
    const int vw = r.width();
    const int vh = r.height();
    if (vw <= 0 || vh <= 0) return;
    const QSize logical = printExtent(screenSize, chart.printEnlargement);
    const int ww = logical.width();
    const int wh = logical.height();
    if (ww <= 0 || wh <= 0) return;

    // The target in logical units; the mapping below takes it back onto the target.
    auto scale = [](int value, int to, int from) {
        return roundToInt(static_cast<double>(value) * to / from);
    };
    const int left = scale(r.left(), ww, vw);
    const int right = scale(r.left() + vw, ww, vw);
    const int top = scale(r.top(), wh, vh);
    const int bottom = scale(r.top() + vh, wh, vh);

    painter.save();
    // Logical (0, 0)-(ww, wh) onto device (0, 0)-(vw, vh), each direction scaled on
    // its own.
    painter.setWindow(0, 0, ww, wh);
    painter.setViewport(0, 0, vw, vh);
    const PixelRect area{left, top, right, bottom};
    painter.setClipRect(QRect(left, top, area.width(), area.height()));
    const ChartLayout layout = layoutChart(chart, area);
    paintChart(painter, layout, chart, options);
    painter.restore();
}

}  // namespace zp::chart
