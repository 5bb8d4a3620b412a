// Look shared by the viewer's windows: the application title, the window font and
// placement at the centre of the screen.
#pragma once

#include <QFont>
#include <QString>

class QWidget;

namespace zp {

inline const QString kApplicationTitle = QStringLiteral("Zimra / Pexo Data Viewer");

// "MS Sans Serif" at 11 pixels (8 points), or the desktop's sans face where it is missing.
QFont windowFont(int pixelSize = 11, bool bold = false);

// Moves a top-level window so that its frame is centred on its screen.
void centreOnScreen(QWidget* window);

}  // namespace zp
