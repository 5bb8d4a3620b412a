// The lean test on genlog's lean-sweep log, whose cylinders peak at known fuel flows,
// and its messages for a range without a falling fuel flow or without a peak.
#include <QtTest>
#include <limits>

#include "analysis/lean_test.h"
#include "loading/channel_series.h"
#include "loading/log_loading.h"

using namespace zp;
using namespace zp::analysis;

namespace {

// The cylinders' EGT thermocouples in genlog's lean sweep and the flows they peak at.
constexpr Channel kEgt[6] = {TC1Series, TC2Series, TC3Series, TC4Series, TC9Series, TC10Series};
constexpr double kPeakFlows[6] = {11.0, 11.3, 10.8, 11.5, 11.1, 10.9};

EngineProfile sixCylinders() {
    EngineProfile p;
    p.cylinders = 6;
    for (int c = 0; c < 6; ++c) p.egt[c] = kEgt[c];
    p.fuelFlow = FuelFlow1Series;
    return p;
}

}  // namespace

class LeanTestTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    chart::Chart chart_;
    double start_ = 0.0;  // X of the log's first record

    // X of `seconds` after the first record.
    double at(double seconds) const { return start_ + seconds / 86400.0; }

  private slots:
    void initTestCase() {
        const QString log = dir_.filePath(QStringLiteral("lean.csv"));
        QCOMPARE(QProcess::execute(QStringLiteral(ZP_BINARY_DIR "/bin/genlog"),
                                   {QStringLiteral("--scenario"), QStringLiteral("lean-sweep"),
                                    QStringLiteral("-o"), log}),
                 0);
        createChannelSeries(chart_, QPalette());
        prepareChartForLoad(chart_);
        const ImportResult result =
            loadLogIntoChart(log, UnitSelectors{}, chart_, ImportOptions::forThisMachine());
        QCOMPARE(result.status, ImportResult::Status::Loaded);
        start_ = channelSeries(chart_, FuelFlow1Series).points[0].x;
    }

    void peaksAtTheKnownFlows() {
        const LeanTestResult r = leanTest(chart_, sixCylinders(), XRange{at(0), at(16 * 60)});
        QVERIFY2(r.ok(), qPrintable(r.problem));
        QCOMPARE(r.cylinders.size(), std::size_t(6));
        for (int c = 0; c < 6; ++c) {
            QVERIFY(r.cylinders[c].peaked);
            QCOMPARE(r.cylinders[c].cylinder, c + 1);
            QVERIFY2(std::abs(r.cylinders[c].fuelFlow - kPeakFlows[c]) < 0.05,
                     qPrintable(QString::number(r.cylinders[c].fuelFlow)));
            // Leaning at 0.6 gph a minute from 2 min on: the peak's time follows its flow.
            const double seconds = 120 + (14.0 - kPeakFlows[c]) / 6.0 * 600;
            QVERIFY(std::abs((r.cylinders[c].x - start_) * 86400 - seconds) < 11);
        }
        QCOMPARE(r.firstToPeak, 4);  // the richest peak comes first
        QCOMPARE(r.lastToPeak, 3);
        QVERIFY(std::abs(r.fuelFlowSpread - 0.7) < 0.05);
        QCOMPARE(r.curves.size(), std::size_t(6));
        QVERIFY(!r.curves[0].empty());

        chart::Chart picture;
        fillLeanTestChart(picture, r, QStringLiteral("gph"), QStringLiteral("°F"));
        QCOMPARE(picture.series.size(), std::size_t(6));
        QVERIFY(!picture.series[0].xDateTime);
        QCOMPARE(picture.series[3].title, QStringLiteral("EGT 4"));
        const QString text = leanTestText(r, QStringLiteral("gph"), QStringLiteral("°F"));
        QVERIFY2(text.contains(QStringLiteral("Fuel flow spread: 0.70 gph")), qPrintable(text));
        QVERIFY(
            text.contains(QStringLiteral("First to peak: cylinder 4; last to peak: cylinder 3")));
    }

    void problems_data() {
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<QString>("says");
        QTest::newRow("steady flow before leaning") << 0.0 << 110.0 << "No decreasing fuel flow";
        QTest::newRow("after leaning ends") << 730.0 << 950.0 << "No decreasing fuel flow";
        QTest::newRow("outside the log") << -500.0 << -100.0 << "too few fuel flow readings";
        QTest::newRow("all still rich of peak") << 130.0 << 250.0 << "No EGT peaks";
        QTest::newRow("all lean of peak") << 470.0 << 720.0 << "No EGT peaks";
    }
    void problems() {
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(QString, says);
        const LeanTestResult r = leanTest(chart_, sixCylinders(), XRange{at(from), at(to)});
        QVERIFY(!r.ok());
        QVERIFY2(r.problem.contains(says), qPrintable(r.problem));
        QCOMPARE(leanTestText(r, QString(), QString()), r.problem);
    }

    // Gap fills, non-finite readings and a NaN X among the readings change nothing: the
    // same peaks and curves as from the readings alone.
    void onlyReadingsCount() {
        chart::Chart noisy = chart_;
        std::vector<Channel> channels(std::begin(kEgt), std::end(kEgt));
        channels.push_back(FuelFlow1Series);
        for (const Channel channel : channels) {
            const chart::PointView clean = channelSeries(chart_, channel).points.points();
            chart::PointList& list = channelSeries(noisy, channel).points;
            list.clear();
            for (std::size_t i = 0; i < clean.size(); ++i) {
                if (i % 40 == 7) list.appendGapFill(clean.x(i));
                if (i % 55 == 3) list.append(clean.x(i), std::numeric_limits<double>::quiet_NaN());
                list.append(clean.x(i), clean.y(i));
            }
            if (channel == TC2Series || channel == FuelFlow1Series)
                list.append(std::numeric_limits<double>::quiet_NaN(), 1e6);
        }
        const XRange range{at(0), at(16 * 60)};
        const LeanTestResult expected = leanTest(chart_, sixCylinders(), range);
        const LeanTestResult r = leanTest(noisy, sixCylinders(), range);
        QVERIFY2(r.ok(), qPrintable(r.problem));
        QCOMPARE(r.cylinders.size(), expected.cylinders.size());
        for (std::size_t c = 0; c < r.cylinders.size(); ++c) {
            QCOMPARE(r.cylinders[c].x, expected.cylinders[c].x);
            QCOMPARE(r.cylinders[c].egt, expected.cylinders[c].egt);
            QCOMPARE(r.cylinders[c].fuelFlow, expected.cylinders[c].fuelFlow);
            QCOMPARE(r.curves[c].size(), expected.curves[c].size());
            for (std::size_t k = 0; k < r.curves[c].size(); ++k)
                QVERIFY(r.curves[c][k].x == expected.curves[c][k].x &&
                        r.curves[c][k].y == expected.curves[c][k].y);
        }
        QCOMPARE(r.fuelFlowSpread, expected.fuelFlowSpread);
    }

    void profileWithoutChannels() {
        EngineProfile p = sixCylinders();
        p.egt.fill(std::nullopt);
        QVERIFY(leanTest(chart_, p, XRange{at(0), at(960)}).problem.contains(u"no EGT"));
        p = sixCylinders();
        p.fuelFlow.reset();
        QVERIFY(leanTest(chart_, p, XRange{at(0), at(960)}).problem.contains(u"no fuel flow"));
    }
};

QTEST_GUILESS_MAIN(LeanTestTest)
#include "test_lean_test.moc"
