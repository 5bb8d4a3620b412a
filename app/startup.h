// Start-up of the viewer: the splash window, the three windows that live for the whole
// run, and the message loop.
#pragma once

#include <QApplication>
#include <functional>

namespace zp {

class TfrmAbout;
class TfrmMain;
class TfrmUnitSettings;

// The windows that live from start-up to exit (null before and after).
extern TfrmMain* frmMain;
extern TfrmAbout* frmAbout;
extern TfrmUnitSettings* frmUnitSettings;

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

struct StartupOptions {
    // How long the splash window blocks start-up (tests skip it).
    int splashPauseMs = 2000;
    // Told of every stage as it completes (tests watch the order).
    std::function<void(StartupStep)> observer;
    // Runs the message loop; QApplication::exec when empty.
    std::function<int()> messageLoop;
};

// Runs the viewer in an existing QApplication: splash, windows, message loop. An
// exception that escapes start-up or the loop is shown in a message box. The windows
// are destroyed before it returns. Returns 0.
int runViewer(const StartupOptions& options = {});

// The viewer's application object: an exception that escapes an event handler is
// reported in a message box and the program goes on.
class ViewerApplication : public QApplication {
  public:
    ViewerApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace zp
