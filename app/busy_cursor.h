// The wait cursor over the whole application while something slow runs.
#pragma once

#include <QApplication>

namespace zp {

// Shows the wait cursor from construction to destruction, however the scope is left.
class BusyCursor {
  public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace zp
