// Gap-fill marks of the point list: they stay with their points through every merge
// that puts late points in place (across midnight, many runs, equal X, NaN X), through
// copies and moves, and go with clear(); and a load across midnight marks exactly the
// zero points of its gap fills.
#include <QPalette>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "chart/series.h"
#include "loading/channel_series.h"
#include "loading/log_loading.h"
#include "tests/support/marked_points.h"
#include "tests/support/recording_sink.h"

using namespace zp::chart;
using namespace zp::testing;

namespace {

enum class Order { ShortBeforeMidnight, LongBeforeMidnight, Runs, FewValues, NanX };

// `n` points in the given order; gap fills come in stretches of zero points, as a
// gap fill writes them.
std::vector<Marked> makePoints(Order order, std::size_t n, std::uint64_t seed) {
    std::mt19937_64 random(seed);
    std::vector<Marked> points;
    const std::size_t midnight = order == Order::ShortBeforeMidnight ? n / 10 : n - n / 10;
    double x = 0.9;
    std::size_t gapLeft = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (order == Order::ShortBeforeMidnight || order == Order::LongBeforeMidnight) {
            x = i < midnight ? 0.9 + 1e-5 * static_cast<double>(i)
                             : 1e-5 * static_cast<double>(i - midnight);
        } else if (order == Order::Runs) {
            x = random() % 40 == 0 ? static_cast<double>(random() % 1000) : x + 0.5;
        } else if (order == Order::FewValues) {
            x = static_cast<double>(random() % 5);
        } else {
            x = random() % 100 == 0 ? std::numeric_limits<double>::quiet_NaN()
                                    : static_cast<double>(random() % 300);
        }
        if (gapLeft == 0 && random() % 25 == 0) gapLeft = 1 + random() % 30;
        const bool gapFill = gapLeft > 0;
        if (gapLeft > 0) --gapLeft;
        points.push_back({x, gapFill ? 0.0 : 1.0 + static_cast<double>(i), gapFill});
    }
    return points;
}

}  // namespace

class GapMarksTest : public QObject {
    Q_OBJECT

  private slots:
    void marks_moveWithTheirPoints_data() {
        QTest::addColumn<int>("order");
        QTest::addColumn<int>("count");
        // Both sides of the merge get copied out: the run before midnight short, or long.
        QTest::newRow("midnight, short evening") << int(Order::ShortBeforeMidnight) << 5000;
        QTest::newRow("midnight, long evening") << int(Order::LongBeforeMidnight) << 5000;
        QTest::newRow("many runs") << int(Order::Runs) << 4000;
        QTest::newRow("equal X") << int(Order::FewValues) << 2000;
        QTest::newRow("NaN X among them") << int(Order::NanX) << 2000;
    }
    void marks_moveWithTheirPoints() {
        QFETCH(int, order);
        QFETCH(int, count);
        for (std::uint64_t seed = 1; seed <= 3; ++seed) {
            const auto points = makePoints(Order(order), std::size_t(count), seed);
            PointList list;
            std::vector<Marked> expected;
            appendEach(list, expected, points);
            checkSame(list, expected);
            // More points after a merge, then a second merge.
            for (std::size_t i = 0; i < 200; ++i) {
                const bool gapFill = i % 3 == 0;
                const Marked p{points[i].x, gapFill ? 0.0 : points[i].y, gapFill};
                append(list, p);
                insertInOrder(expected, p);
            }
            checkSame(list, expected);
        }
    }

    // Gap fills arriving after many plain points mark only themselves; the list
    // without one answers from nothing.
    void firstGapFill_marksOnlyItself() {
        PointList list;
        for (int i = 0; i < 1000; ++i) list.append(i, 5.0);
        QCOMPARE(list.gapFillCount(), std::size_t{0});
        QVERIFY(!list.isGapFill(999));
        QCOMPARE(list.nextGapFill(0, 1000), std::size_t{1000});
        list.appendGapFill(1000);
        list.append(1001, 0.0);
        QCOMPARE(list.nextGapFill(0, 1002), std::size_t{1000});
        QCOMPARE(list.nextGapFill(1001, 1002), std::size_t{1002});
        QVERIFY(list.isGapFill(1000));
        QVERIFY(!list.isGapFill(1001) && !list.isGapFill(999));
    }

    void copyMoveAndClear() {
        PointList list;
        std::vector<Marked> expected;
        appendEach(list, expected, makePoints(Order::LongBeforeMidnight, 700, 9));
        PointList copy(list);  // merges the original first
        checkSame(copy, expected);
        PointList assigned;
        assigned.appendGapFill(3.0);
        assigned = copy;
        checkSame(assigned, expected);
        PointList moved(std::move(copy));
        checkSame(moved, expected);
        checkSame(list, expected);
        list.clear();
        list.append(1.0, 0.0);
        QCOMPARE(list.gapFillCount(), std::size_t{0});
        QVERIFY(!list.isGapFill(0));
    }

    // A load across midnight with gaps on both sides: after the merge, exactly the
    // zero points of the gap fills are marked, and their number is what the report says
    // each channel got.
    void load_acrossMidnight_marksTheGapFills() {
        QTemporaryDir dir;
        QByteArray log;
        const auto line = [&log](const char* time, const char* value) {
            log += QByteArray("7,12/05/2024,") + time + "," + value + "\n";
        };
        line("23:59:50", "0");
        line("23:59:51", "11");
        line("23:59:55", "12");  // fills :51 to :55
        line("23:59:59", "13");  // fills :56 to :59
        line("00:00:00", "14");
        line("00:00:05", "15");  // fills :00 to :05
        line("00:00:06", "0");
        const QString path = writeLog(dir, log);
        Chart chart;
        zp::createChannelSeries(chart, QPalette());
        zp::prepareChartForLoad(chart);
        const zp::ImportResult result =
            zp::loadLogIntoChart(path, zp::UnitSelectors{}, chart, testOptions());
        QCOMPARE(result.status, zp::ImportResult::Status::Loaded);
        const PointList& air = zp::channelSeries(chart, zp::AirspeedSeries).points;
        const auto points = air.points();
        QCOMPARE(points.size(), std::size_t{4 + 15});
        QCOMPARE(air.gapFillCount(), std::size_t(result.report.filledSeconds));
        std::vector<int> markedSeconds;
        for (std::size_t i = 0; i < points.size(); ++i) {
            QVERIFY(points[i].x >= points[i > 0 ? i - 1 : 0].x);
            if (air.isGapFill(i)) {
                QCOMPARE(points[i].y, 0.0);
                markedSeconds.push_back(int(std::lround(points[i].x * 86400.0)));
            }
        }
        // In X order: the morning's fill first, then the evening's two.
        QCOMPARE(markedSeconds, (std::vector<int>{0, 1, 2, 3, 4, 5, 86391, 86392, 86393, 86394,
                                                  86395, 86396, 86397, 86398, 86399}));
        // 00:00:00 and its fill, the fill to :05, then the recorded zeros at 00:00:06
        // and 23:59:50 are readings, as is :51 before its fill.
        for (const std::size_t reading : {0, 7, 8, 9}) QVERIFY(!air.isGapFill(reading));
        QCOMPARE(points[7].y, 0.0);
        QCOMPARE(points[8].y, 0.0);
    }
};

QTEST_GUILESS_MAIN(GapMarksTest)
#include "test_gap_marks.moc"
