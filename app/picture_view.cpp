#include "app/picture_view.h"

#include <QFile>
#include <QLabel>
#include <QPainter>

#include "app/jpeg_image.h"
#include "app/window_style.h"
#include "zp_version.h"

// The resource initialiser lives in this static library; referencing it here keeps the
// linker from dropping the embedded picture.
static void initViewerResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(viewer);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace zp {

namespace {
QLabel* addOverlayLabel(QWidget* parent, const QString& objectName, const QString& text,
                        const QFont& font, QPoint at) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setFont(font);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setAutoFillBackground(false);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    label->move(at);
    label->adjustSize();
    return label;
}
}  // namespace

QByteArray embeddedPictureData() {
    initViewerResources();
    QFile file(QStringLiteral(":/viewer/splash.jpg"));
    if (!file.open(QIODevice::ReadOnly)) return QByteArray();
    return file.readAll();
}

QImage viewerPicture() {
    static const QImage picture = decodeJpeg(embeddedPictureData());
    return picture;
}

PictureView::PictureView(const QImage& image, QWidget* parent) : QWidget(parent), image_(image) {
    setObjectName(QStringLiteral("Image1"));
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (image_.isNull()) {
        painter.fillRect(rect(), palette().color(QPalette::Window));
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), image_);
}

QLabel* addTitleLabel(QWidget* parent, const QString& objectName) {
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(24);
    font.setBold(true);
    return addOverlayLabel(parent, objectName, kApplicationTitle, font, QPoint(101, 16));
}

QLabel* addVersionLabel(QWidget* parent, const QString& objectName) {
    return addOverlayLabel(parent, objectName,
                           QStringLiteral("Version ") + QLatin1String(kVersionText), windowFont(),
                           QPoint(339, 51));
}

}  // namespace zp
