// logdump with an engine profile, run as a program: the derived series follow the 41
// channel series in every output (points, --stats, --limit, --csv), --lean-test adds
// the test's result, and faults of the profile or the options exit 2.
#include <QtTest>

#include "tests/support/logdump_run.h"

using zp::test::runLogdump;

class LogdumpEngineTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString log_, profile_;

    QString write(const char* name, const QByteArray& text) {
        const QString path = dir_.filePath(QLatin1String(name));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) return {};
        f.write(text);
        return path;
    }

  private slots:
    void initTestCase() {
        log_ = dir_.filePath(QStringLiteral("lean.csv"));
        QCOMPARE(QProcess::execute(QStringLiteral(ZP_BINARY_DIR "/bin/genlog"),
                                   {QStringLiteral("--scenario"), QStringLiteral("lean-sweep"),
                                    QStringLiteral("-o"), log_}),
                 0);
        profile_ = write("engine.ini",
                         "[engine]\nname=N123AB\ncylinders=6\negt=TC1,TC2,TC3,TC4,TC9,TC10\n"
                         "cht=TC5,TC6,TC7,TC8,TC11,TC12\nfuelflow=FuelFlow1\n");
    }

    void withoutProfileNothingIsAdded() {
        const auto run = runLogdump({QStringLiteral("--summary"), log_});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.report.value(u"series").toArray().size(), 41);
        QVERIFY(!run.report.contains(u"leanTest"));
    }

    void derivedSeriesInEveryOutput() {
        const QString csv = dir_.filePath(QStringLiteral("out.csv"));
        const auto run =
            runLogdump({QStringLiteral("--summary"), QStringLiteral("--stats"),
                        QStringLiteral("--profile"), profile_, QStringLiteral("--limit"),
                        QStringLiteral("EGTSpreadSeries::60"), QStringLiteral("--limit"),
                        QStringLiteral("TC1Series::1440"), QStringLiteral("--csv"), csv, log_});
        QCOMPARE(run.exitCode, 0);
        const QJsonArray series = run.report.value(u"series").toArray();
        QCOMPARE(series.size(), 41 + 3 + 6);
        QCOMPARE(series[40].toObject().value(u"name").toString(),
                 QStringLiteral("FuelLevelCalcSeries"));
        const QStringList names = {"EGTSpreadSeries", "CHTSpreadSeries", "HottestCHTSeries",
                                   "CHT1RateSeries",  "CHT2RateSeries",  "CHT3RateSeries",
                                   "CHT4RateSeries",  "CHT5RateSeries",  "CHT6RateSeries"};
        for (int k = 0; k < names.size(); ++k) {
            const QJsonObject s = series[41 + k].toObject();
            QCOMPARE(s.value(u"name").toString(), names[k]);
            QCOMPARE(s.value(u"active").toBool(), true);
            QVERIFY(s.value(u"count").toInt() > 0);
            QVERIFY(s.value(u"stats").isObject());
        }
        // 960 records at 1 Hz: spreads at each, rates from the 61st on.
        QCOMPARE(series[41].toObject().value(u"count").toInt(), 960);
        QCOMPARE(series[44].toObject().value(u"count").toInt(), 900);
        const QJsonObject spread = series[41].toObject();
        QVERIFY(spread.value(u"exceedances").toArray().size() >= 1);
        QVERIFY(series[12].toObject().contains(u"exceedances"));  // TC1 still has its own
        QVERIFY(!series[42].toObject().contains(u"exceedances"));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray header = file.readLine();
        QVERIFY2(header.contains("EGT spread (\xC2\xB0"
                                 "F),CHT spread") ||
                     header.contains("EGT spread (\xC2\xB0"
                                     "C),CHT spread"),
                 header.constData());
        QVERIFY(header.contains("/min)"));
    }

    void leanTest() {
        // The whole log, then its first 100 s (X counts days).
        const auto run = runLogdump({QStringLiteral("--summary"), QStringLiteral("--stats"),
                                     QStringLiteral("--profile"), profile_,
                                     QStringLiteral("--lean-test"), QStringLiteral("0,1e6"), log_});
        QCOMPARE(run.exitCode, 0);
        const QJsonObject lean = run.report.value(u"leanTest").toObject();
        QVERIFY(lean.value(u"problem").isNull());
        const QJsonArray cylinders = lean.value(u"cylinders").toArray();
        QCOMPARE(cylinders.size(), 6);
        const double flows[6] = {11.0, 11.3, 10.8, 11.5, 11.1, 10.9};
        for (int c = 0; c < 6; ++c)
            QVERIFY(std::abs(cylinders[c].toObject().value(u"fuelFlow").toDouble() - flows[c]) <
                    0.05);
        QCOMPARE(lean.value(u"firstToPeak").toInt(), 4);
        QCOMPARE(lean.value(u"lastToPeak").toInt(), 3);

        const double first = run.report.value(u"series")
                                 .toArray()[25]  // FuelFlow1Series
                                 .toObject()
                                 .value(u"stats")
                                 .toObject()
                                 .value(u"minX")
                                 .toDouble();
        const QString range =
            QStringLiteral("%1,%2").arg(first, 0, 'g', 17).arg(first + 100.0 / 86400, 0, 'g', 17);
        const auto none = runLogdump({QStringLiteral("--summary"), QStringLiteral("--profile"),
                                      profile_, QStringLiteral("--lean-test"), range, log_});
        QCOMPARE(none.exitCode, 0);
        const QJsonObject steady = none.report.value(u"leanTest").toObject();
        QVERIFY2(steady.value(u"problem").toString().startsWith(u"No decreasing fuel flow"),
                 none.out.constData());
        QVERIFY(steady.value(u"fuelFlowSpread").isNull());
    }

    // The flight library's figures of the derived series are those of the chart's.
    void flights() {
        const auto chart = runLogdump({QStringLiteral("--summary"), QStringLiteral("--stats"),
                                       QStringLiteral("--profile"), profile_, log_});
        const QStringList args = {QStringLiteral("--flights"),
                                  QStringLiteral("--profile"),
                                  profile_,
                                  QStringLiteral("--limit"),
                                  QStringLiteral("CHT2RateSeries:-1:"),
                                  QStringLiteral("--db"),
                                  dir_.filePath(QStringLiteral("flights.sqlite")),
                                  log_};
        const auto first = runLogdump(args);
        QCOMPARE(first.exitCode, 0);
        const QJsonArray flights = first.report.value(u"flights").toArray();
        QCOMPARE(flights.size(), 1);
        const QJsonObject series = flights[0].toObject().value(u"series").toObject();
        const QJsonArray charted = chart.report.value(u"series").toArray();
        for (int k = 41; k < charted.size(); ++k) {
            const QJsonObject s = charted[k].toObject();
            const QString name = s.value(u"name").toString();
            const QJsonObject stats = s.value(u"stats").toObject();
            const QJsonObject figures = series.value(name).toObject();
            QVERIFY2(!figures.isEmpty(), qPrintable(name));
            for (const char* key : {"count", "min", "max", "mean"})
                QVERIFY2(figures.value(QLatin1String(key)) == stats.value(QLatin1String(key)),
                         qPrintable(name + u' ' + QLatin1String(key)));
        }
        const QJsonObject runs = flights[0].toObject().value(u"exceedances").toObject();
        QVERIFY(runs.value(u"CHT2RateSeries").toObject().value(u"low").toInt() > 0);
        // Read back from the database, the same bytes.
        const auto second = runLogdump(args);
        QCOMPARE(second.exitCode, 0);
        QCOMPARE(second.out, first.out);
        // Without --profile, none.
        const auto plain = runLogdump({QStringLiteral("--flights"), log_});
        QVERIFY(!plain.out.contains("EGTSpreadSeries"));
    }

    void faults_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("says");
        QTest::newRow("lean test without profile")
            << QStringList{"--lean-test", "0,1"} << "--lean-test needs --profile";
        QTest::newRow("derived limit without profile")
            << QStringList{"--limit", "CHT1RateSeries:-60:"} << "needs --profile";
        QTest::newRow("bad range") << QStringList{"--lean-test", "2,1"} << "bad range";
        QTest::newRow("missing profile")
            << QStringList{"--profile", "/nonexistent/e.ini"} << "no such file";
        QTest::newRow("bad derived limit")
            << QStringList{"--limit", "CHT1RateSeries:x:"} << "bad low limit";
    }
    void faults() {
        QFETCH(QStringList, args);
        QFETCH(QString, says);
        const auto run = runLogdump(args << QStringLiteral("--summary") << log_);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(QString::fromUtf8(run.err).contains(says), run.err.constData());
    }

    void profileErrorNamesItsLine() {
        const QString bad = write("bad.ini", "[engine]\ncylinders=4\negt=TC1,TC2\n");
        const auto run =
            runLogdump({QStringLiteral("--profile"), bad, QStringLiteral("--summary"), log_});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("line 3: egt lists 2 channels for 4 cylinders"),
                 run.err.constData());
        QVERIFY(run.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(LogdumpEngineTest)
#include "test_logdump_engine.moc"
