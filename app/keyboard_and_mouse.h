// Help > Keyboard and Mouse: one small window that lists every mouse action and key of
// the chart and the window.
#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace zp {

// The list as the window shows it (rich text).
QString keyboardAndMouseText();

// The window, owned by `parent`, not modal.
QDialog* makeKeyboardAndMouseWindow(QWidget* parent);

}  // namespace zp
