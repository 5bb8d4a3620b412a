// Trend lines from the library's figures: the statistic taken from each flight, flights
// without readings of a channel or without a date left out, the flight's date-time as X,
// the NAME:STAT requests, the trend chart's series with their limits, and its CSV.
#include <QtTest>

#include "channels/channel_units.h"
#include "library/trend.h"
#include "library/trend_chart.h"

using namespace zp;
using library::Flight;
using library::TrendStatistic;

namespace {

// 1 January 2024 as a date-time value of the chart (days since 30 December 1899).
constexpr double kFirstOf2024 = 45292.0;

Flight flight(QDate date, std::uint32_t start, int index = 0) {
    Flight f;
    f.date = date;
    f.dateFromText = true;
    f.startSecond = start;
    f.index = index;
    return f;
}

library::ChannelFigures figures(double minimum, double maximum, double mean) {
    library::ChannelFigures c;
    c.count = 3;
    c.minimum = minimum;
    c.maximum = maximum;
    c.mean = mean;
    return c;
}

}  // namespace

class TestTrend : public QObject {
    Q_OBJECT
  private slots:
    void lines_statisticOfEachFlight_data() {
        QTest::addColumn<int>("statistic");
        QTest::addColumn<QList<double>>("values");
        QTest::newRow("max") << int(TrendStatistic::Maximum) << QList<double>{380, 395};
        QTest::newRow("mean") << int(TrendStatistic::Mean) << QList<double>{350.5, 361.25};
        QTest::newRow("min") << int(TrendStatistic::Minimum) << QList<double>{300, -4};
    }
    void lines_statisticOfEachFlight() {
        QFETCH(int, statistic);
        QFETCH(QList<double>, values);
        // Four flights: two with CHT readings, one without any, one without a date.
        Flight a = flight(QDate(2024, 1, 1), 9 * 3600);
        a.channels[TC5Series] = figures(300, 380, 350.5);
        Flight b = flight(QDate(2024, 1, 3), 12 * 3600 + 30 * 60, 1);
        b.channels[TC5Series] = figures(-4, 395, 361.25);
        Flight none = flight(QDate(2024, 1, 2), 8 * 3600);
        none.channels[TC6Series] = figures(1, 2, 1.5);
        Flight undated = flight(QDate(), 8 * 3600);
        undated.channels[TC5Series] = figures(1, 2, 1.5);
        const std::vector<const Flight*> flights = {&a, &none, &b, &undated};
        const auto lines =
            library::trendLines(flights, {{TC5Series, static_cast<TrendStatistic>(statistic)},
                                          {TC7Series, TrendStatistic::Maximum}});
        QCOMPARE(lines.size(), std::size_t{2});
        QVERIFY(lines[1].points.empty());  // no flight has TC7 readings
        const auto& points = lines[0].points;
        QCOMPARE(points.size(), std::size_t{2});
        QCOMPARE(points[0].flight, std::size_t{0});
        QCOMPARE(points[1].flight, std::size_t{2});
        QCOMPARE(points[0].x, kFirstOf2024 + 9.0 / 24.0);
        QCOMPARE(points[1].x, kFirstOf2024 + 2.0 + 12.5 / 24.0);
        QCOMPARE(points[0].y, values[0]);
        QCOMPARE(points[1].y, values[1]);
    }

    // The fleet comparison: a line per aircraft in the order of the registrations, each
    // with that aircraft's flights only; flights of no aircraft are left out.
    void linesByAircraft_aLinePerRegistration() {
        Flight a = flight(QDate(2024, 1, 1), 9 * 3600);
        a.channels[TC5Series] = figures(300, 380, 350.5);
        Flight b = flight(QDate(2024, 1, 2), 9 * 3600);
        b.channels[TC5Series] = figures(300, 390, 350.5);
        Flight c = flight(QDate(2024, 1, 3), 9 * 3600);
        c.channels[TC5Series] = figures(300, 400, 350.5);
        Flight d = flight(QDate(2024, 1, 4), 9 * 3600);
        d.channels[TC5Series] = figures(300, 410, 350.5);
        const std::vector<const Flight*> flights = {&a, &b, &c, &d};
        const std::vector<QString> aircraft = {QStringLiteral("N2"), QStringLiteral("N1"),
                                               QStringLiteral("N2"), QString()};
        const library::TrendRequest request{TC5Series, TrendStatistic::Maximum};
        const auto lines = library::trendLinesByAircraft(flights, aircraft, request);
        QCOMPARE(lines.size(), std::size_t{2});
        QCOMPARE(lines[0].aircraft, QStringLiteral("N1"));
        QCOMPARE(lines[0].points.size(), std::size_t{1});
        QCOMPARE(lines[0].points[0].y, 390.0);
        QCOMPARE(lines[1].aircraft, QStringLiteral("N2"));
        QCOMPARE(lines[1].points.size(), std::size_t{2});
        QCOMPARE(lines[1].points[1].flight, std::size_t{2});
        QVERIFY(library::trendLinesByAircraft(flights, {}, request).empty());

        const chart::Chart chart = library::trendChart(lines, {}, QPalette());
        QCOMPARE(chart.series.size(), std::size_t{2});
        QCOMPARE(chart.series[0].name, QStringLiteral("TC5Series:max@N1"));
        QVERIFY(chart.series[0].title.startsWith(QStringLiteral("N1 ")));
        QVERIFY(chart.series[0].color != chart.series[1].color);
    }

    void requests_nameAndStatistic_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("channel");  // -1: refused
        QTest::addColumn<int>("statistic");
        QTest::newRow("max") << "TC5Series:max" << int(TC5Series) << int(TrendStatistic::Maximum);
        QTest::newRow("mean") << "VoltsSeries:mean" << int(VoltsSeries)
                              << int(TrendStatistic::Mean);
        QTest::newRow("min") << "OATSeries:min" << int(OATSeries) << int(TrendStatistic::Minimum);
        QTest::newRow("other statistic") << "TC5Series:avg" << -1 << 0;
        QTest::newRow("capitals") << "TC5Series:MAX" << -1 << 0;
        QTest::newRow("no statistic") << "TC5Series" << -1 << 0;
        QTest::newRow("empty statistic") << "TC5Series:" << -1 << 0;
        QTest::newRow("title, not name") << "TC5:max" << -1 << 0;
        QTest::newRow("no name") << ":max" << -1 << 0;
    }
    void requests_nameAndStatistic() {
        QFETCH(QString, text);
        QFETCH(int, channel);
        QFETCH(int, statistic);
        QString problem;
        const auto request = library::parseTrendRequest(text, problem);
        QCOMPARE(request.has_value(), channel >= 0);
        QCOMPARE(problem.isEmpty(), channel >= 0);
        if (!request) return;
        QCOMPARE(int(request->channel), channel);
        QCOMPARE(int(request->statistic), statistic);
    }

    void chart_seriesLookAndLimits() {
        Flight a = flight(QDate(2024, 1, 1), 9 * 3600);
        a.channels[TC5Series] = figures(300, 380, 350.5);
        a.channels[VoltsSeries] = figures(12, 14, 13);
        a.channels[OATSeries] = figures(5, 9, 7);
        const auto lines = library::trendLines({&a}, {{TC5Series, TrendStatistic::Maximum},
                                                      {VoltsSeries, TrendStatistic::Minimum},
                                                      {OATSeries, TrendStatistic::Mean}});
        library::TrendChartSetup setup;
        setup.limits[TC5Series] = library::Limits{-std::numeric_limits<double>::infinity(), 400};
        setup.limits[VoltsSeries] = library::Limits{11.5, 15};
        const chart::Chart chart = library::trendChart(lines, setup, QPalette());
        QCOMPARE(chart.series.size(), std::size_t{3});
        const chart::LineSeries& cht = chart.series[0];
        QCOMPARE(cht.name, QStringLiteral("TC5Series:max"));
        QCOMPARE(cht.title, QStringLiteral("TC5 max (%1)")
                                .arg(QString::fromUtf8(unitText(TC5Series, setup.units))));
        QCOMPARE(cht.color, QColor::fromRgb(kChannels[TC5Series].rgb));
        QVERIFY(cht.active && cht.showInLegend && cht.xDateTime && cht.pointMarks);
        QCOMPARE(cht.lowerLimit, std::nullopt);  // an open side draws no line
        QCOMPARE(cht.upperLimit, std::optional(400.0));
        QCOMPARE(chart.series[1].lowerLimit, std::optional(11.5));
        QCOMPARE(chart.series[1].upperLimit, std::optional(15.0));
        QCOMPARE(chart.series[2].lowerLimit, std::nullopt);
        QCOMPARE(chart.series[2].upperLimit, std::nullopt);
        QCOMPARE(chart.series[1].points.size(), std::size_t{1});
        QCOMPARE(chart.series[1].points[0].y, 12.0);
        QCOMPARE(chart.series[2].points[0].x, kFirstOf2024 + 9.0 / 24.0);
    }

    void csv_aRowPerFlightWithAPoint() {
        Flight a = flight(QDate(2024, 1, 1), 9 * 3600);
        a.channels[TC5Series] = figures(300, 380.25, 350.5);
        Flight none = flight(QDate(2024, 1, 2), 8 * 3600, 1);
        Flight b = flight(QDate(2024, 1, 3), 10 * 3600, 2);
        b.channels[VoltsSeries] = figures(12, 14, 13.1);
        const std::vector<const Flight*> flights = {&a, &none, &b};
        const auto lines = library::trendLines(
            flights, {{TC5Series, TrendStatistic::Maximum}, {VoltsSeries, TrendStatistic::Mean}});
        UnitSelectors units{};
        const QByteArray csv =
            library::trendCsv(lines, flights, {"x.csv", "y.csv", "has,comma.csv"}, units);
        const QString volts = QString::fromUtf8(unitText(VoltsSeries, units));
        QCOMPARE(QString::fromUtf8(csv),
                 QStringLiteral("Date,Start,File,Flight,TC5 max (%1),Volts mean%2\r\n"
                                "2024-01-01,09:00:00,x.csv,1,380.25,\r\n"
                                "2024-01-03,10:00:00,\"has,comma.csv\",3,,13.1\r\n")
                     .arg(QString::fromUtf8(unitText(TC5Series, units)),
                          volts.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(volts)));
    }
};

QTEST_GUILESS_MAIN(TestTrend)
#include "test_trend.moc"
