// The ways a log reaches the main window besides its load button: a file dropped on it,
// the recent files, the command line; with the wait cursor while it loads.
#include <QAction>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QWindow>
#include <QtTest>

#include "app/main_window.h"
#include "app/startup.h"
#include "chart/chart_widget.h"
#include "loading/channel_series.h"
#include "settings/settings_store.h"
#include "tests/support/fake_dialogs.h"
#include "tests/support/file_bytes.h"
#include "tests/support/find_child.h"

using namespace zp;

namespace {

const QString kSample = QStringLiteral(ZP_SOURCE_DIR "/samples/model07_airspeed.csv");

// A window whose per-user choices live in a folder of its own, so the recent files
// survive from one window to the next.
struct UserWindow {
    explicit UserWindow(const QString& userFolder) : store(exe.path(), userFolder) {}
    test::FakeDialogs dialogs;
    QTemporaryDir exe;
    SettingsStore store;
    MainWindow window{dialogs, store};
};

QStringList recentEntries(MainWindow& window) {
    QStringList texts;
    for (QAction* action : test::child<QMenu>(window, "recentFilesMenu")->actions())
        if (action->objectName().startsWith(u"recentFile") &&
            action->objectName() != u"recentFilesClear")
            texts << action->text();
    return texts;
}

void drop(QWidget& target, const QList<QUrl>& urls) {
    QMimeData mime;
    mime.setUrls(urls);
    const QPointF at(100, 100);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &enter);
    if (!enter.isAccepted()) return;
    QDropEvent dropped(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &dropped);
}

std::size_t airspeedPoints(MainWindow& window) {
    return channelSeries(window.chart().chart(), AirspeedSeries).points.size();
}

}  // namespace

class TestOpenLogs : public QObject {
    Q_OBJECT
  private slots:
    void drop_loadsFirstLocalFile_data();
    void drop_loadsFirstLocalFile();
    void recent_newestFirstAtMostEight();
    void recent_missingFileLeavesWithMessage();
    void recent_clearAndKeptPerUser();
    void load_showsWaitCursorOnlyWhileReading();
    void commandLine_argumentMadeAbsolute_data();
    void commandLine_argumentMadeAbsolute();
    void commandLine_loadsAfterStartUp_data();
    void commandLine_loadsAfterStartUp();
    void commandLine_windowPaintedBeforeLoad();
};

void TestOpenLogs::drop_loadsFirstLocalFile_data() {
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<QString>("message");  // empty: the drop is refused
    const QUrl sample = QUrl::fromLocalFile(kSample);
    QTest::newRow("one file") << QList<QUrl>{sample} << "File Loaded!";
    QTest::newRow("first of several")
        << QList<QUrl>{sample, QUrl::fromLocalFile(QStringLiteral("/nonexistent.csv"))}
        << "File Loaded!";
    QTest::newRow("web address first")
        << QList<QUrl>{QUrl(QStringLiteral("https://example.invalid/a.csv")), sample}
        << "File Loaded!";
    QTest::newRow("missing file") << QList<QUrl>{QUrl::fromLocalFile(
                                         QStringLiteral("/no/such.csv"))}
                                  << "File does not exist.";
    QTest::newRow("no local file")
        << QList<QUrl>{QUrl(QStringLiteral("https://example.invalid/"))} << QString();
}

void TestOpenLogs::drop_loadsFirstLocalFile() {
    QFETCH(QList<QUrl>, urls);
    QFETCH(QString, message);
    QTemporaryDir user;
    UserWindow w(user.path());
    drop(w.window, urls);
    if (message.isEmpty()) {
        QVERIFY(w.dialogs.messages.isEmpty());
        return;
    }
    QCOMPARE(w.dialogs.messages.size(), 1);
    QCOMPARE(w.dialogs.messages[0].text, message);
    QCOMPARE(airspeedPoints(w.window) > 0, message == u"File Loaded!");
    QCOMPARE(test::child<QLabel>(w.window, "Label13")->text().isEmpty(), false);
}

void TestOpenLogs::recent_newestFirstAtMostEight() {
    QTemporaryDir user;
    QTemporaryDir logs;
    UserWindow w(user.path());
    QStringList paths;
    for (int i = 0; i < 10; ++i) {
        paths << logs.filePath(QStringLiteral("log%1.csv").arg(i));
        QVERIFY(test::writeAll(paths.last(), "7,d,10:00:00,55\n"));
        w.window.openLogFile(paths.last());
    }
    w.window.openLogFile(paths[5]);  // again: it moves to the front
    const QStringList want = {paths[5], paths[9], paths[8], paths[7],
                              paths[6], paths[4], paths[3], paths[2]};
    QCOMPARE(w.window.recentFiles().paths(), want);
    const QStringList entries = recentEntries(w.window);
    QCOMPARE(entries.size(), 8);
    QVERIFY(entries[0].startsWith(QStringLiteral("&1 ")));
    QVERIFY(entries[0].endsWith(QStringLiteral("log5.csv")));
}

void TestOpenLogs::recent_missingFileLeavesWithMessage() {
    QTemporaryDir user;
    QTemporaryDir logs;
    UserWindow w(user.path());
    const QString kept = logs.filePath(QStringLiteral("kept.csv"));
    const QString gone = logs.filePath(QStringLiteral("gone.csv"));
    QVERIFY(test::writeAll(kept, "7,d,10:00:00,55\n"));
    QVERIFY(test::writeAll(gone, "7,d,10:00:00,66\n"));
    w.window.openLogFile(kept);
    w.window.openLogFile(gone);
    QVERIFY(QFile::remove(gone));
    w.dialogs.messages.clear();

    test::child<QAction>(w.window, "recentFile1")->trigger();  // gone.csv, the newest
    QCOMPARE(w.dialogs.messages.size(), 1);
    QCOMPARE(w.dialogs.messages[0].text, QStringLiteral("File does not exist."));
    QCOMPARE(w.window.recentFiles().paths(), QStringList{kept});
    QCOMPARE(recentEntries(w.window).size(), 1);

    test::child<QAction>(w.window, "recentFile1")->trigger();  // kept.csv loads
    QCOMPARE(w.dialogs.messages.last().text, QStringLiteral("File Loaded!"));
    QCOMPARE(channelSeries(w.window.chart().chart(), AirspeedSeries).points.points()[0].y, 55.0);
}

void TestOpenLogs::recent_clearAndKeptPerUser() {
    QTemporaryDir user;
    {
        UserWindow w(user.path());
        w.window.openLogFile(kSample);
    }
    // Kept in the user's own folder, never in Settings.bin.
    QVERIFY(QFileInfo::exists(user.filePath(QStringLiteral("viewer.ini"))));
    UserWindow w(user.path());
    QCOMPARE(w.window.recentFiles().paths(), QStringList{kSample});
    QVERIFY(!QFileInfo::exists(w.exe.filePath(QStringLiteral("Settings.bin"))) ||
            QFileInfo(w.exe.filePath(QStringLiteral("Settings.bin"))).size() == 55);
    QAction* clear = test::child<QAction>(w.window, "recentFilesClear");
    QVERIFY(clear->isEnabled());
    clear->trigger();
    QVERIFY(w.window.recentFiles().paths().isEmpty());
    QVERIFY(!test::child<QAction>(w.window, "recentFilesClear")->isEnabled());
    QCOMPARE(UserWindow(user.path()).window.recentFiles().paths(), QStringList());
}

void TestOpenLogs::load_showsWaitCursorOnlyWhileReading() {
    QTemporaryDir user;
    UserWindow w(user.path());
    bool busyDuringLoad = false;
    w.window.chart().chart().onInvalidate = [&] {
        busyDuringLoad |= QApplication::overrideCursor() != nullptr &&
                          QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    };
    w.window.openLogFile(kSample);
    QVERIFY(busyDuringLoad);
    QVERIFY(QApplication::overrideCursor() == nullptr);  // gone before the message box
    QCOMPARE(w.dialogs.messages.size(), 1);
}

void TestOpenLogs::commandLine_argumentMadeAbsolute_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("want");
    const QString here = QDir::currentPath();
    QTest::newRow("none") << QStringList{"viewer"} << QString();
    QTest::newRow("relative") << QStringList{"viewer", "flight.csv"} << here + "/flight.csv";
    QTest::newRow("absolute") << QStringList{"viewer", "/logs/a.csv"} << "/logs/a.csv";
    QTest::newRow("option skipped") << QStringList{"viewer", "--x", "b.csv"} << here + "/b.csv";
    QTest::newRow("file url") << QStringList{"viewer", "file:///logs/c d.csv"} << "/logs/c d.csv";
}

void TestOpenLogs::commandLine_argumentMadeAbsolute() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, want);
    QCOMPARE(logFileArgument(arguments), want);
}

// Start-up with a log named: it loads once the window is up, with the load button's
// message boxes, and the chart holds it.
void TestOpenLogs::commandLine_loadsAfterStartUp_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("message");
    QTest::newRow("log") << kSample << "File Loaded!";
    QTest::newRow("missing") << QStringLiteral("/no/such/log.csv") << "File does not exist.";
}

void TestOpenLogs::commandLine_loadsAfterStartUp() {
    QFETCH(QString, path);
    QFETCH(QString, message);
    test::FakeDialogs dialogs;
    QTemporaryDir exe;
    SettingsStore store(exe.path());
    StartupOptions options;
    options.splashPauseMs = 0;
    options.logFile = path;
    std::size_t points = 0;
    MainWindow* main = nullptr;
    options.observer = [&main](StartupStep, const StartupWindows& windows) { main = windows.main; };
    options.messageLoop = [&]() -> int {
        for (int i = 0; i < 500 && dialogs.messages.isEmpty(); ++i) QTest::qWait(10);
        points = airspeedPoints(*main);
        return 0;
    };
    QCOMPARE(runViewer(dialogs, store, options), 0);
    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages[0].text, message);
    QCOMPARE(points > 0, message == u"File Loaded!");
}

// A large log takes a while: the window is on the screen and painted before its load
// starts, not left blank until it ends.
void TestOpenLogs::commandLine_windowPaintedBeforeLoad() {
    // Counts the paints of the window's face.
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) ++paints;
            return false;
        }
    } counter;
    // The load ends in a message box: what was on the screen when it started.
    struct Dialogs : test::FakeDialogs {
        MainWindow* main = nullptr;
        PaintCounter* counter = nullptr;
        int paintsBeforeLoad = -1;
        bool exposedBeforeLoad = false;
        void messageBox(QWidget* parent, const QString& text, const QString& caption) override {
            paintsBeforeLoad = counter->paints;
            exposedBeforeLoad = main->windowHandle() && main->windowHandle()->isExposed();
            FakeDialogs::messageBox(parent, text, caption);
        }
    } dialogs;
    dialogs.counter = &counter;
    QTemporaryDir exe;
    SettingsStore store(exe.path());
    StartupOptions options;
    options.splashPauseMs = 0;
    options.logFile = kSample;
    options.observer = [&dialogs, &counter](StartupStep step, const StartupWindows& windows) {
        if (step != StartupStep::MainCreated) return;
        dialogs.main = windows.main;
        test::child<QWidget>(*windows.main, "Client")->installEventFilter(&counter);
    };
    options.messageLoop = [&]() -> int {
        for (int i = 0; i < 500 && dialogs.messages.isEmpty(); ++i) QTest::qWait(10);
        return 0;
    };
    QCOMPARE(runViewer(dialogs, store, options), 0);
    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages[0].text, QStringLiteral("File Loaded!"));
    QVERIFY(dialogs.exposedBeforeLoad);
    QVERIFY(dialogs.paintsBeforeLoad > 0);
}

QTEST_MAIN(TestOpenLogs)
#include "test_open_logs.moc"
