// What a measurement cursor reads from a series: the last reading at or before it, with
// gap-fill points and non-finite values passed over.
#include <QtTest>
#include <cmath>
#include <limits>

#include "analysis/cursor_values.h"

using namespace zp;

class TestCursorValues : public QObject {
    Q_OBJECT
  private slots:
    void lastReadingAtOrBefore_data() {
        QTest::addColumn<double>("x");
        QTest::addColumn<bool>("found");
        QTest::addColumn<double>("expectedX");
        QTest::addColumn<double>("expectedY");
        // Points: (1,10) (2,20) gap (3) gap (4) (5,NaN) (6,60) (6,61) appended out of order
        // as (7,70) before (6.5,65).
        QTest::newRow("before the first") << 0.5 << false << 0.0 << 0.0;
        QTest::newRow("on the first") << 1.0 << true << 1.0 << 10.0;
        QTest::newRow("between") << 1.5 << true << 1.0 << 10.0;
        QTest::newRow("on gap fills") << 4.0 << true << 2.0 << 20.0;
        QTest::newRow("on a NaN reading") << 5.5 << true << 2.0 << 20.0;
        QTest::newRow("equal X keeps the later") << 6.0 << true << 6.0 << 61.0;
        QTest::newRow("merged out of order") << 6.7 << true << 6.5 << 65.0;
        QTest::newRow("after the last") << 100.0 << true << 7.0 << 70.0;
    }
    void lastReadingAtOrBefore() {
        QFETCH(double, x);
        QFETCH(bool, found);
        QFETCH(double, expectedX);
        QFETCH(double, expectedY);
        chart::PointList points;
        points.append(1, 10);
        points.append(2, 20);
        points.appendGapFill(3);
        points.appendGapFill(4);
        points.append(5, std::numeric_limits<double>::quiet_NaN());
        points.append(6, 60);
        points.append(6, 61);
        points.append(7, 70);
        points.append(6.5, 65);
        const auto p = analysis::readingAtOrBefore(points, x);
        QCOMPARE(p.has_value(), found);
        if (!found) return;
        QCOMPARE(p->x, expectedX);
        QCOMPARE(p->y, expectedY);
    }

    void emptyAndOnlyGapFills() {
        chart::PointList points;
        QVERIFY(!analysis::readingAtOrBefore(points, 1.0));
        points.appendGapFill(0.5);
        QVERIFY(!analysis::readingAtOrBefore(points, 1.0));
    }
};

QTEST_MAIN(TestCursorValues)
#include "test_cursor_values.moc"
