// The point list keeps X order the way appending one point at a time does.
#include <QtTest>
#include <cmath>
#include <limits>

#include "chart/series.h"

using namespace zp::chart;

class SeriesTest : public QObject {
    Q_OBJECT
  private slots:
    void append_outOfOrderMergesAfterEqualX();
    void append_nanXStopsTheBackwardScan();
};

void SeriesTest::append_outOfOrderMergesAfterEqualX() {
    PointList list;
    list.append(1.0, 10.0);
    list.append(3.0, 30.0);
    list.append(2.0, 20.0);
    list.append(2.0, 21.0);
    list.append(0.5, 5.0);
    std::vector<double> ys;
    for (const ChartPoint& p : list.points()) ys.push_back(p.y);
    QCOMPARE(ys, (std::vector<double>{5, 10, 20, 21, 30}));
}

void SeriesTest::append_nanXStopsTheBackwardScan() {
    // A point is inserted after the last point whose X is not greater than its own;
    // a NaN X is never greater, so nothing moves past it.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    PointList list;
    list.append(1.0, 1.0);
    list.append(nan, 2.0);
    list.append(0.5, 3.0);
    list.append(3.0, 4.0);
    list.append(2.0, 5.0);
    std::vector<double> ys;
    for (const ChartPoint& p : list.points()) ys.push_back(p.y);
    QCOMPARE(ys, (std::vector<double>{1, 2, 3, 5, 4}));
    list.append(0.1, 6.0);
    ys.clear();
    for (const ChartPoint& p : list.points()) ys.push_back(p.y);
    QCOMPARE(ys, (std::vector<double>{1, 2, 6, 3, 5, 4}));
}

QTEST_GUILESS_MAIN(SeriesTest)
#include "test_series.moc"
