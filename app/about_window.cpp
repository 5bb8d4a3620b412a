#include "app/about_window.h"

#include <QLabel>

#include "app/picture_view.h"

namespace zp {

TfrmAbout::TfrmAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(484, 486);
    setModal(true);
    Image1 = new PictureView(this);
    Image1->setGeometry(rect());
    Label4 = addTitleLabel(this, QStringLiteral("Label4"));
    Label5 = addVersionLabel(this, QStringLiteral("Label5"));
    // Not moved anywhere: a dialog without a parent is placed at the centre of the screen.
}

}  // namespace zp
