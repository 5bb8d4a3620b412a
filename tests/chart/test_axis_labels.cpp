// Label steps, label values and label texts of the value and date-time axes.
#include <QLocale>
#include <QtTest>
#include <cmath>
#include <limits>

#include "chart/axis_labels.h"
#include "chart/date_time_format.h"
#include "tests/support/fake_measurer.h"

using namespace zp::chart;

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kHour = 1.0 / 24.0;
constexpr double kMinute = 1.0 / 1440.0;

double timeOfDay(int h, int m, double s) {
    return h * kHour + m * kMinute + s * kOneSecond;
}
}  // namespace

class AxisLabelsTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void nextStep125_series_data();
    void nextStep125_series();
    void valueIncrement_search_data();
    void valueIncrement_search();
    void labelValues_countDown_data();
    void labelValues_countDown();
    void labelValues_tinyStepStaysBounded();
    void formatAxisNumber_englishSeparators_data();
    void formatAxisNumber_englishSeparators();
    void nextDateTimeStep_table_data();
    void nextDateTimeStep_table();
    void dateTimeIncrement_search_data();
    void dateTimeIncrement_search();
    void axisIncrement_oneHourLogOn700Pixels();
    void axisIncrement_longDateRangeTakesSecondPass();
    void axisIncrement_valueAxisZeroToHundred();
    void axisIncrement_secondPassMeasuresWholeValues();
    void formatDateTime_texts_data();
    void formatDateTime_texts();
    void defaultPattern_byRange();
    void middleLabelValue_halving_data();
    void middleLabelValue_halving();
    void valueToPixel_mapping_data();
    void valueToPixel_mapping();
    void calcPosPoint_inverse();
};

void AxisLabelsTest::nextStep125_series_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("next");
    QTest::newRow("one") << 1.0 << 2.0;
    QTest::newRow("in [1,2)") << 1.5 << 2.0;
    QTest::newRow("two") << 2.0 << 5.0;
    QTest::newRow("below five") << 4.99 << 5.0;
    QTest::newRow("five") << 5.0 << 10.0;
    QTest::newRow("fraction") << 0.3 << 0.5;
    QTest::newRow("small") << 2e-5 << 5e-5;
    QTest::newRow("large") << 7.3e12 << 1e13;
    QTest::newRow("infinite") << kInf << 1.0;
}

void AxisLabelsTest::nextStep125_series() {
    QFETCH(double, value);
    QFETCH(double, next);
    QCOMPARE(nextStep125(value), next);
}

void AxisLabelsTest::valueIncrement_search_data() {
    QTest::addColumn<double>("range");
    QTest::addColumn<int>("maxLabels");
    QTest::addColumn<bool>("startAtOne");
    QTest::addColumn<double>("increment");
    QTest::newRow("0 to 100, 20 labels") << 100.0 << 20 << false << 5.0;
    QTest::newRow("0 to 1, 10 labels") << 1.0 << 10 << false << 0.1;
    QTest::newRow("million, 5 labels") << 1e6 << 5 << false << 200000.0;
    QTest::newRow("zero range") << 0.0 << 10 << false << 1.0;
    QTest::newRow("no room") << 100.0 << 0 << false << 1e-12;
    QTest::newRow("second pass from one") << 1000.0 << 12 << true << 100.0;
    QTest::newRow("infinite range") << kInf << 10 << false << kInf;
}

void AxisLabelsTest::valueIncrement_search() {
    QFETCH(double, range);
    QFETCH(int, maxLabels);
    QFETCH(bool, startAtOne);
    QFETCH(double, increment);
    QCOMPARE(valueIncrement(range, maxLabels, startAtOne), increment);
}

void AxisLabelsTest::labelValues_countDown_data() {
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("increment");
    QTest::addColumn<QList<double>>("values");
    QList<double> hundred;
    for (int v = 100; v >= 0; v -= 5) hundred << v;
    QTest::newRow("0 to 100 by 5") << 0.0 << 100.0 << 5.0 << hundred;
    QTest::newRow("widened ends") << -0.51 << 100.51 << 25.0 << QList<double>{100, 75, 50, 25, 0};
    QTest::newRow("negative minimum") << -3.0 << 7.0 << 2.0 << QList<double>{6, 4, 2, 0, -2};
    QTest::newRow("all negative") << -7.0 << -3.0 << 2.0 << QList<double>{-4, -6};
    QTest::newRow("zero range") << 5.0 << 5.0 << 1.0 << QList<double>{5};
    QTest::newRow("ends print alike")
        << 1000.0 << 1000.0000000000002 << 1e-13 << QList<double>{1000.0000000000002};
    QTest::newRow("10000 steps") << 0.0 << 10000.0 << 1.0 << QList<double>{};
    QTest::newRow("infinite range") << -kInf << kInf << 1.0 << QList<double>{};
    QTest::newRow("nan increment") << 0.0 << 1.0 << kNaN << QList<double>{};
}

void AxisLabelsTest::labelValues_countDown() {
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, increment);
    QFETCH(QList<double>, values);
    const std::vector<double> got = labelValues(minimum, maximum, increment);
    QCOMPARE(QList<double>(got.begin(), got.end()), values);
}

void AxisLabelsTest::labelValues_tinyStepStaysBounded() {
    // 9999 steps are still labelled; the step is far below the value's precision
    // only when the values print alike, which gives one label.
    QCOMPARE(labelValues(0.0, 9999.0, 1.0).size(), std::size_t(10000));
    QCOMPARE(labelValues(1e17, 1e17 + 16, 1.0).size(), std::size_t(1));
    // A range below 1e-10 gets one label, whatever the step.
    QCOMPARE(labelValues(1.0, 1.0 + 5e-11, 1e-11).size(), std::size_t(1));
}

void AxisLabelsTest::formatAxisNumber_englishSeparators_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("three decimals") << 0.125 << "0.125";
    QTest::newRow("one decimal") << 2.5 << "2.5";
    QTest::newRow("whole") << 7.0 << "7";
    QTest::newRow("thousands") << 1234.5 << "1,234.5";
    QTest::newRow("millions") << 1234567.0 << "1,234,567";
    QTest::newRow("negative") << -3.0 << "-3";
    QTest::newRow("rounded to three") << 0.12345 << "0.123";
    QTest::newRow("readout") << 1013.25 << "1,013.25";
    QTest::newRow("rounds to zero") << -0.0001 << "0";
}

void AxisLabelsTest::formatAxisNumber_englishSeparators() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(formatAxisNumber(value), text);
}

void AxisLabelsTest::nextDateTimeStep_table_data() {
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("next");
    QTest::newRow("one second") << kOneSecond << 5 * kOneSecond;
    QTest::newRow("1.728 s") << 2e-5 << 5 * kOneSecond;
    QTest::newRow("30 s") << 30 * kOneSecond << kMinute;
    QTest::newRow("12 h") << 0.5 << 1.0;
    QTest::newRow("six months") << 182.0 << 365.0;
    QTest::newRow("below table") << 1e-12 << 365.0;
}

void AxisLabelsTest::nextDateTimeStep_table() {
    QFETCH(double, step);
    QFETCH(double, next);
    QCOMPARE(nextDateTimeStep(step), next);
}

void AxisLabelsTest::dateTimeIncrement_search_data() {
    QTest::addColumn<double>("range");
    QTest::addColumn<int>("maxLabels");
    QTest::addColumn<double>("increment");
    QTest::newRow("one hour, 14 labels") << kHour << 14 << 5.0 / 1440.0;
    QTest::newRow("ten seconds, 14 labels") << 10 * kOneSecond << 14 << 1e-5;
    QTest::newRow("one day, 10 labels") << 1.0 << 10 << 0.25;
    QTest::newRow("three years, 4 labels") << 1095.0 << 4 << 365.0;
    QTest::newRow("ten years, 4 labels") << 3650.0 << 4 << 1460.0;
    QTest::newRow("no room") << kHour << 0 << kOneMicrosecond;
    QTest::newRow("zero range") << 0.0 << 5 << kOneMicrosecond;
}

void AxisLabelsTest::dateTimeIncrement_search() {
    QFETCH(double, range);
    QFETCH(int, maxLabels);
    QFETCH(double, increment);
    QCOMPARE(dateTimeIncrement(range, maxLabels), increment);
}

void AxisLabelsTest::axisIncrement_oneHourLogOn700Pixels() {
    // Labels 45 pixels wide on a 700-pixel axis: n = Round(700 / 49) = 14.
    const FixedWidthMeasurer measurer(12, 45);
    AxisScale scale{true, timeOfDay(10, 0, 0), timeOfDay(11, 0, 0), 50, 750};
    const AxisLabelFormat format{true, QStringLiteral("hh:nn:ss"), scale.range()};
    const double increment = axisIncrement(scale, format, measurer);
    QCOMPARE(increment, 5.0 / 1440.0);
    const std::vector<AxisLabel> labels = axisLabels(scale, format, increment);
    QCOMPARE(labels.size(), std::size_t(13));
    QCOMPARE(labels.front().text, QStringLiteral("11:00:00"));
    QCOMPARE(labels[1].text, QStringLiteral("10:55:00"));
    QCOMPARE(labels.back().text, QStringLiteral("10:00:00"));
    QCOMPARE(labels.front().pos, 750);
    QCOMPARE(labels.back().pos, 50);
}

void AxisLabelsTest::axisIncrement_longDateRangeTakesSecondPass() {
    // 100 days at 60 labels: the first search ends at 2 days, so the step is searched
    // again from one day with the labels of whole days; both give 2 days here.
    const FixedWidthMeasurer measurer(12, 10);
    const AxisScale scale{true, 0.0, 100.0, 0, 660};
    const AxisLabelFormat format{true, QStringLiteral("hh:nn:ss"), 100.0};
    QCOMPARE(axisIncrement(scale, format, measurer), 2.0);
}

void AxisLabelsTest::axisIncrement_valueAxisZeroToHundred() {
    // A vertical axis of 280 pixels with 12-pixel labels has room for 20 labels.
    const FakeMeasurer measurer(12, 7);
    const AxisScale scale{false, 0.0, 100.0, 10, 290};
    const AxisLabelFormat format;
    const double increment = axisIncrement(scale, format, measurer);
    QCOMPARE(increment, 5.0);
    const std::vector<AxisLabel> labels = axisLabels(scale, format, increment);
    QCOMPARE(labels.size(), std::size_t(21));
    QCOMPARE(labels.front().text, QStringLiteral("100"));
    QCOMPARE(labels.front().pos, 10);
    QCOMPARE(labels.back().text, QStringLiteral("0"));
    QCOMPARE(labels.back().pos, 290);
}

void AxisLabelsTest::axisIncrement_secondPassMeasuresWholeValues() {
    // First pass: "99.999" (42 px) allows 7 labels on 300 px, step 20. The second pass
    // measures whole values ("49.5", 28 px), allows 10 labels and gives step 10.
    const FakeMeasurer measurer(12, 7);
    const AxisScale scale{true, 0.001, 99.999, 0, 300};
    QCOMPARE(valueIncrement(scale.range(), 7), 20.0);
    QCOMPARE(axisIncrement(scale, AxisLabelFormat{}, measurer), 10.0);
}

void AxisLabelsTest::formatDateTime_texts_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("text");
    QTest::newRow("time of day") << timeOfDay(14, 5, 30) << "hh:nn:ss"
                                 << "14:05:30";
    QTest::newRow("rounds to the millisecond") << timeOfDay(10, 29, 59.9999) << "hh:nn:ss"
                                               << "10:30:00";
    QTest::newRow("just below a second") << timeOfDay(10, 29, 59.9994) << "hh:nn:ss"
                                         << "10:29:59";
    QTest::newRow("midnight") << 0.0 << "hh:nn:ss"
                              << "00:00:00";
    QTest::newRow("negative") << -0.5 << "hh:nn:ss"
                              << "";
    QTest::newRow("nan") << kNaN << "hh:nn:ss"
                         << "";
    QTest::newRow("beyond the calendar") << 1e12 << "hh:nn:ss"
                                         << "";
    QTest::newRow("date") << 2.0 << "dd/mm/yyyy"
                          << "01/01/1900";
    QTest::newRow("minutes after hour") << timeOfDay(7, 8, 9) << "h:mm"
                                        << "7:08";
    QTest::newRow("quoted text") << timeOfDay(7, 8, 9) << "'at' hh"
                                 << "at 07";
}

void AxisLabelsTest::formatDateTime_texts() {
    QFETCH(double, value);
    QFETCH(QString, format);
    QFETCH(QString, text);
    QCOMPARE(formatDateTime(value, format), text);
}

void AxisLabelsTest::defaultPattern_byRange() {
    // No explicit format: more than one day shows dates, one day or less times.
    AxisLabelFormat format{true, QString(), 1.5};
    QCOMPARE(format.text(2.0), QStringLiteral("1/1/00"));
    format.range = 1.0;
    QVERIFY(format.text(timeOfDay(14, 5, 30)).startsWith(QStringLiteral("2:05")));
    QVERIFY(!format.text(timeOfDay(14, 5, 30)).contains(QStringLiteral(":30")));
    QCOMPARE(format.text(-1.0), QString());
    // Not a date-time axis: the number format.
    format.dateTime = false;
    QCOMPARE(format.text(12.5), QStringLiteral("12.5"));
}

void AxisLabelsTest::middleLabelValue_halving_data() {
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("middle");
    QTest::newRow("halved to a fraction") << 0.0 << 100.0 << 12.5;
    QTest::newRow("fraction kept") << 0.0 << 5.0 << 2.5;
    QTest::newRow("zero") << -4.0 << 4.0 << 0.0;
    QTest::newRow("infinite") << 0.0 << kInf << kInf;
}

void AxisLabelsTest::middleLabelValue_halving() {
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, middle);
    QCOMPARE(middleLabelValue(minimum, maximum), middle);
}

void AxisLabelsTest::valueToPixel_mapping_data() {
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("pixel");
    // Axis from pixel 10 to 110 (100 pixels).
    QTest::newRow("bottom minimum") << true << 0.0 << 100.0 << 0.0 << 10;
    QTest::newRow("bottom maximum") << true << 0.0 << 100.0 << 100.0 << 110;
    QTest::newRow("left maximum on top") << false << 0.0 << 100.0 << 100.0 << 10;
    QTest::newRow("left minimum at bottom") << false << 0.0 << 100.0 << 0.0 << 110;
    QTest::newRow("tie to even down") << true << 0.0 << 100.0 << 2.5 << 12;
    QTest::newRow("tie to even up") << true << 0.0 << 100.0 << 3.5 << 14;
    QTest::newRow("clamped high") << true << 0.0 << 100.0 << 1e300 << 10 + 67108863;
    QTest::newRow("clamped low") << false << 0.0 << 100.0 << -1e300 << 110 + 67108863;
    QTest::newRow("zero range centre") << true << 5.0 << 5.0 << 123.0 << 60;
}

void AxisLabelsTest::valueToPixel_mapping() {
    QFETCH(bool, horizontal);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, value);
    QFETCH(int, pixel);
    const AxisScale scale{horizontal, minimum, maximum, 10, 110};
    QCOMPARE(scale.valueToPixel(value), pixel);
}

void AxisLabelsTest::calcPosPoint_inverse() {
    const AxisScale bottom{true, 0.0, 200.0, 10, 110};
    QCOMPARE(bottom.calcPosPoint(10), 0.0);
    QCOMPARE(bottom.calcPosPoint(60), 100.0);
    QCOMPARE(bottom.calcPosPoint(0), -20.0);
    const AxisScale left{false, 0.0, 200.0, 10, 110};
    QCOMPARE(left.calcPosPoint(10), 200.0);
    QCOMPARE(left.calcPosPoint(85), 50.0);
    const AxisScale empty{true, 0.0, 200.0, 10, 10};
    QCOMPARE(empty.calcPosPoint(50), 0.0);
}

QTEST_GUILESS_MAIN(AxisLabelsTest)
#include "test_axis_labels.moc"
