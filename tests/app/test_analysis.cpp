// The Analysis menu on a window with a small log loaded: the log report, statistics over
// the visible time and between the cursors, the cursor readout, limits across a change
// of unit and kept per user, and the exceedances with their zoom.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/analysis_tools.h"
#include "app/export_header.h"
#include "app/main_window.h"
#include "chart/chart_widget.h"
#include "chart/zoom_scroll.h"
#include "settings/settings_store.h"
#include "settings/units_dialog.h"
#include "tests/support/fake_dialogs.h"
#include "tests/support/find_child.h"

using namespace zp;

namespace {

// Model 10 (RPM, MAP, OAT), one record a second from 10:00:00 to 10:00:09.
const double kOat[] = {10, 12, 15, 20, 25, 22, 18, 15, 30, 11};

QByteArray sampleLog() {
    QByteArray text;
    for (int s = 0; s < 10; ++s)
        text += QStringLiteral("10,12/05/2024,10:00:%1,12345,487,%2,41.8,662.5,%3\r\n")
                    .arg(s, 2, 10, QLatin1Char('0'))
                    .arg(2400 + 10 * s)
                    .arg(kOat[s])
                    .toLatin1();
    return text;
}

// A window with Settings.bin in a folder of its own and viewer.ini in a user folder.
struct Viewer {
    test::FakeDialogs dialogs;
    QTemporaryDir dir;
    SettingsStore store{dir.path(), dir.path() + QStringLiteral("/user")};
    UnitsDialog units;
    std::unique_ptr<MainWindow> window = std::make_unique<MainWindow>(dialogs, store);
    QString log = dir.filePath(QStringLiteral("flight.csv"));

    Viewer() {
        window->setUnitsDialog(&units);
        QFile file(log);
        if (file.open(QIODevice::WriteOnly)) file.write(sampleLog());
    }
    chart::ChartWidget& chart() { return window->chart(); }
    chart::LineSeries& series(Channel c) { return chart().chart().series[c]; }
    void load() {
        dialogs.openAccepted = true;
        dialogs.openFiles = {log};
        window->loadLogFile();
        showOnly({RPM1Series, OATSeries});
    }
    void showOnly(std::initializer_list<Channel> channels) {
        for (chart::LineSeries& s : chart().chart().series) s.active = false;
        for (Channel c : channels) series(c).active = true;
        chart().chart().invalidate();
        chart().grab();
    }
    // OAT's limits set to `lower` .. `upper`, then Analysis > Exceedances.
    void showExceedances(double lower, double upper) {
        LimitTable limits{};
        limits[OATSeries].lower = lower;
        limits[OATSeries].upper = upper;
        window->analysis().setLimits(limits);
        trigger("exceedancesAction");
    }
    double x(int second) { return series(OATSeries).points[static_cast<std::size_t>(second)].x; }
    void trigger(const char* name) { test::child<QAction>(*window, name)->trigger(); }
    QString text(QTableWidget& t, int row, int column) {
        return t.item(row, column) ? t.item(row, column)->text() : QString();
    }
    int rowOf(QTableWidget& t, const QString& title) {
        for (int r = 0; r < t.rowCount(); ++r)
            if (text(t, r, 1) == title) return r;
        return -1;
    }
};

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
}

}  // namespace

class TestAnalysis : public QObject {
    Q_OBJECT
  private slots:
    void menuBetweenSettingsAndHelp() {
        Viewer v;
        QStringList titles;
        for (QAction* a : v.window->menuBar()->actions()) titles << a->text();
        QCOMPARE(titles, QStringList({"&File", "&Edit", "&Settings", "&Analysis", "&Help"}));
    }

    void logReportAfterLoad() {
        Viewer v;
        v.load();
        v.trigger("logReportAction");
        LogReportWindow& w = v.window->analysis().logReportWindow();
        QVERIFY(w.isVisible());
        const QString text = w.text();
        for (const QString& line :
             {QStringLiteral("File size: %1 bytes").arg(sampleLog().size()),
              QStringLiteral("Time span: 10:00:00 - 10:00:09"), QStringLiteral("Lines: 10"),
              QStringLiteral("Unknown lines: 0"), QStringLiteral("Incomplete records: 0"),
              QStringLiteral("Gap fills: 0"), QStringLiteral("Read to the end of the file")})
            QVERIFY2(text.contains(line), qPrintable(line + QStringLiteral("\n") + text));
        QVERIFY(text.contains(QStringLiteral("Records of model 10 (")));
        QVERIFY(text.contains(QStringLiteral("flight.csv")));
        test::child<QPushButton>(w, "copyButton")->click();
        QCOMPARE(QApplication::clipboard()->text(), text);
    }

    // What the report says of logs with unknown lines and of a load that stopped.
    void logReportLines_data() {
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<QStringList>("lines");
        const QByteArray good = "10,12/05/2024,10:00:00,12345,487,2400,41.8,662.5,17.2\r\n";
        QTest::newRow("unknown model")
            << (good + "77,12/05/2024,10:00:01,1,2,3\r\n" + good)
            << QStringList{"Lines: 3", "Unknown lines: 1", "Read to the end of the file"};
        QTest::newRow("time that does not convert")
            << (good + "10,12/05/2024,25:00:00,12345,487,2400,41.8,662.5,17.2\r\n" + good)
            << QStringList{"Lines: 2", "Time span: 10:00:00 - 10:00:00",
                           "Stopped at line 2: '25:00:00' is not a valid"};
        QTest::newRow("empty file")
            << QByteArray() << QStringList{"Lines: 0", "Time span: none - none"};
    }
    void logReportLines() {
        QFETCH(QByteArray, log);
        QFETCH(QStringList, lines);
        Viewer v;
        QFile file(v.log);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(log);
        file.close();
        v.load();
        const QString text = v.window->analysis().logReportWindow().text();
        for (const QString& line : lines)
            QVERIFY2(text.contains(line), qPrintable(line + QStringLiteral("\n") + text));
    }

    // The cursors and the limits are drawn by the routine the bitmap and the printer use.
    void cursorsAndLimitsInTheOutputPicture() {
        Viewer v;
        v.load();
        const auto picture = [&v] {
            QImage image(794, 499, QImage::Format_RGB32);
            QPainter painter(&image);
            v.chart().renderTo(painter, image.rect());
            return image;
        };
        const QImage plain = picture();
        v.chart().placeCursor(chart::ChartWidget::Cursor::A, v.x(3));
        const QImage withCursor = picture();
        QVERIFY(withCursor != plain);
        LimitTable limits{};
        limits[OATSeries].upper = 20.0;
        v.window->analysis().setLimits(limits);
        QVERIFY(picture() != withCursor);
        v.window->analysis().setLimits(LimitTable{});
        v.trigger("removeCursorsAction");
        QCOMPARE(picture(), plain);
    }

    void statisticsFollowViewCursorsTogglesAndLoads() {
        Viewer v;
        v.load();
        v.trigger("statisticsAction");
        StatisticsWindow& w = v.window->analysis().statisticsWindow();
        QTableWidget& t = w.table();
        QCOMPARE(t.rowCount(), 2);
        int oat = v.rowOf(t, QStringLiteral("OAT"));
        QVERIFY(oat >= 0);
        // Columns: colour, series, unit, readings, minimum, at, maximum, at, mean.
        QCOMPARE(v.text(t, oat, 0), v.series(OATSeries).color.name());
        QVERIFY(!t.item(oat, 0)->icon().isNull());
        QCOMPARE(v.text(t, oat, 2), QStringLiteral("°C"));
        QCOMPARE(v.text(t, oat, 3), QStringLiteral("10"));
        QCOMPARE(v.text(t, oat, 4), QStringLiteral("10"));
        QCOMPARE(v.text(t, oat, 5), QStringLiteral("10:00:00"));
        QCOMPARE(v.text(t, oat, 6), QStringLiteral("30"));
        QCOMPARE(v.text(t, oat, 7), QStringLiteral("10:00:08"));
        QCOMPARE(v.text(t, oat, 8), QStringLiteral("17.8"));

        // Between the cursors, in either order.
        v.chart().placeCursor(chart::ChartWidget::Cursor::A, v.x(5));
        QCOMPARE(v.text(t, oat, 3), QStringLiteral("10"));  // one cursor: still the view
        v.chart().placeCursor(chart::ChartWidget::Cursor::B, v.x(2));
        QVERIFY(w.rangeLabel().text().startsWith(QStringLiteral("Between the cursors")));
        QCOMPARE(v.text(t, oat, 3), QStringLiteral("4"));
        QCOMPARE(v.text(t, oat, 4), QStringLiteral("15"));
        QCOMPARE(v.text(t, oat, 6), QStringLiteral("25"));
        QCOMPARE(v.text(t, oat, 7), QStringLiteral("10:00:04"));

        // The visible range after a zoom, once the cursors are gone.
        v.trigger("removeCursorsAction");
        chart::setMinMax(v.chart().chart().bottomAxis, v.x(6), v.x(9));
        v.chart().chart().invalidate();
        v.chart().grab();
        QCOMPARE(v.text(t, oat, 3), QStringLiteral("4"));
        QCOMPARE(v.text(t, oat, 6), QStringLiteral("30"));

        // A series switched off leaves the table.
        v.series(RPM1Series).active = false;
        v.chart().chart().invalidate();
        v.chart().grab();
        QCOMPARE(t.rowCount(), 1);

        // A load shows the whole log again and removes the cursors.
        v.chart().placeCursor(chart::ChartWidget::Cursor::A, v.x(1));
        v.load();
        QVERIFY(!v.chart().chart().cursorA);
        QCOMPARE(t.rowCount(), 2);
        QVERIFY(w.rangeLabel().text().startsWith(QStringLiteral("Visible time")));
        // A load keeps the zoom, as it always has.
        oat = v.rowOf(t, QStringLiteral("OAT"));
        QCOMPARE(v.text(t, oat, 3), QStringLiteral("4"));

        test::child<QPushButton>(w, "copyButton")->click();
        const QStringList lines = QApplication::clipboard()->text().split('\n');
        QVERIFY(lines.size() >= 4);
        QVERIFY(lines[1].startsWith(QStringLiteral("Colour\tSeries\tUnit\tReadings")));
    }

    void cursorReadoutInStatusBar() {
        Viewer v;
        v.load();
        // Volts is on but model 10 has no Volts readings: it has no line in the readout.
        v.showOnly({RPM1Series, OATSeries, VoltsSeries});
        QStatusBar* bar = test::child<QStatusBar>(*v.window, "StatusBar1");
        QCOMPARE(bar->currentMessage(), QString());
        // Between readings the cursor reads the last one before it.
        v.chart().placeCursor(chart::ChartWidget::Cursor::A, (v.x(2) + v.x(3)) / 2);
        v.chart().placeCursor(chart::ChartWidget::Cursor::B, v.x(5));
        const QString text = bar->currentMessage();
        QVERIFY2(text.contains(QStringLiteral("OAT: A=15 B=22 B-A=7")), qPrintable(text));
        QVERIFY2(!text.contains(QStringLiteral("Volts")), qPrintable(text));
        // Values read as the value axis labels them, with the locale's digit grouping.
        const QLocale locale;
        QVERIFY2(text.contains(QStringLiteral("RPM 1: A=%1 B=%2 B-A=30")
                                   .arg(locale.toString(2420), locale.toString(2450))),
                 qPrintable(text));
        // 10:00:02.5 and 10:00:05 read 10:00:02 and 10:00:05 on their labels.
        QVERIFY2(text.contains(QStringLiteral("B-A 3 s")), qPrintable(text));
        // + zooms around cursor A.
        const double a = *v.chart().chart().cursorA;
        v.chart().setFocus();
        QTest::keyClick(&v.chart(), Qt::Key_Plus);
        v.chart().grab();
        const chart::AxisState& bottom = v.chart().chart().bottomAxis;
        QVERIFY(bottom.minimum < a && a < bottom.maximum);
        QVERIFY(bottom.maximum - bottom.minimum < v.x(9) - v.x(0));
        v.trigger("removeCursorsAction");
        QCOMPARE(bar->currentMessage(), QString());
    }

    void limitsFollowUnitChangeAndStayPerUser() {
        Viewer v;
        v.load();
        const QString settingsFile = v.store.filePath();
        const QByteArray settingsBefore = fileBytes(settingsFile);
        v.trigger("limitsAction");
        LimitsDialog& dialog = v.window->analysis().limitsDialog();
        QCOMPARE(v.dialogs.modals.size(), 1);
        QCOMPARE(v.dialogs.modals.first(), &dialog);
        QCOMPARE(dialog.table().item(OATSeries, 1)->text(), QStringLiteral("°C"));
        dialog.table().item(OATSeries, 2)->setText(QStringLiteral("12"));
        dialog.table().item(OATSeries, 3)->setText(QStringLiteral("20"));
        dialog.accept();
        QCOMPARE(v.series(OATSeries).lowerLimit, std::optional<double>(12.0));
        QCOMPARE(v.series(OATSeries).upperLimit, std::optional<double>(20.0));
        QVERIFY(!v.series(RPM1Series).upperLimit);
        QCOMPARE(fileBytes(settingsFile), settingsBefore);
        QVERIFY(
            fileBytes(v.store.userFolder() + QStringLiteral("/viewer.ini")).contains("OATSeries"));

        // Fahrenheit, then a reload: the limits follow the data into the new unit.
        v.units.setSelection(OatUnit, 1);
        v.window->saveSettings();
        v.load();
        QVERIFY(qAbs(*v.series(OATSeries).upperLimit - 68.0) < 1e-4);
        QVERIFY(qAbs(*v.series(OATSeries).lowerLimit - 53.6) < 1e-4);
        v.trigger("limitsAction");
        QCOMPARE(dialog.table().item(OATSeries, 3)->text(), QStringLiteral("68"));

        // Another window of the same user finds them in viewer.ini.
        v.window = std::make_unique<MainWindow>(v.dialogs, v.store);
        QCOMPARE(v.window->analysis().limits()[OATSeries].upper, std::optional<double>(20.0));
        QCOMPARE(v.window->analysis().limits()[OATSeries].code, std::uint8_t(0));
    }

    // Units ▸ OK without a reload changes the settings, not the loaded data: every
    // output keeps naming the units the log was loaded in.
    void unitChangeWithoutReloadKeepsTheLoadedUnits() {
        Viewer v;
        v.load();
        v.units.setSelection(OatUnit, 1);  // °F from the next load on
        v.window->saveSettings();
        QCOMPARE(v.window->settingsRecord()[OatUnit], std::uint8_t(1));
        QCOMPARE(v.window->loadedLog().units[OatUnit], std::uint8_t(0));

        v.trigger("statisticsAction");
        QTableWidget& stats = v.window->analysis().statisticsWindow().table();
        QCOMPARE(v.text(stats, v.rowOf(stats, QStringLiteral("OAT")), 2), QStringLiteral("°C"));

        v.trigger("limitsAction");
        QCOMPARE(v.window->analysis().limitsDialog().table().item(OATSeries, 1)->text(),
                 QStringLiteral("°C"));
        LimitTable limits{};
        limits[OATSeries].upper = 20.0;
        v.window->analysis().setLimits(limits);
        v.trigger("exceedancesAction");
        QTableWidget& runs = v.window->analysis().exceedancesWindow().table();
        QVERIFY(runs.rowCount() > 0);
        QCOMPARE(v.text(runs, 0, 1), QStringLiteral("above 20 °C"));

        const chart::ChartLayout& shown = v.chart().layout();
        const QString header =
            pdfHeaderLines(v.window->loadedLog(), v.chart().chart(),
                           analysis::XRange{shown.bottom.minimum(), shown.bottom.maximum()})
                .join(QLatin1Char('\n'));
        QVERIFY2(header.contains(QStringLiteral("OAT\u00A0(°C)")), qPrintable(header));

        v.dialogs.saveAccepted = true;
        v.dialogs.saveFile = v.dir.filePath(QStringLiteral("visible.csv"));
        v.trigger("exportVisibleDataAction");
        QCOMPARE(fileBytes(v.dialogs.saveFile).split('\r').first(),
                 QByteArray("Time,OAT (°C),RPM 1 (rpm)"));

        // The next load converts with the new choice.
        v.load();
        QCOMPARE(v.window->loadedLog().units[OatUnit], std::uint8_t(1));
        v.window->analysis().statisticsWindow().refresh();
        QCOMPARE(v.text(stats, v.rowOf(stats, QStringLiteral("OAT")), 2), QStringLiteral("°F"));
    }

    // Only the loaded log's channels: a channel switched on that the log does not have
    // is in neither the statistics nor the visible-data export.
    void outputsListOnlyTheLoadedLogsChannels() {
        Viewer v;
        v.load();
        for (chart::LineSeries& s : v.chart().chart().series) s.active = true;
        v.chart().chart().invalidate();
        v.chart().grab();
        int inLegend = 0;
        for (const chart::LineSeries& s : v.chart().chart().series) inLegend += s.showInLegend;
        QVERIFY(inLegend > 0 && inLegend < kChannelCount);
        v.trigger("statisticsAction");
        QCOMPARE(v.window->analysis().statisticsWindow().table().rowCount(), inLegend);
        v.dialogs.saveAccepted = true;
        v.dialogs.saveFile = v.dir.filePath(QStringLiteral("visible.csv"));
        v.trigger("exportVisibleDataAction");
        const QByteArray header = fileBytes(v.dialogs.saveFile).split('\r').first();
        QCOMPARE(int(header.count(',')), inLegend);
        QVERIFY2(!header.contains("Volts"), header.constData());
    }

    // A file that does not open leaves the loaded log, its report and units as they were.
    void failedOpenKeepsTheLoadedLog() {
        Viewer v;
        v.load();
        const QString report = v.window->analysis().logReportWindow().text();
        v.units.setSelection(OatUnit, 1);
        v.window->saveSettings();
        v.dialogs.openFiles = {v.dir.filePath(QStringLiteral("gone.csv"))};
        v.window->loadLogFile();
        QCOMPARE(v.window->loadedLog().path, v.log);
        QCOMPARE(v.window->loadedLog().units[OatUnit], std::uint8_t(0));
        QCOMPARE(v.window->analysis().logReportWindow().text(), report);
    }

    void limitsInOtherUnits_data() {
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("enteredCode");
        QTest::addColumn<double>("entered");
        QTest::addColumn<int>("shownCode");
        QTest::addColumn<double>("shown");
        QTest::newRow("C to F") << int(OATSeries) << 0 << 40.0 << 1 << 104.0;
        QTest::newRow("F to C") << int(TC3Series) << 1 << 104.0 << 0 << 40.0;
        QTest::newRow("F stays F") << int(OATSeries) << 1 << 100.1 << 1 << 100.1;
        QTest::newRow("kt to km/h") << int(AirspeedSeries) << 2 << 100.0 << 1 << 185.2;
        QTest::newRow("m to ft") << int(AltitudeSeries) << 1 << 1000.0 << 0 << 3280.8;
        QTest::newRow("no unit choice") << int(VoltsSeries) << 0 << 14.2 << 0 << 14.2;
    }
    void limitsInOtherUnits() {
        QFETCH(int, channel);
        QFETCH(int, enteredCode);
        QFETCH(double, entered);
        QFETCH(int, shownCode);
        QFETCH(double, shown);
        ChannelLimits limits;
        limits.upper = entered;
        limits.code = static_cast<std::uint8_t>(enteredCode);
        const ChannelLimits out =
            limitsInUnit(channel, limits, static_cast<std::uint8_t>(shownCode));
        QVERIFY(!out.lower);
        QVERIFY2(qAbs(*out.upper - shown) < 1e-3 * qMax(1.0, qAbs(shown)),
                 qPrintable(QString::number(*out.upper, 'g', 10)));
        if (enteredCode == shownCode) QCOMPARE(*out.upper, entered);
    }

    void exceedancesRowsAndZoomUndo() {
        Viewer v;
        v.load();
        v.showExceedances(12.0, 20.0);
        QTableWidget& t = v.window->analysis().exceedancesWindow().table();
        // 10 below 12; 25, 22 above 20 (20 itself is not beyond); 30; 11.
        QCOMPARE(t.rowCount(), 4);
        const QStringList expected[] = {
            {"OAT", "below 12 °C", "10:00:00", "10:00:00", "0 s", "10"},
            {"OAT", "above 20 °C", "10:00:04", "10:00:05", "1 s", "25"},
            {"OAT", "above 20 °C", "10:00:08", "10:00:08", "0 s", "30"},
            {"OAT", "below 12 °C", "10:00:09", "10:00:09", "0 s", "11"},
        };
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 6; ++c) QCOMPARE(v.text(t, r, c), expected[r][c]);

        emit t.cellDoubleClicked(1, 2);
        v.chart().grab();
        const chart::AxisState& bottom = v.chart().chart().bottomAxis;
        QVERIFY(!bottom.automatic);
        // The run with a second on either side.
        QVERIFY(qAbs(bottom.minimum - v.x(3)) < 1e-7);
        QVERIFY(qAbs(bottom.maximum - v.x(6)) < 1e-7);
        QVERIFY(v.chart().zoomScroll().back());
        QVERIFY(v.chart().chart().bottomAxis.automatic);
    }

    // The settings of the Exceedances window on the runs of OAT beyond 12 and 20: below
    // at 0 s, above from 4 to 5 s and at 8 s, below at 9 s.
    void exceedancesJoinAndHideRuns_data() {
        QTest::addColumn<int>("join");
        QTest::addColumn<int>("hide");
        QTest::addColumn<QStringList>("rows");  // limit, start, end, duration, peak
        QTest::newRow("0 / 0: every run")
            << 0 << 0
            << QStringList{
                   "below 12 °C 10:00:00 10:00:00 0 s 10", "above 20 °C 10:00:04 10:00:05 1 s 25",
                   "above 20 °C 10:00:08 10:00:08 0 s 30", "below 12 °C 10:00:09 10:00:09 0 s 11"};
        QTest::newRow("a 3 s gap is not closer than 3 s")
            << 3 << 0
            << QStringList{
                   "below 12 °C 10:00:00 10:00:00 0 s 10", "above 20 °C 10:00:04 10:00:05 1 s 25",
                   "above 20 °C 10:00:08 10:00:08 0 s 30", "below 12 °C 10:00:09 10:00:09 0 s 11"};
        QTest::newRow("join closer than 4 s")
            << 4 << 0
            << QStringList{"below 12 °C 10:00:00 10:00:00 0 s 10",
                           "above 20 °C 10:00:04 10:00:08 4 s 30",
                           "below 12 °C 10:00:09 10:00:09 0 s 11"};
        QTest::newRow("hide shorter than 1 s")
            << 0 << 1 << QStringList{"above 20 °C 10:00:04 10:00:05 1 s 25"};
        QTest::newRow("join, then hide")
            << 4 << 2 << QStringList{"above 20 °C 10:00:04 10:00:08 4 s 30"};
    }
    void exceedancesJoinAndHideRuns() {
        QFETCH(int, join);
        QFETCH(int, hide);
        QFETCH(QStringList, rows);
        Viewer v;
        v.load();
        v.showExceedances(12.0, 20.0);
        ExceedancesWindow& w = v.window->analysis().exceedancesWindow();
        QCOMPARE(w.joinRunsBox().value(), 0);
        QCOMPARE(w.hideRunsBox().value(), 0);
        w.joinRunsBox().setValue(join);
        w.hideRunsBox().setValue(hide);
        QTableWidget& t = w.table();
        QStringList shown;
        for (int r = 0; r < t.rowCount(); ++r) {
            QStringList fields;
            for (int c = 1; c < 6; ++c) fields << v.text(t, r, c);
            shown << fields.join(u' ');
        }
        QCOMPARE(shown, rows);
        // A double click zooms to the run as the table shows it.
        emit t.cellDoubleClicked(0, 0);
        v.chart().grab();
        QVERIFY(!v.chart().chart().bottomAxis.automatic);
    }

    // Differences read as the value axis labels them; the seconds between the cursors are
    // those between the times their labels show; the status bar shows what fits, the tool
    // tip and the Statistics window all of it.
    void cursorReadoutRoundsAndFits() {
        Viewer v;
        QFile file(v.log);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        for (int s = 0; s < 10; ++s)
            file.write(QStringLiteral("10,12/05/2024,10:00:%1,12345,487,2400,41.8,662.5,%2\r\n")
                           .arg(s, 2, 10, QLatin1Char('0'))
                           .arg(s < 5 ? QStringLiteral("14.1") : QStringLiteral("14.0"))
                           .toLatin1());
        file.close();
        v.load();
        v.showOnly({OATSeries});
        const double second = 1.0 / 86400.0;
        // Labels "A 10:00:00" and "B 10:00:06": 6.7 s apart, 6 s as the labels read.
        v.chart().placeCursor(chart::ChartWidget::Cursor::A, v.x(0) + 0.2 * second);
        v.chart().placeCursor(chart::ChartWidget::Cursor::B, v.x(6) + 0.9 * second);
        const QString readout = v.window->analysis().cursorReadout();
        QVERIFY2(readout.contains(QStringLiteral("OAT: A=14.1 B=14 B-A=-0.1")),
                 qPrintable(readout));
        QVERIFY2(readout.contains(QStringLiteral("A 10:00:00  |  B 10:00:06  |  B-A 6 s")),
                 qPrintable(readout));

        QStatusBar* bar = test::child<QStatusBar>(*v.window, "StatusBar1");
        QCOMPARE(bar->currentMessage(), readout);
        QCOMPARE(bar->toolTip(), readout);
        QLabel& full = v.window->analysis().statisticsWindow().cursorReadoutLabel();
        QCOMPARE(full.text(), readout);
        QVERIFY(!full.isHidden());

        // A bar too narrow for it: shortened with an ellipsis, whole in the tool tip.
        bar->resize(200, bar->height());
        v.chart().placeCursor(chart::ChartWidget::Cursor::B, v.x(7));
        const QString longer = v.window->analysis().cursorReadout();
        const QString message = bar->currentMessage();
        QVERIFY2(message.endsWith(QChar(0x2026)), qPrintable(message));
        QVERIFY(message.size() < longer.size());
        QVERIFY(bar->fontMetrics().horizontalAdvance(message) <= bar->width());
        QCOMPARE(bar->toolTip(), longer);
        QCOMPARE(full.text(), longer);

        v.trigger("removeCursorsAction");
        QCOMPARE(bar->currentMessage(), QString());
        QCOMPARE(bar->toolTip(), QString());
        QVERIFY(full.isHidden());
    }

    // Each window of the Analysis menu closes with Escape and with its Close button.
    void windowsCloseWithEscapeAndClose_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("window");
        QTest::newRow("log report") << "logReportAction"
                                    << "logReportWindow";
        QTest::newRow("statistics") << "statisticsAction"
                                    << "statisticsWindow";
        QTest::newRow("exceedances") << "exceedancesAction"
                                     << "exceedancesWindow";
    }
    void windowsCloseWithEscapeAndClose() {
        QFETCH(QString, action);
        QFETCH(QString, window);
        Viewer v;
        v.load();
        v.window->show();
        v.trigger(qPrintable(action));
        QWidget* w = test::child<QWidget>(*v.window, qPrintable(window));
        QVERIFY(w);
        QVERIFY(w->isVisible());
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::keyClick(w, Qt::Key_Escape);
        QTRY_VERIFY(!w->isVisible());

        v.trigger(qPrintable(action));
        QVERIFY(w->isVisible());
        test::child<QPushButton>(*w, "closeButton")->click();
        QVERIFY(!w->isVisible());
    }
};

QTEST_MAIN(TestAnalysis)
#include "test_analysis.moc"
