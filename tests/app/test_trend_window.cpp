// The Trend window of the flight library on a folder of small logs: a line per picked
// channel with a point per flight that has readings of it, the statistic switched, the
// library's text and date filters applied, hovering a mark naming its flight, a double
// click on one opening that flight in the main window, and the exports.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "app/library_window.h"
#include "app/main_window.h"
#include "app/trend_window.h"
#include "tests/support/file_bytes.h"
#include "tests/support/window_fixture.h"

using namespace zp;

namespace {

// Model 10 records on the `day`th day of the `day`th month of 2024 (read alike whichever
// order the regional settings read day and month in), one a second from hh:00:00 for `count`
// seconds, the rpm rising from `rpm` by 10 a second.
QByteArray records(int day, int hour, int count, int rpm) {
    QByteArray text;
    for (int s = 0; s < count; ++s)
        text += QStringLiteral("10,%1/%1/2024,%2:00:%3,12345,487,%4,41.8,662.5,20\r\n")
                    .arg(day, 2, 10, QLatin1Char('0'))
                    .arg(hour, 2, 10, QLatin1Char('0'))
                    .arg(s, 2, 10, QLatin1Char('0'))
                    .arg(rpm + 10 * s)
                    .toLatin1();
    return text;
}

// An airspeed record (model 7): a flight without rpm readings.
QByteArray airspeed(int day, int hour) {
    return QStringLiteral("7,%1/%1/2024,%2:00:00,120\r\n")
        .arg(day, 2, 10, QLatin1Char('0'))
        .arg(hour, 2, 10, QLatin1Char('0'))
        .toLatin1();
}

std::vector<double> values(const TrendWindow& trend, std::size_t line = 0) {
    std::vector<double> out;
    for (const library::TrendPoint& p : trend.lines().at(line).points) out.push_back(p.y);
    return out;
}

}  // namespace

class TestTrendWindow : public QObject {
    Q_OBJECT

    test::WindowFixture<>* f_ = nullptr;
    QTemporaryDir logs_;
    FlightLibraryWindow* library_ = nullptr;

  private slots:
    void init() {
        f_ = new test::WindowFixture<>;
        // a: flights on 1 January and 3 March; b: one on 2 February and one of airspeed
        // only on 4 April.
        QVERIFY(test::writeAll(logs_.filePath(QStringLiteral("a.csv")),
                               records(1, 9, 5, 2000) + records(3, 9, 5, 2200)));
        QVERIFY(test::writeAll(logs_.filePath(QStringLiteral("b.csv")),
                               records(2, 14, 5, 2100) + airspeed(4, 9)));
        f_->window.setLibraryDatabase(f_->dir.filePath(QStringLiteral("library.sqlite")));
        f_->window.openLibrary(logs_.path());
        library_ = f_->window.libraryWindow();
        QVERIFY(library_);
        QSignalSpy ended(library_, &FlightLibraryWindow::indexingEnded);
        QVERIFY(ended.wait(60000));
    }
    void cleanup() {
        delete f_;
        f_ = nullptr;
    }

    void lines_aPointPerFlightWithReadings() {
        library_->setColumnChannels({RPM1Series});
        TrendWindow& trend = library_->showTrend();
        QCOMPARE(trend.channels(), std::vector<Channel>{RPM1Series});
        QCOMPARE(trend.flights().size(), std::size_t{4});
        // The airspeed-only flight has no rpm point; points are in the library's (file) order.
        QCOMPARE(values(trend), (std::vector<double>{2040, 2240, 2140}));
        trend.setStatistic(library::TrendStatistic::Minimum);
        QCOMPARE(values(trend), (std::vector<double>{2000, 2200, 2100}));
        trend.setStatistic(library::TrendStatistic::Mean);
        QCOMPARE(values(trend), (std::vector<double>{2020, 2220, 2120}));
        trend.setChannels({RPM1Series, AirspeedSeries});
        QCOMPARE(trend.lines().size(), std::size_t{2});
        QCOMPARE(values(trend, 1), std::vector<double>{120});
        const chart::Chart& chart = trend.chartWidget().chart();
        QCOMPARE(chart.series.size(), std::size_t{2});
        QVERIFY(chart.series[0].xDateTime && chart.series[0].pointMarks);
    }

    // With flights of two aircraft or more, the first channel can be drawn a line per
    // aircraft; with one aircraft the choice is not offered.
    void linePerAircraft_offeredForAFleet() {
        TrendWindow trend;
        library::Flight flight;
        flight.date = QDate(2024, 1, 1);
        flight.channels[RPM1Series] = library::ChannelFigures{3, 2000, 2100, 2050, 0, 0};
        library::Flight later = flight;
        later.date = QDate(2024, 1, 2);
        later.channels[RPM1Series]->maximum = 2200;
        trend.setChannels({RPM1Series, AirspeedSeries});
        trend.setFlights({TrendFlight{QStringLiteral("/a.csv"), QStringLiteral("a.csv"), flight,
                                      QStringLiteral("N1")},
                          TrendFlight{QStringLiteral("/b.csv"), QStringLiteral("b.csv"), later,
                                      QStringLiteral("N1")}},
                         {});
        trend.setLinePerAircraft(true);
        QVERIFY(!trend.linePerAircraft());
        QCOMPARE(trend.lines().size(), std::size_t{2});  // a line per channel

        trend.setFlights({TrendFlight{QStringLiteral("/a.csv"), QStringLiteral("a.csv"), flight,
                                      QStringLiteral("N1")},
                          TrendFlight{QStringLiteral("/b.csv"), QStringLiteral("b.csv"), later,
                                      QStringLiteral("N2")}},
                         {});
        trend.setLinePerAircraft(true);
        QVERIFY(trend.linePerAircraft());
        QCOMPARE(trend.lines().size(), std::size_t{2});
        QCOMPARE(trend.lines()[0].aircraft, QStringLiteral("N1"));
        QCOMPARE(trend.lines()[1].aircraft, QStringLiteral("N2"));
        QCOMPARE(trend.lines()[1].points.at(0).y, 2200.0);
        QCOMPARE(trend.chartWidget().chart().series.size(), std::size_t{2});
        trend.setLinePerAircraft(false);
        QVERIFY(trend.lines()[0].aircraft.isEmpty());
    }

    void filters_ofTheLibraryApply() {
        library_->setColumnChannels({RPM1Series});
        TrendWindow& trend = library_->showTrend();
        library_->setFilter(QStringLiteral("b.csv"), std::nullopt, std::nullopt);
        QCOMPARE(trend.flights().size(), std::size_t{2});
        QCOMPARE(values(trend), std::vector<double>{2140});
        library_->setFilter(QString(), QDate(2024, 2, 2), QDate(2024, 3, 3));
        QCOMPARE(values(trend), (std::vector<double>{2240, 2140}));
        library_->setFilter(QString(), std::nullopt, std::nullopt);
        QCOMPARE(values(trend).size(), std::size_t{3});
    }

    void marks_hoverAndDoubleClickOpenTheFlight() {
        library_->setColumnChannels({RPM1Series});
        TrendWindow& trend = library_->showTrend();
        trend.resize(820, 600);
        trend.chartWidget().grab();  // a repaint lays the chart out
        const chart::ChartLayout& layout = trend.chartWidget().layout();
        // The flight of 2 February (b.csv, its first).
        const library::TrendPoint& p = trend.lines()[0].points[2];
        const QPoint at(layout.bottom.valueToPixel(p.x), layout.left.valueToPixel(p.y));
        const auto hit = trend.markAt(at + QPoint(2, -2));
        QVERIFY(hit);
        QCOMPARE(hit->point, std::size_t{2});
        QVERIFY(!trend.markAt(at + QPoint(30, 30)) ||
                trend.markAt(at + QPoint(30, 30))->point != 2);
        const QString text = trend.markText(*hit);
        QVERIFY2(text.contains(u"b.csv") && text.contains(u"2024-02-02") &&
                     text.contains(u"14:00:00") && text.contains(u"2140"),
                 qPrintable(text));
        QMouseEvent move(QEvent::MouseMove, QPointF(at),
                         trend.chartWidget().mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&trend.chartWidget(), &move);
        QCOMPARE(trend.readout().text(), text);

        QTest::mouseDClick(&trend.chartWidget(), Qt::LeftButton, {}, at);
        QCOMPARE(f_->window.loadedLog().path, QDir(logs_.path()).absoluteFilePath("b.csv"));
        f_->window.chart().grab();
        const chart::AxisState& bottom = f_->window.chart().chart().bottomAxis;
        QVERIFY(!bottom.automatic);
        QVERIFY(bottom.minimum < 14.0 / 24 && bottom.maximum > 14.0 / 24);
    }

    void exports_graphAndCsv() {
        library_->setColumnChannels({RPM1Series});
        TrendWindow& trend = library_->showTrend();
        trend.chartWidget().grab();
        QTemporaryDir out;
        for (const auto& [name, format] : {std::pair{"t.png", chart::ExportFormat::Png},
                                           std::pair{"t.svg", chart::ExportFormat::Svg},
                                           std::pair{"t.pdf", chart::ExportFormat::Pdf}}) {
            const QString file = out.filePath(QLatin1String(name));
            QCOMPARE(trend.exportGraph(file, format), QString());
            QVERIFY2(QFileInfo(file).size() > 0, name);
        }
        QVERIFY(!QImage(out.filePath(QStringLiteral("t.png"))).isNull());
        const QString csv = out.filePath(QStringLiteral("t.csv"));
        QCOMPARE(trend.exportCsv(csv), QString());
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> rows = file.readAll().split('\n');
        QCOMPARE(rows.value(0), QByteArray("Date,Start,File,Flight,RPM 1 max (rpm)\r"));
        QCOMPARE(rows.value(1), QByteArray("2024-01-01,09:00:00,a.csv,1,2040\r"));
        QCOMPARE(rows.size(), 5);  // three flights with rpm, then the empty rest
        QVERIFY(trend.exportCsv(out.filePath(QStringLiteral("no/such/t.csv"))).size() > 0);
    }
};

QTEST_MAIN(TestTrendWindow)
#include "test_trend_window.moc"
