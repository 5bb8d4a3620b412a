// Start-up: the order in which the windows appear, the splash gone before the message
// loop, the settings loaded by the first showing, and failures that must not stop it.
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <stdexcept>

#include "app/about_window.h"
#include "app/main_window.h"
#include "app/picture_view.h"
#include "app/splash_window.h"
#include "app/startup.h"
#include "settings/settings_store.h"
#include "settings/units_dialog.h"
#include "tests/support/fake_dialogs.h"
#include "tests/support/find_child.h"

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

QList<SplashWindow*> splashWindows() {
    QList<SplashWindow*> found;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* splash = qobject_cast<SplashWindow*>(widget)) found << splash;
    return found;
}

// Start-up options without the splash pause and with a message loop that returns at once.
StartupOptions quickOptions() {
    StartupOptions options;
    options.splashPauseMs = 0;
    options.messageLoop = [] { return 0; };
    return options;
}

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT
  public:
    // `appDialogs` are the dialogs the application object reports failed handlers to.
    explicit TestStartup(test::FakeDialogs& appDialogs) : appDialogs_(appDialogs) {}

  private slots:
    void runViewer_createsWindowsInOrder();
    void runViewer_corruptPictureDoesNotStopStartup();
    void runViewer_exceptionIsShownAndReturnsZero();
    void splash_isFramelessAndPaintsThePicture();
    void messageLoop_exitPathsSaveOnce_data();
    void messageLoop_exitPathsSaveOnce();
    void eventHandlerException_isReportedAndRunGoesOn();

  private:
    test::FakeDialogs& appDialogs_;
    QTemporaryDir dir_;
};

void TestStartup::runViewer_createsWindowsInOrder() {
    test::FakeDialogs dialogs;
    SettingsStore store(dir_.path());
    QList<StartupStep> steps;
    QStringList existing;  // which windows exist at each step
    StartupWindows seen;
    QStringList destroyed;  // the windows in the order they were destroyed
    const auto watch = [&destroyed](QObject* window, const QString& name) {
        if (window)
            QObject::connect(window, &QObject::destroyed,
                             [&destroyed, name] { destroyed << name; });
    };
    bool checkedLoop = false;
    StartupOptions options;
    options.splashPauseMs = 0;
    options.observer = [&](StartupStep step, const StartupWindows& windows) {
        steps << step;
        existing << QStringLiteral("%1%2%3%4")
                        .arg(splashWindows().isEmpty() ? '-' : 'S')
                        .arg(windows.main ? 'M' : '-')
                        .arg(windows.about ? 'A' : '-')
                        .arg(windows.units ? 'U' : '-');
        if (step == StartupStep::UnitsCreated) {
            seen = windows;
            watch(windows.main, QStringLiteral("main"));
            watch(windows.about, QStringLiteral("About"));
            watch(windows.units, QStringLiteral("Units"));
        }
    };
    options.messageLoop = [&] {
        checkedLoop = true;
        [&] {
            QVERIFY(splashWindows().isEmpty());
            QVERIFY(seen.main->isVisible());
            // The first showing loaded the settings: without a file, the defaults were written.
            QVERIFY(QFileInfo::exists(dir_.filePath(QStringLiteral("Settings.bin"))));
            QCOMPARE(seen.units->selection(MapUnit), 0);
            QCOMPARE(seen.main->windowTitle(), QStringLiteral("Zimra / Pexo Data Viewer"));
        }();
        return 0;
    };
    QCOMPARE(runViewer(dialogs, store, options), 0);
    if (QTest::currentTestFailed()) return;  // a check inside the loop failed
    QVERIFY(checkedLoop);
    QVERIFY(dialogs.messages.isEmpty());
    const QList<StartupStep> expectedSteps = {
        StartupStep::SplashShown,     StartupStep::PauseDone,    StartupStep::TitleSet,
        StartupStep::MainCreated,     StartupStep::AboutCreated, StartupStep::UnitsCreated,
        StartupStep::SplashDestroyed, StartupStep::LoopStarting};
    QCOMPARE(steps, expectedSteps);
    const QStringList expectedWindows = {"S---", "S---", "S---", "SM--",
                                         "SMA-", "SMAU", "-MAU", "-MAU"};
    QCOMPARE(existing, expectedWindows);
    // After the loop every window is gone, the Units dialog first and the main window last.
    const QStringList expectedOrder = {"Units", "About", "main"};
    QCOMPARE(destroyed, expectedOrder);
}

void TestStartup::runViewer_corruptPictureDoesNotStopStartup() {
    QByteArray corrupt = embeddedPictureData().left(600);
    corrupt.append(QByteArray(200, '\x5A'));
    bool looped = false;
    StartupOptions options = quickOptions();
    options.pictureData = corrupt;
    // Both windows that show the picture are made, without it.
    bool splashPlain = false;
    bool aboutPlain = false;
    options.observer = [&](StartupStep step, const StartupWindows& windows) {
        const auto plain = [](const QWidget* window) {
            const auto* view = window->findChild<PictureView*>(QStringLiteral("Image1"));
            return view && view->image().isNull();
        };
        if (step == StartupStep::SplashShown && splashWindows().size() == 1)
            splashPlain = plain(splashWindows().first());
        if (step == StartupStep::AboutCreated) aboutPlain = plain(windows.about);
    };
    options.messageLoop = [&] {
        looped = true;
        return 0;
    };
    test::FakeDialogs dialogs;
    SettingsStore store(dir_.path());
    QCOMPARE(runViewer(dialogs, store, options), 0);
    QVERIFY(looped);
    QVERIFY(dialogs.messages.isEmpty());
    QVERIFY(splashPlain);
    QVERIFY(aboutPlain);
    // The embedded picture itself decodes.
    QVERIFY(!viewerPicture().isNull());
}

void TestStartup::runViewer_exceptionIsShownAndReturnsZero() {
    // An error box that records which windows still exist when it shows.
    struct RecordingDialogs : test::FakeDialogs {
        QPointer<QObject> main;
        QPointer<QObject> about;
        bool windowsAliveAtReport = false;
        void errorBox(QWidget* parent, const QString& text) override {
            windowsAliveAtReport = main && about;
            FakeDialogs::errorBox(parent, text);
        }
    } dialogs;
    SettingsStore store(dir_.path());
    bool looped = false;
    StartupOptions options = quickOptions();
    options.observer = [&dialogs](StartupStep step, const StartupWindows& windows) {
        if (step != StartupStep::AboutCreated) return;
        dialogs.main = windows.main;
        dialogs.about = windows.about;
        throw std::runtime_error("Out of system resources");
    };
    options.messageLoop = [&] {
        looped = true;
        return 0;
    };
    QCOMPARE(runViewer(dialogs, store, options), 0);
    QVERIFY(!looped);
    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages[0].text, QStringLiteral("Out of system resources"));
    QVERIFY(dialogs.messages[0].error);
    // The report shows before the windows made so far are destroyed; then they are gone.
    QVERIFY(dialogs.windowsAliveAtReport);
    QVERIFY(!dialogs.main && !dialogs.about);
    QVERIFY(splashWindows().isEmpty());
}

void TestStartup::splash_isFramelessAndPaintsThePicture() {
    SplashWindow splash;
    QLabel* title = test::child<QLabel>(splash, "Label2");
    QLabel* version = test::child<QLabel>(splash, "Label4");
    QVERIFY(title && version);
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(splash.size(), QSize(484, 486));
    QCOMPARE(title->pos(), QPoint(101, 16));
    QCOMPARE(version->text(), QStringLiteral("Version 1.02"));
    // The picture is stretched over the window: its dark night sky fills the top, the
    // instrument panel the bottom, and the white title is drawn over the sky.
    const QImage shot = splash.grab().toImage();
    const QColor sky = shot.pixelColor(20, 100);
    QVERIFY2(sky.blue() > sky.red() + 30, qPrintable(sky.name()));
    const QColor panel = shot.pixelColor(10, 470);
    QVERIFY2(panel.lightness() < 80, qPrintable(panel.name()));
    bool white = false;
    for (int x = 101; x < 101 + title->width() && !white; ++x)
        for (int y = 16; y < 16 + title->height() && !white; ++y)
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
    test::FakeDialogs dialogs;
    CountingIo io;
    SettingsStore store(dir_.path(), QString(), io);
    QPointer<MainWindow> main;
    StartupOptions options;
    options.splashPauseMs = 0;
    options.observer = [&](StartupStep step, const StartupWindows& windows) {
        if (step != StartupStep::LoopStarting) return;
        main = windows.main;
        QTimer::singleShot(0, windows.main, [path, window = windows.main] {
            if (path == QLatin1String("SpeedButton1"))
                test::child<QToolButton>(*window, "SpeedButton1")->click();
            else if (path == QLatin1String("exit1"))
                test::child<QAction>(*window, "exit1")->trigger();
            else
                window->close();
        });
    };
    QFile::remove(dir_.filePath(QStringLiteral("Settings.bin")));
    // Settings.bin exists before the loop, so the first showing writes nothing.
    QVERIFY(writeSettingsFile(dir_.path(), defaultSettingsRecord()));
    QCOMPARE(runViewer(dialogs, store, options), 0);
    QCOMPARE(io.saves, 1);
    QVERIFY(!main);
}

void TestStartup::eventHandlerException_isReportedAndRunGoesOn() {
    test::FakeDialogs& dialogs = appDialogs_;
    dialogs.messages.clear();
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
    test::FakeDialogs appDialogs;
    ViewerApplication app(argc, argv, appDialogs);
    TestStartup test(appDialogs);
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "test_startup.moc"
