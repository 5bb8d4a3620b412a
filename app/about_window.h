// The About window: the picture with the title and version over it, closed with its
// close box. One instance lives for the whole run and is shown modally.
#pragma once

#include <QDialog>

class QLabel;

namespace zp {

class PictureView;

class AboutWindow : public QDialog {
    Q_OBJECT
  public:
    explicit AboutWindow(QWidget* parent = nullptr);

  private:
    PictureView* picture_;
    QLabel* titleLabel_;
    QLabel* versionLabel_;
};

}  // namespace zp
