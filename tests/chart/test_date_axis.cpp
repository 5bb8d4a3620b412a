// The date axis of the trend chart over days to years: the label format follows the step
// the axis chooses, no two labels read alike and there are labels at every span and size;
// and the marks a series with point marks gets at its points.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QtTest>

#include "chart/chart_layout.h"
#include "chart/chart_render.h"
#include "chart/date_axis.h"

using namespace zp::chart;

namespace {

// A date-time series of `count` points spread evenly over `days` from 1 January 2024.
Chart dateChart(double days, int count) {
    Chart chart;
    LineSeries s;
    s.name = QStringLiteral("S");
    s.title = QStringLiteral("S");
    s.color = Qt::red;
    s.active = true;
    s.xDateTime = true;
    for (int i = 0; i < count; ++i)
        s.points.append(45292.0 + days * i / (count - 1), 100.0 + (i % 7));
    chart.series.push_back(std::move(s));
    return chart;
}

}  // namespace

class TestDateAxis : public QObject {
    Q_OBJECT
  private slots:
    void format_followsTheStep_data() {
        QTest::addColumn<double>("increment");
        QTest::addColumn<QString>("format");
        QTest::newRow("six hours") << 0.25 << "d mmm hh:nn";
        QTest::newRow("just under a day") << 0.999 << "d mmm hh:nn";
        QTest::newRow("a day") << 1.0 << "d mmm yyyy";
        QTest::newRow("a month of 30 days") << 30.0 << "d mmm yyyy";
        QTest::newRow("32 days") << 32.0 << "mmm yyyy";
        QTest::newRow("half a year") << 182.0 << "mmm yyyy";
        QTest::newRow("a year") << 365.0 << "yyyy";
        QTest::newRow("two years") << 730.0 << "yyyy";
    }
    void format_followsTheStep() {
        QFETCH(double, increment);
        QFETCH(QString, format);
        QCOMPARE(calendarLabelFormat(increment), format);
    }

    void fitted_labelsApartOverDaysToYears_data() {
        QTest::addColumn<double>("days");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("format");  // empty: not fixed by the test
        QTest::newRow("a day") << 1.0 << 794 << "d mmm hh:nn";
        QTest::newRow("a week") << 7.0 << 794 << "";
        QTest::newRow("a month") << 31.0 << 794 << "d mmm yyyy";
        QTest::newRow("three months") << 92.0 << 794 << "";
        QTest::newRow("a year") << 366.0 << 794 << "d mmm yyyy";  // steps of 30 days
        QTest::newRow("a year, narrow") << 366.0 << 300 << "";
        QTest::newRow("three years") << 3 * 365.0 << 794 << "";
        QTest::newRow("ten years") << 3653.0 << 794 << "mmm yyyy";  // of half a year
        QTest::newRow("forty years") << 14610.0 << 794 << "yyyy";
        QTest::newRow("ten years, wide") << 3653.0 << 1600 << "";
    }
    void fitted_labelsApartOverDaysToYears() {
        QFETCH(double, days);
        QFETCH(int, width);
        QFETCH(QString, format);
        Chart chart = dateChart(days, 200);
        const PixelRect client{0, 0, width, 499};
        fitCalendarLabels(chart, client);
        const ChartLayout layout = layoutChart(chart, client);
        if (!format.isEmpty()) QCOMPARE(chart.bottomAxis.dateTimeFormat, format);
        // The format says at least what the step chosen with it needs.
        const QString needed = calendarLabelFormat(layout.bottom.increment);
        static const QStringList kMostToLeast = {"d mmm hh:nn", "d mmm yyyy", "mmm yyyy", "yyyy"};
        QVERIFY2(
            kMostToLeast.indexOf(chart.bottomAxis.dateTimeFormat) <= kMostToLeast.indexOf(needed),
            qPrintable(needed));
        QVERIFY2(layout.bottom.labels.size() >= 2, qPrintable(chart.bottomAxis.dateTimeFormat));
        QSet<QString> texts;
        for (const AxisLabel& label : layout.bottom.labels) {
            QVERIFY(!label.text.isEmpty());
            QVERIFY2(!texts.contains(label.text), qPrintable(label.text));
            texts.insert(label.text);
        }
    }

    void marks_drawnOnlyWhenAsked() {
        Chart chart = dateChart(10.0, 3);
        chart.series[0].penWidth = 1;
        const auto draw = [&chart] {
            QImage image(400, 300, QImage::Format_RGB32);
            QPainter painter(&image);
            RenderOptions options;
            options.background = Qt::white;
            const ChartLayout layout = render(painter, image.rect(), chart, options);
            return std::pair(image, layout);
        };
        const auto [plain, layout] = draw();
        chart.series[0].pointMarks = true;
        const auto [marked, same] = draw();
        // The middle point of a line rising to the right: two pixels below and right of
        // it, off the one-pixel line, only the mark is red; four pixels off, nothing is.
        const ChartPoint middle = chart.series[0].points[1];
        const int x = layout.bottom.valueToPixel(middle.x);
        const int y = layout.left.valueToPixel(middle.y);
        QCOMPARE(marked.pixelColor(x + 2, y + 2), QColor(Qt::red));
        QVERIFY(plain.pixelColor(x + 2, y + 2) != QColor(Qt::red));
        QCOMPARE(marked.pixelColor(x + 4, y + 4), plain.pixelColor(x + 4, y + 4));
    }
};

QTEST_MAIN(TestDateAxis)
#include "test_date_axis.moc"
