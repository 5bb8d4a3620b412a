// A log read by several threads gives what the one-thread read gives: the same points
// of every channel in the same order, the same gap fills, legend, panel texts, report,
// status and message, wherever the parts are cut and whether the points are appended
// in one order or channel by channel.
#include <QtTest>
#include <clocale>
#include <random>

#include "import/log_import.h"
#include "tests/support/recording_sink.h"

using namespace zp;

namespace {

// A sink that keeps each channel apart and lets several threads append to distinct
// channels at once, as the chart's does.
class ChannelSink : public ImportSink {
  public:
    struct Entry {
        double x;
        double y;
        bool gapFill;
        bool operator==(const Entry&) const = default;
    };

    void clearSeries(Channel channel) override { entries[channel].clear(); }
    void setShowInLegend(Channel channel, bool on) override { legend[channel] = on; }
    void addXY(Channel channel, double x, double y) override {
        entries[channel].push_back(Entry{x, y, false});
    }
    void addGapFill(Channel channel, double x) override {
        entries[channel].push_back(Entry{x, 0.0, true});
    }
    bool appendsChannelsApart() const override { return true; }
    void reservePoints(Channel channel, std::size_t points) override {
        entries[channel].reserve(points);
    }

    std::array<std::vector<Entry>, kChannelCount> entries;
    std::array<bool, kChannelCount> legend{};
};

// Everything a load left, as text: the result and what the sink holds.
QString describe(const ImportResult& result, const PanelTexts& panel) {
    QString text;
    QTextStream out(&text);
    const LogReport& r = result.report;
    out << int(result.status) << '|' << result.message << '|' << panel.modelText << '|'
        << panel.countersVisible << '|' << panel.hobbsStart << '|' << panel.hobbsStop << '|'
        << panel.maintenanceStart << '|' << panel.maintenanceStop << '|'
        << result.panel.axisTitle.value_or(QStringLiteral("-")) << "\nreport " << r.lines << ' '
        << r.unknownLines << ' ' << r.incompleteRecords << ' ' << r.dataSteps << ' ' << r.gapFills
        << ' ' << r.filledSeconds << ' ' << r.longestGap << ' ' << r.timeWentBack << ' '
        << r.firstTime.value_or(QStringLiteral("-")) << ' '
        << r.lastTime.value_or(QStringLiteral("-")) << ' ' << r.stoppedAtLine.value_or(-1);
    for (const std::int64_t n : r.records) out << ' ' << n;
    return text;
}

// The points of each channel as "x,y" with a "g" after a gap fill, and the legend flags.
QString describe(const RecordingSink& sink) {
    QString text;
    QTextStream out(&text);
    for (int c = 0; c < kChannelCount; ++c) {
        out << "\nchannel " << c << " legend " << sink.legend[c] << ':';
        std::vector<bool> gap(sink.points[c].size());
        for (const std::size_t i : sink.gapFills[c]) gap[i] = true;
        for (std::size_t i = 0; i < gap.size(); ++i)
            out << ' ' << qSetRealNumberPrecision(17) << sink.points[c][i].x << ','
                << sink.points[c][i].y << (gap[i] ? "g" : "");
    }
    return text;
}

QString describe(const ChannelSink& sink) {
    QString text;
    QTextStream out(&text);
    for (int c = 0; c < kChannelCount; ++c) {
        out << "\nchannel " << c << " legend " << sink.legend[c] << ':';
        for (const ChannelSink::Entry& e : sink.entries[c])
            out << ' ' << qSetRealNumberPrecision(17) << e.x << ',' << e.y
                << (e.gapFill ? "g" : "");
    }
    return text;
}

ImportOptions optionsFor(int threads, std::int64_t partBytes, std::int64_t budget) {
    ImportOptions options = testOptions(testLocale(), budget);
    options.threads = threads;
    options.minPartBytes = partBytes;
    return options;
}

// The load of `path` into a recording sink (appends in one order) and into a channel
// sink (appends channel by channel), as text each.
struct Loads {
    QString recorded;
    QString apart;
};
Loads loadBoth(const QString& path, const ImportOptions& options) {
    RecordingSink recording;
    const ImportResult first = importLogFile(path, {}, recording, options);
    recording.show(first.panel);
    ChannelSink apart;
    const ImportResult second = importLogFile(path, {}, apart, options);
    PanelTexts panel;
    panel.apply(second.panel);
    return {describe(first, recording.panel) + describe(recording),
            describe(second, panel) + describe(apart)};
}

// Checks that every cut of `log` into parts, read by two or three threads, gives the
// one-thread result.
void checkEveryCut(const QByteArray& log, std::int64_t budget = std::int64_t{1} << 30) {
    QTemporaryDir dir;
    const QString path = writeLog(dir, log);
    QVERIFY(!path.isEmpty());
    const Loads one = loadBoth(path, optionsFor(1, 1, budget));
    QCOMPARE(one.apart, one.recorded);
    for (const int threads : {2, 3})
        for (const std::int64_t partBytes : {1, 2, 7, 40, 1000}) {
            const Loads split = loadBoth(path, optionsFor(threads, partBytes, budget));
            const QString where =
                QStringLiteral("%1 threads, parts of %2 bytes").arg(threads).arg(partBytes);
            if (split.recorded != one.recorded || split.apart != one.recorded)
                qWarning("differs with %s", qPrintable(where));
            QCOMPARE(split.recorded, one.recorded);
            QCOMPARE(split.apart, one.recorded);
        }
}

QByteArray airspeed(const char* time, const char* value = "120.5") {
    return QByteArray("7,12/05/2024,") + time + "," + value + "\n";
}

}  // namespace

class TestLogParts : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { std::setlocale(LC_ALL, "C"); }

    void splitRead_matchesOneThread_data() {
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<qint64>("budget");
        const qint64 plenty = qint64{1} << 30;
        QByteArray lines;
        for (int s = 0; s < 20; ++s)
            lines += airspeed(QByteArray("23:59:").append(QByteArray::number(40 + s)).constData());
        QTest::newRow("midnight") << lines + airspeed("00:00:00") + airspeed("00:00:01") << plenty;
        QTest::newRow("gaps and time going back")
            << airspeed("10:00:00") + airspeed("10:00:05") + airspeed("09:00:00", "3") +
                   airspeed("09:00:01") + airspeed("10:30:00", "7")
            << plenty;
        QTest::newRow("CR LF, lone CR, no final line feed")
            << QByteArray(
                   "7,d,10:00:00,1\r\n7,d,10:00:01,2\r\r\n\r\n7,d,10:00:02,3\r7,d,10:00:03,4")
            << plenty;
        QByteArray models;
        for (int m = 1; m <= 13; ++m) {
            models += QByteArray::number(m) + ",12/05/2024,10:00:0" + QByteArray::number(m % 10);
            for (int f = 0; f < 32; ++f) models += "," + QByteArray::number(m * 100 + f) + ".25";
            models += "\n";
        }
        QTest::newRow("every model") << models << plenty;
        QTest::newRow("lines of no model, blank lines, incomplete lines")
            << QByteArray("hello\n\n") + airspeed("10:00:00") + "x,y\n\n99,d,10:00:03,4\n" +
                   "3,d,10:00:01,9,,8\n" + "\n\n" + "  \n" + airspeed("10:00:02", "abc") +
                   "6,d,10:00:02,1,2\n"
            << plenty;
        QTest::newRow("date and time field, nan and inf")
            << QByteArray("2,12/05/2024,12/05/2024 10:00:05,100,200,300,400,\n") +
                   "1,d,10:00:06,12345,487,nan,inf,-inf,1e3,0x1p3,-0,+5\n" +
                   airspeed("10:00:07", "nan(12)")
            << plenty;
        QTest::newRow("a stop on an invalid time")
            << airspeed("10:00:00") + airspeed("10:00:01") + airspeed("25:00:00") +
                   airspeed("10:00:03")
            << plenty;
        QTest::newRow("the point budget") << airspeed("10:00:00") + airspeed("10:00:01") +
                                                 airspeed("10:00:30") + airspeed("10:00:31")
                                          << qint64{20};
        QTest::newRow("long lines in pieces")
            << airspeed("10:00:00") + "7,d,10:00:01," + QByteArray(2500, '5') + "\n" +
                   QByteArray(998, 'x') + "\r\n" + QByteArray(999, 'y') + "\r\n" +
                   QByteArray(999, 'z') + "\n" + airspeed("10:00:02")
            << qint64{7};
        QTest::newRow("NUL inside a line") << QByteArray(
                                                  "7,d,10:00:00,55\n7,d,10:00:01,6\0"
                                                  "6\n7,d,\0,5\n",
                                                  41)
                                           << plenty;
    }
    void splitRead_matchesOneThread() {
        QFETCH(QByteArray, log);
        QFETCH(qint64, budget);
        checkEveryCut(log, budget);
    }

    // Random lines of every kind, many seeds: the cuts fall anywhere.
    void splitRead_matchesOneThreadOnRandomLogs() {
        const QByteArray pieces[] = {
            "7,d,10:00:0", "1,12/05/2024,", "23:59:5", "00:00:0", ",",    "1", "9",   "-2.5", "e3",
            "\n",          "\r\n",          "\r",      "nan",     "3,d,", "x", "25:", "  ",   "13,",
        };
        for (int seed = 0; seed < 40; ++seed) {
            std::mt19937 rng(static_cast<unsigned>(seed));
            QByteArray log;
            const int count = 20 + static_cast<int>(rng() % 200);
            for (int i = 0; i < count; ++i) log += pieces[rng() % std::size(pieces)];
            checkEveryCut(log, 50 + static_cast<int>(rng() % 400));
        }
    }

    // A large log is read by several threads unless told otherwise; its points are the
    // same, and the channel sink was told roughly how many to expect.
    void largeLog_readInPartsByDefault() {
        QByteArray log;
        for (int i = 0; i < 60000; ++i) {
            const int s = 36000 + i / 4;
            log += "3,d," + QByteArray::number(s / 3600) + ":" +
                   QByteArray::number(s / 60 % 60).rightJustified(2, '0') + ":" +
                   QByteArray::number(s % 60).rightJustified(2, '0') + "," +
                   QByteArray::number(i % 97) + ".5,12.5,3," + QByteArray::number(i) + "\n";
        }
        QTemporaryDir dir;
        const QString path = writeLog(dir, log);
        ImportOptions options = optionsFor(0, 64 << 10, qint64{1} << 30);
        const Loads many = loadBoth(path, options);
        options.threads = 1;
        const Loads one = loadBoth(path, options);
        QCOMPARE(many.recorded, one.recorded);
        QCOMPARE(many.apart, one.recorded);
    }
};

QTEST_GUILESS_MAIN(TestLogParts)
#include "test_log_parts.moc"
