#include "app/splash_window.h"

#include <QCoreApplication>
#include <QLabel>

#include "app/picture_view.h"
#include "app/window_style.h"

namespace zp {

SplashWindow::SplashWindow(const QImage& picture, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("frmSplash"));
    setFixedSize(484, 486);
    picture_ = new PictureView(picture, this);
    picture_->setGeometry(rect());
    titleLabel_ = addTitleLabel(this, QStringLiteral("Label2"));
    versionLabel_ = addVersionLabel(this, QStringLiteral("Label4"));
    centreOnScreen(this);
}

void SplashWindow::showNow() {
    show();
    repaint();
    // Let the window system map and expose the window before the caller blocks.
    QCoreApplication::processEvents();
    repaint();
    QCoreApplication::processEvents();
}

}  // namespace zp
