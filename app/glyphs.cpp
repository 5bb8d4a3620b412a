#include "app/glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace zp {

namespace {
QPixmap blank(int width, int height) {
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}
}  // namespace

QPixmap exitGlyph() {
    QPixmap pixmap = blank(16, 16);
    QPainter p(&pixmap);
    // Door frame and the open door leaf.
    p.setPen(QColor(64, 64, 64));
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(2, 1, 8, 13);
    p.setBrush(QColor(128, 64, 0));
    p.drawPolygon(QPolygon({QPoint(3, 2), QPoint(7, 4), QPoint(7, 15), QPoint(3, 13)}));
    // Green arrow pointing out to the right.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 128, 0));
    p.drawPolygon(QPolygon({QPoint(8, 7), QPoint(11, 7), QPoint(11, 4), QPoint(15, 8),
                            QPoint(11, 12), QPoint(11, 9), QPoint(8, 9)}));
    return pixmap;
}

QPixmap settingsGlyph() {
    QPixmap pixmap = blank(16, 16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(8, 8);
    QPainterPath gear;
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.rotate(i * 45.0);
        p.fillRect(QRectF(-1.6, -7.5, 3.2, 3.5), QColor(80, 80, 96));
        p.restore();
    }
    gear.addEllipse(QPointF(0, 0), 5.2, 5.2);
    gear.addEllipse(QPointF(0, 0), 2.0, 2.0);  // odd-even fill leaves the hub open
    p.fillPath(gear, QColor(80, 80, 96));
    return pixmap;
}

QPixmap helpGlyph() {
    QPixmap pixmap = blank(16, 15);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0, 0, 128));
    p.setBrush(QColor(0, 64, 200));
    p.drawEllipse(QRectF(0.5, 0.5, 14.5, 13.5));
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    font.setPixelSize(12);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, 16, 15), Qt::AlignCenter, QStringLiteral("?"));
    return pixmap;
}

}  // namespace zp
