// logdump run as a program: its report of the start-up state, of a load under a
// settings file, of a load that stops on an error, and its exit codes.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <bit>

#include "channels/catalogue.h"
#include "tests/support/logdump_run.h"

namespace {

using Run = zp::test::LogdumpRun;

Run logdump(const QStringList& args) {
    return zp::test::runLogdump(args);
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    return path;
}

QJsonObject seriesNamed(const QJsonObject& report, const char* name) {
    for (const QJsonValue& s : report[QStringLiteral("series")].toArray())
        if (s[QStringLiteral("name")].toString() == QLatin1String(name)) return s.toObject();
    return {};
}

}  // namespace

class TestLogdump : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(QFile::exists(QStringLiteral(ZP_BINARY_DIR "/bin/logdump")),
                 "build the logdump target first");
    }

    void report_startUpState() {
        const Run run = logdump({});
        QCOMPARE(run.exitCode, 0);
        const QJsonObject& r = run.report;
        QCOMPARE(r[QStringLiteral("status")].toString(), QStringLiteral("none"));
        QCOMPARE(r[QStringLiteral("message")].toString(), QString());
        QCOMPARE(r[QStringLiteral("model")].toString(), QStringLiteral("x"));
        QCOMPARE(r[QStringLiteral("axisTitle")].toString(), QStringLiteral("Date"));
        QCOMPARE(r[QStringLiteral("countersVisible")].toBool(), true);
        QCOMPARE(r[QStringLiteral("hobbsStart")].toString(), QStringLiteral("0"));
        QCOMPARE(r[QStringLiteral("units")].toArray().size(), 14);
        const QJsonArray series = r[QStringLiteral("series")].toArray();
        QCOMPARE(series.size(), zp::kChannelCount);
        for (int c = 0; c < zp::kChannelCount; ++c) {
            const QJsonObject s = series[c].toObject();
            QCOMPARE(s[QStringLiteral("name")].toString(), QLatin1String(zp::kChannels[c].name));
            QCOMPARE(s[QStringLiteral("title")].toString(), QLatin1String(zp::kChannels[c].title));
            QVERIFY(s[QStringLiteral("active")].toBool());
            QVERIFY(s[QStringLiteral("inLegend")].toBool());
            QCOMPARE(s[QStringLiteral("dateTime")].toBool(), c == zp::RPM1Series);
            QCOMPARE(s[QStringLiteral("points")].toArray().size(), c == zp::RPM1Series ? 25 : 0);
        }
        const QJsonArray rpm = seriesNamed(r, "RPM1Series")[QStringLiteral("points")].toArray();
        QCOMPARE(rpm[1].toArray()[0].toDouble(), 1.0);
        QCOMPARE(rpm[1].toArray()[1].toDouble(), 907.5);
    }

    // A load under a settings file: its unit bytes convert, its flag bytes switch the
    // series, a short file leaves the rest zero.
    void report_loadWithSettings() {
        QTemporaryDir dir;
        QByteArray settings(43, '\0');
        settings[0] = 1;   // MapUnit: millibar to inches
        settings[12] = 1;  // OatUnit: Fahrenheit
        settings[15] = 1;  // RPM1Series active
        settings[42] = 1;  // FuelLevelCalcSeries active (byte 42, last in chart order)
        const QString settingsPath = writeFile(dir, QStringLiteral("Settings.bin"), settings);
        const QString log = writeFile(dir, QStringLiteral("m10.csv"),
                                      "10,12/05/2024,10:00:00,1234,56,2450,85,1000,20\n"
                                      "10,12/05/2024,10:00:01,1235,57,nan,inf,1000,-40\n");
        const Run run = logdump({QStringLiteral("--settings"), settingsPath, log});
        QCOMPARE(run.exitCode, 0);
        const QJsonObject& r = run.report;
        QCOMPARE(r[QStringLiteral("status")].toString(), QStringLiteral("loaded"));
        QCOMPARE(r[QStringLiteral("message")].toString(), QStringLiteral("File Loaded!"));
        QCOMPARE(r[QStringLiteral("model")].toString(), QStringLiteral("Pexo CY-33 / Zimra CY-34"));
        QCOMPARE(r[QStringLiteral("axisTitle")].toString(), QStringLiteral("12/05/2024"));
        QCOMPARE(r[QStringLiteral("hobbsStart")].toString(), QStringLiteral("1234"));
        QCOMPARE(r[QStringLiteral("hobbsStop")].toString(), QStringLiteral("1235"));
        QCOMPARE(r[QStringLiteral("maintenanceStop")].toString(), QStringLiteral("57"));
        QCOMPARE(r[QStringLiteral("units")].toArray()[0].toInt(), 1);
        QCOMPARE(r[QStringLiteral("units")].toArray()[12].toInt(), 1);

        const QJsonObject map = seriesNamed(r, "MAPSeries");
        QVERIFY(!map[QStringLiteral("active")].toBool());
        QVERIFY(map[QStringLiteral("inLegend")].toBool());
        const QJsonArray mapPoints = map[QStringLiteral("points")].toArray();
        QCOMPARE(mapPoints.size(), 2);
        QCOMPARE(mapPoints[0].toArray()[0].toDouble(), 36000 * 1000 / 86400000.0);
        QCOMPARE(mapPoints[0].toArray()[1].toDouble(),
                 static_cast<double>(static_cast<float>(1000.0L * 0.02953)));
        const QJsonArray oat = seriesNamed(r, "OATSeries")[QStringLiteral("points")].toArray();
        QCOMPARE(oat[0].toArray()[1].toDouble(), 68.0);
        QCOMPARE(oat[1].toArray()[1].toDouble(), -40.0);
        const QJsonArray rpm = seriesNamed(r, "RPM1Series")[QStringLiteral("points")].toArray();
        QCOMPARE(rpm[1].toArray()[1].toString(), QStringLiteral("nan"));
        const QJsonArray rpmP = seriesNamed(r, "RPM1PSeries")[QStringLiteral("points")].toArray();
        QCOMPARE(rpmP[1].toArray()[1].toString(), QStringLiteral("inf"));
        QVERIFY(seriesNamed(r, "RPM1Series")[QStringLiteral("active")].toBool());
        QVERIFY(seriesNamed(r, "FuelLevelCalcSeries")[QStringLiteral("active")].toBool());
        QVERIFY(!seriesNamed(r, "FuelLevel2Series")[QStringLiteral("active")].toBool());
        QVERIFY(!seriesNamed(r, "HeadingSeries")[QStringLiteral("active")].toBool());
        QVERIFY(!seriesNamed(r, "VoltsSeries")[QStringLiteral("inLegend")].toBool());
        QVERIFY(seriesNamed(r, "VoltsSeries")[QStringLiteral("dateTime")].toBool());
    }

    // Every number reads back as the same double.
    void report_numbersRoundTrip() {
        QTemporaryDir dir;
        const QString log =
            writeFile(dir, QStringLiteral("m3.csv"), "3,d,10:00:01,0.1,13.8,1e-45,3.4028235e38\n");
        const Run run = logdump({log});
        const QJsonArray g = seriesNamed(run.report, "GForceSeries")[QStringLiteral("points")]
                                 .toArray()[0]
                                 .toArray();
        QCOMPARE(std::bit_cast<quint64>(g[0].toDouble()),
                 std::bit_cast<quint64>(36001 * 1000 / 86400000.0));
        QCOMPARE(g[1].toDouble(), static_cast<double>(0.1f));
        QVERIFY(run.out.contains("0.10000000149011612"));
        const auto y = [&](const char* name) {
            return seriesNamed(run.report, name)[QStringLiteral("points")]
                .toArray()[0]
                .toArray()[1]
                .toDouble();
        };
        QCOMPARE(y("CurrentSeries"), static_cast<double>(1e-45f));
        QCOMPARE(y("OATSeries"), static_cast<double>(3.4028235e38f));
    }

    void report_summaryCounts() {
        QTemporaryDir dir;
        const QString log =
            writeFile(dir, QStringLiteral("m7.csv"), "7,d,10:00:00,50\n7,d,10:00:05,60\n");
        const Run run = logdump({QStringLiteral("--summary"), log});
        QCOMPARE(run.exitCode, 0);
        const QJsonObject air = seriesNamed(run.report, "AirspeedSeries");
        QCOMPARE(air[QStringLiteral("count")].toInt(), 7);
        QVERIFY(!air.contains(QStringLiteral("points")));
    }

    void exit_errorOpenFailedAndBadArguments() {
        QTemporaryDir dir;
        const QString bad =
            writeFile(dir, QStringLiteral("bad.csv"), "7,d,10:00:00,50\n7,d,25:00:00,60\n");
        const Run error = logdump({bad});
        QCOMPARE(error.exitCode, 1);
        QCOMPARE(error.report[QStringLiteral("status")].toString(), QStringLiteral("error"));
        QCOMPARE(error.report[QStringLiteral("message")].toString(),
                 QStringLiteral("'25:00:00' is not a valid date and time"));
        QCOMPARE(
            seriesNamed(error.report, "AirspeedSeries")[QStringLiteral("points")].toArray().size(),
            1);

        const Run missing = logdump({dir.filePath(QStringLiteral("missing.csv"))});
        QCOMPARE(missing.exitCode, 2);
        QCOMPARE(missing.report[QStringLiteral("status")].toString(),
                 QStringLiteral("open-failed"));
        QCOMPARE(missing.report[QStringLiteral("message")].toString(),
                 QStringLiteral("File does not exist."));
        QVERIFY(!missing.err.isEmpty());

        for (const QStringList& args :
             {QStringList{QStringLiteral("--nope")}, QStringList{QStringLiteral("--settings")},
              QStringList{QStringLiteral("--layout"), QStringLiteral("80")},
              QStringList{QStringLiteral("--render"), dir.filePath(QStringLiteral("x.bmp"))},
              QStringList{QStringLiteral("a.csv"), QStringLiteral("b.csv")}}) {
            const Run run = logdump(args);
            QCOMPARE(run.exitCode, 2);
            QVERIFY(run.out.isEmpty());
            QVERIFY(run.err.contains("usage: logdump"));
        }
    }

    // The settings file is only read: a missing one gives the defaults and is not made.
    void settings_missingFileGivesDefaults() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Settings.bin"));
        const Run run = logdump({QStringLiteral("--settings"), path});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(!QFile::exists(path));
        QVERIFY(seriesNamed(run.report, "HeadingSeries")[QStringLiteral("active")].toBool());
        const QString empty = writeFile(dir, QStringLiteral("empty.bin"), QByteArray());
        const Run zero = logdump({QStringLiteral("--settings"), empty});
        QVERIFY(!seriesNamed(zero.report, "HeadingSeries")[QStringLiteral("active")].toBool());
    }

    // The analysis options add their fields and change nothing else.
    void analysis_addsOnlyItsFields() {
        QTemporaryDir dir;
        const QString log = writeFile(dir, QStringLiteral("m7.csv"),
                                      "7,d,10:00:00,50\n7,d,10:00:01,80\n7,d,10:00:05,90\n"
                                      "7,d,10:00:06,nan\n7,d,10:00:07,95\nx\n");
        const Run plain = logdump({log});
        QVERIFY(!plain.out.contains("\"report\"") && !plain.out.contains("\"stats\""));
        const Run run =
            logdump({QStringLiteral("--report"), QStringLiteral("--stats"),
                     QStringLiteral("--limit"), QStringLiteral("AirspeedSeries::85"), log});
        QCOMPARE(run.exitCode, 0);
        QJsonObject stripped = run.report;
        stripped.remove(QStringLiteral("report"));
        QJsonArray series;
        for (const QJsonValue& s : stripped[QStringLiteral("series")].toArray()) {
            QJsonObject o = s.toObject();
            o.remove(QStringLiteral("stats"));
            o.remove(QStringLiteral("exceedances"));
            series.append(o);
        }
        stripped[QStringLiteral("series")] = series;
        QCOMPARE(stripped, plain.report);

        const QJsonObject report = run.report[QStringLiteral("report")].toObject();
        QCOMPARE(report[QStringLiteral("lines")].toInt(), 6);
        QCOMPARE(report[QStringLiteral("records")].toObject().size(), 13);
        QCOMPARE(report[QStringLiteral("records")][QStringLiteral("7")].toInt(), 6);
        QCOMPARE(report[QStringLiteral("incompleteRecords")].toInt(), 1);
        QCOMPARE(report[QStringLiteral("dataSteps")].toInt(), 5);
        QCOMPARE(report[QStringLiteral("gapFills")].toInt(), 1);
        QCOMPARE(report[QStringLiteral("filledSeconds")].toInt(), 5);
        QCOMPARE(report[QStringLiteral("longestGap")].toInt(), 4);
        QCOMPARE(report[QStringLiteral("firstTime")].toString(), QStringLiteral("10:00:00"));
        QCOMPARE(report[QStringLiteral("lastTime")].toString(), QStringLiteral("10:00:07"));
        QVERIFY(report[QStringLiteral("stoppedAtLine")].isNull());

        // Readings 50, 80, (fill of :01 to :05), nan, 95, 95: the zeros are no readings.
        const QJsonObject air = seriesNamed(run.report, "AirspeedSeries");
        const QJsonObject stats = air[QStringLiteral("stats")].toObject();
        QCOMPARE(stats[QStringLiteral("count")].toInt(), 4);
        QCOMPARE(stats[QStringLiteral("min")].toDouble(), 50.0);
        QCOMPARE(stats[QStringLiteral("max")].toDouble(), 95.0);
        QCOMPARE(stats[QStringLiteral("maxX")].toDouble(), 36007 * 1000 / 86400000.0);
        QCOMPARE(stats[QStringLiteral("mean")].toDouble(), 80.0);
        QVERIFY(seriesNamed(run.report, "VoltsSeries")[QStringLiteral("stats")].isNull());
        const QJsonArray runs = air[QStringLiteral("exceedances")].toArray();
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs[0][QStringLiteral("side")].toString(), QStringLiteral("high"));
        QCOMPARE(runs[0][QStringLiteral("start")].toDouble(), 36007 * 1000 / 86400000.0);
        QCOMPARE(runs[0][QStringLiteral("peak")].toDouble(), 95.0);

        const Run ranged = logdump({QStringLiteral("--stats"), QStringLiteral("--range"),
                                    QStringLiteral("0.41674,0.4168"), log});
        QCOMPARE(seriesNamed(ranged.report, "AirspeedSeries")[QStringLiteral("stats")]
                     .toObject()[QStringLiteral("count")]
                     .toInt(),
                 2);  // the two readings of 10:00:07
    }

    // Without a log there is no import report; a stopped load says where it stopped.
    void analysis_reportOfNoLoadAndOfAStop() {
        QTemporaryDir dir;
        QCOMPARE(logdump({QStringLiteral("--report")}).report[QStringLiteral("report")].isNull(),
                 true);
        const QString bad =
            writeFile(dir, QStringLiteral("bad.csv"), "7,d,10:00:00,50\n7,d,25:00:00,60\n");
        const Run run = logdump({QStringLiteral("--report"), bad});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.report[QStringLiteral("report")][QStringLiteral("stoppedAtLine")].toInt(), 2);
    }

    void analysis_badValues_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("unknown series")
            << QStringList{QStringLiteral("--limit"), QStringLiteral("NoSeries:1:2")};
        QTest::newRow("limit not a number")
            << QStringList{QStringLiteral("--limit"), QStringLiteral("TC1Series:abc:")};
        QTest::newRow("limit not finite")
            << QStringList{QStringLiteral("--limit"), QStringLiteral("TC1Series::inf")};
        QTest::newRow("limit without two colons")
            << QStringList{QStringLiteral("--limit"), QStringLiteral("TC1Series:5")};
        QTest::newRow("low above high")
            << QStringList{QStringLiteral("--limit"), QStringLiteral("TC1Series:9:8")};
        QTest::newRow("same series twice")
            << QStringList{QStringLiteral("--limit"), QStringLiteral("TC1Series::8"),
                           QStringLiteral("--limit"), QStringLiteral("TC1Series:1:")};
        QTest::newRow("range not numbers") << QStringList{
            QStringLiteral("--stats"), QStringLiteral("--range"), QStringLiteral("a,b")};
        QTest::newRow("range of one number") << QStringList{
            QStringLiteral("--stats"), QStringLiteral("--range"), QStringLiteral("0.5")};
        QTest::newRow("range backwards") << QStringList{
            QStringLiteral("--stats"), QStringLiteral("--range"), QStringLiteral("0.6,0.5")};
    }
    void analysis_badValues() {
        QFETCH(QStringList, args);
        const Run run = logdump(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY(run.err.startsWith("logdump: "));
        QCOMPARE(run.err.count('\n'), 1);
    }

    void layout_isAddedAsObject() {
        QTemporaryDir dir;
        const QString log = writeFile(dir, QStringLiteral("m7.csv"), "7,d,10:00:00,50\n");
        const Run run = logdump({QStringLiteral("--layout"), QStringLiteral("794x499"), log});
        QCOMPARE(run.exitCode, 0);
        const QJsonObject layout = run.report[QStringLiteral("layout")].toObject();
        QCOMPARE(layout[QStringLiteral("width")].toInt(), 794);
        QCOMPARE(layout[QStringLiteral("height")].toInt(), 499);
    }
};

QTEST_GUILESS_MAIN(TestLogdump)
#include "test_logdump.moc"
