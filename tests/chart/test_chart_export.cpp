// Export of the chart: the format of a file name, the PNG picture at a pixel ratio, the
// SVG drawing's elements, and the one PDF page with its header, read back as text.
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>
#include <optional>

#include "chart/chart_export.h"
#include "chart/chart_widget.h"
#include "chart/date_time_format.h"
#include "chart/widget_output.h"
#include "tests/support/file_bytes.h"
#include "tests/support/pdf_text.h"

using namespace zp::chart;

Q_DECLARE_METATYPE(std::optional<ExportFormat>)

namespace {

constexpr double kTenOClock = 10.0 / 24.0;
const QColor kPanel(200, 190, 180);

// A quarter of an hour of one series from 10:00:00, labelled as the viewer labels time.
void fillChart(Chart& chart) {
    LineSeries s;
    s.name = QStringLiteral("VoltsSeries");
    s.title = QStringLiteral("Volts");
    s.color = QColor(255, 0, 0);
    s.active = true;
    s.xDateTime = true;
    for (int i = 0; i <= 900; i += 10) s.points.append(kTenOClock + i * kOneSecond, (i * 37) % 100);
    chart.series.push_back(s);
    chart.bottomAxis.dateTimeFormat = QStringLiteral("hh:nn:ss");
    chart.bottomAxis.title = QStringLiteral("12/05/2024");
}

RenderOptions plainOptions() {
    return RenderOptions{nullptr, kPanel};
}

using zp::test::pdfText;
using zp::test::readAll;

// The header lines of a log with counters; `counters` false leaves their line out.
QStringList sampleHeader(bool counters = true) {
    QStringList lines = {QStringLiteral("flight.csv"),
                         QStringLiteral("Model: EMS    Date: 12/05/2024    Time: ") +
                             timeSpanText(kTenOClock, kTenOClock + 899 * kOneSecond)};
    if (counters) lines << QStringLiteral("Hobbs Start: 12345    Hobbs Stop: 12347");
    lines << QStringLiteral("Series: Volts (V), TC1 (°F)");
    return lines;
}

QPageLayout a4(QPageLayout::Orientation orientation) {
    return QPageLayout(QPageSize(QPageSize::A4), orientation, QMarginsF(12, 12, 12, 12),
                       QPageLayout::Millimeter);
}

}  // namespace

class ChartExportTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void exportFormatOf_suffix_data();
    void exportFormatOf_suffix();
    void timeSpanText_clockOfBothEnds();
    void defaultPageSize_byLocale_data();
    void defaultPageSize_byLocale();

    void image_atPixelRatio_data();
    void image_atPixelRatio();
    void image_ratioOneIsTheBitmapPicture();
    void png_writesImageOrReportsError();
    void svg_textsAreTextAndLinesArePaths();
    void pdf_onePageWithHeader_data();
    void pdf_onePageWithHeader();
    void exports_unwritablePathLeavesNoFile_data();
    void exports_unwritablePathLeavesNoFile();
};

void ChartExportTest::exportFormatOf_suffix_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<std::optional<ExportFormat>>("want");
    QTest::newRow("png") << "/tmp/a.png" << std::optional(ExportFormat::Png);
    QTest::newRow("upper case svg") << "A.SVG" << std::optional(ExportFormat::Svg);
    QTest::newRow("mixed case pdf") << "x.Pdf" << std::optional(ExportFormat::Pdf);
    QTest::newRow("last suffix counts") << "a.pdf.png" << std::optional(ExportFormat::Png);
    QTest::newRow("bitmap") << "a.bmp" << std::optional<ExportFormat>();
    QTest::newRow("no suffix") << "graph" << std::optional<ExportFormat>();
    QTest::newRow("suffix of the folder") << "/tmp/out.png/graph" << std::optional<ExportFormat>();
    QTest::newRow("suffix inside the name") << "graph.png.txt" << std::optional<ExportFormat>();
}

void ChartExportTest::exportFormatOf_suffix() {
    QFETCH(QString, name);
    QFETCH(std::optional<ExportFormat>, want);
    QCOMPARE(exportFormatOf(name), want);
}

void ChartExportTest::timeSpanText_clockOfBothEnds() {
    QCOMPARE(timeSpanText(kTenOClock, kTenOClock + 899 * kOneSecond),
             QStringLiteral("10:00:00 \u2013 10:14:59"));
    // A day number before the time of day does not show; parts of a second do not
    // either, as on the axis labels.
    QCOMPARE(timeSpanText(45424.5, 45424.75 + 0.6 * kOneSecond),
             QStringLiteral("12:00:00 \u2013 18:00:00"));
}

void ChartExportTest::defaultPageSize_byLocale_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<int>("want");
    QTest::newRow("United States")
        << QLocale(QLocale::English, QLocale::UnitedStates) << int(QPageSize::Letter);
    QTest::newRow("United Kingdom")
        << QLocale(QLocale::English, QLocale::UnitedKingdom) << int(QPageSize::A4);
    QTest::newRow("Germany") << QLocale(QLocale::German, QLocale::Germany) << int(QPageSize::A4);
}

void ChartExportTest::defaultPageSize_byLocale() {
    QFETCH(QLocale, locale);
    QFETCH(int, want);
    QCOMPARE(int(defaultPageSize(locale).id()), want);
}

void ChartExportTest::image_atPixelRatio_data() {
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QSize>("pixels");
    QTest::newRow("1") << qreal(1) << QSize(640, 400);
    QTest::newRow("2") << qreal(2) << QSize(1280, 800);
    QTest::newRow("1.5") << qreal(1.5) << QSize(960, 600);
}

void ChartExportTest::image_atPixelRatio() {
    QFETCH(qreal, ratio);
    QFETCH(QSize, pixels);
    Chart reference;
    fillChart(reference);
    QImage flat(640, 400, QImage::Format_RGB32);
    ChartLayout layout;
    {
        QPainter painter(&flat);
        layout = render(painter, flat.rect(), reference, plainOptions());
    }
    Chart chart;
    fillChart(chart);
    const QImage image = exportImage(chart, QSize(640, 400), ratio, plainOptions());
    QCOMPARE(image.size(), pixels);
    QCOMPARE(image.devicePixelRatio(), ratio);
    // The same layout, drawn finer: the plot's left axis line (black) and the panel
    // stand where the logical picture has them, scaled by the ratio.
    const int midY = (layout.plot.top + layout.plot.bottom) / 2;
    const int axisX = qRound(layout.plot.left * ratio);
    bool black = false;
    for (int x = axisX - 2; x <= axisX + 2; ++x)
        black = black || image.pixelColor(x, qRound(midY * ratio)) == QColor(Qt::black);
    QVERIFY2(black, qPrintable(QString::number(axisX)));
    QCOMPARE(image.pixelColor(image.width() - 2, 1), kPanel);
    QCOMPARE(chart.bottomAxis.minimum, reference.bottomAxis.minimum);
    QCOMPARE(chart.bottomAxis.maximum, reference.bottomAxis.maximum);
}

// At ratio 1 with the widget's look the export draws the bitmap export's very pixels.
void ChartExportTest::image_ratioOneIsTheBitmapPicture() {
    ChartWidget widget;
    fillChart(widget.chart());
    widget.resize(700, 450);
    const QImage bitmap = chartImage(widget);
    const QImage exported = exportImage(widget.chart(), widget.size(), 1.0, widget.renderOptions());
    QVERIFY(exported.convertToFormat(QImage::Format_RGB32) == bitmap);
}

void ChartExportTest::png_writesImageOrReportsError() {
    QTemporaryDir dir;
    Chart chart;
    fillChart(chart);
    const QString file = dir.filePath(QStringLiteral("graph.png"));
    QCOMPARE(exportPng(chart, QSize(500, 300), 2.0, plainOptions(), file), QString());
    QVERIFY(readAll(file).startsWith("\x89PNG"));
    QCOMPARE(QImage(file, "PNG").size(), QSize(1000, 600));
}

void ChartExportTest::svg_textsAreTextAndLinesArePaths() {
    QTemporaryDir dir;
    Chart chart;
    fillChart(chart);
    const QString file = dir.filePath(QStringLiteral("graph.svg"));
    QCOMPARE(exportSvg(chart, QSize(794, 499), plainOptions(), file), QString());

    QXmlStreamReader xml(readAll(file));
    QStringList texts;
    int lines = 0;
    QString viewBox;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const QStringView name = xml.name();
        if (name == u"svg") viewBox = xml.attributes().value("viewBox").toString();
        if (name == u"path" || name == u"polyline") ++lines;
        if (name == u"text") texts << xml.readElementText(QXmlStreamReader::IncludeChildElements);
        if (name == u"image") QFAIL("the drawing holds a raster image");
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(viewBox.simplified(), QStringLiteral("0 0 794 499"));
    // The time labels, the axis title and the legend title are text; the series, the
    // grid and the axes are paths or polylines.
    for (const QString& want :
         {QStringLiteral("10:00:00"), QStringLiteral("12/05/2024"), QStringLiteral("Volts")})
        QVERIFY2(texts.contains(want), qPrintable(texts.join(QLatin1Char('|'))));
    QVERIFY2(lines >= 3, qPrintable(QString::number(lines)));
}

void ChartExportTest::pdf_onePageWithHeader_data() {
    QTest::addColumn<int>("orientation");
    QTest::addColumn<bool>("counters");
    QTest::newRow("landscape with counters") << int(QPageLayout::Landscape) << true;
    QTest::newRow("portrait without counters") << int(QPageLayout::Portrait) << false;
}

void ChartExportTest::pdf_onePageWithHeader() {
    QFETCH(int, orientation);
    QFETCH(bool, counters);
    QTemporaryDir dir;
    Chart chart;
    fillChart(chart);
    const QString file = dir.filePath(QStringLiteral("graph.pdf"));
    QCOMPARE(
        exportPdf(chart, QSize(794, 499), sampleHeader(counters), QStringLiteral("flight.csv"),
                  a4(static_cast<QPageLayout::Orientation>(orientation)), plainOptions(), file),
        QString());

    const QByteArray pdf = readAll(file);
    QVERIFY(pdf.startsWith("%PDF"));
    static const QRegularExpression page(QStringLiteral(R"(/Type\s*/Page\b)"));
    QCOMPARE(QString::fromLatin1(pdf).count(page), 1);
    static const QRegularExpression mediaBox(
        QStringLiteral(R"(/MediaBox\s*\[\s*0\s+0\s+([\d.]+)\s+([\d.]+)\s*\])"));
    const QRegularExpressionMatch box = mediaBox.match(QString::fromLatin1(pdf));
    QVERIFY(box.hasMatch());
    const double w = box.captured(1).toDouble();
    const double h = box.captured(2).toDouble();
    QCOMPARE(qRound(qMax(w, h)), 842);  // A4 in points
    QCOMPARE(w > h, orientation == int(QPageLayout::Landscape));

    const std::optional<QString> text = pdfText(file);
    if (!text) QSKIP("pdftotext (poppler-utils) is not installed");
    for (const QString& want :
         {QStringLiteral("flight.csv"), QStringLiteral("Model: EMS"), QStringLiteral("12/05/2024"),
          QStringLiteral("10:00:00 \u2013 10:14:59"), QStringLiteral("TC1 (°F)"),
          QStringLiteral("10:05:00")})
        QVERIFY2(text->contains(want), qPrintable(want + QStringLiteral(" in\n") + *text));
    QCOMPARE(text->contains(QStringLiteral("Hobbs Start: 12345")), counters);
    // The header stands above the chart.
    QVERIFY(text->indexOf(QStringLiteral("flight.csv")) <
            text->indexOf(QStringLiteral("10:05:00")));
}

void ChartExportTest::exports_unwritablePathLeavesNoFile_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("png") << "graph.png";
    QTest::newRow("svg") << "graph.svg";
    QTest::newRow("pdf") << "graph.pdf";
}

void ChartExportTest::exports_unwritablePathLeavesNoFile() {
    QFETCH(QString, name);
    QTemporaryDir dir;
    Chart chart;
    fillChart(chart);
    const QString file = dir.filePath(QStringLiteral("missing/") + name);
    QString error;
    switch (*exportFormatOf(name)) {
        case ExportFormat::Png:
            error = exportPng(chart, QSize(300, 200), 1.0, plainOptions(), file);
            break;
        case ExportFormat::Svg:
            error = exportSvg(chart, QSize(300, 200), plainOptions(), file);
            break;
        case ExportFormat::Pdf:
            error = exportPdf(chart, QSize(300, 200), sampleHeader(), QString(),
                              a4(QPageLayout::Portrait), plainOptions(), file);
            break;
    }
    QVERIFY2(error.startsWith(
                 QStringLiteral("Cannot create file \"%1\".").arg(QDir::toNativeSeparators(file))),
             qPrintable(error));
    QVERIFY(QDir(dir.path()).isEmpty());
}

QTEST_MAIN(ChartExportTest)
#include "test_chart_export.moc"
