// Statistics and limit exceedances of a series: only readings count (gap-fill zeros and
// non-finite values are left out), range edges are inclusive, the extremes' X is the
// first reached in X order, a reading equal to a limit is inside it, and a gap fill or a
// non-finite reading ends a run.
#include <QtTest>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "analysis/series_analysis.h"
#include "tests/support/exceedance_text.h"

using namespace zp::analysis;
using zp::chart::PointList;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kGap = -12345.0;  // in a point table: a gap-fill point at that X

struct P {
    double x;
    double y;
};

PointList listOf(const std::vector<P>& points) {
    PointList list;
    for (const P& p : points) {
        if (p.y == kGap)
            list.appendGapFill(p.x);
        else
            list.append(p.x, p.y);
    }
    return list;
}

// "n=3 min=1@2 max=5@4 mean=3", or "none".
QString text(const std::optional<SeriesStats>& s) {
    if (!s) return QStringLiteral("none");
    return QStringLiteral("n=%1 min=%2@%3 max=%4@%5 mean=%6")
        .arg(s->count)
        .arg(s->minimum)
        .arg(s->minimumX)
        .arg(s->maximum)
        .arg(s->maximumX)
        .arg(s->mean);
}

QString text(const std::vector<Exceedance>& runs) {
    return zp::test::exceedanceText(runs);
}

}  // namespace

Q_DECLARE_METATYPE(std::vector<P>)

class SeriesAnalysisTest : public QObject {
    Q_OBJECT

  private slots:
    void stats_data() {
        QTest::addColumn<std::vector<P>>("points");
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<QString>("expected");
        const std::vector<P> base{{1, 4}, {2, 1}, {3, 7}, {4, 1}, {5, 7}};
        QTest::newRow("empty") << std::vector<P>{} << -kInf << kInf << "none";
        QTest::newRow("whole axis, first X of each extreme")
            << base << -kInf << kInf << "n=5 min=1@2 max=7@3 mean=4";
        QTest::newRow("edges are inside") << base << 3.0 << 4.0 << "n=2 min=1@4 max=7@3 mean=4";
        QTest::newRow("one point range") << base << 5.0 << 5.0 << "n=1 min=7@5 max=7@5 mean=7";
        QTest::newRow("between points") << base << 2.5 << 2.75 << "none";
        QTest::newRow("before the first") << base << -3.0 << 0.5 << "none";
        QTest::newRow("gap-fill zeros are not readings")
            << std::vector<P>{{1, 4}, {2, kGap}, {3, kGap}, {4, 6}, {5, 0}} << -kInf << kInf
            << "n=3 min=0@5 max=6@4 mean=3.33333";
        QTest::newRow("only gap fills")
            << std::vector<P>{{1, kGap}, {2, kGap}} << -kInf << kInf << "none";
        QTest::newRow("non-finite readings left out")
            << std::vector<P>{{1, kNaN}, {2, 3}, {3, kInf}, {4, -kInf}, {5, 5}} << -kInf << kInf
            << "n=2 min=3@2 max=5@5 mean=4";
        QTest::newRow("appended out of order: X order counts")
            << std::vector<P>{{3, 2}, {4, 9}, {1, 9}, {2, 2}} << -kInf << kInf
            << "n=4 min=2@2 max=9@1 mean=5.5";
        // Across midnight the points are kept in X order by where the block starts, read
        // round its end; a range then takes points on both sides of the block's end.
        const std::vector<P> midnight{{0.9, 3}, {0.95, 8}, {0.99, 2}, {0.01, 9}, {0.5, 2}};
        QTest::newRow("across midnight")
            << midnight << -kInf << kInf << "n=5 min=2@0.5 max=9@0.01 mean=4.8";
        QTest::newRow("across midnight, a range")
            << midnight << 0.4 << 0.95 << "n=3 min=2@0.5 max=8@0.95 mean=4.33333";
        // A NaN X leaves the list unsorted: every X is checked, the NaN one is in no range.
        QTest::newRow("NaN X") << std::vector<P>{{5, 1}, {kNaN, 100}, {1, 3}, {9, -4}} << 0.0 << 6.0
                               << "n=2 min=1@5 max=3@1 mean=2";
    }
    void stats() {
        QFETCH(std::vector<P>, points);
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(QString, expected);
        QCOMPARE(text(seriesStats(listOf(points), XRange{from, to})), expected);
    }

    // The mean is the sum in X order: 1e16, 1, -1e16 in that order sums to 0, where
    // the arrival order (1 first) would give 1.
    void stats_meanSumsInXOrder() {
        const PointList list = listOf({{2, 1e16}, {3, 1}, {4, -1e16}, {1, 0}});
        QCOMPARE(seriesStats(list)->mean, 0.0);
        const PointList late = listOf({{3, 1}, {4, -1e16}, {2, 1e16}});
        QCOMPARE(seriesStats(late)->mean, 0.0);
    }

    // A zoomed stretch of a long list gives what the whole list gives over the same
    // points, gap fills among them.
    void stats_zoomedAgreesWithAFilteredScan() {
        PointList list;
        std::vector<P> readings;
        for (int i = 0; i < 100000; ++i) {
            const double x = i * 0.001;
            if (i % 97 < 5) {
                list.appendGapFill(x);
                continue;
            }
            const double y = std::sin(i * 0.01) * 100.0;
            list.append(x, y);
            readings.push_back({x, y});
        }
        const XRange range{40.0, 41.5};
        PointList inRange;
        for (const P& p : readings)
            if (p.x >= range.from && p.x <= range.to) inRange.append(p.x, p.y);
        QCOMPARE(text(seriesStats(list, range)), text(seriesStats(inRange)));
        QCOMPARE(seriesStats(list, range)->count, inRange.size());
    }

    void exceedances_data() {
        QTest::addColumn<std::vector<P>>("points");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<QString>("expected");
        QTest::newRow("equal to a limit is inside")
            << std::vector<P>{{1, 10}, {2, 0}, {3, 5}} << 0.0 << 10.0 << "";
        QTest::newRow("runs at the start and the end")
            << std::vector<P>{{1, 11}, {2, 12}, {3, 5}, {4, -1}, {5, -3}} << 0.0 << 10.0
            << "H1-2:12 L4-5:-3";
        QTest::newRow("straight from high to low") << std::vector<P>{{1, 20}, {2, -20}, {3, 20}}
                                                   << 0.0 << 10.0 << "H1-1:20 L2-2:-20 H3-3:20";
        QTest::newRow("a gap fill ends a run and starts none")
            << std::vector<P>{{1, 20}, {2, kGap}, {3, 30}, {4, 5}} << 1.0 << 10.0
            << "H1-1:20 H3-3:30";
        QTest::newRow("a NaN ends a run, an infinity is not a reading")
            << std::vector<P>{{1, 20}, {2, kNaN}, {3, 30}, {4, kInf}, {5, 40}} << 0.0 << 10.0
            << "H1-1:20 H3-3:30 H5-5:40";
        QTest::newRow("high only")
            << std::vector<P>{{1, -50}, {2, 15}, {3, 14}} << -kInf << 10.0 << "H2-3:15";
        QTest::newRow("low only, peak is the lowest")
            << std::vector<P>{{1, -2}, {2, -9}, {3, -4}, {4, 50}} << 0.0 << kInf << "L1-3:-9";
        QTest::newRow("across midnight, read round the block's end")
            << std::vector<P>{{0.9, 20}, {0.95, 5}, {0.99, 30}, {0.01, 40}, {0.02, 5}, {0.5, 20}}
            << 0.0 << 10.0 << "H0.01-0.01:40 H0.5-0.9:20 H0.99-0.99:30";
        QTest::newRow("a run through the block's end, its peak past it")
            << std::vector<P>{{0.9, 35}, {0.95, 5}, {0.01, 5}, {0.5, 20}} << 0.0 << 10.0
            << "H0.5-0.9:35";
        QTest::newRow("limits crossed: beyond both is High")
            << std::vector<P>{{1, 20}, {2, 7}, {3, 3}} << 10.0 << 5.0 << "H1-2:20 L3-3:3";
        QTest::newRow("in X order after a merge")
            << std::vector<P>{{3, 20}, {4, 20}, {1, 20}, {2, 5}} << 0.0 << 10.0
            << "H1-1:20 H3-4:20";
    }
    void exceedances() {
        QFETCH(std::vector<P>, points);
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(QString, expected);
        QCOMPARE(text(zp::analysis::exceedances(listOf(points), Limits{low, high})), expected);
    }

    // A range cuts runs at its edges: only the readings inside count.
    void exceedances_inARange() {
        const PointList list = listOf({{1, 20}, {2, 30}, {3, 25}, {4, 5}, {5, 40}, {6, 50}});
        QCOMPARE(text(zp::analysis::exceedances(list, Limits{0, 10}, XRange{2, 5})),
                 QStringLiteral("H2-3:30 H5-5:40"));
    }

    // A long list, whose blocks of readings all within the limits are passed over, gives
    // the runs a walk over every reading gives: runs across block edges, starting at one,
    // one reading long, ended by a gap fill, at the list's end.
    void exceedances_longListAsEveryReading() {
        PointList list;
        std::vector<P> points;
        for (int i = 0; i < 20000; ++i) {
            const double x = i * 1e-4;
            double y = std::sin(i * 0.002) * 20.0;  // long stretches within the limits
            if (i % 640 == 0 || i % 640 == 63 || i % 977 == 5)
                y = 50.0 + i % 13;  // lone readings beyond
            if (i % 1500 == 700) {
                list.appendGapFill(x);
                points.push_back({x, kGap});
                continue;
            }
            list.append(x, y);
            points.push_back({x, y});
        }
        const Limits limits{-15.0, 15.0};
        // The walk over every reading.
        std::vector<Exceedance> expected;
        bool open = false;
        for (const P& p : points) {
            const bool beyond = p.y != kGap && (p.y > limits.high || p.y < limits.low);
            const ExceedSide side = p.y > limits.high ? ExceedSide::High : ExceedSide::Low;
            if (open && (!beyond || expected.back().side != side)) open = false;
            if (!beyond) continue;
            if (!open) {
                expected.push_back(Exceedance{side, p.x, p.x, p.y});
                open = true;
                continue;
            }
            Exceedance& run = expected.back();
            run.endX = p.x;
            if (side == ExceedSide::High ? p.y > run.peak : p.y < run.peak) run.peak = p.y;
        }
        QVERIFY(expected.size() > 50);
        QCOMPARE(text(zp::analysis::exceedances(list, limits)), text(expected));
        QCOMPARE(zp::analysis::exceedances(list, limits), expected);
    }

    // Of equal peaks the first counts: a zero keeps the sign of the first.
    void exceedances_firstOfEqualPeaks() {
        const auto low = zp::analysis::exceedances(listOf({{1, -0.0}, {2, 0.0}}), Limits{1, 10});
        QCOMPARE(low.size(), std::size_t{1});
        QVERIFY(std::signbit(low[0].peak));
        const auto high = zp::analysis::exceedances(listOf({{1, 0.0}, {2, -0.0}}), Limits{-9, -1});
        QCOMPARE(high.size(), std::size_t{1});
        QVERIFY(!std::signbit(high[0].peak));
    }

    // The lists at once give what each gives alone, on threads when they are long:
    // lists in every form (rotated across midnight, merged, wide, with gap fills and
    // non-finite values, empty), over the whole axis and a range.
    void ofEach_agreeWithEachAlone() {
        std::vector<PointList> lists(6);
        for (int i = 0; i < 150000; ++i) {
            const double t = 0.5 + i * 1e-5;
            const double x = t < 1.0 ? t : t - 1.0;  // crosses midnight
            const double y = std::sin(i * 0.003) * 50.0 + (i % 7);
            lists[0].append(x, y);
            if (i % 211 == 0)
                lists[1].appendGapFill(i * 1e-5);
            else
                lists[1].append(i * 1e-5, i % 503 == 0 ? kNaN : y);
            lists[2].append(i * 1e-5, y + 0.1);                        // no float: the wide form
            lists[3].append((i % 2 == 0 ? i : 150000 - i) * 1e-5, y);  // merged
        }
        lists[5].append(0.25, 3.0);
        std::vector<const PointList*> pointers;
        std::vector<Limits> limits;
        for (const PointList& list : lists) {
            pointers.push_back(&list);
            limits.push_back(Limits{-20.0, 25.0});
        }
        for (const XRange range : {XRange{}, XRange{0.3, 0.9}}) {
            const auto stats = seriesStatsOfEach(pointers, range);
            const auto runs = exceedancesOfEach(pointers, limits, range);
            QCOMPARE(stats.size(), lists.size());
            QCOMPARE(runs.size(), lists.size());
            for (std::size_t k = 0; k < lists.size(); ++k) {
                QCOMPARE(text(stats[k]), text(seriesStats(lists[k], range)));
                QCOMPARE(runs[k], zp::analysis::exceedances(lists[k], limits[k], range));
                QVERIFY(k >= 4 || !runs[k].empty());
            }
        }
    }
};

QTEST_APPLESS_MAIN(SeriesAnalysisTest)
#include "test_series_analysis.moc"
