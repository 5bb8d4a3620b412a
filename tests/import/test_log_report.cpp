// The log report the import counts while it reads: line pieces, records per model with
// carried-over and unknown model ids, incomplete records, the plot gate's data steps
// and gap fills, time going back, the first and last record times and where a load
// stopped.
#include <QtTest>
#include <clocale>

#include "import/log_import.h"
#include "tests/support/recording_sink.h"

using namespace zp;

namespace {

// The report in one line, only the models with records listed:
// "lines=4 r7=4 unknown=0 incomplete=0 steps=3 fills=1 filled=6 longest=5 back=0
//  first=10:00:00 last=10:00:10 stop=-".
QString summary(const LogReport& r) {
    QString models;
    for (int id = 1; id <= kModelCount; ++id)
        if (r.records[static_cast<std::size_t>(id)] != 0)
            models +=
                QStringLiteral(" r%1=%2").arg(id).arg(r.records[static_cast<std::size_t>(id)]);
    return QStringLiteral(
               "lines=%1%2 unknown=%3 incomplete=%4 steps=%5 fills=%6 filled=%7 "
               "longest=%8 back=%9 first=%10 last=%11 stop=%12")
        .arg(r.lines)
        .arg(models)
        .arg(r.unknownLines)
        .arg(r.incompleteRecords)
        .arg(r.dataSteps)
        .arg(r.gapFills)
        .arg(r.filledSeconds)
        .arg(r.longestGap)
        .arg(r.timeWentBack)
        .arg(r.firstTime.value_or(QStringLiteral("-")))
        .arg(r.lastTime.value_or(QStringLiteral("-")))
        .arg(r.stoppedAtLine ? QString::number(*r.stoppedAtLine) : QStringLiteral("-"));
}

QByteArray airspeed(const char* time, const char* value = "50") {
    return QByteArray("7,12/05/2024,") + time + "," + value + "\n";
}

}  // namespace

class TestLogReport : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { std::setlocale(LC_ALL, "C"); }

    void counts_data() {
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty file") << QByteArray()
                                    << "lines=0 unknown=0 incomplete=0 steps=0 fills=0 filled=0 "
                                       "longest=0 back=0 first=- last=- stop=-";
        // :07 fills :02 to :07 (6 seconds, gap 5) and leaves L at :08; :10 is a step.
        QTest::newRow("steps and one gap fill")
            << airspeed("10:00:00") + airspeed("10:00:02") + airspeed("10:00:07") +
                   airspeed("10:00:10")
            << "lines=4 r7=4 unknown=0 incomplete=0 steps=3 fills=1 filled=6 longest=5 back=0 "
               "first=10:00:00 last=10:00:10 stop=-";
        QTest::newRow("two gap fills: sum and longest")
            << airspeed("10:00:00") + airspeed("10:00:03") + airspeed("10:01:00")
            << "lines=3 r7=3 unknown=0 incomplete=0 steps=1 fills=2 filled=61 longest=56 back=0 "
               "first=10:00:00 last=10:01:00 stop=-";
        QTest::newRow("time goes back, then on from there")
            << airspeed("10:00:05") + airspeed("10:00:06") + airspeed("10:00:01") +
                   airspeed("10:00:02") + airspeed("10:00:02")
            << "lines=5 r7=5 unknown=0 incomplete=0 steps=5 fills=0 filled=0 longest=0 back=1 "
               "first=10:00:05 last=10:00:02 stop=-";
        QTest::newRow("across midnight")
            << airspeed("23:59:58") + airspeed("23:59:59") + airspeed("00:00:00") +
                   airspeed("00:00:01")
            << "lines=4 r7=4 unknown=0 incomplete=0 steps=4 fills=0 filled=0 longest=0 back=1 "
               "first=23:59:58 last=00:00:01 stop=-";
        // A line without a leading integer keeps the model id of the line before.
        QTest::newRow("carried model id")
            << airspeed("10:00:00") + " ,12/05/2024,10:00:01,60\n" + "x\n"
            << "lines=3 r7=3 unknown=0 incomplete=2 steps=3 fills=0 filled=0 longest=0 back=0 "
               "first=10:00:00 last=10:00:00 stop=-";
        QTest::newRow("unknown ids, also carried and from the start")
            << QByteArray("header line\n99,12/05/2024,10:00:00,1\nmore\n") + airspeed("10:00:00") +
                   "0,1,2\n"
            << "lines=5 r7=1 unknown=4 incomplete=0 steps=1 fills=0 filled=0 longest=0 back=0 "
               "first=10:00:00 last=10:00:00 stop=-";
        QTest::newRow("incomplete records: a value that does not read, a short line")
            << airspeed("10:00:00") + airspeed("10:00:01", "abc") +
                   "1,12/05/2024,10:00:02,12345,487,13.9\n" + "9,12/05/2024,10:00:03,1,2,3,4,5,6\n"
            << "lines=4 r1=1 r7=2 r9=1 unknown=0 incomplete=2 steps=4 fills=0 filled=0 longest=0 "
               "back=0 first=10:00:00 last=10:00:03 stop=-";
        // 2500 characters: pieces of 999, 999 and 502 (line feed included); the second
        // and third carry model 7 and match no field.
        QTest::newRow("long line in pieces")
            << QByteArray("7,12/05/2024,10:00:00,50") + QByteArray(2475, 'x') + "\n" +
                   airspeed("10:00:01")
            << "lines=4 r7=4 unknown=0 incomplete=2 steps=4 fills=0 filled=0 longest=0 back=0 "
               "first=10:00:00 last=10:00:01 stop=-";
        QTest::newRow("stop on a time that does not convert")
            << airspeed("10:00:00") + airspeed("10:00:01") + airspeed("25:00:00") +
                   airspeed("10:00:02")
            << "lines=3 r7=3 unknown=0 incomplete=0 steps=2 fills=0 filled=0 longest=0 back=0 "
               "first=10:00:00 last=10:00:01 stop=3";
        QTest::newRow("stop after a long line counts pieces")
            << QByteArray(1500, 'x') + "\n" + airspeed("10:00:00") + airspeed("99:00:00")
            << "lines=4 r7=2 unknown=2 incomplete=0 steps=1 fills=0 filled=0 longest=0 back=0 "
               "first=10:00:00 last=10:00:00 stop=4";
    }
    void counts() {
        QFETCH(QByteArray, log);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        RecordingSink sink;
        const ImportResult result = importText(dir, log, sink);
        QCOMPARE(summary(result.report), expected);
    }

    // The budget refuses the third line's points: it was read and is a record, but
    // neither plotted nor a time counted as the last one plotted.
    void counts_stopOnThePointBudget() {
        QTemporaryDir dir;
        RecordingSink sink;
        const ImportResult result = importWithBudget(
            dir, airspeed("10:00:00") + airspeed("10:00:01") + airspeed("10:00:09"), sink, 5);
        QCOMPARE(result.status, ImportResult::Status::TooMuchData);
        QCOMPARE(summary(result.report),
                 QStringLiteral("lines=3 r7=3 unknown=0 incomplete=0 steps=2 fills=0 filled=0 "
                                "longest=0 back=0 first=10:00:00 last=10:00:09 stop=3"));
    }

    // The gap fill's zero points reach the sink as gap fills, every plotted channel
    // once per filled second; the data steps' points do not.
    void gapFillPointsAreMarkedForTheSink() {
        QTemporaryDir dir;
        RecordingSink sink;
        importText(dir,
                   airspeed("10:00:00", "0") + airspeed("10:00:04", "7") + airspeed("10:00:05"),
                   sink);
        QCOMPARE(sink.points[AirspeedSeries].size(), std::size_t{7});
        QCOMPARE(sink.gapFills[AirspeedSeries], (std::vector<std::size_t>{1, 2, 3, 4, 5}));
    }

    void openFailed_reportsNothing() {
        RecordingSink sink;
        const ImportResult result = importInto(QStringLiteral("/nonexistent/dir/log.csv"), sink);
        QCOMPARE(result.status, ImportResult::Status::OpenFailed);
        QCOMPARE(result.report.lines, 0);
        QVERIFY(!result.report.firstTime && !result.report.stoppedAtLine);
    }
};

QTEST_APPLESS_MAIN(TestLogReport)
#include "test_log_report.moc"
