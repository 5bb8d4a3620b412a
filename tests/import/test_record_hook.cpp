// The import's record hook: every record of a known model whose time converted reaches
// the sink once, with its model, second of the day, line piece, date field, counters and
// value store, before its points; and a sink that keeps no points sees the same records
// and gets the same report and panel as one that keeps them all.
#include <QtTest>
#include <clocale>

#include "tests/support/recording_sink.h"

using namespace zp;

namespace {

// One record as the hook saw it: "line:model@second date hobbs value0".
QString describe(const RecordEvent& e, Channel channel) {
    return QStringLiteral("%1:%2@%3 %4 %5 %6")
        .arg(e.line)
        .arg(e.model->id)
        .arg(e.second)
        .arg(QString::fromLatin1(e.dateText))
        .arg(e.hobbs)
        .arg(static_cast<double>(e.values[channel]));
}

class HookedSink : public RecordingSink {
  public:
    explicit HookedSink(Channel watched) : watched_(watched) {}
    void record(const RecordEvent& event) override {
        events << describe(event, watched_);
        eventsBeforePoints << pointCount;
    }
    QStringList events;
    QList<long> eventsBeforePoints;  // points appended before each record's hook

  private:
    Channel watched_;
};

// Keeps nothing but the records: no point may reach it.
class RecordsOnlySink : public ImportSink {
  public:
    explicit RecordsOnlySink(Channel watched) : watched_(watched) {}
    void clearSeries(Channel) override {}
    void setShowInLegend(Channel, bool) override {}
    void addXY(Channel, double, double) override { ++points; }
    void addGapFill(Channel, double) override { ++points; }
    bool keepsPoints() const override { return false; }
    void record(const RecordEvent& event) override { events << describe(event, watched_); }
    QStringList events;
    long points = 0;

  private:
    Channel watched_;
};

QString reportText(const ImportResult& r) {
    const LogReport& p = r.report;
    return QStringLiteral(
               "%1 %2 lines=%3 steps=%4 fills=%5 filled=%6 longest=%7 back=%8 "
               "first=%9 last=%10 stop=%11 hobbs=%12-%13 title=%14")
        .arg(static_cast<int>(r.status))
        .arg(r.message)
        .arg(p.lines)
        .arg(p.dataSteps)
        .arg(p.gapFills)
        .arg(p.filledSeconds)
        .arg(p.longestGap)
        .arg(p.timeWentBack)
        .arg(p.firstTime.value_or(QString()), p.lastTime.value_or(QString()))
        .arg(p.stoppedAtLine.value_or(-1))
        .arg(r.panel.hobbsStart.value_or(QString()), r.panel.hobbsStop.value_or(QString()),
             r.panel.axisTitle.value_or(QString()));
}

}  // namespace

class TestRecordHook : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { std::setlocale(LC_ALL, "C"); }

    void records_data() {
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("gaps, time back, unknown and carried lines")
            << QByteArray(
                   "7,12/05/2024,10:00:00,50\n"
                   "99,unknown\n"
                   "7,12/05/2024,10:00:10.500,60\n"  // a gap fill of 10 s
                   "7\n"                             // carries the gap fill's time text
                   "7,13/05/2024,09:00:00,\n"        // time back; the value carried
                   "9,12/05/2024,09:00:01,1234,56,2450,85,1000,20\n")
            << QStringList{"1:7@36000 12/05/2024 0 50", "3:7@36010 12/05/2024 0 60",
                           "4:7@36010 12/05/2024 0 60", "5:7@32400 13/05/2024 0 60",
                           "6:9@32401 12/05/2024 1234 60"};
        QTest::newRow("a day-long jump, then a stop")
            << QByteArray("7,x,00:00:01,1\n7,x,23:59:59,2\n7,x,24:00:00,3\n7,x,00:00:02,4\n")
            << QStringList{"1:7@1 x 0 1", "2:7@86399 x 0 2"};
        // The second piece does not begin with a number: a record of the model before.
        QTest::newRow("a long line comes in pieces")
            << QByteArray("7,x,10:00:00,1") + QByteArray(1200, ' ') + "\n7,x,10:00:01,2\n"
            << QStringList{"1:7@36000 x 0 1", "2:7@36000 x 0 1", "3:7@36001 x 0 2"};
    }
    void records() {
        QFETCH(QByteArray, log);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        const QString path = writeLog(dir, log);
        HookedSink full(AirspeedSeries);
        const ImportResult withPoints = importInto(path, full);
        QCOMPARE(full.events, expected);
        // The hook comes before the record's own points: the first record's hook
        // sees none.
        QCOMPARE(full.eventsBeforePoints.value(0), 0L);

        RecordsOnlySink bare(AirspeedSeries);
        const ImportResult without = importLogFile(path, {}, bare, testOptions());
        QCOMPARE(bare.events, expected);
        QCOMPARE(bare.points, 0L);
        QCOMPARE(reportText(without), reportText(withPoints));
    }
};

QTEST_GUILESS_MAIN(TestRecordHook)
#include "test_record_hook.moc"
