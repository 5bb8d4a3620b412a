#include "app/startup.h"

#include <QFileInfo>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <exception>
#include <functional>
#include <memory>

#include "app/about_window.h"
#include "app/dialogs.h"
#include "app/jpeg_image.h"
#include "app/main_window.h"
#include "app/picture_view.h"
#include "app/splash_window.h"
#include "app/window_style.h"
#include "settings/units_dialog.h"

namespace zp {

namespace {

QString messageOf(const std::exception& error) {
    return QString::fromLocal8Bit(error.what());
}

// How often and how long start-up looks for the main window on the screen.
constexpr int kExposedPollMs = 10;
constexpr int kExposedPolls = 300;

// Calls `then` from the event loop once `window` is on the screen, after painting it
// there: the load of a large log holds the loop for a while, and a window first shown
// after it would stay blank (or black) until then. A window that never gets on the
// screen delays `then` by about three seconds at most.
void whenPainted(QWidget* window, std::function<void()> then, int pollsLeft = kExposedPolls) {
    const int delay = pollsLeft == kExposedPolls ? 0 : kExposedPollMs;
    QTimer::singleShot(delay, window, [window, then = std::move(then), pollsLeft]() mutable {
        const QWindow* handle = window->windowHandle();
        if ((!handle || !handle->isExposed()) && pollsLeft > 0) {
            whenPainted(window, std::move(then), pollsLeft - 1);
            return;
        }
        window->repaint();
        then();
    });
}

}  // namespace

int runViewer(Dialogs& dialogs, SettingsStore& settings, const StartupOptions& options) {
    // Declared outside the try block: after a failure the windows are still there while
    // the error box shows, and are destroyed only after it.
    std::unique_ptr<MainWindow> main;
    std::unique_ptr<AboutWindow> about;
    std::unique_ptr<UnitsDialog> units;
    StartupWindows windows;
    const auto step = [&options, &windows](StartupStep s) {
        if (options.observer) options.observer(s, windows);
    };
    try {
        const QImage picture =
            options.pictureData.isEmpty() ? viewerPicture() : decodeJpeg(options.pictureData);
        auto splash = std::make_unique<SplashWindow>(picture);
        splash->setAttribute(Qt::WA_QuitOnClose, false);
        splash->showNow();
        step(StartupStep::SplashShown);
        // The splash blocks start-up on purpose; no events are processed meanwhile.
        if (options.splashPauseMs > 0)
            QThread::msleep(static_cast<unsigned long>(options.splashPauseMs));
        step(StartupStep::PauseDone);

        QCoreApplication::setApplicationName(kApplicationTitle);
        step(StartupStep::TitleSet);

        main = std::make_unique<MainWindow>(dialogs, settings);
        windows.main = main.get();
        step(StartupStep::MainCreated);
        about = std::make_unique<AboutWindow>(picture);
        windows.about = about.get();
        step(StartupStep::AboutCreated);
        units = std::make_unique<UnitsDialog>();
        windows.units = units.get();
        step(StartupStep::UnitsCreated);
        main->setAboutWindow(about.get());
        main->setUnitsDialog(units.get());

        splash->hide();
        splash->close();
        splash.reset();
        step(StartupStep::SplashDestroyed);

        // The first showing of the main window loads the settings.
        main->show();
        // A log named on the command line loads once the window is on the screen and
        // painted, as a chosen file.
        if (!options.logFile.isEmpty()) {
            MainWindow* window = main.get();
            const QString path = options.logFile;
            whenPainted(window, [window, path] { window->openLogFile(path); });
        }
        step(StartupStep::LoopStarting);
        if (options.messageLoop)
            options.messageLoop();
        else
            QApplication::exec();
    } catch (const std::exception& error) {
        dialogs.errorBox(nullptr, messageOf(error));
    }
    // Destroyed without a close request: the exit paths have saved the settings already.
    units.reset();
    about.reset();
    main.reset();
    return 0;
}

QString logFileArgument(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument.isEmpty() || argument.startsWith(u'-')) continue;
        // Desktops may hand over a file URL.
        const QUrl url(argument);
        const QString path = url.isLocalFile() ? url.toLocalFile() : argument;
        return QFileInfo(path).absoluteFilePath();
    }
    return {};
}

ViewerApplication::ViewerApplication(int& argc, char** argv, Dialogs& dialogs)
    : QApplication(argc, argv), dialogs_(dialogs) {}

bool ViewerApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        dialogs_.errorBox(nullptr, messageOf(error));
    }
    return false;
}

}  // namespace zp
