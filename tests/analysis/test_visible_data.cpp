// The visible-data CSV: header, one row per distinct time, empty cells, the last of
// several readings at one time, gap fills left out, the range's edges, and values that
// read back as the same float.
#include <QtTest>
#include <cstdlib>

#include "analysis/visible_data.h"

using namespace zp;
using namespace zp::analysis;

namespace {

// X of a time of day with milliseconds.
double at(int h, int m, int s, int ms = 0) {
    return ((h * 3600 + m * 60 + s) * 1000.0 + ms) / 86400000.0;
}

chart::LineSeries series(const char* title, bool active) {
    chart::LineSeries s;
    s.title = QString::fromLatin1(title);
    s.active = active;
    return s;
}

QList<QByteArray> lines(const QByteArray& csv) {
    QList<QByteArray> out = csv.split('\n');
    if (!out.isEmpty() && out.last().isEmpty()) out.removeLast();
    for (QByteArray& line : out) {
        if (!line.endsWith('\r')) return {};  // every line ends with CR LF
        line.chop(1);
    }
    return out;
}

}  // namespace

class TestVisibleData : public QObject {
    Q_OBJECT
  private slots:
    void csv_rowsPerDistinctTime();
    void csv_rangeEdgesAreInside_data();
    void csv_rangeEdgesAreInside();
    void csv_valuesReadBackAsTheSameFloat();
    void titleWithUnit_notTwice();
    void write_unwritablePathSaysWhy();
};

void TestVisibleData::csv_rowsPerDistinctTime() {
    chart::Chart chart;
    chart.series.push_back(series("Volts", true));
    chart.series.push_back(series("Off", false));
    chart.series.push_back(series("MAP", true));
    // On, but without a legend item: a channel the loaded log does not have.
    chart.series.push_back(series("Not in the log", true));
    chart.series.back().showInLegend = false;
    chart::PointList& volts = chart.series[0].points;
    volts.append(at(10, 0, 0), 13.5);
    volts.append(at(10, 0, 1), 13.6);
    volts.append(at(10, 0, 1), 13.7);   // the last at one time is the cell
    volts.appendGapFill(at(10, 0, 2));  // a gap fill is no reading
    volts.append(at(10, 0, 3, 250), 13.8);
    chart.series[1].points.append(at(10, 0, 0), 1);
    chart::PointList& map = chart.series[2].points;
    map.appendGapFill(at(10, 0, 0));
    map.append(at(10, 0, 2), 1013);
    map.append(at(10, 0, 1), 1012);  // stored in time order

    const QList<QByteArray> got =
        lines(visibleDataCsv(chart, {"V", "x", "\"Hg", "km/h"}, XRange{}));
    const QList<QByteArray> want = {
        "Time,Volts (V),\"MAP (\"\"Hg)\"",  // quoted: the unit holds a quote
        "10:00:00.000,13.5,",
        "10:00:01.000,13.7,1012",
        "10:00:02.000,,1013",
        "10:00:03.250,13.8,",
    };
    QCOMPARE(got, want);

    // No active series with readings: the header alone.
    for (auto& s : chart.series) s.active = false;
    QCOMPARE(lines(visibleDataCsv(chart, {}, XRange{})), QList<QByteArray>{"Time"});
}

void TestVisibleData::csv_rangeEdgesAreInside_data() {
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<int>("rows");
    QTest::newRow("whole axis") << -1e300 << 1e300 << 5;
    QTest::newRow("edges on readings") << at(10, 0, 1) << at(10, 0, 3) << 3;
    QTest::newRow("between readings") << at(10, 0, 1, 1) << at(10, 0, 2, 999) << 1;
    QTest::newRow("one instant") << at(10, 0, 4) << at(10, 0, 4) << 1;
    QTest::newRow("before all") << 0.0 << at(9, 0, 0) << 0;
}

void TestVisibleData::csv_rangeEdgesAreInside() {
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(int, rows);
    chart::Chart chart;
    chart.series.push_back(series("A", true));
    for (int s = 0; s <= 4; ++s) chart.series[0].points.append(at(10, 0, s), s);
    QCOMPARE(lines(visibleDataCsv(chart, {""}, XRange{from, to})).size(), 1 + rows);
}

void TestVisibleData::csv_valuesReadBackAsTheSameFloat() {
    chart::Chart chart;
    chart.series.push_back(series("A", true));
    const float values[] = {0.1f, 1e-30f, 3.4e38f, -2.5f, 16777217.0f, 123.456f, 0.0f, -0.0f};
    int second = 0;
    for (const float v : values) chart.series[0].points.append(at(11, 0, second++), v);
    chart.series[0].points.append(at(11, 0, second++), 0.1);  // not a float: its own digits
    chart.series[0].points.append(at(11, 0, second++), std::nan(""));
    const QList<QByteArray> got = lines(visibleDataCsv(chart, {""}, XRange{}));
    QCOMPARE(got.size(), 1 + int(std::size(values)) + 2);
    for (std::size_t i = 0; i < std::size(values); ++i) {
        const QByteArray cell = got[int(i) + 1].split(',')[1];
        const float back = std::strtof(cell.constData(), nullptr);
        QVERIFY2(std::memcmp(&back, &values[i], sizeof back) == 0, cell.constData());
    }
    QCOMPARE(got[int(std::size(values)) + 1].split(',')[1], QByteArray("0.1"));
    QCOMPARE(std::strtod(got[int(std::size(values)) + 1].split(',')[1].constData(), nullptr), 0.1);
    QCOMPARE(got.last().split(',')[1], QByteArray("nan"));
}

void TestVisibleData::titleWithUnit_notTwice() {
    QCOMPARE(titleWithUnit("TC1", "°F"), QStringLiteral("TC1 (°F)"));
    QCOMPARE(titleWithUnit("RPM 1(%)", "%"), QStringLiteral("RPM 1(%)"));
    QCOMPARE(titleWithUnit("G-Force", ""), QStringLiteral("G-Force"));
}

void TestVisibleData::write_unwritablePathSaysWhy() {
    chart::Chart chart;
    QVERIFY(!writeVisibleDataCsv("/nonexistent-folder/x.csv", chart, {}, XRange{}).isEmpty());
    QTemporaryDir dir;
    const QString path = dir.filePath("x.csv");
    QCOMPARE(writeVisibleDataCsv(path, chart, {}, XRange{}), QString());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("Time\r\n"));
}

QTEST_GUILESS_MAIN(TestVisibleData)
#include "test_visible_data.moc"
