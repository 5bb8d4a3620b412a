#include "app/about_window.h"

#include <QLabel>

#include "app/picture_view.h"

namespace zp {

AboutWindow::AboutWindow(const QImage& picture, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(484, 486);
    setModal(true);
    picture_ = new PictureView(picture, this);
    picture_->setGeometry(rect());
    titleLabel_ = addTitleLabel(this, QStringLiteral("Label4"));
    versionLabel_ = addVersionLabel(this, QStringLiteral("Label5"));
    // Not moved anywhere: a dialog without a parent is placed at the centre of the screen.
}

}  // namespace zp
