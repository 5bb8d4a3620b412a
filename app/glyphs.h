// The pictures of the three tool buttons, drawn in code.
#pragma once

#include <QPixmap>

namespace zp {

QPixmap exitGlyph();      // 16 x 16: an open door with an arrow leaving through it
QPixmap settingsGlyph();  // 16 x 16: a gear wheel
QPixmap helpGlyph();      // 16 x 15: a question mark in a blue disc

}  // namespace zp
