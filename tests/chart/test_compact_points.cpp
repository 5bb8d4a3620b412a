// The compact form of the point list: what the import appends stays in 8 bytes a point,
// and anything else (values that are no float, times that are not whole milliseconds,
// days far apart) turns the list wide without changing a bit of any point, its order
// or its gap marks; a load of every sample log stays compact.
#include <QDir>
#include <QPalette>
#include <QtTest>
#include <bit>
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

constexpr double kDay = 86400000.0;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// A record time as the import computes it: whole milliseconds of a day over the
// milliseconds of a day, plus the day of a date field.
double recordTime(std::uint32_t day, std::uint32_t ms) {
    return day == 0 ? ms / kDay : static_cast<double>(day) + ms / kDay;
}

// Import-like points: float values, a log that crosses midnight (time only, or a date
// field whose day goes on), gap fills in stretches.
// The first `evening` points come before midnight (half of them unless given).
std::vector<Marked> importLike(bool dated, std::size_t n, std::uint64_t seed,
                               std::size_t evening = 0) {
    std::mt19937_64 random(seed);
    std::vector<Marked> points;
    if (evening == 0) evening = n / 2;
    std::uint32_t ms = 86400000 - static_cast<std::uint32_t>(evening) * 250;
    std::uint32_t day = dated ? 45600 : 0;
    std::size_t gapLeft = 0;
    for (std::size_t i = 0; i < n; ++i) {
        ms += 250;
        if (ms >= 86400000) {
            ms -= 86400000;
            if (dated) ++day;
        }
        if (gapLeft == 0 && random() % 40 == 0) gapLeft = 1 + random() % 8;
        const bool gapFill = gapLeft > 0;
        if (gapFill) --gapLeft;
        const float value = static_cast<float>(random() % 4000) / 7.0f;
        points.push_back({recordTime(day, ms), gapFill ? 0.0 : double(value), gapFill});
    }
    return points;
}

}  // namespace

class CompactPointsTest : public QObject {
    Q_OBJECT

  private slots:
    void importLikePoints_stayCompactAndComeBackExactly_data() {
        QTest::addColumn<bool>("dated");
        QTest::newRow("time of day across midnight") << false;
        QTest::newRow("date and time across midnight") << true;
    }
    void importLikePoints_stayCompactAndComeBackExactly() {
        QFETCH(bool, dated);
        const std::vector<Marked> input = importLike(dated, 20000, 7);
        PointList list;
        std::vector<Marked> expected;
        appendEach(list, expected, input);
        checkSame(list, expected);
        QVERIFY(!list.isWide());
        // Growth by half at a time: at most 8 bytes a point plus the room to grow.
        QVERIFY(list.blockBytes() <= 12 * list.size());
    }

    // A log across midnight is put in order without moving its points; reading it,
    // appending more (in order, out of order, one that does not fit), copying it and
    // reading again still gives every point as inserting each in turn would.
    void acrossMidnight_readThenAppendMore_data() {
        QTest::addColumn<int>("more");
        QTest::newRow("later points") << 0;
        QTest::newRow("points of another midnight") << 1;
        QTest::newRow("a point that does not fit") << 2;
    }
    void acrossMidnight_readThenAppendMore() {
        QFETCH(int, more);
        for (const std::size_t evening : {std::size_t{10}, std::size_t{3000}, std::size_t{5990}}) {
            const std::vector<Marked> input = importLike(false, 6000, evening, evening);
            PointList list;
            std::vector<Marked> expected;
            appendEach(list, expected, input);
            checkSame(list, expected);
            const PointList copy = list;
            checkSame(copy, expected);
            std::vector<Marked> later = importLike(false, 500, 99);
            if (more == 0)  // between the morning's points and the evening's
                for (std::size_t k = 0; k < later.size(); ++k)
                    later[k].x = recordTime(0, 80000000 + 250 * std::uint32_t(k));
            if (more == 2) later[250] = Marked{0.3, 0.1, false};
            appendEach(list, expected, later);
            checkSame(list, expected);
            QCOMPARE(list.isWide(), more == 2);
        }
    }

    // Each of these points does not fit the compact form. Appended among compact
    // points, before, among and after the out-of-order ones of a midnight, it turns
    // the list wide, and every point (the compact ones before it too) comes back as
    // appended, in the order inserting each in turn gives.
    void pointsThatDoNotFit_comeBackBitForBit_data() {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::newRow("value not a float") << 0.25 << 0.1;
        QTest::newRow("value beyond a float") << 0.25 << 1e39;
        QTest::newRow("time between milliseconds") << 0.25 + 1e-12 << 1.0;
        QTest::newRow("time before the first day") << -0.25 << 1.0;
        QTest::newRow("time of negative zero") << -0.0 << 1.0;
        QTest::newRow("time infinite") << kInf << 1.0;
        QTest::newRow("time NaN") << kNaN << 1.0;
        QTest::newRow("day far after the first") << 30.5 << 1.0;
        QTest::newRow("day beyond the compact days") << 33554432.5 << 1.0;
        QTest::newRow("value NaN of a double")
            << 0.25 << std::bit_cast<double>(0x7FF8000000000001ull);
    }
    void pointsThatDoNotFit_comeBackBitForBit() {
        QFETCH(double, x);
        QFETCH(double, y);
        for (const std::size_t at :
             {std::size_t{0}, std::size_t{1500}, std::size_t{2600}, std::size_t{3999}}) {
            std::vector<Marked> input = importLike(false, 4000, at + 1);
            input.insert(input.begin() + static_cast<std::ptrdiff_t>(at), Marked{x, y, false});
            PointList list;
            std::vector<Marked> expected;
            for (std::size_t i = 0; i < input.size(); ++i) {
                append(list, input[i]);
                // NaN X stays where it came: the expected list then keeps arrival order
                // around it, which only the order check below skips.
                if (std::isnan(input[i].x))
                    expected.push_back(input[i]);
                else
                    insertInOrder(expected, input[i]);
                if (i == at + 1) (void)list.points();  // a merge right after the change
            }
            QVERIFY2(list.isWide(), qPrintable(QStringLiteral("wide after point %1").arg(at)));
            if (std::isnan(x)) {
                // Only the multiset and the NaN's place are certain; the point itself is.
                QCOMPARE(list.size(), input.size());
                QVERIFY(list.hasNanX());
                continue;
            }
            checkSame(list, expected);
            QVERIFY(sameBits(list.xRange().maximum, expected.back().x) || !std::isfinite(x));
        }
    }

    // Readings appended a column at a time give the very list that appending each in
    // turn gives: onto a list empty, compact, read across midnight or wide, with an odd
    // point somewhere in a column, in columns of several lengths.
    void appendColumn_sameAsAppendingEach_data() {
        QTest::addColumn<double>("x");
        QTest::addColumn<float>("y");
        // An X of -1: the reading keeps its own time.
        QTest::newRow("nothing odd") << -1.0 << 1.0f;
        QTest::newRow("value NaN") << -1.0 << std::numeric_limits<float>::quiet_NaN();
        QTest::newRow("value infinite") << -1.0 << std::numeric_limits<float>::infinity();
        QTest::newRow("value negative zero") << -1.0 << -0.0f;
        QTest::newRow("time going back") << 0.001 << 2.0f;
        QTest::newRow("time going back, value the lowest") << 0.001 << -5000.0f;
        QTest::newRow("time between milliseconds") << 0.5 + 1e-12 << 2.0f;
        QTest::newRow("time of negative zero") << -0.0 << 2.0f;
        QTest::newRow("time NaN") << kNaN << 2.0f;
        QTest::newRow("day far after the first") << 30.5 << 2.0f;
    }
    void appendColumn_sameAsAppendingEach() {
        QFETCH(double, x);
        QFETCH(float, y);
        for (int start = 0; start < 4; ++start) {
            for (const std::size_t column : {std::size_t{1}, std::size_t{7}, std::size_t{256}}) {
                std::vector<double> xs;
                std::vector<float> ys;  // two per reading: the column has a stride of 2
                for (const Marked& p : importLike(false, 3000, column + start)) {
                    if (p.gapFill || p.x < 0.5) continue;  // the evening's readings
                    xs.push_back(p.x);
                    ys.push_back(static_cast<float>(p.y));
                    ys.push_back(-1.0f);
                }
                const std::size_t odd = xs.size() / 3 + column / 2;
                if (x != -1.0) xs[odd] = x;
                ys[2 * odd] = y;
                PointList each;
                PointList columns;
                for (PointList* list : {&each, &columns}) {
                    if (start == 1) list->append(0.25, 1.0);  // compact
                    if (start == 2) {  // read across midnight, then appended to
                        list->append(0.9, 1.0);
                        list->append(0.1, 2.0);
                        (void)list->points();
                    }
                    if (start == 3) list->append(0.25, 0.1);  // wide
                }
                for (std::size_t k = 0; k < xs.size(); ++k)
                    each.append(xs[k], static_cast<double>(ys[2 * k]));
                for (std::size_t k = 0; k < xs.size(); k += column) {
                    const std::size_t n = std::min(column, xs.size() - k);
                    std::vector<std::uint64_t> times;
                    for (std::size_t i = k; i < k + n; ++i) times.push_back(millisecondsOf(xs[i]));
                    columns.appendColumn(xs.data() + k, times.data(), ys.data() + 2 * k, 2, n);
                }
                QCOMPARE(columns.isWide(), each.isWide());
                QCOMPARE(columns.hasNanX(), each.hasNanX());
                QCOMPARE(columns.allFinite(), each.allFinite());
                const PointView a = each.points();
                const PointView b = columns.points();
                QCOMPARE(b.size(), a.size());
                for (std::size_t i = 0; i < a.size(); ++i)
                    QVERIFY2(sameBits(a.x(i), b.x(i)) && sameBits(a.y(i), b.y(i)),
                             qPrintable(QStringLiteral("point %1").arg(i)));
                for (const auto& [r, q] : {std::pair{&each.xRange(), &columns.xRange()},
                                           std::pair{&each.yRange(), &columns.yRange()}}) {
                    QCOMPARE(q->any, r->any);
                    QVERIFY(sameBits(q->minimum, r->minimum) && sameBits(q->maximum, r->maximum));
                }
            }
        }
    }

    // Float values of every kind a conversion can give are held as floats exactly.
    void floatValues_ofEveryKind_stayCompact() {
        const float values[] = {0.0f,
                                -0.0f,
                                std::numeric_limits<float>::denorm_min(),
                                std::numeric_limits<float>::max(),
                                -std::numeric_limits<float>::infinity(),
                                std::numeric_limits<float>::quiet_NaN(),
                                -std::numeric_limits<float>::quiet_NaN(),
                                1.0f / 3.0f};
        PointList list;
        std::uint32_t ms = 0;
        for (const float v : values) list.append(recordTime(0, ms += 1000), double(v));
        QVERIFY(!list.isWide());
        for (std::size_t i = 0; i < std::size(values); ++i)
            QVERIFY(sameBits(list.points().y(i), double(values[i])));
        QVERIFY(!list.allFinite());
    }

    void clear_makesAWideListCompactAgain() {
        PointList list;
        list.append(0.5, 0.1);
        QVERIFY(list.isWide());
        list.clear();
        list.append(0.5, 0.5);
        QVERIFY(!list.isWide());
        const PointList copy = list;
        QVERIFY(!copy.isWide());
        QVERIFY(sameBits(copy.points().x(0), 0.5));
    }

    // Every series of every sample log, as the import appends it, stays compact.
    void sampleLogs_loadCompact() {
        const QDir samples(QStringLiteral(ZP_SOURCE_DIR "/samples"));
        const QStringList logs = samples.entryList({QStringLiteral("*.csv")}, QDir::Files);
        QVERIFY(logs.size() >= 13);
        for (const QString& name : logs) {
            Chart chart;
            zp::createChannelSeries(chart, QPalette());
            zp::prepareChartForLoad(chart);
            const zp::ImportResult result = zp::loadLogIntoChart(
                samples.filePath(name), zp::UnitSelectors{}, chart, testOptions());
            QCOMPARE(result.status, zp::ImportResult::Status::Loaded);
            for (const LineSeries& series : chart.series)
                QVERIFY2(!series.points.isWide(),
                         qPrintable(name + QLatin1Char(' ') + series.name));
        }
    }
};

QTEST_GUILESS_MAIN(CompactPointsTest)
#include "test_compact_points.moc"
