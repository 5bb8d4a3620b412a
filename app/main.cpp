// The viewer's entry point; start-up itself lives in startup.cpp.
#include "app/dialogs.h"
#include "app/startup.h"
#include "settings/settings_store.h"

int main(int argc, char** argv) {
    // The real dialogs serve both the windows and the report of a failed event handler.
    zp::QtDialogs dialogs;
    zp::ViewerApplication app(argc, argv, dialogs);
    // Settings.bin lives beside the executable, or per user where that cannot be written.
    zp::SettingsStore settings(zp::SettingsStore::executableFolder(),
                               zp::SettingsStore::userConfigFolder());
    zp::StartupOptions options;
    options.logFile = zp::logFileArgument(QCoreApplication::arguments());
    return zp::runViewer(dialogs, settings, options);
}
