// Appending points at the stored times of another list (PointList::appendStored) gives the
// very list that appending each point at its X would: the same points and gap marks, the
// same form, extremes and counts, and the same handling of what comes after, whether the
// times are taken as they come or the list falls back to appending each point.
#include <QtTest>
#include <bit>
#include <cstdint>
#include <limits>
#include <vector>

#include "chart/series.h"
#include "tests/support/marked_points.h"

using namespace zp::chart;
using namespace zp::testing;

namespace {

constexpr double kMsPerDay = 86400000.0;

double recordTime(std::uint32_t day, std::uint32_t ms) {
    return static_cast<double>(day) + ms / kMsPerDay;
}

// A source as the import fills it: a reading every 250 ms (two a time now and then)
// from `startMs` on day `day`, going on past midnight on the same day (a log with a time
// of day only) or the next (`dated`), with a stretch of gap fills.
PointList sourceList(std::uint32_t day, std::uint32_t startMs, bool dated) {
    PointList list;
    std::uint32_t ms = startMs;
    for (int i = 0; i < 400; ++i) {
        if (i % 7 != 3) ms += 250;
        if (ms >= 86400000) ms -= 86400000, day += dated ? 1 : 0;
        if (i >= 200 && i < 210)
            list.appendGapFill(recordTime(day, ms));
        else
            list.append(recordTime(day, ms), static_cast<float>(i % 50) / 4.0f);
    }
    return list;
}

// The source's points in X order as stored, each with a value of its own (gap fills get
// one too, which must not be read).
std::vector<CompactPoint> storedInOrder(const PointView& source) {
    std::vector<CompactPoint> points;
    source.forEachStoredRun(0, source.size(), [&](std::size_t, std::size_t at, std::size_t n) {
        points.insert(points.end(), source.storedPoints() + at, source.storedPoints() + at + n);
    });
    for (std::size_t k = 0; k < points.size(); ++k)
        points[k].value = static_cast<float>(k % 13) * 1.5f - 4.0f;
    return points;
}

void appendEachAtX(PointList& list, const PointView& source, const std::vector<CompactPoint>& p) {
    for (const CompactPoint& point : p) {
        const double x = source.xOfStored(point.time);
        if (point.time & CompactTimes::kGapFill)
            list.appendGapFill(x);
        else
            list.append(x, static_cast<double>(point.value));
    }
}

void checkSameRange(const FiniteRange& a, const FiniteRange& b) {
    QCOMPARE(a.any, b.any);
    QVERIFY(sameBits(a.minimum, b.minimum));
    QVERIFY(sameBits(a.maximum, b.maximum));
}

// Fails unless `got` holds what `expected` holds, bit for bit, in the same form.
void checkSameList(const PointList& got, const PointList& expected) {
    std::vector<Marked> points;
    const PointView view = expected.points();
    for (std::size_t i = 0; i < view.size(); ++i)
        points.push_back({view.x(i), view.y(i), expected.isGapFill(i)});
    checkSame(got, points);
    QCOMPARE(got.isWide(), expected.isWide());
    QCOMPARE(got.allFinite(), expected.allFinite());
    checkSameRange(got.xRange(), expected.xRange());
    checkSameRange(got.yRange(), expected.yRange());
}

enum class Case {
    IntoEmpty,
    AfterOwnPoints,
    OtherFirstDay,
    WideList,
    TimesGoBack,
    BeforeLastHeld,
    NonFiniteValues,
    SourceStartsLate,
};

}  // namespace

Q_DECLARE_METATYPE(Case)

class StoredAppendTest : public QObject {
    Q_OBJECT

  private slots:
    void appendStored_sameAsEachAtX_data() {
        QTest::addColumn<Case>("what");
        QTest::addColumn<bool>("dated");
        QTest::addColumn<bool>("asTheyCome");  // the case the times can be kept for
        const auto both = [](const char* name, Case what, bool keeps) {
            QTest::newRow(qPrintable(QStringLiteral("%1, time of day").arg(name)))
                << what << false << keeps;
            QTest::newRow(qPrintable(QStringLiteral("%1, dated").arg(name)))
                << what << true << keeps;
        };
        both("into an empty list", Case::IntoEmpty, true);
        both("after points of its own", Case::AfterOwnPoints, true);
        both("a list of another first day", Case::OtherFirstDay, false);
        both("a wide list", Case::WideList, false);
        both("times going back", Case::TimesGoBack, false);
        both("before the last point held", Case::BeforeLastHeld, false);
        both("non-finite values", Case::NonFiniteValues, false);
        both("a source whose first point is not its earliest", Case::SourceStartsLate, false);
    }
    void appendStored_sameAsEachAtX() {
        QFETCH(Case, what);
        QFETCH(bool, dated);
        QFETCH(bool, asTheyCome);
        const std::uint32_t day = dated ? 45600 : 0;
        // From 23:59:00: the source's block is rotated once read.
        PointList source = sourceList(day, 86340000, dated);
        if (what == Case::SourceStartsLate) {
            // Its first point on a later day gives the source a first day that its
            // earliest point would not give.
            source.clear();
            source.append(recordTime(day + 1, 1000), 1.0);
            for (std::uint32_t s = 0; s < 100; ++s) source.append(recordTime(day, s * 1000), 2.0);
        }
        const PointView view = source.points();
        std::vector<CompactPoint> points = storedInOrder(view);

        PointList got;
        PointList expected;
        if (what == Case::AfterOwnPoints || what == Case::BeforeLastHeld) {
            std::vector<CompactPoint> first(points.begin(), points.begin() + 100);
            points.erase(points.begin(), points.begin() + 100);
            if (what == Case::BeforeLastHeld) std::swap(first.back(), points.front());
            appendEachAtX(got, view, first);
            appendEachAtX(expected, view, first);
        }
        if (what == Case::OtherFirstDay) {
            // A day before the source's (the points still fit), or one whose first day
            // lies after the source's points (they do not).
            const double x = dated ? recordTime(day - 1, 0) : recordTime(13, 0);
            got.append(x, 1.0);
            expected.append(x, 1.0);
        }
        if (what == Case::WideList) {
            got.append(recordTime(day, 500), 0.1);
            expected.append(recordTime(day, 500), 0.1);
        }
        // Two neighbours of different times, readings both, from `from` on.
        const auto pairAt = [&](std::size_t from) {
            std::size_t k = from;
            while ((points[k].time | points[k + 1].time) & CompactTimes::kGapFill ||
                   points[k].time == points[k + 1].time)
                ++k;
            return k;
        };
        if (what == Case::TimesGoBack) {
            const std::size_t k = pairAt(30);
            std::swap(points[k], points[k + 1]);
        }
        if (what == Case::NonFiniteValues) {
            const std::size_t k = pairAt(40);
            points[k].value = std::numeric_limits<float>::quiet_NaN();
            points[k + 1].value = -std::numeric_limits<float>::infinity();
        }

        // In batches, as a derived list is made.
        for (std::size_t k = 0; k < points.size(); k += 64)
            got.appendStored(
                view, std::span(points).subspan(k, std::min<std::size_t>(64, points.size() - k)));
        appendEachAtX(expected, view, points);
        checkSameList(got, expected);
        if (asTheyCome) QVERIFY(!got.isWide());

        // What comes after is handled alike: in order, out of order, on the earliest day
        // the first point's day leaves room for, one that does not fit.
        for (const double x : {recordTime(day, 86399000), recordTime(day, 1000),
                               recordTime(day > 12 ? day - 12 : 0, 5000), 0.123456789}) {
            got.append(x, 3.0);
            expected.append(x, 3.0);
            checkSameList(got, expected);
        }
    }
};

QTEST_GUILESS_MAIN(StoredAppendTest)
#include "test_stored_append.moc"
