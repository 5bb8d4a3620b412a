// logdump --flights --trend run as a program: each requested line holds one point per
// flight with readings of the series, its X the flight's date-time and its Y the figure
// the flights report gives; the output before "trend" is the output without it; the
// trend chart drawn with --layout and --render; and the bad options.
#include <QDate>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "tests/support/logdump_run.h"

namespace {

using zp::test::runLogdump;

void writeFile(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(text);
}

// a.csv: a flight with rpm and airspeed records, then one of airspeed only the next day;
// b.csv: one flight over midnight.
void writeLogs(const QString& root) {
    writeFile(root + QStringLiteral("/logs/a.csv"),
              "10,12/05/2024,10:00:00,100,7,2450,85,1000,20\n"
              "10,12/05/2024,10:00:02,101,8,2500,90,1000,-40\n"
              "7,12/05/2024,10:00:03,130\n"
              "7,13/05/2024,10:10:00,40\n"
              "7,13/05/2024,10:10:01,45\n");
    writeFile(root + QStringLiteral("/logs/b.csv"),
              "7,20/05/2024,23:59:59,60\n7,20/05/2024,00:00:01,70\n");
}

// The date-time the chart gives a flight: its date (the file's modification date when the
// report has none) and its start ("hh:nn:ss").
double dateTime(const QJsonValue& flight, const QString& folder) {
    QDate date = QDate::fromString(flight[QStringLiteral("date")].toString(), Qt::ISODate);
    if (!date.isValid())
        date = QFileInfo(folder + u'/' + flight[QStringLiteral("file")].toString())
                   .lastModified()
                   .date();
    const QStringList hms = flight[QStringLiteral("start")].toString().split(u':');
    return static_cast<double>(QDate(1899, 12, 30).daysTo(date)) +
           (hms[0].toInt() * 3600 + hms[1].toInt() * 60 + hms[2].toInt()) / 86400.0;
}

// Standard error without the notes Qt itself may print.
QByteArray ownLines(const QByteArray& err) {
    QByteArray out;
    for (const QByteArray& line : err.split('\n'))
        if (!line.isEmpty() && !line.startsWith("QStandardPaths:")) out += line + '\n';
    return out;
}

}  // namespace

class TestLogdumpTrend : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        QVERIFY2(QFile::exists(QStringLiteral(ZP_BINARY_DIR "/bin/logdump")),
                 "build the logdump target first");
    }

    void trend_pointsFromTheFlightsFigures() {
        QTemporaryDir dir;
        writeLogs(dir.path());
        const QStringList asked = {QStringLiteral("AirspeedSeries:max"),
                                   QStringLiteral("RPM1Series:min"),
                                   QStringLiteral("AirspeedSeries:mean")};
        QStringList args = {QStringLiteral("--flights"), QStringLiteral("logs")};
        for (const QString& t : asked) args << QStringLiteral("--trend") << t;
        const zp::test::LogdumpRun run = runLogdump(args, dir.path());
        QCOMPARE(run.exitCode, 0);
        const QJsonArray flights = run.report[QStringLiteral("flights")].toArray();
        QCOMPARE(flights.size(), 3);
        const QJsonArray trend = run.report[QStringLiteral("trend")].toArray();
        QCOMPARE(trend.size(), asked.size());
        for (qsizetype k = 0; k < asked.size(); ++k) {
            const QJsonObject line = trend[k].toObject();
            const QString series = asked[k].section(u':', 0, 0);
            const QString statistic = asked[k].section(u':', 1);
            QCOMPARE(line[QStringLiteral("series")].toString(), series);
            QCOMPARE(line[QStringLiteral("statistic")].toString(), statistic);
            // Expected: a point per flight that has readings of the series, in flight order.
            QJsonArray expected;
            for (const QJsonValue& f : flights) {
                const QJsonObject figures =
                    f[QStringLiteral("series")].toObject()[series].toObject();
                if (figures.isEmpty()) continue;
                expected.append(QJsonArray{dateTime(f, dir.path()), figures[statistic].toDouble()});
            }
            QCOMPARE(line[QStringLiteral("points")].toArray(), expected);
        }
        // The rpm line leaves out the airspeed-only flights; the airspeed line has all three.
        QCOMPARE(trend[1].toObject()[QStringLiteral("points")].toArray().size(), 1);
        QCOMPARE(trend[0].toObject()[QStringLiteral("points")].toArray().size(), 3);
    }

    void trend_addsToTheReportAndChangesNothingBefore() {
        QTemporaryDir dir;
        writeLogs(dir.path());
        const QStringList plain = {QStringLiteral("--flights"), QStringLiteral("logs"),
                                   QStringLiteral("--limit"),
                                   QStringLiteral("AirspeedSeries::100")};
        const zp::test::LogdumpRun without = runLogdump(plain, dir.path());
        const zp::test::LogdumpRun with = runLogdump(
            plain + QStringList{QStringLiteral("--trend"), QStringLiteral("TC1Series:max")},
            dir.path());
        QCOMPARE(without.exitCode, 0);
        QCOMPARE(with.exitCode, 0);
        QVERIFY(without.out.endsWith("]\n}\n"));
        QVERIFY(with.out.startsWith(without.out.chopped(3)));
        // No flight has TC1 readings: the line is there, without points.
        const QJsonObject line = with.report[QStringLiteral("trend")].toArray()[0].toObject();
        QCOMPARE(line[QStringLiteral("points")].toArray(), QJsonArray());
    }

    void render_theTrendChart() {
        QTemporaryDir dir;
        writeLogs(dir.path());
        const zp::test::LogdumpRun run = runLogdump(
            {QStringLiteral("--flights"), QStringLiteral("logs"), QStringLiteral("--trend"),
             QStringLiteral("AirspeedSeries:max"), QStringLiteral("--limit"),
             QStringLiteral("AirspeedSeries::100"), QStringLiteral("--layout"),
             QStringLiteral("600x400"), QStringLiteral("--render"), QStringLiteral("trend.bmp")},
            dir.path());
        QCOMPARE(run.exitCode, 0);
        const QImage image(dir.filePath(QStringLiteral("trend.bmp")));
        QCOMPARE(image.size(), QSize(600, 400));
        const QJsonObject layout = run.report[QStringLiteral("layout")].toObject();
        QCOMPARE(layout[QStringLiteral("width")].toInt(), 600);
        QCOMPARE(layout[QStringLiteral("legend")].toObject()[QStringLiteral("items")].toArray(),
                 QJsonArray{QStringLiteral("AirspeedSeries:max")});
        const QJsonObject bottom =
            layout[QStringLiteral("axes")].toObject()[QStringLiteral("bottom")].toObject();
        QVERIFY(bottom[QStringLiteral("dateTime")].toBool());
        // Dates of the flights along the bottom, each label once.
        QStringList texts;
        for (const QJsonValue& label : bottom[QStringLiteral("labels")].toArray())
            texts << label[QStringLiteral("text")].toString();
        QVERIFY(texts.size() >= 2);
        QCOMPARE(texts.removeDuplicates(), 0);
    }

    // genlog --drift raises one value by its step once a flight, counting from
    // --first-flight: the trend of the maxima climbs by exactly that over the plain file.
    void genlogDrift_showsInTheTrend() {
        const QString genlog = QStringLiteral(ZP_BINARY_DIR "/bin/genlog");
        QVERIFY2(QFile::exists(genlog), "build the genlog target first");
        QTemporaryDir dir;
        const QStringList common = {"--model", "1",     "--minutes", "6",       "--flights",
                                    "3",       "--gap", "900",       "--start", "08:00:00"};
        QCOMPARE(QProcess::execute(genlog, common + QStringList{"-o", dir.filePath("plain.csv")}),
                 0);
        QCOMPARE(
            QProcess::execute(genlog, common + QStringList{"--drift", "cht1:2", "--first-flight",
                                                           "3", "-o", dir.filePath("drift.csv")}),
            0);
        const auto maxima = [&dir](const QString& file) {
            const zp::test::LogdumpRun run =
                runLogdump({"--flights", file, "--trend", "TC5Series:max"}, dir.path());
            QList<double> out;
            for (const QJsonValue& p :
                 run.report["trend"].toArray()[0].toObject()["points"].toArray())
                out << p.toArray()[1].toDouble();
            return out;
        };
        const QList<double> plain = maxima(QStringLiteral("plain.csv"));
        const QList<double> drift = maxima(QStringLiteral("drift.csv"));
        QCOMPARE(plain.size(), 3);
        QCOMPARE(drift.size(), 3);
        for (int k = 0; k < 3; ++k) QCOMPARE(drift[k] - plain[k], 2.0 * (3 + k));
        QCOMPARE(QProcess::execute(genlog, common + QStringList{"--drift", "cht9:2"}), 2);
        QCOMPARE(QProcess::execute(genlog, common + QStringList{"--drift", "cht1"}), 2);
    }

    void badOptions_exitTwoWithoutAReport_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("statistic") << QStringList{"--flights", "logs", "--trend", "TC1Series:avg"};
        QTest::newRow("no statistic") << QStringList{"--flights", "logs", "--trend", "TC1Series"};
        QTest::newRow("unknown series") << QStringList{"--flights", "logs", "--trend", "TC1:max"};
        QTest::newRow("no value") << QStringList{"--flights", "logs", "--trend"};
        QTest::newRow("without --flights") << QStringList{"--trend", "TC1Series:max", "logs/a.csv"};
        QTest::newRow("layout without trend")
            << QStringList{"--flights", "logs", "--layout", "600x400"};
        QTest::newRow("render without layout")
            << QStringList{"--flights", "logs", "--trend", "TC1Series:max", "--render", "x.bmp"};
        QTest::newRow("bad size") << QStringList{"--flights",     "logs",     "--trend",
                                                 "TC1Series:max", "--layout", "0x400"};
    }
    void badOptions_exitTwoWithoutAReport() {
        QFETCH(QStringList, args);
        QTemporaryDir dir;
        writeLogs(dir.path());
        const zp::test::LogdumpRun run = runLogdump(args, dir.path());
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.out, QByteArray());
        const QByteArray err = ownLines(run.err);
        QVERIFY2(err.startsWith("logdump: "), err.constData());
        QCOMPARE(err.count('\n'), 1);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("x.bmp"))));
    }
};

QTEST_GUILESS_MAIN(TestLogdumpTrend)
#include "test_logdump_trend.moc"
