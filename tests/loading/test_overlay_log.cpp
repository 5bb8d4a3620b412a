// A second log laid over the loaded one: the X of a time moved by whole milliseconds,
// the overlaid series after the 41 channel series, moved, switched and taken out again.
#include <QtTest>

#include "loading/channel_series.h"
#include "loading/log_loading.h"
#include "loading/overlay_log.h"
#include "tests/support/recording_sink.h"

using namespace zp;

namespace {

constexpr double kMsPerDay = 86400000.0;

// The X the import gives a time of `ms` milliseconds after day 0 began.
double importX(std::int64_t ms) {
    const std::int64_t days = ms >= 0 ? ms / 86400000 : -((-ms + 86399999) / 86400000);
    return static_cast<double>(days) + static_cast<double>(ms - days * 86400000) / kMsPerDay;
}

chart::Chart loadedChart(const QString& path) {
    chart::Chart chart;
    createChannelSeries(chart, QPalette());
    prepareChartForLoad(chart);
    loadLogIntoChart(path, {}, chart, testOptions());
    return chart;
}

}  // namespace

class TestOverlayLog : public QObject {
    Q_OBJECT

  private slots:
    // Moving an import's X by whole milliseconds gives the X the import gives the later
    // time, across midnight and before day 0, and moving back gives the X back.
    void shiftedX_isTheImportsXOfTheMovedTime_data() {
        QTest::addColumn<qint64>("from");
        QTest::addColumn<qint64>("by");
        QTest::newRow("a second on") << qint64(36000000) << qint64(1000);
        QTest::newRow("a millisecond back") << qint64(36000000) << qint64(-1);
        QTest::newRow("over midnight") << qint64(86399500) << qint64(700);
        QTest::newRow("before day 0") << qint64(1000) << qint64(-5000);
        QTest::newRow("a date far on") << qint64(45000) * 86400000 + 123 << qint64(-86400123);
        QTest::newRow("hours back") << qint64(85950000) << qint64(-49951250);
    }
    void shiftedX_isTheImportsXOfTheMovedTime() {
        QFETCH(qint64, from);
        QFETCH(qint64, by);
        const double x = importX(from);
        const double moved = shiftedX(x, by);
        QCOMPARE(moved, importX(from + by));
        QCOMPARE(shiftedX(moved, -by), x);
    }

    void shiftedX_leavesNonFiniteX() {
        QVERIFY(std::isnan(shiftedX(std::nan(""), 1000)));
        QCOMPARE(shiftedX(std::numeric_limits<double>::infinity(), 5),
                 std::numeric_limits<double>::infinity());
    }

    void secondOfDay_readsTheReportsTimes() {
        QCOMPARE(secondOfDay(QStringLiteral("00:00:00")), std::optional<std::int64_t>(0));
        QCOMPARE(secondOfDay(QStringLiteral("23:52:30")), std::optional<std::int64_t>(85950));
        QVERIFY(!secondOfDay(std::nullopt));
        QVERIFY(!secondOfDay(QStringLiteral("10:00")));
        QVERIFY(!secondOfDay(QStringLiteral("aa:00:00")));
        QCOMPARE(wholeMilliseconds(-1.2505), std::int64_t(-1251));
        QCOMPARE(wholeMilliseconds(2.5), std::int64_t(2500));
    }

    // Gap fills stay gap fills; a range keeps only the points inside it; the compact
    // form is kept where the moved times fit it.
    void shiftPoints_keepsGapFillsAndTheRange() {
        chart::PointList points;
        points.append(importX(1000), 1.5);
        points.appendGapFill(importX(2000));
        points.append(importX(3000), 2.5);
        points.append(importX(4000), 3.5);
        chart::PointList moved = points;
        shiftPoints(moved, 500);
        QCOMPARE(moved.size(), std::size_t{4});
        QVERIFY(!moved.isWide());
        QVERIFY(moved.isGapFill(1));
        QCOMPARE(moved.gapFillCount(), std::size_t{1});
        QCOMPARE(moved[2].x, importX(3500));
        QCOMPARE(moved[2].y, 2.5);

        chart::PointList part = points;
        shiftPoints(part, 0, std::pair(importX(1000), importX(3000)));
        QCOMPARE(part.size(), std::size_t{3});
        QVERIFY(part.isGapFill(1));
        QCOMPARE(part[2].x, importX(3000));
        // A gap fill at the range's first X closes the gap before it: left out.
        chart::PointList flight = points;
        shiftPoints(flight, 0, std::pair(importX(2000), importX(4000)));
        QCOMPARE(flight.size(), std::size_t{2});
        QCOMPARE(flight.gapFillCount(), std::size_t{0});
    }

    // The overlaid series follow the 41 in channel order, named and titled with the
    // mark, dashed and lighter, switched as their channel, listed in the legend as their
    // own log has them, their points moved; shown again they keep their switches, moved
    // again they move on, removed the chart is as before.
    void showOverlay_addsMovesAndRemovesTheSeries() {
        QTemporaryDir dir;
        const QString first = writeLog(dir,
                                       "9,12/05/2024,10:00:00,1500,20,1,2,3,4\n"
                                       "9,12/05/2024,10:00:01,1501,21,5,6,7,8\n");
        chart::Chart chart = loadedChart(first);
        channelSeries(chart, RPM1Series).active = true;
        channelSeries(chart, TC1Series).active = false;
        const std::vector<chart::LineSeries> before = chart.series;

        QTemporaryDir dir2;
        const QString second = writeLog(dir2,
                                        "9,01/06/2024,09:30:10,1600,20,10,2,3,4\n"
                                        "9,01/06/2024,09:30:11,1601,21,50,6,7,8\n"
                                        "9,01/06/2024,09:30:12,1602,21,60,6,7,8\n");
        OverlayRead read = readOverlay(second, {}, testOptions());
        QCOMPARE(read.result.status, ImportResult::Status::Loaded);
        QCOMPARE(read.series.size(), std::size_t(kChannelCount));
        const std::int64_t align = (*secondOfDay(QStringLiteral("10:00:00")) -
                                    *secondOfDay(read.result.report.firstTime)) *
                                   1000;
        QCOMPARE(align, std::int64_t(1790000));

        int invalidated = 0;
        chart.onInvalidate = [&invalidated] { ++invalidated; };
        showOverlay(chart, std::move(read.series), align);
        QVERIFY(invalidated > 0);
        QVERIFY(hasOverlay(chart));
        QCOMPARE(chart.series.size(), std::size_t(2 * kChannelCount));
        const chart::LineSeries& rpm = chart.series[kOverlayFirstSeries + RPM1Series];
        QCOMPARE(rpm.name, QStringLiteral("RPM1Series#2"));
        QCOMPARE(rpm.title, channelSeries(chart, RPM1Series).title + QStringLiteral(" \u25B82"));
        QVERIFY(rpm.dashed);
        QVERIFY(!channelSeries(chart, RPM1Series).dashed);
        QVERIFY(rpm.active);
        QVERIFY(!chart.series[kOverlayFirstSeries + TC1Series].active);
        QVERIFY(rpm.showInLegend);
        QVERIFY(!chart.series[kOverlayFirstSeries + VoltsSeries].showInLegend);
        QVERIFY(rpm.color.lightness() > channelSeries(chart, RPM1Series).color.lightness());
        // First record on first record.
        QCOMPARE(rpm.points.size(), std::size_t{3});
        QCOMPARE(rpm.points[0].x, channelSeries(chart, RPM1Series).points[0].x);
        QCOMPARE(rpm.points[2].x, importX(36002000));
        QCOMPARE(channelOfSeries(kOverlayFirstSeries + RPM1Series), RPM1Series);
        QVERIFY(isOverlaySeries(kOverlayFirstSeries) && !isOverlaySeries(kChannelCount - 1));

        chart.series[kOverlayFirstSeries + RPM1Series].active = false;
        shiftOverlay(chart, -2500);
        QCOMPARE(chart.series[kOverlayFirstSeries + RPM1Series].points[0].x, importX(35997500));
        shiftOverlay(chart, 2500);
        QCOMPARE(chart.series[kOverlayFirstSeries + RPM1Series].points[0].x, importX(36000000));

        // Shown again (another log overlaid): the switch stays as the user left it.
        showOverlay(chart, readOverlay(second, {}, testOptions()).series, 0);
        QCOMPARE(chart.series.size(), std::size_t(2 * kChannelCount));
        QVERIFY(!chart.series[kOverlayFirstSeries + RPM1Series].active);
        QCOMPARE(chart.series[kOverlayFirstSeries + RPM1Series].points[0].x, importX(34210000));

        removeOverlay(chart);
        QVERIFY(!hasOverlay(chart));
        QCOMPARE(chart.series.size(), before.size());
        for (std::size_t i = 0; i < before.size(); ++i) {
            QCOMPARE(chart.series[i].name, before[i].name);
            QCOMPARE(chart.series[i].points.size(), before[i].points.size());
        }
    }

    void seriesUnitTexts_giveOverlaidSeriesTheirChannelsUnit() {
        UnitSelectors units{};
        units[OatUnit] = 1;
        const std::vector<QString> channels = channelUnitTexts(units);
        const std::vector<QString> all = seriesUnitTexts(units, 2 * kChannelCount);
        QCOMPARE(all.size(), std::size_t(2 * kChannelCount));
        for (int c = 0; c < kChannelCount; ++c) {
            QCOMPARE(all[c], channels[c]);
            QCOMPARE(all[kChannelCount + c], channels[c]);
        }
        QCOMPARE(seriesUnitTexts(units, kChannelCount), channels);
    }

    // Series added after a load (an engine profile's derived ones) stay after the overlay:
    // it goes in right after the loaded log's series and leaves the others as they are.
    void showOverlay_keepsSeriesAddedAfterTheLoadLast() {
        chart::Chart chart;
        createChannelSeries(chart, QPalette());
        chart::LineSeries derived;
        derived.name = QStringLiteral("EGTSpreadSeries");
        derived.points.append(1.0, 50.0);
        chart.series.push_back(derived);
        std::vector<chart::LineSeries> second(static_cast<std::size_t>(kChannelCount));
        for (int round = 0; round < 2; ++round) {
            showOverlay(chart, second, 0);
            QCOMPARE(overlaySeriesCount(chart), std::size_t(kChannelCount));
            QCOMPARE(chart.series.size(), std::size_t(2 * kChannelCount + 1));
            QCOMPARE(chart.series[kOverlayFirstSeries].name, QStringLiteral("VoltsSeries#2"));
            QCOMPARE(overlaidChannel(chart.series[kOverlayFirstSeries + TC1Series].name),
                     std::optional<Channel>(TC1Series));
            QCOMPARE(chart.series.back().name, QStringLiteral("EGTSpreadSeries"));
        }
        shiftOverlay(chart, 1000);
        QCOMPARE(chart.series.back().points[0].x, 1.0);
        removeOverlay(chart);
        QVERIFY(!hasOverlay(chart));
        QCOMPARE(chart.series.size(), std::size_t(kChannelCount + 1));
        QCOMPARE(chart.series.back().name, QStringLiteral("EGTSpreadSeries"));
        QCOMPARE(overlaidChannel(QStringLiteral("EGTSpreadSeries")), std::optional<Channel>());
    }
};

QTEST_GUILESS_MAIN(TestOverlayLog)
#include "test_overlay_log.moc"
