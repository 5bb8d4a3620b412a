#include "app/splash_window.h"

#include <QCoreApplication>
#include <QLabel>

#include "app/form_style.h"
#include "app/picture_view.h"

namespace zp {

TfrmSplash::TfrmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("frmSplash"));
    setFixedSize(484, 486);
    Image1 = new PictureView(this);
    Image1->setGeometry(rect());
    Label2 = addTitleLabel(this, QStringLiteral("Label2"));
    Label4 = addVersionLabel(this, QStringLiteral("Label4"));
    centreOnScreen(this);
}

void TfrmSplash::showNow() {
    show();
    repaint();
    // Let the window system map and expose the window before the caller blocks.
    QCoreApplication::processEvents();
    repaint();
    QCoreApplication::processEvents();
}

}  // namespace zp
