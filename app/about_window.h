// The About window: the picture with the title and version over it, closed with its
// close box. One instance lives for the whole run and is shown modally.
#pragma once

#include <QDialog>

class QLabel;

namespace zp {

class PictureView;

class TfrmAbout : public QDialog {
    Q_OBJECT
  public:
    explicit TfrmAbout(QWidget* parent = nullptr);

    PictureView* Image1;
    QLabel* Label4;  // title
    QLabel* Label5;  // version
};

}  // namespace zp
