// One log file read into flights: where the records split, what each flight's figures
// hold (readings, carried values, non-finite values, units, counters, runs beyond
// limits, dates) and what a stopped or missing file keeps.
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <clocale>

#include "library/flight_reader.h"

using namespace zp;
using namespace zp::library;

namespace {

QString writeLog(const QTemporaryDir& dir, const QByteArray& text,
                 const QString& name = QStringLiteral("log.csv")) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(text);
    return path;
}

QByteArray airspeed(const char* time, const char* value = "50") {
    return QByteArray("7,12/05/2024,") + time + "," + value + "\n";
}

// The flights in one line: "L1-2 10:00:00-10:00:01 s1 r7=2 | ...".
QString outline(const FileFlights& file) {
    QStringList flights;
    for (const Flight& f : file.flights) {
        QString models;
        for (int id = 1; id <= kModelCount; ++id)
            if (f.records[static_cast<std::size_t>(id)])
                models +=
                    QStringLiteral(" r%1=%2").arg(id).arg(f.records[static_cast<std::size_t>(id)]);
        flights << QStringLiteral("L%1-%2 %3-%4 s%5%6")
                       .arg(f.firstLine)
                       .arg(f.lastLine)
                       .arg(secondText(f.startSecond), secondText(f.endSecond))
                       .arg(f.seconds)
                       .arg(models);
    }
    return flights.join(QStringLiteral(" | "));
}

const ChannelFigures& figuresOf(const Flight& flight, Channel channel) {
    static const ChannelFigures none{-1, 0, 0, 0, 0, 0};
    const auto& f = flight.channels[static_cast<std::size_t>(channel)];
    return f ? *f : none;
}

}  // namespace

class TestFlightReader : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { std::setlocale(LC_ALL, "C"); }

    void split_data() {
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<qint64>("gap");
        QTest::addColumn<QString>("expected");
        QTest::newRow("d = 300 stays in the flight")
            << airspeed("10:00:00") + airspeed("10:05:00") << qint64(300)
            << "L1-2 10:00:00-10:05:00 s300 r7=2";
        QTest::newRow("d = 301 starts one-record flights")
            << airspeed("10:00:00") + airspeed("10:05:01") << qint64(300)
            << "L1-1 10:00:00-10:00:00 s0 r7=1 | L2-2 10:05:01-10:05:01 s0 r7=1";
        QTest::newRow("the gap is a setting")
            << airspeed("10:00:00") + airspeed("10:00:11") + airspeed("10:00:21") << qint64(10)
            << "L1-1 10:00:00-10:00:00 s0 r7=1 | L2-3 10:00:11-10:00:21 s10 r7=2";
        QTest::newRow("midnight is one second")
            << airspeed("23:59:59") + airspeed("00:00:00") + airspeed("00:00:03") << qint64(300)
            << "L1-3 23:59:59-00:00:03 s4 r7=3";
        QTest::newRow("time going back is a day less the step")
            << airspeed("10:00:10") + airspeed("10:00:05") << qint64(300)
            << "L1-1 10:00:10-10:00:10 s0 r7=1 | L2-2 10:00:05-10:00:05 s0 r7=1";
        QTest::newRow("same second repeated")
            << airspeed("10:00:00") + airspeed("10:00:00") + airspeed("10:00:00") << qint64(300)
            << "L1-3 10:00:00-10:00:00 s0 r7=3";
        QTest::newRow("a date-and-time field splits on its time of day")
            << QByteArray(
                   "7,x,12/05/2024 10:00:00,50\n7,x,12/06/2024 10:00:02,50\n"
                   "7,x,12/06/2024 11:00:00,50\n")
            << qint64(300) << "L1-2 10:00:00-10:00:02 s2 r7=2 | L3-3 11:00:00-11:00:00 s0 r7=1";
        QTest::newRow("unknown lines belong to no flight")
            << QByteArray("99,junk\n") + airspeed("10:00:00") + "42,12/05/2024,10:30:00\n" +
                   airspeed("10:00:04") + "0\n" + airspeed("12:00:00") + "99\n"
            << qint64(300) << "L2-4 10:00:00-10:00:04 s4 r7=2 | L6-6 12:00:00-12:00:00 s0 r7=1";
        QTest::newRow("models mix in one flight")
            << airspeed("10:00:00") + "10,12/05/2024,10:00:01,1,2,2450,85,1000,20\n" +
                   "12,12/05/2024,10:00:02,1,2,3,0,0,90,1\n"
            << qint64(300) << "L1-3 10:00:00-10:00:02 s2 r7=1 r10=1 r12=1";
        QTest::newRow("no record, no flight")
            << QByteArray("99,nothing\nhello\n") << qint64(300) << "";
        QTest::newRow("gap zero splits at every new second")
            << airspeed("10:00:00") + airspeed("10:00:00") + airspeed("10:00:01") << qint64(0)
            << "L1-2 10:00:00-10:00:00 s0 r7=2 | L3-3 10:00:01-10:00:01 s0 r7=1";
    }
    void split() {
        QFETCH(QByteArray, log);
        QFETCH(qint64, gap);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        FlightOptions options;
        options.splitGap = gap;
        const FileFlights file = readFlights(writeLog(dir, log), options);
        QCOMPARE(outline(file), expected);
        QCOMPARE(file.status, expected.isEmpty() ? FileStatus::NotALog : FileStatus::Indexed);
        for (std::size_t i = 0; i < file.flights.size(); ++i)
            QCOMPARE(file.flights[i].index, static_cast<int>(i));
    }

    // Readings: the value store after each parse (values carried from the line before),
    // converted with the unit selectors, non-finite values left out.
    void readings_carriedConvertedAndFinite() {
        QTemporaryDir dir;
        const QString path = writeLog(dir,
                                      "10,12/05/2024,10:00:00,1234,56,2450,85,1000,20\n"
                                      "10,12/05/2024,10:00:01,1235,57,nan,inf,1000,-40\n"
                                      "10,12/05/2024,10:00:02,1236,58,2500\n");
        FlightOptions options;
        options.units[MapUnit] = 1;  // inches of mercury
        options.units[OatUnit] = 1;  // Fahrenheit
        const FileFlights file = readFlights(path, options);
        QCOMPARE(file.flights.size(), std::size_t{1});
        const Flight& f = file.flights[0];
        // RPM: 2450, nan (left out), 2500.
        const ChannelFigures& rpm = figuresOf(f, RPM1Series);
        QCOMPARE(rpm.count, 2);
        QCOMPARE(rpm.minimum, 2450.0);
        QCOMPARE(rpm.maximum, 2500.0);
        QCOMPARE(rpm.mean, 2475.0);
        // RPM %: 85, inf (left out), then inf carried over (left out again).
        const ChannelFigures& percent = figuresOf(f, RPM1PSeries);
        QCOMPARE(percent.count, 1);
        QCOMPARE(percent.mean, 85.0);
        // OAT in Fahrenheit: 68, -40, -40 carried.
        const ChannelFigures& oat = figuresOf(f, OATSeries);
        QCOMPARE(oat.count, 3);
        QCOMPARE(oat.minimum, -40.0);
        QCOMPARE(oat.maximum, 68.0);
        QCOMPARE(oat.mean, (68.0 - 40.0 - 40.0) / 3);
        const double map = static_cast<double>(static_cast<float>(1000.0L * 0.02953));
        QCOMPARE(figuresOf(f, MAPSeries).count, 3);
        QCOMPARE(figuresOf(f, MAPSeries).maximum, map);
        // Channels of no record of the flight have no figures.
        QCOMPARE(figuresOf(f, AirspeedSeries).count, -1);
        QCOMPARE(figuresOf(f, VoltsSeries).count, -1);
    }

    // The mean is the double sum in record order over the count.
    void readings_meanInRecordOrder() {
        QTemporaryDir dir;
        const QString path =
            writeLog(dir, airspeed("10:00:00", "0.1") + airspeed("10:00:01", "0.2") +
                              airspeed("10:00:02", "0.3"));
        const FileFlights file = readFlights(path, FlightOptions{});
        const double expected =
            ((static_cast<double>(0.1f) + static_cast<double>(0.2f)) + static_cast<double>(0.3f)) /
            3;
        QCOMPARE(figuresOf(file.flights[0], AirspeedSeries).mean, expected);
    }

    // Counters of the models that carry them: first and last such record per flight.
    void counters_perFlight() {
        QTemporaryDir dir;
        const QString path = writeLog(dir, airspeed("09:59:59") +
                                               "10,12/05/2024,10:00:00,100,7,2450,85,1000,20\n"
                                               "10,12/05/2024,10:00:01,101,8,2450,85,1000,20\n" +
                                               airspeed("10:00:02") + airspeed("11:00:00") +
                                               "9,12/05/2024,11:00:01,105,9,1,2,3,4\n"
                                               "9,12/05/2024,11:00:02,106,9,1,2,3,4\n" +
                                               airspeed("12:00:00"));
        const FileFlights file = readFlights(path, FlightOptions{});
        QCOMPARE(file.flights.size(), std::size_t{3});
        QVERIFY(file.flights[0].hobbs && file.flights[0].maintenance);
        QCOMPARE(file.flights[0].hobbs->start, 100);
        QCOMPARE(file.flights[0].hobbs->end, 101);
        QCOMPARE(file.flights[0].maintenance->start, 7);
        QCOMPARE(file.flights[0].maintenance->end, 8);
        QCOMPARE(file.flights[1].hobbs->start, 105);
        QCOMPARE(file.flights[1].hobbs->end, 106);
        QVERIFY(!file.flights[2].hobbs);
        QVERIFY(!file.flights[2].maintenance);
    }

    void exceedances_runs_data() {
        QTest::addColumn<QList<QByteArray>>("values");
        QTest::addColumn<qint64>("high");
        QTest::addColumn<qint64>("low");
        // Limits 20 and 100.
        QTest::newRow("runs above and below")
            << QList<QByteArray>{"50", "120", "130", "50", "140", "10", "5", "30"} << qint64(2)
            << qint64(1);
        QTest::newRow("equal to a limit is inside")
            << QList<QByteArray>{"100", "20", "100", "101", "100", "19.999"} << qint64(1)
            << qint64(1);
        QTest::newRow("a non-finite value ends a run")
            << QList<QByteArray>{"120", "nan", "130", "inf", "140", "5", "-inf", "5"} << qint64(3)
            << qint64(2);
        QTest::newRow("straight from high to low")
            << QList<QByteArray>{"120", "5", "120", "5"} << qint64(2) << qint64(2);
    }
    void exceedances_runs() {
        QFETCH(QList<QByteArray>, values);
        QFETCH(qint64, high);
        QFETCH(qint64, low);
        QByteArray log;
        for (int i = 0; i < values.size(); ++i)
            log += airspeed(qPrintable(QStringLiteral("10:00:%1").arg(i, 2, 10, QLatin1Char('0'))),
                            values[i].constData());
        QTemporaryDir dir;
        FlightOptions options;
        options.limits[AirspeedSeries] = Limits{20, 100};
        const FileFlights file = readFlights(writeLog(dir, log), options);
        QCOMPARE(file.flights.size(), std::size_t{1});
        QCOMPARE(figuresOf(file.flights[0], AirspeedSeries).highRuns, high);
        QCOMPARE(figuresOf(file.flights[0], AirspeedSeries).lowRuns, low);
    }

    // A run does not go on into the next flight.
    void exceedances_endWithTheFlight() {
        QTemporaryDir dir;
        FlightOptions options;
        options.limits[AirspeedSeries] = Limits{20, 100};
        const FileFlights file = readFlights(
            writeLog(dir, airspeed("10:00:00", "120") + airspeed("11:00:00", "130")), options);
        QCOMPARE(file.flights.size(), std::size_t{2});
        QCOMPARE(figuresOf(file.flights[0], AirspeedSeries).highRuns, 1);
        QCOMPARE(figuresOf(file.flights[1], AirspeedSeries).highRuns, 1);
    }

    // The date field read with the regional settings; the file's date when it is no date.
    void dates() {
        QTemporaryDir dir;
        const QString path = writeLog(dir, QByteArray("7,12/05/2024,10:00:00,50\n"
                                                      "7,junk,11:00:00,50\n"
                                                      "7,3/4/24 10:00,12:00:00,50\n"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        const QDateTime stamp(QDate(2023, 7, 14), QTime(12, 0));
        QVERIFY(file.setFileTime(stamp, QFileDevice::FileModificationTime));
        file.close();
        FlightOptions options;
        options.locale.currentYear = 2025;
        FileFlights read = readFlights(path, options);
        QCOMPARE(read.flights.size(), std::size_t{3});
        QCOMPARE(read.flights[0].dateText, QStringLiteral("12/05/2024"));
        QCOMPARE(read.flights[0].date, QDate(2024, 12, 5));
        QVERIFY(read.flights[0].dateFromText);
        QCOMPARE(read.flights[1].date, QDate(2023, 7, 14));
        QVERIFY(!read.flights[1].dateFromText);
        QCOMPARE(read.flights[2].date, QDate(2024, 3, 4));
        options.locale.dateOrder = DateTimeLocale::DateOrder::DayMonthYear;
        read = readFlights(path, options);
        QCOMPARE(read.flights[0].date, QDate(2024, 5, 12));
    }

    // A time field that stops the import: the flights before its line stay.
    void stoppedFile_keepsFlightsBeforeTheStop() {
        QTemporaryDir dir;
        const QString path =
            writeLog(dir, airspeed("09:00:00") + airspeed("10:00:00") + airspeed("10:00:01") +
                              airspeed("25:00:00") + airspeed("10:00:03"));
        const FileFlights file = readFlights(path, FlightOptions{});
        QCOMPARE(file.status, FileStatus::Stopped);
        QCOMPARE(file.message, QStringLiteral("'25:00:00' is not a valid date and time"));
        QCOMPARE(file.stoppedAtLine, std::optional<std::int64_t>(4));
        QCOMPARE(outline(file),
                 QStringLiteral("L1-1 09:00:00-09:00:00 s0 r7=1 | L2-3 10:00:00-10:00:01 s1 r7=2"));
    }

    void missingFile_isUnreadable() {
        QTemporaryDir dir;
        const FileFlights file = readFlights(dir.filePath(QStringLiteral("none.csv")), {});
        QCOMPARE(file.status, FileStatus::Unreadable);
        QVERIFY(file.flights.empty());
    }

    // Gap fills cost the sink no points: a file whose times jump across the day at
    // every other line, far past any point budget, reads to its end.
    void longGaps_needNoPoints() {
        QByteArray log;
        for (int i = 0; i < 2000; ++i) log += airspeed(i % 2 ? "23:59:00" : "00:00:10");
        QTemporaryDir dir;
        const FileFlights file = readFlights(writeLog(dir, log), FlightOptions{});
        QCOMPARE(file.status, FileStatus::Indexed);
        // 00:00:10 -> 23:59:00 splits, 23:59:00 -> 00:00:10 (70 s) does not.
        QCOMPARE(file.flights.size(), std::size_t{1001});
        QCOMPARE(file.flights[1].seconds, 70);
    }
};

QTEST_GUILESS_MAIN(TestFlightReader)
#include "test_flight_reader.moc"
