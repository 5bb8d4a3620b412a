// The splash window shown during start-up: the picture with the title and version,
// without border or system menu, at the centre of the screen.
#pragma once

#include <QWidget>

#include "app/picture_view.h"

class QLabel;

namespace zp {

class PictureView;

class SplashWindow : public QWidget {
    Q_OBJECT
  public:
    // `picture` is shown stretched under the labels (the embedded one unless a test
    // gives another).
    explicit SplashWindow(const QImage& picture = viewerPicture(), QWidget* parent = nullptr);

    // Shows the window and paints it at once, so the picture is on the screen before
    // start-up blocks.
    void showNow();

  private:
    PictureView* picture_;
    QLabel* titleLabel_;
    QLabel* versionLabel_;
};

}  // namespace zp
