// The point list merges out-of-order appends into exactly the order that inserting
// each point in turn gives, and keeps its extremes and block extents equal to what a
// scan of the ordered points finds.
#include <QtTest>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "chart/series.h"

using namespace zp::chart;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The straightforward rule: scan back past every point whose X is greater, insert
// after the last one that is not.
void insertInOrder(std::vector<ChartPoint>& list, ChartPoint p) {
    std::size_t j = list.size();
    while (j > 0 && list[j - 1].x > p.x) --j;
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(j), p);
}

bool sameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

enum class Order {
    Midnight,   // one ascending run, then a second that starts lower
    Runs,       // random ascending runs of random length
    Shuffled,   // no order at all
    FewValues,  // X from a handful of values: many equal X
    SpecialX,   // NaN, infinite and signed zero X among ordinary ones
    Zeros,      // X and Y of +0, -0 and a few positives: a zero of either sign is an extreme
};

std::vector<ChartPoint> arrivals(Order order, std::uint64_t seed, int count) {
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<ChartPoint> points;
    double x = 0.5;
    for (int i = 0; i < count; ++i) {
        const double r = unit(random);
        const double y = std::round(100.0 * unit(random)) - 50.0;  // includes 0 and ties
        switch (order) {
            case Order::Midnight:
                x = i == count / 5 ? 0.0 : x + 1.0 / 86400.0;
                break;
            case Order::Runs:
                x = r < 0.05 ? unit(random) * 10.0 : x + unit(random) * 0.1;
                break;
            case Order::Shuffled:
                x = unit(random);
                break;
            case Order::FewValues:
                x = std::floor(unit(random) * 4.0);
                break;
            case Order::Zeros:
                break;
            case Order::SpecialX:
                x = r < 0.03   ? kNaN
                    : r < 0.06 ? (unit(random) < 0.5 ? kInf : -kInf)
                    : r < 0.12 ? (unit(random) < 0.5 ? 0.0 : -0.0)
                               : unit(random) * 2.0 - 1.0;
                break;
        }
        if (order == Order::Zeros) {
            const double pick[] = {0.0, -0.0, 1.0, 2.0};
            points.push_back(ChartPoint{pick[random() % 4], pick[random() % 4]});
            continue;
        }
        points.push_back(ChartPoint{x, r < 0.02 ? -0.0 : y});
    }
    return points;
}

}  // namespace

class PointOrderTest : public QObject {
    Q_OBJECT
  private slots:
    void points_sameAsInsertingEach_data();
    void points_sameAsInsertingEach();
    void copyAndMove_keepPointsAndExtremes();
    void clear_startsAfresh();
};

void PointOrderTest::points_sameAsInsertingEach_data() {
    QTest::addColumn<int>("order");
    QTest::addColumn<int>("readEvery");  // read the points after this many appends; 0: at the end
    const std::pair<const char*, Order> orders[] = {
        {"midnight", Order::Midnight},  {"runs", Order::Runs},
        {"shuffled", Order::Shuffled},  {"few values", Order::FewValues},
        {"special X", Order::SpecialX}, {"signed zeros", Order::Zeros}};
    for (const auto& [name, order] : orders)
        for (int every : {0, 1, 37})
            QTest::addRow("%s, read %s", name,
                          every == 0   ? "at the end"
                          : every == 1 ? "after each"
                                       : "now and then")
                << static_cast<int>(order) << every;
}

void PointOrderTest::points_sameAsInsertingEach() {
    QFETCH(int, order);
    QFETCH(int, readEvery);
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        const std::vector<ChartPoint> input = arrivals(static_cast<Order>(order), seed, 700);
        PointList list;
        std::vector<ChartPoint> expected;
        for (std::size_t i = 0; i < input.size(); ++i) {
            list.append(input[i].x, input[i].y);
            insertInOrder(expected, input[i]);
            if (readEvery > 0 && i % static_cast<std::size_t>(readEvery) == 0) (void)list.points();
        }
        const PointView got = list.points();
        QCOMPARE(got.size(), expected.size());
        for (std::size_t i = 0; i < got.size(); ++i)
            if (!sameBits(got[i].x, expected[i].x) || !sameBits(got[i].y, expected[i].y))
                QFAIL(qPrintable(QStringLiteral("seed %1: point %2 is (%3, %4), expected (%5, %6)")
                                     .arg(seed)
                                     .arg(i)
                                     .arg(got[i].x)
                                     .arg(got[i].y)
                                     .arg(expected[i].x)
                                     .arg(expected[i].y)));

        // The extremes as a scan of the ordered points finds them, zeros' signs included.
        FiniteRange xs, ys;
        for (const ChartPoint& p : expected) {
            xs.add(p.x);
            ys.add(p.y);
        }
        QCOMPARE(list.xRange().any, xs.any);
        QVERIFY(sameBits(list.xRange().minimum, xs.minimum));
        QVERIFY(sameBits(list.xRange().maximum, xs.maximum));
        QVERIFY(sameBits(list.yRange().minimum, ys.minimum));
        QVERIFY(sameBits(list.yRange().maximum, ys.maximum));
        QCOMPARE(list.hasNanX(), std::any_of(input.begin(), input.end(),
                                             [](const ChartPoint& p) { return std::isnan(p.x); }));

        // Block extents of the ordered points (the values matter, not which zero).
        const std::span<const YExtent> blocks = list.yBlocks();
        QCOMPARE(blocks.size(), expected.size() / PointList::kBlockSize);
        for (std::size_t b = 0; b < blocks.size(); ++b) {
            double low = kInf, high = -kInf;
            for (std::size_t k = 0; k < PointList::kBlockSize; ++k) {
                low = std::min(low, expected[b * PointList::kBlockSize + k].y);
                high = std::max(high, expected[b * PointList::kBlockSize + k].y);
            }
            QCOMPARE(blocks[b].low, low);
            QCOMPARE(blocks[b].high, high);
        }
    }
}

void PointOrderTest::copyAndMove_keepPointsAndExtremes() {
    PointList list;
    for (int i = 0; i < 300; ++i) list.append((i * 37) % 101, i);
    const PointList copy = list;
    QCOMPARE(copy.size(), list.size());
    QVERIFY(std::equal(
        copy.points().begin(), copy.points().end(), list.points().begin(),
        [](const ChartPoint& a, const ChartPoint& b) { return a.x == b.x && a.y == b.y; }));
    QCOMPARE(copy.xRange().maximum, 100.0);
    QCOMPARE(copy.yBlocks().size(), list.yBlocks().size());

    PointList moved = std::move(list);
    QCOMPARE(moved.size(), std::size_t{300});
    QCOMPARE(moved.yRange().maximum, 299.0);
    QVERIFY(list.empty());  // NOLINT: a moved-from list is empty and usable
    list.append(1.0, 2.0);
    QCOMPARE(list.points()[0].y, 2.0);
}

void PointOrderTest::clear_startsAfresh() {
    PointList list;
    list.append(5.0, kNaN);
    list.append(1.0, 1.0);
    list.append(kNaN, 2.0);
    QVERIFY(list.hasNanX());
    QVERIFY(!list.allFinite());
    list.clear();
    QVERIFY(list.empty());
    QVERIFY(!list.hasNanX());
    QVERIFY(list.allFinite());
    QVERIFY(!list.xRange().any);
    for (int i = 0; i < 200; ++i) list.append(200 - i, i);
    QCOMPARE(list.points().front().x, 1.0);
    QCOMPARE(list.points().back().x, 200.0);
    QCOMPARE(list.yBlocks().size(), std::size_t{3});
}

QTEST_GUILESS_MAIN(PointOrderTest)
#include "test_point_order.moc"
