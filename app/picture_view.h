// The picture of the splash and About windows and the widget that shows it stretched,
// with the title and version labels over it.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QWidget>

class QLabel;

namespace zp {

// The embedded JPEG picture (651 x 644), decoded once; a null image when it cannot be
// decoded, in which case the windows show their plain background.
QImage viewerPicture();

// The embedded JPEG bytes.
QByteArray embeddedPictureData();

// The picture of the splash and About windows: the picture stretched over the whole widget.
class PictureView : public QWidget {
    Q_OBJECT
  public:
    // A null `image` leaves the widget plain.
    explicit PictureView(const QImage& image, QWidget* parent = nullptr);
    const QImage& image() const { return image_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage image_;
};

// The white transparent labels laid over the picture: the title (bold Arial, 24 pixels)
// at 101, 16 and "Version 1.02" (MS Sans Serif, 11 pixels) at 339, 51.
QLabel* addTitleLabel(QWidget* parent, const QString& objectName);
QLabel* addVersionLabel(QWidget* parent, const QString& objectName);

}  // namespace zp
