// Start-up: the order in which the windows appear, the splash gone before the message
// loop, the settings loaded by the first showing, and failures that must not stop it.
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <stdexcept>

#include "app/about_window.h"
#include "tests/support/fake_dialogs.h"
#include "app/main_window.h"
#include "app/picture_view.h"
#include "settings/settings_file.h"
#include "app/splash_window.h"
#include "app/startup.h"
#include "settings/units_dialog.h"

using namespace zp;

namespace {

// An object whose event handler fails.
class Thrower : public QObject {
  public:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) throw std::runtime_error("Access violation");
        return QObject::event(event);
    }
};

class CountingIo : public SettingsFileIo {
  public:
    int saves = 0;
    bool replace(const QString& source, const QString& target) override {
        ++saves;
        return SettingsFileIo::replace(source, target);
    }
};

QList<TfrmSplash*> splashWindows() {
    QList<TfrmSplash*> found;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* splash = qobject_cast<TfrmSplash*>(widget)) found << splash;
    return found;
}

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void runViewer_createsWindowsInOrder();
    void runViewer_corruptPictureDoesNotStopStartup();
    void runViewer_exceptionIsShownAndReturnsZero();
    void splash_isFramelessAndPaintsThePicture();
    void messageLoop_exitPathsSaveOnce_data();
    void messageLoop_exitPathsSaveOnce();
    void eventHandlerException_isReportedAndRunGoesOn();

  private:
    QTemporaryDir dir_;
};

void TestStartup::init() {
    setSettingsFolder(dir_.path());
}

void TestStartup::cleanup() {
    setSettingsFolder(QString());
    setViewerPictureData(QByteArray());
    setDialogSeam(nullptr);
}

void TestStartup::runViewer_createsWindowsInOrder() {
    QList<StartupStep> steps;
    QStringList existing;  // which global windows exist at each step
    bool checkedLoop = false;
    StartupOptions options;
    options.splashPauseMs = 0;
    options.observer = [&](StartupStep step) {
        steps << step;
        existing << QStringLiteral("%1%2%3%4")
                        .arg(splashWindows().isEmpty() ? '-' : 'S')
                        .arg(frmMain ? 'M' : '-')
                        .arg(frmAbout ? 'A' : '-')
                        .arg(frmUnitSettings ? 'U' : '-');
    };
    options.messageLoop = [&] {
        checkedLoop = true;
        [&] {
            QVERIFY(splashWindows().isEmpty());
            QVERIFY(frmMain->isVisible());
            // The first showing loaded the settings: without a file, the defaults were written.
            QVERIFY(QFileInfo::exists(dir_.filePath(QStringLiteral("Settings.bin"))));
            QCOMPARE(frmUnitSettings->selection(MapUnit), 0);
            QCOMPARE(frmMain->windowTitle(), QStringLiteral("Zimra / Pexo Data Viewer"));
        }();
        return 0;
    };
    QCOMPARE(runViewer(options), 0);
    QVERIFY(checkedLoop);
    const QList<StartupStep> expectedSteps = {
        StartupStep::SplashShown,     StartupStep::PauseDone,    StartupStep::TitleSet,
        StartupStep::MainCreated,     StartupStep::AboutCreated, StartupStep::UnitsCreated,
        StartupStep::SplashDestroyed, StartupStep::LoopStarting};
    QCOMPARE(steps, expectedSteps);
    const QStringList expectedWindows = {"S---", "S---", "S---", "SM--",
                                         "SMA-", "SMAU", "-MAU", "-MAU"};
    QCOMPARE(existing, expectedWindows);
    // After the loop every window is gone.
    QVERIFY(!frmMain && !frmAbout && !frmUnitSettings);
}

void TestStartup::runViewer_corruptPictureDoesNotStopStartup() {
    QByteArray corrupt = embeddedPictureData().left(600);
    corrupt.append(QByteArray(200, '\x5A'));
    setViewerPictureData(corrupt);
    bool looped = false;
    StartupOptions options;
    options.splashPauseMs = 0;
    options.messageLoop = [&] {
        looped = true;
        return 0;
    };
    test::ScopedFakeDialogs dialogs;
    QCOMPARE(runViewer(options), 0);
    QVERIFY(looped);
    QVERIFY(dialogs.messages.isEmpty());
    QVERIFY(viewerPicture().isNull());
}

void TestStartup::runViewer_exceptionIsShownAndReturnsZero() {
    test::ScopedFakeDialogs dialogs;
    bool looped = false;
    StartupOptions options;
    options.splashPauseMs = 0;
    options.observer = [](StartupStep step) {
        if (step == StartupStep::AboutCreated) throw std::runtime_error("Out of system resources");
    };
    options.messageLoop = [&] {
        looped = true;
        return 0;
    };
    QCOMPARE(runViewer(options), 0);
    QVERIFY(!looped);
    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages[0].text, QStringLiteral("Out of system resources"));
    QVERIFY(dialogs.messages[0].error);
    QVERIFY(!frmMain && !frmAbout && !frmUnitSettings);
    QVERIFY(splashWindows().isEmpty());
}

void TestStartup::splash_isFramelessAndPaintsThePicture() {
    TfrmSplash splash;
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(splash.size(), QSize(484, 486));
    QCOMPARE(splash.Label2->pos(), QPoint(101, 16));
    QCOMPARE(splash.Label4->text(), QStringLiteral("Version 1.02"));
    // The picture is stretched over the window: its dark night sky fills the top, the
    // instrument panel the bottom, and the white title is drawn over the sky.
    const QImage shot = splash.grab().toImage();
    const QColor sky = shot.pixelColor(20, 100);
    QVERIFY2(sky.blue() > sky.red() + 30, qPrintable(sky.name()));
    const QColor panel = shot.pixelColor(10, 470);
    QVERIFY2(panel.lightness() < 80, qPrintable(panel.name()));
    bool white = false;
    for (int x = 101; x < 101 + splash.Label2->width() && !white; ++x)
        for (int y = 16; y < 16 + splash.Label2->height() && !white; ++y)
            white = shot.pixelColor(x, y).lightness() > 240;
    QVERIFY(white);
}

void TestStartup::messageLoop_exitPathsSaveOnce_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("Exit Program button") << "SpeedButton1";
    QTest::newRow("File > Exit") << "exit1";
    QTest::newRow("close box") << "close";
}

// Through the real message loop: each exit ends it and writes Settings.bin once, with no
// second write from closing or destroying the windows.
void TestStartup::messageLoop_exitPathsSaveOnce() {
    QFETCH(QString, path);
    CountingIo io;
    StartupOptions options;
    options.splashPauseMs = 0;
    options.observer = [&](StartupStep step) {
        if (step == StartupStep::MainCreated) frmMain->setSettingsIo(&io);
        if (step != StartupStep::LoopStarting) return;
        QTimer::singleShot(0, frmMain, [path] {
            if (path == QLatin1String("SpeedButton1"))
                frmMain->SpeedButton1Click();
            else if (path == QLatin1String("exit1"))
                frmMain->exit1->trigger();
            else
                frmMain->close();
        });
    };
    QFile::remove(dir_.filePath(QStringLiteral("Settings.bin")));
    // Settings.bin exists before the loop, so the first showing writes nothing.
    QVERIFY(writeSettingsFile(dir_.path(), defaultSettingsRecord()));
    QCOMPARE(runViewer(options), 0);
    QCOMPARE(io.saves, 1);
    QVERIFY(!frmMain);
}

void TestStartup::eventHandlerException_isReportedAndRunGoesOn() {
    test::ScopedFakeDialogs dialogs;
    Thrower thrower;
    QEvent event(QEvent::User);
    QVERIFY(!QCoreApplication::sendEvent(&thrower, &event));
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    QCOMPARE(dialogs.messages.size(), 2);
    for (const auto& message : dialogs.messages) {
        QCOMPARE(message.text, QStringLiteral("Access violation"));
        QVERIFY(message.error);
    }
}

// The viewer's own application object, so that its exception reporting is under test.
int main(int argc, char** argv) {
    ViewerApplication app(argc, argv);
    TestStartup test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "test_startup.moc"
