// File > Export Visible Data writes the readings of the visible time range, byte for
// byte what logdump --csv writes for the same range and settings.
#include <QAction>
#include <QProcess>
#include <QtTest>

#include "app/main_window.h"
#include "chart/chart_widget.h"
#include "tests/support/find_child.h"
#include "tests/support/window_fixture.h"

using namespace zp;

class TestExportData : public QObject {
    Q_OBJECT
  private slots:
    void export_sameAsLogdumpForTheVisibleRange();
    void export_cancelWritesNothingAndFailureSaysWhy();
};

void TestExportData::export_sameAsLogdumpForTheVisibleRange() {
    test::WindowFixture<> f;
    f.window.resize(900, 760);
    f.window.show();  // loads (and writes) the settings
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    f.window.openLogFile(QStringLiteral(ZP_SOURCE_DIR "/samples/gaps.csv"));
    f.window.chart().grab();  // the keys act on the picture on screen
    // Zoomed in twice and moved: a part of the log.
    QTest::keyClick(&f.window.chart(), Qt::Key_Plus);
    QTest::keyClick(&f.window.chart(), Qt::Key_Plus);
    QTest::keyClick(&f.window.chart(), Qt::Key_Right);
    f.window.chart().grab();
    const chart::ChartLayout& shown = f.window.chart().layout();

    QTemporaryDir out;
    f.dialogs.saveAccepted = true;
    f.dialogs.saveFile = out.filePath(QStringLiteral("window.csv"));
    QAction* action = test::child<QAction>(f.window, "exportVisibleDataAction");
    QVERIFY(action);
    action->trigger();
    QCOMPARE(f.dialogs.saveRequests.last().filters, QStringList{"CSV files (*.csv)"});

    const QString logdumpCsv = out.filePath(QStringLiteral("logdump.csv"));
    QProcess logdump;
    logdump.start(QStringLiteral(ZP_BINARY_DIR "/bin/logdump"),
                  {QStringLiteral("--settings"), f.store.filePath(), QStringLiteral("--csv"),
                   logdumpCsv, QStringLiteral("--range"),
                   QStringLiteral("%1,%2")
                       .arg(shown.bottom.minimum(), 0, 'g', 17)
                       .arg(shown.bottom.maximum(), 0, 'g', 17),
                   QStringLiteral(ZP_SOURCE_DIR "/samples/gaps.csv")});
    QVERIFY(logdump.waitForFinished(30000));
    QCOMPARE(logdump.exitCode(), 0);

    QFile a(f.dialogs.saveFile), b(logdumpCsv);
    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    const QByteArray fromWindow = a.readAll();
    QCOMPARE(fromWindow, b.readAll());
    // A part of the log: fewer rows than the whole, more than none.
    const int rows = int(fromWindow.count('\n')) - 1;
    QVERIFY2(rows > 10 && rows < 600, qPrintable(QString::number(rows)));
}

void TestExportData::export_cancelWritesNothingAndFailureSaysWhy() {
    test::WindowFixture<> f;
    QAction* action = test::child<QAction>(f.window, "exportVisibleDataAction");
    QVERIFY(action);
    action->trigger();  // cancelled
    QVERIFY(f.dialogs.messages.isEmpty());
    f.dialogs.saveAccepted = true;
    f.dialogs.saveFile = QStringLiteral("/nonexistent-folder/data.csv");
    action->trigger();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.messages[0].error);
    QVERIFY(f.dialogs.messages[0].text.startsWith(QStringLiteral("Cannot write")));
}

QTEST_MAIN(TestExportData)
#include "test_export_data.moc"
