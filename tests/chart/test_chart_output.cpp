// The chart on other surfaces: bitmap files of the screen picture, the printing
// rectangle and extent, and PrintPartial's scaling of the enlarged layout into a page
// rectangle.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include "chart/chart_output.h"
#include "chart/chart_widget.h"
#include "chart/widget_output.h"

using namespace zp::chart;

Q_DECLARE_METATYPE(PixelRect)

namespace {

const QColor kProbe(10, 200, 30);    // used by no part of the chart
const QColor kPanel(200, 190, 180);  // the panel colour in these tests
const QColor kSeriesColour(255, 0, 0);

void fillChart(Chart& chart) {
    LineSeries s;
    s.name = QStringLiteral("VoltsSeries");
    s.title = QStringLiteral("Volts");
    s.color = kSeriesColour;
    s.active = true;
    for (int i = 0; i <= 50; ++i) s.points.append(i, (i * 37) % 100);
    chart.series.push_back(s);
    chart.bottomAxis.title = QStringLiteral("Date");
}

QImage probeImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kProbe);
    return image;
}

// The first column at or after `from` whose pixel in row y is black.
int firstBlackColumn(const QImage& image, int from, int y) {
    for (int x = from; x < image.width(); ++x)
        if (image.pixelColor(x, y) == QColor(0, 0, 0)) return x;
    return -1;
}

// The first row at or below `from` whose pixel in column x is black.
int firstBlackRow(const QImage& image, int x, int from) {
    for (int y = from; y < image.height(); ++y)
        if (image.pixelColor(x, y) == QColor(0, 0, 0)) return y;
    return -1;
}

}  // namespace

class ChartOutputTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void printRectangle_marginsOfPage_data();
    void printRectangle_marginsOfPage();
    void printExtent_enlargement_data();
    void printExtent_enlargement();
    void printPartial_fillsTargetWithEnlargedLayout();
    void bitmap_isTheScreenPictureAtClientSize();
    void bitmap_replacesExistingFile();
    void bitmap_unwritablePathLeavesNoFile_data();
    void bitmap_unwritablePathLeavesNoFile();
};

void ChartOutputTest::printRectangle_marginsOfPage_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<PixelRect>("want");
    QTest::newRow("4800 x 6600") << 4800 << 6600 << PixelRect{240, 330, 4560, 6270};
    QTest::newRow("margin rounds down") << 4961 << 7016 << PixelRect{248, 350, 4713, 6666};
    QTest::newRow("tiny page") << 19 << 21 << PixelRect{0, 1, 19, 20};
}

void ChartOutputTest::printRectangle_marginsOfPage() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(PixelRect, want);
    QCOMPARE(printRectangle(width, height), want);
}

void ChartOutputTest::printExtent_enlargement_data() {
    QTest::addColumn<int>("enlargement");
    QTest::addColumn<QSize>("want");
    // 499 x 50 % = 249.5 rounds to the even 250.
    QTest::newRow("print button") << -50 << QSize(1191, 749);
    QTest::newRow("none") << 0 << QSize(794, 499);
    QTest::newRow("smaller") << 50 << QSize(397, 249);
}

void ChartOutputTest::printExtent_enlargement() {
    QFETCH(int, enlargement);
    QFETCH(QSize, want);
    QCOMPARE(printExtent(QSize(794, 499), enlargement), want);
}

void ChartOutputTest::printPartial_fillsTargetWithEnlargedLayout() {
    Chart chart;
    fillChart(chart);
    chart.printEnlargement = kPrintEnlargement;
    const QSize screen(794, 499);
    const QRect target(50, 70, 900, 1260);
    QImage page = probeImage(1000, 1400);
    {
        QPainter painter(&page);
        printPartial(painter, target, chart, screen, RenderOptions{nullptr, kPanel});
        // The painter's mapping and clipping are back to the device's.
        QCOMPARE(painter.window(), page.rect());
        QVERIFY(!painter.hasClipping());
    }
    // The chart covers the target; its edges may fall a pixel short where the target
    // does not map onto whole logical pixels.
    const QRect inner = target.adjusted(1, 1, -1, -1);
    for (const QPoint& p :
         {inner.topLeft(), inner.topRight(), inner.bottomLeft(), inner.bottomRight()})
        QVERIFY2(page.pixelColor(p) != kProbe,
                 qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
    const QRect outer = target.adjusted(-2, -2, 2, 2);
    for (const QPoint& p :
         {outer.topLeft(), outer.bottomRight(), QPoint(outer.left(), outer.center().y()),
          QPoint(outer.center().x(), outer.bottom())})
        QCOMPARE(page.pixelColor(p), kProbe);

    // The axes stand where the layout of 1.5 times the screen size puts them, scaled
    // into the target; a layout of the screen size would put the bottom axis far
    // higher (its bands take a larger share of a smaller chart).
    const QSize logical = printExtent(screen, chart.printEnlargement);
    const ChartLayout enlarged =
        layoutChart(chart, PixelRect{0, 0, logical.width(), logical.height()});
    const ChartLayout onScreen =
        layoutChart(chart, PixelRect{0, 0, screen.width(), screen.height()});
    const double sx = double(target.width()) / logical.width();
    const double sy = double(target.height()) / logical.height();
    const int midX = target.left() + int((enlarged.plot.left + enlarged.plot.right) / 2 * sx);
    const int midY = target.top() + int((enlarged.plot.top + enlarged.plot.bottom) / 2 * sy);
    const int axisX = target.left() + int(enlarged.plot.left * sx);
    const int axisY = target.top() + int(enlarged.plot.bottom * sy);
    const int foundX =
        firstBlackColumn(page, target.left() + int(enlarged.plot.left * sx) - 5, midY);
    QVERIFY2(std::abs(foundX - axisX) <= 3, qPrintable(QString::number(foundX)));
    // The series is red; search the bottom axis line below the plot's middle, in a
    // column that holds no grid line.
    int foundY = -1;
    for (int x = midX; x < midX + 10 && foundY < 0; ++x) {
        const int y = firstBlackRow(page, x, midY);
        if (y >= 0 && std::abs(y - axisY) <= 3) foundY = y;
    }
    QVERIFY2(foundY >= 0, qPrintable(QString::number(axisY)));
    const int screenAxisY = target.top() + int(onScreen.plot.bottom * target.height() / 499.0);
    QVERIFY(std::abs(screenAxisY - axisY) > 30);
    // Red series pixels are inside the target only.
    bool red = false;
    for (int y = target.top(); y <= target.bottom() && !red; y += 2)
        for (int x = target.left(); x <= target.right() && !red; x += 2)
            red = page.pixelColor(x, y) == kSeriesColour;
    QVERIFY(red);
}

void ChartOutputTest::bitmap_isTheScreenPictureAtClientSize() {
    QTemporaryDir dir;
    ChartWidget widget;
    fillChart(widget.chart());
    widget.resize(794, 499);
    const QImage screen = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QString file = dir.filePath(QStringLiteral("graph.bmp"));
    QCOMPARE(saveToBitmapFile(widget, file), QString());
    QImage saved(file, "BMP");
    QCOMPARE(saved.size(), QSize(794, 499));
    QVERIFY(saved.convertToFormat(QImage::Format_RGB32) == screen);

    // A larger window gives a larger bitmap.
    widget.resize(900, 620);
    QCOMPARE(saveToBitmapFile(widget, file), QString());
    QCOMPARE(QImage(file, "BMP").size(), QSize(900, 620));
}

void ChartOutputTest::bitmap_replacesExistingFile() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("graph.bmp"));
    {
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5'000'000, 'x'));  // larger than the bitmap
    }
    ChartWidget widget;
    fillChart(widget.chart());
    widget.resize(320, 240);
    QCOMPARE(saveToBitmapFile(widget, file), QString());
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.read(2), QByteArray("BM"));
    QVERIFY(saved.size() < 1'000'000);
    QCOMPARE(QImage(file, "BMP").size(), QSize(320, 240));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("graph.bmp")});
}

void ChartOutputTest::bitmap_unwritablePathLeavesNoFile_data() {
    QTest::addColumn<QString>("relative");
    QTest::newRow("missing folder") << QStringLiteral("missing/graph.bmp");
    QTest::newRow("a folder's name") << QStringLiteral("folder");
}

void ChartOutputTest::bitmap_unwritablePathLeavesNoFile() {
    QFETCH(QString, relative);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    ChartWidget widget;
    fillChart(widget.chart());
    widget.resize(320, 240);
    const QString file = dir.filePath(relative);
    const QString error = saveToBitmapFile(widget, file);
    const QString prefix =
        QStringLiteral("Cannot create file \"%1\". ").arg(QDir::toNativeSeparators(file));
    QVERIFY2(error.startsWith(prefix) && error.size() > prefix.size(), qPrintable(error));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("folder")});
    QVERIFY(QDir(dir.filePath(QStringLiteral("folder"))).isEmpty());
}

QTEST_MAIN(ChartOutputTest)
#include "test_chart_output.moc"
