// Logs that ask for more points than the machine can hold, and other files that are no
// log at all: the import stops at the line that would pass the point budget, keeps what
// it appended and names that line; logdump reports the same as an error.
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>
#include <cstdio>

#include "import/point_budget.h"
#include "tests/support/recording_sink.h"

using namespace zp;

namespace {

// Model 7 records one channel, Airspeed.
QByteArray airspeedLine(const char* time, const char* value = "120.5") {
    return QByteArray("7,12/05/2024,") + time + "," + value + "\n";
}

// Lines alternating between the first and the last second of the day: every second line
// asks for a gap fill of the whole day.
QByteArray backAndForth(int lines) {
    QByteArray log;
    for (int i = 0; i < lines; ++i) log += airspeedLine(i % 2 == 0 ? "00:00:00" : "23:59:59");
    return log;
}

}  // namespace

class TestHostileFiles : public QObject {
    Q_OBJECT

  private slots:
    void budget_stopsAtLineThatWouldPass_data();
    void budget_stopsAtLineThatWouldPass();
    void budget_countsLinesNotPieces();
    void budget_defaultCoversRealLogs();
    void budget_nextLoadStartsAfresh();
    void counters_hugeIntegersReadAsScanf_data();
    void counters_hugeIntegersReadAsScanf();
    void notALog_loadsOrFailsCleanly_data();
    void notALog_loadsOrFailsCleanly();
    void logdump_reportsBudgetStopAsError();
};

void TestHostileFiles::budget_stopsAtLineThatWouldPass_data() {
    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<qint64>("budget");
    QTest::addColumn<int>("stopLine");  // 0: loads to the end
    QTest::addColumn<qint64>("kept");

    // Line 1: 1 point; line 2: gap fill of 86,400 points; line 3: 1 point; line 4 again.
    const qint64 pair = 1 + 86400;
    QTest::newRow("budget met exactly") << backAndForth(4) << 2 * pair << 0 << 2 * pair;
    QTest::newRow("one short at the last gap") << backAndForth(4) << 2 * pair - 1 << 4 << pair + 1;
    QTest::newRow("first gap fill refused") << backAndForth(4) << qint64(1000) << 2 << qint64(1);
    QByteArray steady;
    for (int s = 0; s < 10; ++s)
        steady += airspeedLine(QByteArray("10:00:0").append(char('0' + s)));
    QTest::newRow("data steps, budget met") << steady << qint64(10) << 0 << qint64(10);
    QTest::newRow("data steps, one short") << steady << qint64(9) << 10 << qint64(9);
    QTest::newRow("budget of one point") << steady << qint64(1) << 2 << qint64(1);
}

void TestHostileFiles::budget_stopsAtLineThatWouldPass() {
    QFETCH(QByteArray, log);
    QFETCH(qint64, budget);
    QFETCH(int, stopLine);
    QFETCH(qint64, kept);

    QTemporaryDir dir;
    RecordingSink sink;
    const ImportResult result = importWithBudget(dir, log, sink, budget);

    if (stopLine == 0) {
        QCOMPARE(result.status, ImportResult::Status::Loaded);
    } else {
        QCOMPARE(result.status, ImportResult::Status::TooMuchData);
        QCOMPARE(result.message, tooMuchDataMessage(stopLine));
        QVERIFY(result.message.contains(QStringLiteral("line %1").arg(stopLine)));
    }
    QCOMPARE(qint64(sink.points[AirspeedSeries].size()), kept);
    QVERIFY(sink.pointCount <= budget);
}

void TestHostileFiles::budget_countsLinesNotPieces() {
    // A 2,500-character line comes in three pieces; the stop is still reported at the
    // line of the file.
    QByteArray log = airspeedLine("10:00:00");
    log += "7,d,10:00:01," + QByteArray(2500, '9') + "\n";
    log += airspeedLine("10:00:02") + airspeedLine("10:00:09");
    QTemporaryDir dir;
    RecordingSink sink;
    const ImportResult result = importWithBudget(dir, log, sink, 10);
    QCOMPARE(result.status, ImportResult::Status::TooMuchData);
    QCOMPARE(result.message, tooMuchDataMessage(4));
}

void TestHostileFiles::budget_defaultCoversRealLogs() {
    QVERIFY(physicalMemoryBytes() > 0);
    QVERIFY(defaultPointBudget() >= kMinPointBudget);
    // A day of one-second engine monitor records is far below the smallest budget.
    static_assert(86400 * 30 < kMinPointBudget / 4);
    QCOMPARE(ImportOptions::forThisMachine().pointBudget, defaultPointBudget());
}

void TestHostileFiles::budget_nextLoadStartsAfresh() {
    // The budget is per load: a second load of the same file gets the whole budget again.
    QTemporaryDir dir;
    for (int load = 0; load < 2; ++load) {
        RecordingSink sink;
        QCOMPARE(importWithBudget(dir, backAndForth(2), sink, 86402).status,
                 ImportResult::Status::Loaded);
    }
}

void TestHostileFiles::counters_hugeIntegersReadAsScanf_data() {
    QTest::addColumn<QByteArray>("text");
    // 20 digits used to wrap round 2^64 instead of saturating.
    QTest::newRow("20 digits") << QByteArray("41111111111111111111");
    QTest::newRow("20 digits, negative") << QByteArray("-41111111111111111111");
    QTest::newRow("2^64") << QByteArray("18446744073709551616");
    QTest::newRow("2^63") << QByteArray("9223372036854775808");
    QTest::newRow("-2^63") << QByteArray("-9223372036854775808");
    QTest::newRow("2^32") << QByteArray("4294967296");
    QTest::newRow("40 digits") << QByteArray(40, '9');
}

void TestHostileFiles::counters_hugeIntegersReadAsScanf() {
    QFETCH(QByteArray, text);
    int expected = 0;
    QCOMPARE(std::sscanf(text.constData(), "%d", &expected), 1);
    QTemporaryDir dir;
    RecordingSink sink;
    // Model 9 carries the Hobbs counter in field 4.
    importText(dir, "9,d,10:00:00," + text + ",5,1,2,3,4\n", sink);
    QCOMPARE(sink.panel.hobbsStart, QString::number(expected));
}

void TestHostileFiles::notALog_loadsOrFailsCleanly_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("airspeedPoints");

    QByteArray noise;
    quint32 seed = 12345;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245u + 12345u;
        noise += char(seed >> 24);
    }
    QTest::newRow("binary noise") << noise << -1 << -1;
    QTest::newRow("NUL bytes") << QByteArray(5000, '\0') << int(ImportResult::Status::Loaded) << 0;
    QTest::newRow("only commas") << QByteArray(",,,,,,,,,,,,\n").repeated(100)
                                 << int(ImportResult::Status::Loaded) << 0;
    QTest::newRow("NUL inside a record") << QByteArray(
                                                "7,d,10:00:00,1\n7,d,10:00:01,\0"
                                                "2\n",
                                                31)
                                         << int(ImportResult::Status::Loaded) << 2;
    QByteArray extremes;
    const char* values[] = {"nan", "inf", "-inf", "1e39", "-1e39", "1e-50", "0x1p200"};
    for (int i = 0; i < 7; ++i)
        extremes += airspeedLine(QByteArray("10:00:0").append(char('0' + i)), values[i]);
    QTest::newRow("nan, inf and 1e39") << extremes << int(ImportResult::Status::Loaded) << 7;
    QTest::newRow("empty file") << QByteArray() << int(ImportResult::Status::Loaded) << 0;
}

void TestHostileFiles::notALog_loadsOrFailsCleanly() {
    QFETCH(QByteArray, content);
    QFETCH(int, status);
    QFETCH(int, airspeedPoints);
    QTemporaryDir dir;
    RecordingSink sink;
    const ImportResult result = importText(dir, content, sink);
    QVERIFY(result.status != ImportResult::Status::OpenFailed);
    if (status >= 0) QCOMPARE(int(result.status), status);
    if (airspeedPoints >= 0) QCOMPARE(int(sink.points[AirspeedSeries].size()), airspeedPoints);
    for (const auto& points : sink.points)
        for (const Point& p : points) QVERIFY(std::isfinite(p.x));
}

void TestHostileFiles::logdump_reportsBudgetStopAsError() {
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("gaps.csv"));
    QFile file(log);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(backAndForth(6));
    file.close();

    QProcess process;
    process.start(QStringLiteral(ZP_BINARY_DIR "/bin/logdump"),
                  {QStringLiteral("--summary"), QStringLiteral("--point-budget"),
                   QStringLiteral("100000"), log});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 1);
    const QJsonObject report = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    QCOMPARE(report.value(QStringLiteral("status")).toString(), QStringLiteral("error"));
    QCOMPARE(report.value(QStringLiteral("message")).toString(), tooMuchDataMessage(4));

    // A directory given as the file cannot be opened.
    process.start(QStringLiteral(ZP_BINARY_DIR "/bin/logdump"),
                  {QStringLiteral("--summary"), dir.path()});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 2);
}

QTEST_GUILESS_MAIN(TestHostileFiles)
#include "test_hostile_files.moc"
