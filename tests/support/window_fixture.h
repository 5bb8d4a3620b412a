// A main window as the app tests build it: scripted dialogs and Settings.bin in a
// temporary folder of its own, owned together and destroyed in the right order.
#pragma once

#include <QTemporaryDir>

#include "app/main_window.h"
#include "settings/settings_store.h"
#include "tests/support/fake_dialogs.h"

namespace zp::test {

template <class DialogsType = FakeDialogs>
struct WindowFixture {
    DialogsType dialogs;
    QTemporaryDir dir;
    SettingsStore store{dir.path()};
    MainWindow window{dialogs, store};
};

}  // namespace zp::test
