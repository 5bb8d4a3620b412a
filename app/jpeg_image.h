// Decoding of the JPEG picture shown by the splash and About windows, with libjpeg.
#pragma once

#include <QByteArray>
#include <QImage>

namespace zp {

// Decodes a JPEG held in memory into an RGB888 image. Corrupt, truncated or unsupported
// data gives a null image; libjpeg's errors and warnings never end the program.
QImage decodeJpeg(const QByteArray& data);

}  // namespace zp
