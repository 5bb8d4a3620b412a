// The viewer's entry point; start-up itself lives in startup.cpp.
#include "app/dialogs.h"
#include "app/startup.h"
#include "settings/settings_store.h"
#include "zp_version.h"

int main(int argc, char** argv) {
    // The real dialogs serve both the windows and the report of a failed event handler.
    zp::QtDialogs dialogs;
    zp::ViewerApplication app(argc, argv, dialogs);
    // Settings.bin lives per user for the installed viewer; a copy elsewhere keeps it
    // beside the executable, or per user where that cannot be written.
    const QString folder = zp::SettingsStore::executableFolder();
    zp::SettingsStore settings(
        folder, zp::SettingsStore::userConfigFolder(), zp::SettingsFileIo::standard(),
        zp::SettingsStore::placeFor(folder, QString::fromUtf8(kInstalledProgramFolder)));
    zp::StartupOptions options;
    options.logFile = zp::logFileArgument(QCoreApplication::arguments());
    return zp::runViewer(dialogs, settings, options);
}
