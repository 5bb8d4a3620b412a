// Help > Keyboard and Mouse: one small window that lists every mouse action and key of
// the chart and the window. The chart's part comes from the tables its handlers use
// (chart/chart_keys.h), the window's shortcuts from its menus.
#pragma once

#include <QString>

class QDialog;
class QMenuBar;
class QWidget;

namespace zp {

// The list as the window shows it (rich text), with the shortcuts of the entries of
// `menus` (none when null).
QString keyboardAndMouseText(const QMenuBar* menus);

// The window, owned by `parent`, not modal.
QDialog* makeKeyboardAndMouseWindow(QWidget* parent, const QMenuBar* menus);

}  // namespace zp
