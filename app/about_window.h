// The About window: the picture with the title and version over it, closed with its
// close box. One instance lives for the whole run and is shown modally.
#pragma once

#include <QDialog>

#include "app/picture_view.h"

class QLabel;

namespace zp {

class PictureView;

class AboutWindow : public QDialog {
    Q_OBJECT
  public:
    // `picture` is shown stretched under the labels (the embedded one unless a test
    // gives another).
    explicit AboutWindow(const QImage& picture = viewerPicture(), QWidget* parent = nullptr);

  private:
    PictureView* picture_;
    QLabel* titleLabel_;
    QLabel* versionLabel_;
};

}  // namespace zp
