// The splash window shown during start-up: the picture with the title and version,
// without border or system menu, at the centre of the screen.
#pragma once

#include <QWidget>

class QLabel;

namespace zp {

class PictureView;

class TfrmSplash : public QWidget {
    Q_OBJECT
  public:
    explicit TfrmSplash(QWidget* parent = nullptr);

    // Shows the window and paints it at once, so the picture is on the screen before
    // start-up blocks.
    void showNow();

    PictureView* Image1;
    QLabel* Label2;  // title
    QLabel* Label4;  // version
};

}  // namespace zp
