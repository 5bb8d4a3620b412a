// Start-up of the viewer: the splash window, the three windows that live for the whole
// run, and the message loop.
#pragma once

#include <QApplication>
#include <QString>
#include <QStringList>
#include <functional>

namespace zp {

class AboutWindow;
class Dialogs;
class MainWindow;
class SettingsStore;
class UnitsDialog;

// The stages of start-up, in the order they happen.
enum class StartupStep {
    SplashShown,
    PauseDone,
    TitleSet,
    MainCreated,
    AboutCreated,
    UnitsCreated,
    SplashDestroyed,
    LoopStarting,
};

// The windows that live from start-up to exit; null until created. runViewer owns them
// and destroys them before it returns.
struct StartupWindows {
    MainWindow* main = nullptr;
    AboutWindow* about = nullptr;
    UnitsDialog* units = nullptr;
};

struct StartupOptions {
    // How long the splash window blocks start-up (tests skip it).
    int splashPauseMs = 2000;
    // Told of every stage as it completes, with the windows that exist by then (tests
    // watch the order and reach the windows).
    std::function<void(StartupStep, const StartupWindows&)> observer;
    // The JPEG bytes of the splash and About picture; the embedded picture when empty.
    QByteArray pictureData;
    // A log to load once the main window is shown (the command line's); none when empty.
    QString logFile;
    // Runs the message loop; QApplication::exec when empty.
    std::function<int()> messageLoop;
};

// The log named on a command line (`arguments` as the application holds them, program
// first), made absolute against the current directory, since start-up changes it; empty
// when none is named.
QString logFileArgument(const QStringList& arguments);

// Runs the viewer in an existing QApplication: splash, windows, message loop. Every
// dialog goes through `dialogs`, Settings.bin through `settings`. An exception that
// escapes start-up or the loop is shown in an error box. The windows are destroyed
// before it returns: the Units dialog, the About window, then the main window.
// Returns 0.
int runViewer(Dialogs& dialogs, SettingsStore& settings, const StartupOptions& options = {});

// The viewer's application object: an exception that escapes an event handler is
// reported in an error box through `dialogs` and the program goes on.
class ViewerApplication : public QApplication {
  public:
    ViewerApplication(int& argc, char** argv, Dialogs& dialogs);
    bool notify(QObject* receiver, QEvent* event) override;

  private:
    Dialogs& dialogs_;
};

}  // namespace zp
