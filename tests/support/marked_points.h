// Points with their gap-fill marks for the point-list tests: appended to a list and
// inserted in turn into the order the list must give back, then compared bit for bit.
#pragma once

#include <QtTest>
#include <bit>
#include <cstdint>
#include <vector>

#include "chart/series.h"

namespace zp::testing {

struct Marked {
    double x;
    double y;
    bool gapFill;
};

inline bool sameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// Inserting a point after the last point whose X is not greater.
inline void insertInOrder(std::vector<Marked>& list, Marked p) {
    std::size_t j = list.size();
    while (j > 0 && list[j - 1].x > p.x) --j;
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(j), p);
}

inline void append(chart::PointList& list, const Marked& p) {
    if (p.gapFill)
        list.appendGapFill(p.x);
    else
        list.append(p.x, p.y);
}

// Appends each of `points` to `list` and inserts it into `expected`.
inline void appendEach(chart::PointList& list, std::vector<Marked>& expected,
                       const std::vector<Marked>& points) {
    for (const Marked& p : points) {
        append(list, p);
        insertInOrder(expected, p);
    }
}

// Fails unless `list` holds `expected` bit for bit, in order, with the same marks, and
// finds each gap fill as the next one.
inline void checkSame(const chart::PointList& list, const std::vector<Marked>& expected) {
    const chart::PointView points = list.points();
    QCOMPARE(points.size(), expected.size());
    std::size_t marks = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (!sameBits(points.x(i), expected[i].x) || !sameBits(points.y(i), expected[i].y) ||
            list.isGapFill(i) != expected[i].gapFill)
            QFAIL(qPrintable(QStringLiteral("point %1: (%2, %3, %4), expected (%5, %6, %7)")
                                 .arg(i)
                                 .arg(points.x(i), 0, 'g', 17)
                                 .arg(points.y(i), 0, 'g', 17)
                                 .arg(list.isGapFill(i))
                                 .arg(expected[i].x, 0, 'g', 17)
                                 .arg(expected[i].y, 0, 'g', 17)
                                 .arg(expected[i].gapFill)));
        marks += expected[i].gapFill;
    }
    QCOMPARE(list.gapFillCount(), marks);
    std::size_t next = 0;
    for (std::size_t i = 0; i < expected.size(); ++i)
        if (expected[i].gapFill) {
            QCOMPARE(list.nextGapFill(next, expected.size()), i);
            next = i + 1;
        }
    QCOMPARE(list.nextGapFill(next, expected.size()), expected.size());
}

}  // namespace zp::testing
