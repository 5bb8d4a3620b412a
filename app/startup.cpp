#include "app/startup.h"

#include <QThread>
#include <exception>
#include <memory>

#include "app/about_window.h"
#include "app/dialog_seam.h"
#include "app/form_style.h"
#include "app/main_window.h"
#include "app/splash_window.h"
#include "settings/units_dialog.h"

namespace zp {

TfrmMain* frmMain = nullptr;
TfrmAbout* frmAbout = nullptr;
TfrmUnitSettings* frmUnitSettings = nullptr;

namespace {

void destroyForms() {
    // Destroyed without a close query: the exit paths have saved the settings already.
    delete frmUnitSettings;
    frmUnitSettings = nullptr;
    delete frmAbout;
    frmAbout = nullptr;
    delete frmMain;
    frmMain = nullptr;
}

QString messageOf(const std::exception& error) {
    return QString::fromLocal8Bit(error.what());
}

}  // namespace

int runViewer(const StartupOptions& options) {
    const auto step = [&options](StartupStep s) {
        if (options.observer) options.observer(s);
    };
    try {
        auto splash = std::make_unique<TfrmSplash>();
        splash->setAttribute(Qt::WA_QuitOnClose, false);
        splash->showNow();
        step(StartupStep::SplashShown);
        // The splash blocks start-up on purpose; no events are processed meanwhile.
        if (options.splashPauseMs > 0)
            QThread::msleep(static_cast<unsigned long>(options.splashPauseMs));
        step(StartupStep::PauseDone);

        QCoreApplication::setApplicationName(kApplicationTitle);
        step(StartupStep::TitleSet);

        frmMain = new TfrmMain;
        step(StartupStep::MainCreated);
        frmAbout = new TfrmAbout;
        step(StartupStep::AboutCreated);
        frmUnitSettings = new TfrmUnitSettings;
        step(StartupStep::UnitsCreated);
        frmMain->setAboutWindow(frmAbout);
        frmMain->setUnitsDialog(frmUnitSettings);

        splash->hide();
        splash->close();
        splash.reset();
        step(StartupStep::SplashDestroyed);

        // The first showing of the main window loads the settings.
        frmMain->show();
        step(StartupStep::LoopStarting);
        if (options.messageLoop)
            options.messageLoop();
        else
            QApplication::exec();
    } catch (const std::exception& error) {
        dialogSeam().errorBox(nullptr, messageOf(error));
    }
    destroyForms();
    return 0;
}

ViewerApplication::ViewerApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool ViewerApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        dialogSeam().errorBox(nullptr, messageOf(error));
    }
    return false;
}

}  // namespace zp
