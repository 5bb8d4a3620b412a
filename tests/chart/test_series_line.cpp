// The reduced polyline of a series gives the same pixels as drawing every point: many
// small dense pictures drawn both ways, aliased and antialiased, one and two pixel
// pens, the whole series and a zoomed-in part of it.
#include <QImage>
#include <QPainter>
#include <QtTest>
#include <cmath>
#include <limits>
#include <random>

#include "chart/chart_render.h"
#include "chart/series_line.h"

using namespace zp::chart;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

enum class Shape {
    Noise,      // random values, X steps of random size (some zero)
    Dense,      // hundreds of points per pixel column around a slow wave
    Steps,      // long flat stretches with jumps: many repeated pixels
    Sparse,     // fewer points than pixel columns
    Wild,       // values far beyond the axes, which clamp
    NonFinite,  // NaN and infinite X and Y among the points
    Backwards,  // X runs backwards now and then, so the list merges runs
};

// `count` points of one shape, from a seeded generator.
LineSeries makeSeries(Shape shape, std::uint64_t seed, int count, int penWidth) {
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    LineSeries series;
    series.color = QColor(200, 30, 40);
    series.penWidth = penWidth;
    series.active = true;
    double x = 0.0;
    double y = 50.0;
    for (int i = 0; i < count; ++i) {
        const double r = unit(random);
        switch (shape) {
            case Shape::Noise:
                x += r < 0.2 ? 0.0 : unit(random);
                y = 100.0 * unit(random);
                break;
            case Shape::Dense:
                x += unit(random);
                y = 50.0 + 30.0 * std::sin(i * 0.0007) + 15.0 * (unit(random) - 0.5) +
                    (r < 0.001 ? 40.0 : 0.0);
                break;
            case Shape::Steps:
                x += unit(random) * 0.3;
                if (r < 0.05) y = std::round(100.0 * unit(random));
                break;
            case Shape::Sparse:
                x += 1.0 + 20.0 * unit(random);
                y = 100.0 * unit(random);
                break;
            case Shape::Wild:
                x += unit(random);
                y = r < 0.1 ? (unit(random) < 0.5 ? -1e300 : 1e300) : 100.0 * unit(random);
                break;
            case Shape::NonFinite:
                x += unit(random);
                y = 100.0 * unit(random);
                break;
            case Shape::Backwards:
                x += r < 0.02 ? -40.0 * unit(random) : unit(random);
                y = 100.0 * unit(random);
                break;
        }
        double px = x, py = y;
        if (shape == Shape::NonFinite && r < 0.05) {
            const double pick = unit(random);
            if (pick < 0.25)
                px = kNaN;
            else if (pick < 0.5)
                py = kNaN;
            else if (pick < 0.75)
                py = unit(random) < 0.5 ? kInf : -kInf;
            else if (i > count * 9 / 10)
                px = kInf;  // late, so that the search for the zoomed part still finds it
        }
        series.points.append(px, py);
    }
    return series;
}

// A plot area of 120 x 80 pixels inside a 160 x 110 picture, the bottom axis over
// [xMin, xMax] and the left over [yMin, yMax].
ChartLayout smallLayout(double xMin, double xMax, double yMin, double yMax) {
    ChartLayout layout;
    layout.plot = PixelRect{20, 10, 140, 90};
    layout.bottom.scale = AxisScale{true, xMin, xMax, 20, 140};
    layout.left.scale = AxisScale{false, yMin, yMax, 10, 90};
    return layout;
}

QImage draw(const LineSeries& series, const ChartLayout& layout, bool antialiased,
            LineDrawing drawing) {
    QImage image(160, 110, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, antialiased);
    drawSeriesLine(painter, series, layout, drawing);
    return image;
}

int differingPixels(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

int inkedPixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) != qRgb(255, 255, 255);
    return n;
}

}  // namespace

class SeriesLineTest : public QObject {
    Q_OBJECT
  private slots:
    void reduced_samePixelsAsEveryPoint_data();
    void reduced_samePixelsAsEveryPoint();
    void render_reducedChartSamePixels();
    void pixelMap_sameAsAxisScale_data();
    void pixelMap_sameAsAxisScale();
};

void SeriesLineTest::reduced_samePixelsAsEveryPoint_data() {
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("penWidth");
    QTest::addColumn<bool>("antialiased");
    QTest::addColumn<bool>("zoomed");
    const std::pair<const char*, Shape> shapes[] = {
        {"noise", Shape::Noise},        {"dense", Shape::Dense}, {"steps", Shape::Steps},
        {"sparse", Shape::Sparse},      {"wild", Shape::Wild},   {"non-finite", Shape::NonFinite},
        {"backwards", Shape::Backwards}};
    for (const auto& [name, shape] : shapes)
        for (int pen : {1, 2})
            for (bool aa : {false, true})
                for (bool zoomed : {false, true})
                    QTest::addRow("%s, %d px, %s, %s", name, pen, aa ? "antialiased" : "aliased",
                                  zoomed ? "zoomed" : "whole")
                        << static_cast<int>(shape) << pen << aa << zoomed;
}

void SeriesLineTest::reduced_samePixelsAsEveryPoint() {
    QFETCH(int, shape);
    QFETCH(int, penWidth);
    QFETCH(bool, antialiased);
    QFETCH(bool, zoomed);
    int inked = 0;
    const bool dense = static_cast<Shape>(shape) == Shape::Dense;
    for (std::uint64_t seed = 1; seed <= (dense ? 6u : 25u); ++seed) {
        const int count = static_cast<Shape>(shape) == Shape::Sparse ? 60 : (dense ? 60000 : 1500);
        const LineSeries series = makeSeries(static_cast<Shape>(shape), seed, count, penWidth);
        const FiniteRange& xs = series.points.xRange();
        double xMin = xs.minimum, xMax = xs.maximum, yMin = 0.0, yMax = 100.0;
        if (zoomed) {
            // A fifth of the X span from its middle, the values cut off at both ends.
            const double span = xMax - xMin;
            xMin += 0.4 * span;
            xMax = xMin + 0.2 * span;
            yMin = 20.0;
            yMax = 80.0;
        }
        const ChartLayout layout = smallLayout(xMin, xMax, yMin, yMax);
        const QImage every = draw(series, layout, antialiased, LineDrawing::EveryPoint);
        const QImage reduced = draw(series, layout, antialiased, LineDrawing::Reduced);
        const int diff = differingPixels(every, reduced);
        QVERIFY2(diff == 0,
                 qPrintable(QStringLiteral("seed %1: %2 pixels differ").arg(seed).arg(diff)));
        inked += inkedPixels(every);
    }
    QVERIFY(inked > 0);  // the pictures are not blank
}

void SeriesLineTest::render_reducedChartSamePixels() {
    // Whole repaints of a chart with three dense series, as the screen shows them.
    Chart chart;
    for (int k = 0; k < 3; ++k) {
        LineSeries s = makeSeries(Shape::Noise, 100 + k, 20000, 2);
        s.name = QStringLiteral("S%1").arg(k);
        s.title = s.name;
        s.color = QColor::fromHsv(k * 120, 255, 200);
        chart.series.push_back(std::move(s));
    }
    QImage every(400, 260, QImage::Format_RGB32);
    QImage reduced(400, 260, QImage::Format_RGB32);
    RenderOptions options;
    options.background = Qt::lightGray;
    {
        QPainter painter(&every);
        options.lineDrawing = LineDrawing::EveryPoint;
        render(painter, every.rect(), chart, options);
    }
    {
        QPainter painter(&reduced);
        options.lineDrawing = LineDrawing::Reduced;
        render(painter, reduced.rect(), chart, options);
    }
    QCOMPARE(differingPixels(every, reduced), 0);
    // The lines were drawn: each series' colour covers part of the picture.
    for (const LineSeries& s : chart.series) {
        int ofColour = 0;
        for (int y = 0; y < every.height(); ++y)
            for (int x = 0; x < every.width(); ++x) ofColour += every.pixel(x, y) == s.color.rgb();
        QVERIFY2(ofColour > 100, qPrintable(s.name));
    }
}

void SeriesLineTest::pixelMap_sameAsAxisScale_data() {
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::newRow("bottom axis") << true << 0.25 << 0.75 << 30 << 780;
    QTest::newRow("left axis") << false << -40.0 << 120.0 << 12 << 400;
    QTest::newRow("reversed range") << true << 10.0 << -10.0 << 0 << 100;
    QTest::newRow("zero range") << false << 5.0 << 5.0 << 10 << 90;
    QTest::newRow("zero size") << true << 0.0 << 1.0 << 50 << 50;
    QTest::newRow("huge range") << false << -1e300 << 1e300 << 0 << 500;
    QTest::newRow("tiny range") << true << 1.0 << 1.0 + 1e-12 << 0 << 800;
}

void SeriesLineTest::pixelMap_sameAsAxisScale() {
    QFETCH(bool, horizontal);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(int, start);
    QFETCH(int, end);
    const AxisScale scale{horizontal, minimum, maximum, start, end};
    const PixelMap map(scale);
    std::vector<double> values = {0.0, -0.0, 1e308, -1e308, kInf, -kInf, kNaN, 1e-300};
    // Exact half-pixel positions (ties round to even), and values just beside them.
    const double range = maximum - minimum;
    const int size = end - start;
    for (int k = -3 * size; k <= 3 * size; ++k) {
        const double tie = minimum + (k + 0.5) * range / (size == 0 ? 1 : size);
        values.push_back(tie);
        values.push_back(std::nextafter(tie, kInf));
        values.push_back(std::nextafter(tie, -kInf));
    }
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> around(minimum - 2 * range, maximum + 2 * range);
    for (int k = 0; k < 2000; ++k) values.push_back(around(random));
    for (double v : values) {
        if (map(v) != scale.valueToPixel(v))
            QFAIL(qPrintable(QStringLiteral("value %1: %2 instead of %3")
                                 .arg(v, 0, 'g', 17)
                                 .arg(map(v))
                                 .arg(scale.valueToPixel(v))));
    }
}

QTEST_MAIN(SeriesLineTest)
#include "test_series_line.moc"
