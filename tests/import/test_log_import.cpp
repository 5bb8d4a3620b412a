// The import of whole log files: the plot gate, parsing across lines and models,
// the counters, the stop on an unreadable time field, and the faults of the
// instruments' original viewer that this import mends.
#include <QtTest>
#include <clocale>
#include <cmath>
#include <random>

#include "import/log_import.h"
#include "tests/support/recording_sink.h"

using namespace zp;
using Status = ImportResult::Status;

namespace {

QByteArray airspeed(const char* time, const char* value) {
    return QByteArray("7,12/05/2024,") + time + "," + value + "\n";
}

QList<double> xs(const RecordingSink& sink, Channel channel) {
    QList<double> list;
    for (const Point& p : sink.points[channel]) list.append(p.x);
    return list;
}
QList<double> ys(const RecordingSink& sink, Channel channel) {
    QList<double> list;
    for (const Point& p : sink.points[channel]) list.append(p.y);
    return list;
}

double sec(int s) {
    return s * 1000 / 86400000.0;
}

}  // namespace

class TestLogImport : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { std::setlocale(LC_ALL, "C"); }

    // [SECTION] The plot gate
    void plotGate_stepsAndGaps_data() {
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<QList<double>>("x");
        QTest::addColumn<QList<double>>("y");
        const int t0 = 36000;
        QTest::newRow("steps of one and two seconds")
            << airspeed("10:00:00", "1") + airspeed("10:00:01", "2") + airspeed("10:00:03", "3")
            << QList<double>{sec(t0), sec(t0 + 1), sec(t0 + 3)} << QList<double>{1, 2, 3};
        QTest::newRow("three seconds: gap fill from the last plotted second")
            << airspeed("10:00:00", "1") + airspeed("10:00:03", "2")
            << QList<double>{sec(t0), sec(t0), sec(t0 + 1), sec(t0 + 2), sec(t0 + 3)}
            << QList<double>{1, 0, 0, 0, 0};
        // 10:00:00, :02 data; :07 gap fill of :02 to :07 (L becomes :08); :08 data again.
        QTest::newRow("gap fill leaves L one past the record")
            << airspeed("10:00:00", "1") + airspeed("10:00:02", "2") + airspeed("10:00:07", "3") +
                   airspeed("10:00:10", "4")
            << QList<double>{sec(t0),     sec(t0 + 2), sec(t0 + 2), sec(t0 + 3), sec(t0 + 4),
                             sec(t0 + 5), sec(t0 + 6), sec(t0 + 7), sec(t0 + 10)}
            << QList<double>{1, 2, 0, 0, 0, 0, 0, 0, 4};
        QTest::newRow("time going backwards is a data step")
            << airspeed("23:59:59", "1") + airspeed("00:00:00", "2") + airspeed("00:00:02", "3")
            << QList<double>{sec(86399), sec(0), sec(2)} << QList<double>{1, 2, 3};
        QTest::newRow("two records in one second")
            << airspeed("10:00:00", "1") + airspeed("10:00:00", "2")
            << QList<double>{sec(t0), sec(t0)} << QList<double>{1, 2};
        QTest::newRow("first record sets L whatever its time")
            << airspeed("23:00:00", "5") << QList<double>{sec(82800)} << QList<double>{5};
        QTest::newRow("unknown lines do not start the load")
            << QByteArray("99,x,01:00:00,1\n") + airspeed("10:00:00", "1") << QList<double>{sec(t0)}
            << QList<double>{1};
    }
    void plotGate_stepsAndGaps() {
        QFETCH(QByteArray, log);
        QFETCH(QList<double>, x);
        QFETCH(QList<double>, y);
        QTemporaryDir dir;
        RecordingSink sink;
        QCOMPARE(importText(dir, log, sink).status, Status::Loaded);
        QCOMPARE(xs(sink, AirspeedSeries), x);
        QCOMPARE(ys(sink, AirspeedSeries), y);
    }

    // A gap fill appends S - L + 1 zero points to every channel of the model.
    void plotGate_gapFillsEveryChannel() {
        QTemporaryDir dir;
        RecordingSink sink;
        importText(dir, "5,d,10:00:00,1,2,3,4\n5,d,10:01:00,1,2,3,4\n", sink);
        for (const Channel c : {Altitude1013Series, AltitudeSeries, QNHSeries, VSISeries}) {
            QCOMPARE(sink.points[c].size(), std::size_t{1 + 61});
            QCOMPARE(sink.points[c].back().x, sec(36060));
            QCOMPARE(sink.points[c].back().y, 0.0);
        }
        QCOMPARE(sink.pointCount, 4L * 62);
    }

    // [SECTION] Parsing
    // A missing, empty or unreadable field stops the parse; it and the later fields
    // keep the values of the latest earlier line that set them, of any model.
    void parse_fieldsKeepEarlierValues_data() {
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<int>("channel");
        QTest::addColumn<QList<double>>("y");
        QTest::newRow("model 6 ends after field 6")
            << QByteArray("6,d,10:00:00,100,110,1013,500,90\n6,d,10:00:01,200,210\n")
            << int(VSISeries) << QList<double>{500, 500};
        QTest::newRow("airspeed of model 6 kept by model 6")
            << QByteArray("6,d,10:00:00,100,110,1013,500,90\n6,d,10:00:01,200,210\n")
            << int(AirspeedSeries) << QList<double>{90, 90};
        QTest::newRow("shared slot across models")
            << QByteArray("7,d,10:00:00,55\n6,d,10:00:01,1,2,3,4\n") << int(AirspeedSeries)
            << QList<double>{55, 55};
        QTest::newRow("empty field") << QByteArray("7,d,10:00:00,55\n7,d,10:00:01,\n")
                                     << int(AirspeedSeries) << QList<double>{55, 55};
        QTest::newRow("two commas") << QByteArray("3,d,10:00:00,1,2,3,4\n3,d,10:00:01,9,,8,7\n")
                                    << int(OATSeries) << QList<double>{4, 4};
        QTest::newRow("non-numeric field")
            << QByteArray("3,d,10:00:00,1,2,3,4\n3,d,10:00:01,9,abc,8,7\n") << int(CurrentSeries)
            << QList<double>{3, 3};
        QTest::newRow("field before the stop is stored")
            << QByteArray("3,d,10:00:00,1,2,3,4\n3,d,10:00:01,9,abc,8,7\n") << int(GForceSeries)
            << QList<double>{1, 9};
        QTest::newRow("blank line repeats the last record")
            << QByteArray("7,d,10:00:00,55\n\n   \ntext\n") << int(AirspeedSeries)
            << QList<double>{55, 55, 55, 55};
        QTest::newRow("model 2 without its trailing comma")
            << QByteArray("2,d,10:00:00,20,1,2,3,4\n") << int(TC4Series) << QList<double>{4};
        QTest::newRow("model 4 without its ignored field")
            << QByteArray("4,d,10:00:00,20,1,2,3,4,5,6,7,8,9,10,11,12\n") << int(TC12Series)
            << QList<double>{12};
        QTest::newRow("leading blanks and signs")
            << QByteArray(" 7,d,10:00:00, -5.5e1\n") << int(AirspeedSeries) << QList<double>{-55};
        QTest::newRow("nul ends the line for the scan")
            << QByteArray(
                   "7,d,10:00:00,55\n7,d,10:00:01,6\0"
                   "6\n",
                   33)
            << int(AirspeedSeries) << QList<double>{55, 6};
        // 16777217 lies halfway between two floats: the line is read again the general
        // way, which rounds to the even one; the fields before and after keep theirs.
        QTest::newRow("a value on a float tie")
            << QByteArray("3,d,10:00:00,1.5,16777217,-2.5e3,0.1\n") << int(VoltsSeries)
            << QList<double>{16777216};
        QTest::newRow("the fields beside a float tie")
            << QByteArray("3,d,10:00:00,1.5,16777217,-2.5e3,0.1\n") << int(CurrentSeries)
            << QList<double>{-2500};
        QTest::newRow("values never read start at zero")
            << QByteArray("6,d,10:00:00,1\n") << int(AirspeedSeries) << QList<double>{0};
        QTest::newRow("unknown model id leaves values alone")
            << QByteArray("7,d,10:00:00,55\n14,d,10:00:01,66\n0\n-7,d,10:00:01,77\n")
            << int(AirspeedSeries) << QList<double>{55};
        QTest::newRow("crlf lines") << QByteArray("7,d,10:00:00,55\r\n7,d,10:00:01,56\r\n")
                                    << int(AirspeedSeries) << QList<double>{55, 56};
    }
    void parse_fieldsKeepEarlierValues() {
        QFETCH(QByteArray, log);
        QFETCH(int, channel);
        QFETCH(QList<double>, y);
        QTemporaryDir dir;
        RecordingSink sink;
        QCOMPARE(importText(dir, log, sink).status, Status::Loaded);
        QCOMPARE(ys(sink, static_cast<Channel>(channel)), y);
    }

    // A counter written with a fraction is read up to the point and stops the parse.
    void parse_fractionalCounterStops() {
        QTemporaryDir dir;
        RecordingSink sink;
        importText(dir,
                   "9,d,10:00:00,1234,56,2450,85,2440,84\n"
                   "9,d,10:00:01,1235.5,57,2500,86,2490,85\n",
                   sink);
        QCOMPARE(sink.panel.hobbsStart, QStringLiteral("1234"));
        QCOMPARE(sink.panel.hobbsStop, QStringLiteral("1235"));
        QCOMPARE(sink.panel.maintenanceStop, QStringLiteral("56"));
        QCOMPARE(ys(sink, RPM1Series), (QList<double>{2450, 2450}));
    }

    // An apostrophe ends the date field and stops the parse: the time field keeps
    // its earlier text.
    void parse_apostropheInDate() {
        QTemporaryDir dir;
        RecordingSink sink;
        importText(dir, "7,12/05/2024,10:00:00,55\n7,13'05,10:00:09,66\n", sink);
        QCOMPARE(sink.axisTitle, QStringLiteral("13"));
        QCOMPARE(xs(sink, AirspeedSeries), (QList<double>{sec(36000), sec(36000)}));
        QCOMPARE(ys(sink, AirspeedSeries), (QList<double>{55, 55}));
    }

    // A line longer than 999 characters is read as pieces, each handled as a line.
    void parse_longLineInPieces() {
        QTemporaryDir dir;
        RecordingSink sink;
        QByteArray log = "7,d,10:00:00,55\n";
        log += "7,d,10:00:01,66" + QByteArray(985, ' ') + "7,d,10:00:02,77\n";
        QCOMPARE(importText(dir, log, sink).status, Status::Loaded);
        // The second piece begins with the record text that follows the 999th character.
        QCOMPARE(ys(sink, AirspeedSeries), (QList<double>{55, 66, 77}));
    }

    // Binary data, huge numbers and special values neither crash nor hang.
    void parse_badInputIsHarmless() {
        QTemporaryDir dir;
        std::mt19937 rng(5);
        QByteArray garbage(300000, '\0');
        for (char& c : garbage) c = static_cast<char>(rng());
        garbage +=
            "\n1,d,10:00:00,99999999999999999999,-99999999999999999999,1e999,-1e999,nan,"
            "inf,0x1p3,nan(12)\n";
        RecordingSink sink;
        const ImportResult result = importText(dir, garbage, sink);
        QVERIFY(result.status == Status::Loaded || result.status == Status::Error);

        RecordingSink special;
        importText(dir,
                   "1,d,10:00:00,99999999999999999999,-99999999999999999999,1e999,-1e999,nan,"
                   "inf,0x1p3\n",
                   special);
        QCOMPARE(special.panel.hobbsStart, QStringLiteral("-1"));
        QCOMPARE(special.panel.maintenanceStart, QStringLiteral("0"));
        QCOMPARE(special.points[VoltsSeries][0].y, std::numeric_limits<double>::infinity());
        QCOMPARE(special.points[RPM1Series][0].y, -std::numeric_limits<double>::infinity());
        QVERIFY(std::isnan(special.points[RPM1PSeries][0].y));
        QCOMPARE(special.points[RPM2PSeries][0].y, 8.0);
    }

    // [SECTION] Counters and labels
    void counters_startAndStop() {
        QTemporaryDir dir;
        RecordingSink sink;
        importText(dir,
                   "13,d,10:00:00,1500,20,1,2,3,4,5,6,7,8,9,10,11,12\n"
                   "13,d,10:00:01,1502,22,1,2,3,4,5,6,7,8,9,10,11,12\n"
                   "12,d,10:00:02,1,2,3,4,5,6,7\n"
                   "42\n",
                   sink);
        QCOMPARE(sink.panel.hobbsStart, QStringLiteral("1500"));
        QCOMPARE(sink.panel.maintenanceStart, QStringLiteral("20"));
        QCOMPARE(sink.panel.hobbsStop, QStringLiteral("1502"));
        QCOMPARE(sink.panel.maintenanceStop, QStringLiteral("22"));
        QVERIFY(sink.panel.countersVisible);
        QCOMPARE(sink.panel.modelText, QStringLiteral("Unknown"));
    }

    // The start counters come from the first record of a model that has them, even
    // when an earlier record of the load was of a model without counters.
    void counters_startFromFirstCounterRecord() {
        QTemporaryDir dir;
        RecordingSink sink;
        sink.panel.hobbsStart = QStringLiteral("old");
        importText(dir,
                   "12,d,10:00:00,1,2,3,4,5,6,7\n"
                   "13,d,10:00:01,1500,20,1,2,3,4,5,6,7,8,9,10,11,12\n"
                   "13,d,10:00:02,1501,21,1,2,3,4,5,6,7,8,9,10,11,12\n",
                   sink);
        QCOMPARE(sink.panel.hobbsStart, QStringLiteral("1500"));
        QCOMPARE(sink.panel.maintenanceStart, QStringLiteral("20"));
        QCOMPARE(sink.panel.hobbsStop, QStringLiteral("1501"));
        // The last plotted second still came from the first record (10:00:00).
        QCOMPARE(sink.points[BankSeries].size(), std::size_t{1});
    }

    void counters_hiddenWithoutCounterModels() {
        QTemporaryDir dir;
        RecordingSink sink;
        importText(dir, "8,d,10:00:00,1,2,3,4,5,6,7,8\n11,d,10:00:00,1,2,3,4,5\n", sink);
        QVERIFY(!sink.panel.countersVisible);
        QCOMPARE(sink.panel.hobbsStop, QStringLiteral("0"));
        QCOMPARE(sink.panel.hobbsStart, QStringLiteral("0"));
    }

    // Nothing carries over from an earlier load: values, counters and fields start
    // at zero or empty.
    void load_startsFromZeroEachTime() {
        QTemporaryDir dir;
        RecordingSink sink;
        importText(dir, "13,d,10:00:00,1500,20,1,2,3,4,5,6,7,8,9,10,11,12\n", sink);
        QCOMPARE(ys(sink, OATSeries), (QList<double>{12}));
        importText(dir, "13,e,11:00:00,\n3,e,11:00:01,\n", sink);
        QCOMPARE(ys(sink, OATSeries), (QList<double>{0, 0}));
        QCOMPARE(ys(sink, VoltsSeries), (QList<double>{0, 0}));
        QCOMPARE(sink.panel.hobbsStart, QStringLiteral("0"));
        QCOMPARE(sink.panel.hobbsStop, QStringLiteral("0"));
        // A blank first line has no time field to convert.
        const ImportResult blank = importText(dir, "\n", sink);
        QCOMPARE(blank.status, Status::Loaded);
        const ImportResult noTime = importText(dir, "7\n", sink);
        QCOMPARE(noTime.status, Status::Error);
        QCOMPARE(noTime.message, QStringLiteral("'' is not a valid date and time"));
    }

    // A date or time field of 100 characters or more is cut at 99 and ends the parse.
    void load_longDateField() {
        QTemporaryDir dir;
        RecordingSink sink;
        const QByteArray date(150, 'd');
        const ImportResult result =
            importText(dir, "7,d,10:00:00,55\n7," + date + ",10:00:01,66\n", sink);
        QCOMPARE(result.status, Status::Loaded);
        QCOMPARE(sink.axisTitle, QString(99, u'd'));
        QCOMPARE(ys(sink, AirspeedSeries), (QList<double>{55, 55}));
    }

    // [SECTION] Start, end and failure of a load
    void load_resetsAndReports() {
        QTemporaryDir dir;
        RecordingSink sink;
        const ImportResult result = importText(dir, "", sink);
        QCOMPARE(result.status, Status::Loaded);
        QCOMPARE(result.message, QStringLiteral("File Loaded!"));
        for (int c = 0; c < kChannelCount; ++c) {
            QVERIFY(sink.points[c].empty());
            QVERIFY(!sink.legend[c]);
        }
        QVERIFY(!sink.panel.countersVisible);
        QCOMPARE(sink.panel.modelText, QStringLiteral("x"));  // the model label is not reset
        QCOMPARE(sink.axisTitle, QStringLiteral("Date"));
    }

    void load_openFailedChangesNothing() {
        QTemporaryDir dir;
        RecordingSink sink;
        const ImportResult result = importInto(dir.filePath(QStringLiteral("missing.csv")), sink);
        QCOMPARE(result.status, Status::OpenFailed);
        QVERIFY(!result.panel.modelText && !result.panel.countersVisible &&
                !result.panel.hobbsStart && !result.panel.hobbsStop &&
                !result.panel.maintenanceStart && !result.panel.maintenanceStop &&
                !result.panel.axisTitle);
        QCOMPARE(result.message, QStringLiteral("File does not exist."));
        QCOMPARE(sink.points[VoltsSeries].size(), std::size_t{1});  // the earlier point
        QVERIFY(sink.panel.countersVisible);
        QVERIFY(sink.legend[VoltsSeries]);
    }

    // An unreadable time field stops the import at its line with the error text; the
    // points before it stay, and the steps before the conversion have happened.
    void load_stopsAtBadTimeField_data() {
        QTest::addColumn<QByteArray>("badLine");
        QTest::addColumn<QString>("message");
        QTest::newRow("hour 25") << QByteArray("9,d,25:00:00,1,2,3,4,5,6\n")
                                 << QStringLiteral("'25:00:00' is not a valid date and time");
        QTest::newRow("dashes") << QByteArray("9,d,10-00-05,1,2,3,4,5,6\n")
                                << QStringLiteral("'10-00-05' is not a valid date and time");
        QTest::newRow("line ends after the time")
            << QByteArray("9,d,10:00:05\n")
            << QStringLiteral("'10:00:05\n' is not a valid date and time");
        QTest::newRow("crlf after the time")
            << QByteArray("9,d,10:00:05\r\n")
            << QStringLiteral("'10:00:05\n' is not a valid date and time");
        QTest::newRow("tab") << QByteArray("9,d,10:00:05\t,1\n")
                             << QStringLiteral("'10:00:05\t' is not a valid date and time");
    }
    void load_stopsAtBadTimeField() {
        QFETCH(QByteArray, badLine);
        QFETCH(QString, message);
        QTemporaryDir dir;
        RecordingSink sink;
        const ImportResult result = importText(
            dir, airspeed("10:00:00", "55") + badLine + airspeed("10:00:01", "66"), sink);
        QCOMPARE(result.status, Status::Error);
        QCOMPARE(result.message, message);
        QCOMPARE(ys(sink, AirspeedSeries), (QList<double>{55}));
        QVERIFY(sink.points[RPM1Series].empty());
        QCOMPARE(sink.panel.modelText, QStringLiteral("Pexo NZ-31 / Zimra NZ-32"));
        QVERIFY(sink.panel.countersVisible);
        QVERIFY(sink.legend[RPM1Series]);
        // The tail of the failing line did not run: the Hobbs stop label still shows the line before.
        QCOMPARE(sink.panel.hobbsStop, QStringLiteral("0"));
    }

    // [SECTION] Regional settings
    // Where the locale's own time separator is the point, the colon still works.
    void locale_pointTimeSeparator() {
        DateTimeLocale locale = testLocale();
        locale.timeSeparator = ".";
        locale.dateSeparator = ".";
        locale.dateOrder = DateTimeLocale::DateOrder::DayMonthYear;
        QTemporaryDir dir;
        RecordingSink sink;
        QCOMPARE(importText(dir, airspeed("10:00:00", "55"), sink, {}, locale).status,
                 Status::Loaded);
        QCOMPARE(xs(sink, AirspeedSeries), (QList<double>{sec(36000)}));
    }

    // Under German regional settings (decimal comma, day-first dates) the log's
    // numbers still read with the point, with the C library's locale German too.
    void locale_germanNumbersStillParse() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const bool cGerman = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("de.csv"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("3,12.05.2024,14:05:09,1.25,13.8,4.5,-2.5\n");
        file.close();
        RecordingSink sink;
        const ImportResult result =
            importInto(path, sink, {}, testOptions(DateTimeLocale::fromQLocale(QLocale())));
        std::setlocale(LC_ALL, "C");
        QLocale::setDefault(QLocale::c());
        QCOMPARE(result.status, Status::Loaded);
        QCOMPARE(ys(sink, GForceSeries), (QList<double>{1.25}));
        QCOMPARE(ys(sink, VoltsSeries), (QList<double>{static_cast<double>(13.8f)}));
        QCOMPARE(ys(sink, OATSeries), (QList<double>{-2.5}));
        if (!cGerman)
            QSKIP(
                "the C library has no de_DE.UTF-8 locale (scripts/test generates it): "
                "checked under the German QLocale only");
    }
};

QTEST_GUILESS_MAIN(TestLogImport)
#include "test_log_import.moc"
