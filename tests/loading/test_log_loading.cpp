// The one load path: a log into the chart's channel series, with the panel texts and the
// axis title as its result says.
#include <QtTest>

#include "loading/channel_series.h"
#include "loading/log_loading.h"
#include "tests/support/recording_sink.h"

using namespace zp;
using Status = ImportResult::Status;

class TestLogLoading : public QObject {
    Q_OBJECT

    static chart::Chart newChart() {
        chart::Chart chart;
        createChannelSeries(chart, QPalette());
        return chart;
    }

  private slots:
    void prepare_marksDateTimesBeforeAnyFile() {
        chart::Chart chart = newChart();
        prepareChartForLoad(chart);
        QCOMPARE(chart.bottomAxis.dateTimeFormat, QStringLiteral("hh:nn:ss"));
        for (const chart::LineSeries& series : chart.series) QVERIFY(series.xDateTime);
        // The sample points of the start-up chart stay until a file is read.
        QCOMPARE(channelSeries(chart, RPM1Series).points.size(), std::size_t{25});
    }

    // The chart holds what the import wrote, the axis title follows the latest date
    // field, and the panel update is the import's own.
    void load_fillsSeriesAndAxisTitle() {
        QTemporaryDir dir;
        const QString path = writeLog(dir,
                                      "9,12/05/2024,10:00:00,1500,20,1,2,3,4\n"
                                      "9,13/05/2024,10:00:01,1501,21,5,6,7,8\n");
        QVERIFY(!path.isEmpty());
        chart::Chart chart = newChart();
        prepareChartForLoad(chart);
        const ImportResult result = loadLogIntoChart(path, {}, chart, testOptions());
        QCOMPARE(result.status, Status::Loaded);
        QCOMPARE(chart.bottomAxis.title, QStringLiteral("13/05/2024"));
        QCOMPARE(result.panel.axisTitle, std::optional<QString>(QStringLiteral("13/05/2024")));
        QCOMPARE(result.panel.hobbsStart, std::optional<QString>(QStringLiteral("1500")));
        QVERIFY(channelSeries(chart, RPM1Series).points.size() == 2);
        QVERIFY(!channelSeries(chart, VoltsSeries).showInLegend);

        // The same file through a plain sink gives the same points.
        RecordingSink sink;
        importInto(path, sink);
        const auto rpm = channelSeries(chart, RPM1Series).points.points();
        QCOMPARE(sink.points[RPM1Series].size(), rpm.size());
        for (std::size_t i = 0; i < rpm.size(); ++i)
            QVERIFY(sink.points[RPM1Series][i] == (Point{rpm[i].x, rpm[i].y}));
    }

    void load_openFailureLeavesChartAsItWas() {
        QTemporaryDir dir;
        chart::Chart chart = newChart();
        chart.bottomAxis.title = QStringLiteral("before");
        const ImportResult result =
            loadLogIntoChart(dir.filePath(QStringLiteral("none.csv")), {}, chart, testOptions());
        QCOMPARE(result.status, Status::OpenFailed);
        QCOMPARE(chart.bottomAxis.title, QStringLiteral("before"));
        QCOMPARE(channelSeries(chart, RPM1Series).points.size(), std::size_t{25});
    }

    // The budget comes with the options of each load, not from anything the process keeps.
    void load_budgetIsPerCall() {
        QTemporaryDir dir;
        QByteArray log;
        for (int s = 0; s < 5; ++s) log += "7,d,10:00:0" + QByteArray::number(s) + ",55\n";
        const QString path = writeLog(dir, log);
        chart::Chart chart = newChart();
        QCOMPARE(loadLogIntoChart(path, {}, chart, testOptions(testLocale(), 3)).status,
                 Status::TooMuchData);
        QCOMPARE(channelSeries(chart, AirspeedSeries).points.size(), std::size_t{3});
        QCOMPARE(loadLogIntoChart(path, {}, chart, testOptions()).status, Status::Loaded);
        QCOMPARE(channelSeries(chart, AirspeedSeries).points.size(), std::size_t{5});
    }
};

QTEST_GUILESS_MAIN(TestLogLoading)
#include "test_log_loading.moc"
