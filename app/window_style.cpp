#include "app/window_style.h"

#include <QScreen>
#include <QWidget>

namespace zp {

QFont windowFont(int pixelSize, bool bold) {
    QFont font;
    // Arial and its metric twin Liberation Sans stand in where MS Sans Serif is missing.
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

void centreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (!screen) return;
    // The frame is not known before the first showing; the client area is centred then.
    const QSize frame = window->frameGeometry().size().expandedTo(window->size());
    const QRect area = screen->availableGeometry();
    window->move(area.x() + (area.width() - frame.width()) / 2,
                 area.y() + (area.height() - frame.height()) / 2);
}

}  // namespace zp
