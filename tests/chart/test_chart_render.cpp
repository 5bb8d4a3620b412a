// Pixels of a rendered chart, the widget's legend toggles and the logdump report.
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <limits>

#include "chart/chart_render.h"
#include "chart/chart_report.h"
#include "chart/chart_widget.h"

using namespace zp::chart;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kProbe(10, 200, 30);  // used by no other part of the picture

LineSeries makeSeries(const QString& title, const QColor& colour, bool active) {
    LineSeries s;
    s.name = title + QStringLiteral("Series");
    s.title = title;
    s.color = colour;
    s.active = active;
    return s;
}

// Red (0, 0) to (1, 100); a yellow level line at 37 from x 0.25 to 0.75; a yellow
// vertical run at x 0.675 from 10 to 90 (between the grid lines at 0.65 and 0.7).
Chart sampleChart() {
    Chart chart;
    chart.series.push_back(makeSeries(QStringLiteral("Volts"), kRed, true));
    chart.series[0].points.append(0.0, 0.0);
    chart.series[0].points.append(1.0, 100.0);
    chart.series.push_back(makeSeries(QStringLiteral("Current"), kYellow, true));
    chart.series[1].points.append(0.25, 37.0);
    chart.series[1].points.append(0.675, 37.0);
    chart.series[1].points.append(0.675, 10.0);
    chart.series[1].points.append(0.675, 90.0);
    chart.series[1].points.append(0.75, 37.0);
    chart.bottomAxis.title = QStringLiteral("Date");
    return chart;
}

struct Rendered {
    QImage image;
    ChartLayout layout;
};

Rendered renderChart(Chart& chart, int width = 794, int height = 499) {
    Rendered r;
    r.image = QImage(width, height, QImage::Format_RGB32);
    QPainter painter(&r.image);
    r.layout = render(painter, r.image.rect(), chart, RenderOptions{nullptr, Qt::gray});
    return r;
}

QColor at(const QImage& image, int x, int y) {
    return QColor(image.pixel(x, y));
}

// Pixels of `colour` outside the series clip area (plot area plus its bottom row).
int countOutsidePlot(const Rendered& r, const QColor& colour) {
    const PixelRect& plot = r.layout.plot;
    int count = 0;
    for (int y = 0; y < r.image.height(); ++y)
        for (int x = 0; x < r.image.width(); ++x) {
            const bool inside =
                x >= plot.left && x < plot.right && y >= plot.top && y <= plot.bottom;
            if (!inside && at(r.image, x, y) == colour) ++count;
        }
    return count;
}

int countInside(const Rendered& r, const QColor& colour) {
    const PixelRect& plot = r.layout.plot;
    int count = 0;
    for (int y = plot.top; y <= plot.bottom; ++y)
        for (int x = plot.left; x < plot.right; ++x)
            if (at(r.image, x, y) == colour) ++count;
    return count;
}

bool colourNear(const QImage& image, int x, int y, const QColor& colour) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (at(image, x + dx, y + dy) == colour) return true;
    return false;
}

}  // namespace

class ChartRenderTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void pixels_axisLinesAndTicks();
    void pixels_gridIsDottedGrey();
    void pixels_seriesLineIsTwoPixelsWide();
    void pixels_verticalRunInOneColumnIsDrawn();
    void pixels_nothingOutsidePlotArea();
    void pixels_inactiveSeriesNotDrawn();
    void pixels_nonFiniteValuesSkipped();
    void render_hugeRangeDoesNotHang();
    void render_storesAutomaticRange();
    void render_degenerateSizes_data();
    void render_degenerateSizes();
    void pixels_textAtTheEdgesAsOnALargerCanvas_data();
    void pixels_textAtTheEdgesAsOnALargerCanvas();
    void widget_pressOnTitleTogglesWithAnyButton();
    void widget_pressOutsideItemsChangesNothing();
    void report_layoutJson();
    void report_noLegendIsNull();
    void report_bmpFile();
};

void ChartRenderTest::pixels_axisLinesAndTicks() {
    Chart chart = sampleChart();
    const Rendered r = renderChart(chart);
    const PixelRect& plot = r.layout.plot;
    const int midY = (plot.top + plot.bottom) / 2 + 1;  // between label ticks
    QCOMPARE(at(r.image, plot.left - 1, midY), QColor(Qt::black));
    QCOMPARE(at(r.image, plot.left, midY), QColor(Qt::black));
    QCOMPARE(at(r.image, plot.left - 2, midY), QColor(Qt::gray));
    const int midX = (plot.left + plot.right) / 2 + 1;
    QCOMPARE(at(r.image, midX, plot.bottom), QColor(Qt::black));
    QCOMPARE(at(r.image, midX, plot.bottom + 1), QColor(Qt::black));
    QCOMPARE(at(r.image, midX, plot.bottom + 2), QColor(Qt::gray));
    // A major tick of the left axis: 4 pixels, one pixel off the axis line.
    const int tickY = r.layout.left.ticks.at(3);
    for (int x = plot.left - 6; x <= plot.left - 3; ++x)
        QCOMPARE(at(r.image, x, tickY), QColor(Qt::black));
    QCOMPARE(at(r.image, plot.left - 7, tickY), QColor(Qt::gray));
    // A bottom tick reaches 4 pixels below the gap under the axis line.
    const int tickX = r.layout.bottom.ticks.at(1);
    QCOMPARE(at(r.image, tickX, plot.bottom + 6), QColor(Qt::black));
    QCOMPARE(at(r.image, tickX, plot.bottom + 3), QColor(Qt::black));
    QCOMPARE(at(r.image, tickX, plot.bottom + 2), QColor(Qt::gray));
}

void ChartRenderTest::pixels_gridIsDottedGrey() {
    Chart chart = sampleChart();
    const Rendered r = renderChart(chart);
    const PixelRect& plot = r.layout.plot;
    const QColor grid(128, 128, 128);
    const int y = r.layout.left.ticks.at(2);
    int dots = 0;
    int gaps = 0;
    for (int x = plot.left + 1; x < plot.right - 1; ++x) {
        if (at(r.image, x, y) == grid) ++dots;
        if (at(r.image, x, y) == QColor(Qt::gray)) ++gaps;
    }
    QVERIFY2(dots > plot.width() / 5 && gaps > plot.width() / 5,
             qPrintable(QStringLiteral("dots %1, gaps %2").arg(dots).arg(gaps)));
}

void ChartRenderTest::pixels_seriesLineIsTwoPixelsWide() {
    Chart chart = sampleChart();
    const Rendered r = renderChart(chart);
    const int x = r.layout.bottom.valueToPixel(0.4);
    const int y = r.layout.left.valueToPixel(37.0);
    QCOMPARE(at(r.image, x, y), kYellow);
    QCOMPARE(at(r.image, x, y - 1), kYellow);
    QVERIFY(at(r.image, x, y + 1) != kYellow);
    QVERIFY(at(r.image, x, y - 2) != kYellow);
    // The red line from (0, 0) to (1, 100) lands on its end points.
    QCOMPARE(at(r.image, r.layout.bottom.valueToPixel(1.0), r.layout.left.valueToPixel(100.0)),
             kRed);
}

void ChartRenderTest::pixels_verticalRunInOneColumnIsDrawn() {
    Chart chart = sampleChart();
    const Rendered r = renderChart(chart);
    const int x = r.layout.bottom.valueToPixel(0.675);
    const std::vector<int>& gridColumns = r.layout.bottom.ticks;
    QVERIFY(std::find(gridColumns.begin(), gridColumns.end(), x) == gridColumns.end());
    for (double v : {12.3, 58.1, 83.7})  // off the grid lines
        QCOMPARE(at(r.image, x, r.layout.left.valueToPixel(v)), kYellow);
}

void ChartRenderTest::pixels_nothingOutsidePlotArea() {
    Chart chart = sampleChart();
    LineSeries wild = makeSeries(QStringLiteral("Wild"), kProbe, true);
    wild.showInLegend = false;
    wild.points.append(-1e9, -1e9);
    wild.points.append(0.2, 1e12);
    wild.points.append(0.4, -1e12);
    wild.points.append(0.6, 50.0);
    wild.points.append(1e300, 50.0);
    chart.series.push_back(wild);
    chart.leftAxis.automatic = false;
    chart.leftAxis.minimum = 0.0;
    chart.leftAxis.maximum = 100.0;
    chart.bottomAxis.automatic = false;
    chart.bottomAxis.minimum = 0.0;
    chart.bottomAxis.maximum = 1.0;
    const Rendered r = renderChart(chart);
    QVERIFY(countInside(r, kProbe) > 100);
    QCOMPARE(countOutsidePlot(r, kProbe), 0);
}

void ChartRenderTest::pixels_inactiveSeriesNotDrawn() {
    Chart chart = sampleChart();
    LineSeries off = makeSeries(QStringLiteral("Off"), kProbe, false);
    off.showInLegend = false;
    off.points.append(0.0, 50.0);
    off.points.append(1.0, 50.0);
    chart.series.push_back(off);
    Rendered r = renderChart(chart);
    QCOMPARE(countInside(r, kProbe), 0);
    chart.series.back().active = true;
    r = renderChart(chart);
    QVERIFY(countInside(r, kProbe) > 100);
}

void ChartRenderTest::pixels_nonFiniteValuesSkipped() {
    Chart chart = sampleChart();
    LineSeries gaps = makeSeries(QStringLiteral("Gaps"), kProbe, true);
    gaps.showInLegend = false;
    gaps.points.append(0.1, 10.0);
    gaps.points.append(0.2, kNaN);
    gaps.points.append(0.3, kInf);
    gaps.points.append(kNaN, 20.0);
    gaps.points.append(0.5, 30.0);
    gaps.points.append(kInf, 40.0);
    gaps.points.append(0.9, -kInf);
    chart.series.push_back(gaps);
    const Rendered r = renderChart(chart);
    // The range is that of the finite values: the red series' ends stay 2 pixels inside.
    QCOMPARE(r.layout.left.valueToPixel(100.0), r.layout.plot.top + 2);
    QCOMPARE(r.layout.bottom.valueToPixel(1.0), r.layout.plot.right - 2);
    // One straight segment joins (0.1, 10) and (0.5, 30) across the skipped points.
    QVERIFY(colourNear(r.image, r.layout.bottom.valueToPixel(0.3), r.layout.left.valueToPixel(20.0),
                       kProbe));
    QCOMPARE(countOutsidePlot(r, kProbe), 0);
    QCOMPARE(chart.series.back().points.size(), std::size_t(7));
}

void ChartRenderTest::render_hugeRangeDoesNotHang() {
    Chart chart = sampleChart();
    chart.series[0].points.append(1.5, 1.7e308);
    chart.series[0].points.append(2.0, -1.7e308);
    chart.series[1].points.append(1e300, 1.0);
    const Rendered r = renderChart(chart);
    QVERIFY(r.layout.left.labels.size() <= 10001);
    QVERIFY(r.layout.bottom.labels.size() <= 10001);
}

void ChartRenderTest::render_storesAutomaticRange() {
    Chart chart = sampleChart();
    const Rendered r = renderChart(chart);
    QCOMPARE(chart.leftAxis.minimum, r.layout.left.minimum());
    QCOMPARE(chart.leftAxis.maximum, r.layout.left.maximum());
    QVERIFY(chart.bottomAxis.minimum < 0.0);
    QVERIFY(chart.bottomAxis.maximum > 1.0);
}

void ChartRenderTest::render_degenerateSizes_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("one pixel") << 1 << 1;
    QTest::newRow("tiny") << 7 << 7;
    QTest::newRow("flat") << 794 << 12;
    QTest::newRow("thin") << 12 << 499;
}

void ChartRenderTest::render_degenerateSizes() {
    QFETCH(int, width);
    QFETCH(int, height);
    Chart chart = sampleChart();
    for (int i = 0; i < 39; ++i) chart.series.push_back(chart.series[i % 2]);
    const Rendered r = renderChart(chart, width, height);
    QCOMPARE(r.image.size(), QSize(width, height));
}

// Texts that lie wholly outside the picture are left out of the drawing: a chart drawn
// into a picture of its own size must look as the same chart drawn inside a larger
// picture, where every text that spills over its edges lands on the border.
void ChartRenderTest::pixels_textAtTheEdgesAsOnALargerCanvas_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("clipped");
    QTest::newRow("design size") << 794 << 499 << false;
    QTest::newRow("small") << 160 << 120 << false;
    QTest::newRow("small, clipped") << 160 << 120 << true;
    QTest::newRow("labels over the left edge") << 61 << 300 << false;
    QTest::newRow("legend over the bottom edge") << 300 << 45 << true;
    QTest::newRow("tiny") << 17 << 9 << false;
}

void ChartRenderTest::pixels_textAtTheEdgesAsOnALargerCanvas() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, clipped);
    Chart chart = sampleChart();
    for (int i = 0; i < 10; ++i) chart.series.push_back(chart.series[i % 2]);
    chart.leftAxis.title = QStringLiteral("Volts and amperes");
    chart.cursorA = 0.3;
    const Rendered own = renderChart(chart, width, height);

    constexpr int kBorder = 150;
    QImage larger(width + 2 * kBorder, height + 2 * kBorder, QImage::Format_RGB32);
    larger.fill(Qt::white);
    QPainter painter(&larger);
    const QRect inner(kBorder, kBorder, width, height);
    if (clipped) painter.setClipRect(inner.adjusted(-40, -40, 40, 40));
    render(painter, inner, chart, RenderOptions{nullptr, Qt::gray});
    painter.end();
    QCOMPARE(larger.copy(inner), own.image);
}

void ChartRenderTest::widget_pressOnTitleTogglesWithAnyButton() {
    ChartWidget widget;
    widget.chart() = sampleChart();
    widget.resize(794, 499);
    widget.grab();  // one repaint, as the screen shows it
    QSignalSpy toggled(&widget, &ChartWidget::seriesToggled);
    const LegendLayout& legend = widget.layout().legend;
    QVERIFY(legend.visible);
    const QPoint onTitle(legend.textLeft(1) + 5, legend.textTop(1) + 5);

    QTest::mousePress(&widget, Qt::LeftButton, {}, onTitle);
    QCOMPARE(widget.chart().series[1].active, false);
    QTest::mousePress(&widget, Qt::RightButton, {}, onTitle);
    QCOMPARE(widget.chart().series[1].active, true);
    // The second press of a double click arrives as a double-click event.
    QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(onTitle), widget.mapToGlobal(onTitle),
                       Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &second);
    QCOMPARE(widget.chart().series[1].active, false);
    QCOMPARE(toggled.count(), 3);
    QCOMPARE(toggled.at(0).at(0).toInt(), 1);
    QCOMPARE(widget.chart().series[0].active, true);
}

void ChartRenderTest::widget_pressOutsideItemsChangesNothing() {
    ChartWidget widget;
    widget.chart() = sampleChart();
    widget.resize(794, 499);
    widget.grab();
    const PixelRect& box = widget.layout().legend.rect;
    QTest::mousePress(&widget, Qt::LeftButton, {}, QPoint(box.left + 2, box.top));
    QTest::mousePress(&widget, Qt::LeftButton, {}, QPoint(400, 100));
    QCOMPARE(widget.chart().series[0].active, true);
    QCOMPARE(widget.chart().series[1].active, true);
}

void ChartRenderTest::report_layoutJson() {
    Chart chart = sampleChart();
    chart.series[0].xDateTime = true;
    chart.bottomAxis.dateTimeFormat = QStringLiteral("hh:nn:ss");
    QJsonParseError error;
    const QJsonDocument doc =
        QJsonDocument::fromJson(layoutReportJson(chart, 794, 499).toUtf8(), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonObject root = doc.object();
    QCOMPARE(root.value("width").toInt(), 794);
    QCOMPARE(root.value("fontHeight").toInt(), 12);
    const QJsonObject legend = root.value("legend").toObject();
    QCOMPARE(legend.value("items").toArray(),
             QJsonArray({QStringLiteral("VoltsSeries"), QStringLiteral("CurrentSeries")}));
    QCOMPARE(legend.value("columns").toInt(), 2);
    const QJsonObject plot = root.value("plot").toObject();
    QCOMPARE(plot.value("right").toInt(), 789);
    const QJsonObject bottom = root.value("axes").toObject().value("bottom").toObject();
    QCOMPARE(bottom.value("dateTime").toBool(), true);
    const QJsonObject left = root.value("axes").toObject().value("left").toObject();
    QCOMPARE(left.value("min").toDouble(), chart.leftAxis.minimum);
    const QJsonArray labels = left.value("labels").toArray();
    QVERIFY(labels.size() > 2);
    QCOMPARE(labels.first().toObject().value("text").toString(), QStringLiteral("100"));
    QVERIFY(labels.first().toObject().value("value").toDouble() >
            labels.last().toObject().value("value").toDouble());
    QCOMPARE(bottom.value("labels").toArray().first().toObject().value("text").toString().size(),
             8);
}

void ChartRenderTest::report_noLegendIsNull() {
    Chart chart = sampleChart();
    for (LineSeries& s : chart.series) s.showInLegend = false;
    const QJsonDocument doc = QJsonDocument::fromJson(layoutReportJson(chart, 300, 200).toUtf8());
    QVERIFY(doc.object().value("legend").isNull());
}

void ChartRenderTest::report_bmpFile() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("chart.bmp"));
    Chart chart = sampleChart();
    QVERIFY(renderToBmp(chart, 640, 400, file));
    const QImage image(file, "BMP");
    QCOMPARE(image.size(), QSize(640, 400));
    const ChartLayout layout = layoutChart(chart, PixelRect{0, 0, 640, 400});
    QCOMPARE(QColor(image.pixel(layout.plot.left, (layout.plot.top + layout.plot.bottom) / 2 + 1)),
             QColor(Qt::black));
    QVERIFY(!renderToBmp(chart, 0, 400, file));
    QVERIFY(!renderToBmp(chart, 640, 400, dir.filePath(QStringLiteral("no/such/dir.bmp"))));
}

QTEST_MAIN(ChartRenderTest)
#include "test_chart_render.moc"
