// Chart layout: margins, foot band, legend and axis bands adding up to the plot area,
// legend geometry and hit test, automatic ranges with the line margin, and values that
// are not finite.
#include <QLocale>
#include <QtTest>
#include <cmath>
#include <limits>

#include "channels/catalogue.h"
#include "chart/chart_layout.h"
#include "tests/support/fake_measurer.h"

using namespace zp::chart;

Q_DECLARE_METATYPE(PixelRect)

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int kFootLine = 9;
const PixelRect kDesign{0, 0, 794, 499};

// A chart of the first `count` catalogue channels, all in the legend, inactive, empty.
// `count` series of the catalogue's channels, from the first on and round again.
Chart catalogueChart(int count) {
    Chart chart;
    for (int i = 0; i < count; ++i) {
        const zp::ChannelInfo& channel =
            zp::kChannels[static_cast<std::size_t>(i % zp::kChannelCount)];
        LineSeries s;
        s.name = QString::fromLatin1(channel.name);
        s.title = QString::fromLatin1(channel.title);
        s.color = QColor::fromRgb(channel.rgb);
        chart.series.push_back(s);
    }
    chart.bottomAxis.title = QStringLiteral("Date");
    return chart;
}

// Four legend items; the first series is active with points (0, 0) and (1, 100).
Chart fourSeriesChart() {
    Chart chart = catalogueChart(4);
    chart.series[0].active = true;
    chart.series[0].points.append(0.0, 0.0);
    chart.series[0].points.append(1.0, 100.0);
    return chart;
}

}  // namespace

class ChartLayoutTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void legend_geometry_data();
    void legend_geometry();
    void legend_itemPlacement();
    void legend_hitTestSeamBelongsToUpperRow();
    void legend_hitTestOutsideItems();
    void plotArea_addsUpWithFakeMetrics();
    void plotArea_addsUpWithArialMetrics();
    void range_lineMarginKeepsPointsTwoPixelsInside();
    void range_noActiveSeriesHasNoLabels();
    void range_fixedAxisHasNoMargin();
    void range_storedBackWhileAutomatic();
    void range_ignoresNonFiniteValues();
    void dateTimeFlag_followsFirstActiveSeries();
    void fontMeasurer_remembersWidthsPerFont();
    void degenerateSizes_doNotBreak_data();
    void degenerateSizes_doNotBreak();
};

void ChartLayoutTest::legend_geometry_data() {
    QTest::addColumn<int>("items");
    QTest::addColumn<int>("clientWidth");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("textWidth");
    QTest::addColumn<int>("symbolWidth");
    QTest::addColumn<PixelRect>("rect");
    QTest::addColumn<int>("chartBottom");
    // Fake metrics: 7 pixels a character, 12 a line; foot band 14, so the chart
    // rectangle is (0, 5, 789, 480) and 4% of its height is 19.
    QTest::newRow("1 item") << 1 << 794 << true << 1 << 1 << 41 << 8
                            << PixelRect{424, 451, 506, 475} << 432;
    QTest::newRow("4 items") << 4 << 794 << true << 4 << 1 << 55 << 11
                             << PixelRect{254, 451, 620, 475} << 432;
    QTest::newRow("26 items") << 26 << 794 << true << 5 << 6 << 83 << 17
                              << PixelRect{99, 366, 723, 475} << 347;
    QTest::newRow("41 items, 10 rows at most")
        << 41 << 794 << true << 3 << 10 << 146 << 29 << PixelRect{111, 298, 715, 475} << 279;
    QTest::newRow("1 item, narrow")
        << 1 << 150 << true << 1 << 1 << 41 << 8 << PixelRect{38, 451, 120, 475} << 432;
    QTest::newRow("41 items, too narrow")
        << 41 << 150 << false << 0 << 0 << 146 << 29 << PixelRect{} << 480;
}

void ChartLayoutTest::legend_geometry() {
    QFETCH(int, items);
    QFETCH(int, clientWidth);
    QFETCH(bool, visible);
    QFETCH(int, columns);
    QFETCH(int, rows);
    QFETCH(int, textWidth);
    QFETCH(int, symbolWidth);
    QFETCH(PixelRect, rect);
    QFETCH(int, chartBottom);

    const Chart chart = catalogueChart(items);
    const ChartLayout layout =
        layoutChart(chart, PixelRect{0, 0, clientWidth, 499}, FakeMeasurer(), kFootLine);
    const LegendLayout& legend = layout.legend;
    QCOMPARE(legend.visible, visible);
    QCOMPARE(legend.items.size(), std::size_t(items));
    if (!visible) {
        QCOMPARE(legend.shownCount(), 0);
    } else {
        QCOMPARE(legend.columns, columns);
        QCOMPARE(legend.rows, rows);
        QCOMPARE(legend.itemHeight, 17);
        QCOMPARE(legend.textWidth, textWidth);
        QCOMPARE(legend.symbolWidth, symbolWidth);
        QCOMPARE(legend.rect, rect);
        QCOMPARE(legend.shownCount(), std::min(items, columns * rows));
    }
    // The chart rectangle ends 4% of its height above the legend; the bottom axis band
    // (title, labels, ticks: 12 + 12 + 7) lies between it and the plot area.
    QCOMPARE(layout.plot.bottom, chartBottom - 31);
}

void ChartLayoutTest::legend_itemPlacement() {
    const Chart chart = catalogueChart(26);
    const LegendLayout legend = layoutChart(chart, kDesign, FakeMeasurer(), kFootLine).legend;
    // Item 7: row 1, column 2; column offset 2 x (83 + 17 + 23) = 246.
    QCOMPARE(legend.itemTop(7), 366 + 2 + 1 + 17);
    QCOMPARE(legend.checkBoxRect(7), QRect(99 + 4 + 246, 386 + 2, 13, 13));
    QCOMPARE(legend.symbolLeft(7), 99 + 21 + 246);
    QCOMPARE(legend.symbolY(7), 386 + 8);
    QCOMPARE(legend.textLeft(7), 99 + 26 + 17 + 246);
    QCOMPARE(legend.textTop(7), 387);
}

void ChartLayoutTest::legend_hitTestSeamBelongsToUpperRow() {
    const Chart chart = catalogueChart(26);
    const LegendLayout legend = layoutChart(chart, kDesign, FakeMeasurer(), kFootLine).legend;
    // Rows start at top + 1 + r x 17 and include both edge pixels: y = 366 + 18 is the
    // last pixel of row 0 and the first of row 1.
    const int x = 99 + 10;
    QCOMPARE(legend.hitTest(x, 366 + 17), 0);
    QCOMPARE(legend.hitTest(x, 366 + 18), 0);
    QCOMPARE(legend.hitTest(x, 366 + 19), 5);
    // Columns are 624 / 5 = 124 wide and follow the same rule.
    QCOMPARE(legend.hitTest(99 + 125, 370), 0);
    QCOMPARE(legend.hitTest(99 + 126, 370), 1);
    QCOMPARE(legend.seriesAt(99 + 126, 370), 1);
}

void ChartLayoutTest::legend_hitTestOutsideItems() {
    const Chart chart = catalogueChart(26);
    const LegendLayout legend = layoutChart(chart, kDesign, FakeMeasurer(), kFootLine).legend;
    QCOMPARE(legend.hitTest(99 + 10, 366), -1);       // the frame row above row 0
    QCOMPARE(legend.hitTest(98, 370), -1);            // left of the box
    QCOMPARE(legend.hitTest(723, 370), -1);           // the right edge is outside
    QCOMPARE(legend.hitTest(99 + 2 * 124, 460), -1);  // row 5, column 2: item 27 of 26
    QCOMPARE(legend.hitTest(99 + 10, 460), 25);       // row 5, column 0: the last item

    // 41 items in 3 columns x 10 rows: items beyond the 30th cannot be pressed.
    const Chart full = catalogueChart(41);
    const LegendLayout crowded = layoutChart(full, kDesign, FakeMeasurer(), kFootLine).legend;
    QCOMPARE(crowded.shownCount(), 30);
    QCOMPARE(crowded.hitTest(crowded.rect.right - 5, crowded.rect.bottom - 5), -1);

    // Beyond 50 items (a second log laid over the first) the legend takes up to 20 rows:
    // 82 items in 3 columns show 60, a wider chart shows them all.
    const Chart overlaid = catalogueChart(82);
    const LegendLayout grown = layoutChart(overlaid, kDesign, FakeMeasurer(), kFootLine).legend;
    QCOMPARE(grown.rows, 20);
    QCOMPARE(grown.shownCount(), 60);
    const LegendLayout wide =
        layoutChart(overlaid, PixelRect{0, 0, 1600, 1000}, FakeMeasurer(), kFootLine).legend;
    QCOMPARE(wide.shownCount(), 82);
    QVERIFY(wide.rows > kLegendMaxRows && wide.rows <= kLegendMaxRowsCrowded);
}

void ChartLayoutTest::plotArea_addsUpWithFakeMetrics() {
    const Chart chart = fourSeriesChart();
    const ChartLayout layout = layoutChart(chart, kDesign, FakeMeasurer(), kFootLine);
    QCOMPARE(layout.chartRect, (PixelRect{0, 5, 789, 494}));
    QCOMPARE(layout.footHeight, 14);
    // Legend: one row, top 451; chart bottom 451 - 475 * 4 / 100 = 432; bottom axis
    // band 12 + 12 + 7 = 31. Left band: "100" (21) + space (7) + 7.
    QCOMPARE(layout.plot, (PixelRect{35, 5, 789, 401}));
    QCOMPARE(layout.left.scale.startPixel, 5);
    QCOMPARE(layout.left.scale.endPixel, 401);
    QCOMPARE(layout.bottom.scale.startPixel, 35);
    QCOMPARE(layout.bottom.scale.endPixel, 789);
    QCOMPARE(layout.left.increment, 5.0);
    QCOMPARE(layout.left.labels.size(), std::size_t(21));
    QCOMPARE(layout.left.labels.front().text, QStringLiteral("100"));
    QCOMPARE(layout.left.labels.front().pos, 7);
    QCOMPARE(layout.left.labels.back().pos, 399);
    // The title box: "Date" (28) + "W" (7), centred on the axis, below the labels.
    QCOMPARE(layout.bottom.titleBox, (PixelRect{412 - 17, 420, 412 - 17 + 35, 432}));
}

void ChartLayoutTest::plotArea_addsUpWithArialMetrics() {
    const Chart chart = fourSeriesChart();
    const ChartLayout layout = layoutChart(chart, kDesign);
    // Arial (Liberation Sans) at 11 pixels is 12 pixels tall; the 8-pixel foot font 9.
    QCOMPARE(layout.fontHeight, 12);
    QCOMPARE(layout.footHeight, 14);
    const FontMeasurer arial(chartLabelFont());
    const int leftBand = arial.width(QStringLiteral("100")) + arial.width(QStringLiteral(" ")) + 7;
    QCOMPARE(layout.plot, (PixelRect{leftBand, 5, 789, 401}));
    QCOMPARE(layout.legend.rect.top, 451);
    QCOMPARE(layout.legend.rect.bottom, 475);
}

// Widths are remembered per font and thread: fonts asked by turns, more texts than are
// kept, and texts measured again after the widths were forgotten still measure as the
// font's metrics do.
void ChartLayoutTest::fontMeasurer_remembersWidthsPerFont() {
    QFont bold = chartLabelFont();
    bold.setBold(true);
    QFont large = chartLabelFont();
    large.setPixelSize(30);
    const QFont fonts[] = {chartLabelFont(), bold, chartFootFont(), large};
    for (int i = 0; i < 9000; i += 7) {
        const QString text = QStringLiteral("W%1 iii").arg(i);
        for (const QFont& font : fonts) {
            const FontMeasurer measurer(font);
            QCOMPARE(measurer.width(text), QFontMetrics(font).horizontalAdvance(text));
            QCOMPARE(measurer.width(text), QFontMetrics(font).horizontalAdvance(text));
        }
    }
    for (int i = 0; i < 9000; i += 1) {
        if (i == 4500) forgetRememberedWidths();
        const QString text = QString::number(i);
        const QFont& font = fonts[i % 4];
        QCOMPARE(FontMeasurer(font).width(text), QFontMetrics(font).horizontalAdvance(text));
    }
}

void ChartLayoutTest::range_lineMarginKeepsPointsTwoPixelsInside() {
    const Chart chart = fourSeriesChart();
    const ChartLayout layout = layoutChart(chart, kDesign, FakeMeasurer(), kFootLine);
    const AxisLayout& x = layout.bottom;
    const AxisLayout& y = layout.left;
    QCOMPARE(x.valueToPixel(0.0), layout.plot.left + 2);
    QCOMPARE(x.valueToPixel(1.0), layout.plot.right - 2);
    QCOMPARE(y.valueToPixel(100.0), layout.plot.top + 2);
    QCOMPARE(y.valueToPixel(0.0), layout.plot.bottom - 2);
    // [m - 2r/(s-4), M + 2r/(s-4)] with s = 396 on the left axis.
    QCOMPARE(y.minimum(), -200.0 / 392.0);
    QCOMPARE(y.maximum(), 100.0 + 200.0 / 392.0);
}

void ChartLayoutTest::range_noActiveSeriesHasNoLabels() {
    Chart chart = fourSeriesChart();
    chart.series[0].active = false;
    const ChartLayout layout = layoutChart(chart, kDesign, FakeMeasurer(), kFootLine);
    QVERIFY(layout.left.visible);
    QVERIFY(layout.left.labels.empty());
    QVERIFY(layout.left.ticks.empty());
    QVERIFY(layout.bottom.labels.empty());
    // With no active series the range still follows every series' points.
    QVERIFY(layout.left.minimum() < 0.0);
    QVERIFY(layout.left.maximum() > 100.0);
    QVERIFY(!layout.bottom.format.dateTime);
}

void ChartLayoutTest::range_fixedAxisHasNoMargin() {
    Chart chart = fourSeriesChart();
    chart.leftAxis.automatic = false;
    chart.leftAxis.minimum = 20.0;
    chart.leftAxis.maximum = 40.0;
    const ChartLayout layout = layoutChart(chart, kDesign, FakeMeasurer(), kFootLine);
    QCOMPARE(layout.left.minimum(), 20.0);
    QCOMPARE(layout.left.maximum(), 40.0);
    QCOMPARE(layout.left.valueToPixel(40.0), layout.plot.top);
}

void ChartLayoutTest::range_storedBackWhileAutomatic() {
    Chart chart = fourSeriesChart();
    chart.bottomAxis.automatic = false;
    chart.bottomAxis.minimum = 0.25;
    chart.bottomAxis.maximum = 0.5;
    const ChartLayout layout = layoutChart(chart, kDesign, FakeMeasurer(), kFootLine);
    storeAutomaticRanges(chart, layout);
    QCOMPARE(chart.leftAxis.minimum, layout.left.minimum());
    QCOMPARE(chart.leftAxis.maximum, layout.left.maximum());
    QCOMPARE(chart.bottomAxis.minimum, 0.25);
    QCOMPARE(chart.bottomAxis.maximum, 0.5);
}

void ChartLayoutTest::range_ignoresNonFiniteValues() {
    Chart chart = fourSeriesChart();
    chart.series[0].points.append(0.5, kNaN);
    chart.series[0].points.append(0.6, kInf);
    chart.series[0].points.append(0.7, -kInf);
    chart.series[0].points.append(kInf, 50.0);
    chart.series[0].points.append(kNaN, 50.0);
    const ChartLayout layout = layoutChart(chart, kDesign, FakeMeasurer(), kFootLine);
    QCOMPARE(layout.left.valueToPixel(100.0), layout.plot.top + 2);
    QCOMPARE(layout.left.valueToPixel(0.0), layout.plot.bottom - 2);
    QCOMPARE(layout.bottom.valueToPixel(1.0), layout.plot.right - 2);
    QCOMPARE(layout.left.labels.size(), std::size_t(21));
    // The points themselves stay as loaded.
    QCOMPARE(chart.series[0].points.size(), std::size_t(7));
}

void ChartLayoutTest::dateTimeFlag_followsFirstActiveSeries() {
    Chart chart = fourSeriesChart();
    chart.series[1].xDateTime = true;
    QVERIFY(!layoutChart(chart, kDesign, FakeMeasurer(), kFootLine).bottom.format.dateTime);
    chart.series[0].active = false;
    chart.series[1].active = true;
    chart.series[1].points.append(0.5, 1.0);
    QVERIFY(layoutChart(chart, kDesign, FakeMeasurer(), kFootLine).bottom.format.dateTime);
    QVERIFY(!layoutChart(chart, kDesign, FakeMeasurer(), kFootLine).left.format.dateTime);
}

void ChartLayoutTest::degenerateSizes_doNotBreak_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("empty") << 0 << 0;
    QTest::newRow("one pixel") << 1 << 1;
    QTest::newRow("tiny") << 12 << 9;
    QTest::newRow("flat") << 794 << 20;
    QTest::newRow("thin") << 20 << 499;
    QTest::newRow("negative") << -50 << -50;
}

void ChartLayoutTest::degenerateSizes_doNotBreak() {
    QFETCH(int, width);
    QFETCH(int, height);
    Chart chart = catalogueChart(41);
    for (LineSeries& s : chart.series) {
        s.active = true;
        s.xDateTime = true;
        s.points.append(0.4, 1.0);
        s.points.append(0.5, 1000.0);
    }
    chart.bottomAxis.dateTimeFormat = QStringLiteral("hh:nn:ss");
    const ChartLayout layout = layoutChart(chart, PixelRect{0, 0, width, height});
    // Whatever the size, the label lists stay bounded.
    QVERIFY(layout.left.labels.size() <= 10001);
    QVERIFY(layout.bottom.labels.size() <= 10001);
}

QTEST_MAIN(ChartLayoutTest)
#include "test_chart_layout.moc"
