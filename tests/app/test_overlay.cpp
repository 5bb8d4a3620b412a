// File > Overlay Log on a window with a small log loaded: the second log's series laid
// over the first, first record on first record, moved by a typed offset and by a Shift
// drag, with legend items and check boxes of their own, in the cursor readout, the
// statistics and the visible-data export (as logdump --overlay writes it), refused in
// other units, one flight of a log laid on the log, and ended by the menu and by a load.
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/analysis_tools.h"
#include "app/main_window.h"
#include "app/overlay_tools.h"
#include "chart/chart_widget.h"
#include "loading/overlay_log.h"
#include "settings/settings_store.h"
#include "settings/units_dialog.h"
#include "tests/support/fake_dialogs.h"
#include "tests/support/find_child.h"

using namespace zp;

namespace {

constexpr std::size_t kRpm2 = kOverlayFirstSeries + RPM1Series;

// Model 10 (RPM, MAP, OAT), one record a second for `seconds` seconds from `start`
// (seconds of the day), RPM `rpm` + 10 a second.
QByteArray modelTenLog(int start, int seconds, int rpm) {
    QByteArray text;
    for (int s = 0; s < seconds; ++s) {
        const int t = start + s;
        text += QStringLiteral("10,12/05/2024,%1:%2:%3,12345,487,%4,41.8,662.5,%5\r\n")
                    .arg(t / 3600, 2, 10, QLatin1Char('0'))
                    .arg(t / 60 % 60, 2, 10, QLatin1Char('0'))
                    .arg(t % 60, 2, 10, QLatin1Char('0'))
                    .arg(rpm + 10 * s)
                    .arg(10 + s % 7)
                    .toLatin1();
    }
    return text;
}

struct Viewer {
    test::FakeDialogs dialogs;
    QTemporaryDir dir;
    SettingsStore store{dir.path(), dir.path() + QStringLiteral("/user")};
    UnitsDialog units;
    std::unique_ptr<MainWindow> window = std::make_unique<MainWindow>(dialogs, store);
    // The loaded log from 10:00:00, the second from 11:00:00 (30 s each).
    QString first = write("first.csv", modelTenLog(36000, 30, 2400));
    QString second = write("second.csv", modelTenLog(39600, 30, 2000));

    Viewer() {
        window->setUnitsDialog(&units);
        window->resize(900, 760);
        window->show();  // loads (and writes) the settings
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    QString write(const char* name, const QByteArray& bytes) {
        const QString path = dir.filePath(QLatin1String(name));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) file.write(bytes);
        return path;
    }
    chart::ChartWidget& chart() { return window->chart(); }
    chart::LineSeries& series(std::size_t i) { return chart().chart().series[i]; }
    void trigger(const char* name) { test::child<QAction>(*window, name)->trigger(); }
    void load(const QString& path) {
        dialogs.openAccepted = true;
        dialogs.openFiles = {path};
        window->loadLogFile();
    }
    void overlay(const QString& path) {
        dialogs.openAccepted = true;
        dialogs.openFiles = {path};
        trigger("overlayLogAction");
        chart().grab();
    }
    // Only RPM 1 and its overlay switched on.
    void showRpmOnly() {
        for (chart::LineSeries& s : chart().chart().series) s.active = false;
        series(RPM1Series).active = true;
        if (hasOverlay(chart().chart())) series(kRpm2).active = true;
        chart().chart().invalidate();
        chart().grab();
    }
    QString overlayText() { return window->overlay().statusLabel().text(); }
};

}  // namespace

class TestOverlay : public QObject {
    Q_OBJECT

  private slots:
    // Its first record on the loaded log's, dashed and lighter, one legend item with a
    // check box per overlaid series that switches only that series.
    void overlay_laysFirstRecordOnFirstRecordWithLegendItems() {
        Viewer v;
        v.load(v.first);
        v.overlay(v.second);
        QCOMPARE(v.chart().chart().series.size(), std::size_t(2 * kChannelCount));
        const chart::LineSeries& rpm2 = v.series(kRpm2);
        QCOMPARE(rpm2.points.size(), std::size_t{30});
        QCOMPARE(rpm2.points[0].x, v.series(RPM1Series).points[0].x);
        QCOMPARE(rpm2.points[29].x, v.series(RPM1Series).points[29].x);
        QCOMPARE(rpm2.points[0].y, 2000.0);
        QVERIFY(rpm2.dashed);
        QCOMPARE(v.window->overlay().alignmentSeconds(), -3600.0);
        QCOMPARE(v.overlayText(), QStringLiteral("Overlay: second.csv, offset +0 s"));
        QVERIFY(v.window->overlay().statusLabel().isVisibleTo(v.window.get()));

        const chart::LegendLayout& legend = v.chart().layout().legend;
        const auto item = [&legend](std::size_t series) {
            for (int k = 0; k < legend.shownCount(); ++k)
                if (legend.items[static_cast<std::size_t>(k)] == int(series)) return k;
            return -1;
        };
        // The log's four channels and their four overlays, nothing else.
        QCOMPARE(legend.items.size(), std::size_t{8});
        for (Channel c : {RPM1Series, RPM1PSeries, MAPSeries, OATSeries}) {
            QVERIFY(item(c) >= 0);
            QVERIFY(item(kOverlayFirstSeries + c) > item(OATSeries));
        }
        const bool wasOn = v.series(kRpm2).active;
        QTest::mouseClick(&v.chart(), Qt::LeftButton, Qt::NoModifier,
                          legend.checkBoxRect(item(kRpm2)).center());
        QCOMPARE(v.series(kRpm2).active, !wasOn);
        QCOMPARE(v.series(RPM1Series).active, wasOn);
    }

    // A typed offset moves it from the lined-up place; a Shift drag moves it by the time
    // the pointer moved, and zooms nothing.
    void offset_typedAndDragged() {
        Viewer v;
        v.load(v.first);
        v.overlay(v.second);
        v.showRpmOnly();
        const double start = v.series(RPM1Series).points[0].x;

        v.dialogs.secondsAccepted = true;
        v.dialogs.seconds = -2.5;
        v.trigger("overlayOffsetAction");
        QCOMPARE(v.dialogs.secondsOffers, QList<double>{0.0});
        QCOMPARE(v.window->overlay().offsetSeconds(), -2.5);
        QCOMPARE(v.series(kRpm2).points[0].x, shiftedX(start, -2500));
        QCOMPARE(v.overlayText(), QStringLiteral("Overlay: second.csv, offset -2.5 s"));
        v.dialogs.secondsAccepted = false;
        v.trigger("overlayOffsetAction");
        QCOMPARE(v.window->overlay().offsetSeconds(), -2.5);

        v.chart().grab();
        const chart::ChartLayout layout = v.chart().layout();
        const double perPixel = layout.bottom.scale.range() / layout.bottom.scale.size();
        const QPoint from((layout.plot.left + layout.plot.right) / 2,
                          (layout.plot.top + layout.plot.bottom) / 2);
        const QPoint to = from + QPoint(40, 10);
        QTest::mousePress(&v.chart(), Qt::LeftButton, Qt::ShiftModifier, from);
        QVERIFY(v.chart().timeDragActive());
        QMouseEvent move(QEvent::MouseMove, QPointF(to), v.chart().mapToGlobal(QPointF(to)),
                         Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier);
        QCoreApplication::sendEvent(&v.chart(), &move);
        QTest::mouseRelease(&v.chart(), Qt::LeftButton, Qt::ShiftModifier, to);
        QVERIFY(!v.chart().timeDragActive());
        const std::int64_t moved = std::llround(40 * perPixel * 86400000.0);
        QCOMPARE(v.window->overlay().offsetSeconds(), (moved - 2500) / 1000.0);
        QCOMPARE(v.series(kRpm2).points[0].x, shiftedX(start, moved - 2500));
        QVERIFY(!v.chart().zoomScroll().dragActive());
        QCOMPARE(v.chart().layout().bottom.scale.range(), layout.bottom.scale.range());

        // Without an overlay a Shift press is the press it always was.
        v.trigger("removeOverlayAction");
        QTest::mousePress(&v.chart(), Qt::LeftButton, Qt::ShiftModifier, from);
        QVERIFY(!v.chart().timeDragActive());
        QVERIFY(v.chart().zoomScroll().zoomDragActive());
        QTest::mouseRelease(&v.chart(), Qt::LeftButton, Qt::ShiftModifier, from);
    }

    // The cursor readout, the statistics and the visible-data export name the overlaid
    // series by their titles; the export is what logdump --overlay --csv writes.
    void readoutStatisticsAndExportIncludeTheOverlay() {
        Viewer v;
        v.load(v.first);
        v.overlay(v.second);
        const QString title2 = v.series(kRpm2).title;
        // Every series switched on, as logdump has them without settings of its own.
        v.chart().grab();
        const chart::ChartLayout& shown = v.chart().layout();
        QTemporaryDir out;
        v.dialogs.saveAccepted = true;
        v.dialogs.saveFile = out.filePath(QStringLiteral("window.csv"));
        v.trigger("exportVisibleDataAction");
        QFile exported(v.dialogs.saveFile);
        QVERIFY(exported.open(QIODevice::ReadOnly));
        const QByteArray csv = exported.readAll();
        const QByteArray header = csv.left(csv.indexOf('\r'));
        QVERIFY2(header.contains((QLatin1Char(',') + title2).toUtf8()), header.constData());

        const QString logdumpCsv = out.filePath(QStringLiteral("logdump.csv"));
        QProcess logdump;
        logdump.start(QStringLiteral(ZP_BINARY_DIR "/bin/logdump"),
                      {QStringLiteral("--settings"), v.store.filePath(), QStringLiteral("--csv"),
                       logdumpCsv, QStringLiteral("--range"),
                       QStringLiteral("%1,%2")
                           .arg(shown.bottom.minimum(), 0, 'g', 17)
                           .arg(shown.bottom.maximum(), 0, 'g', 17),
                       QStringLiteral("--overlay"), v.second, v.first});
        QVERIFY(logdump.waitForFinished(30000));
        QCOMPARE(logdump.exitCode(), 0);
        QFile b(logdumpCsv);
        QVERIFY(b.open(QIODevice::ReadOnly));
        QCOMPARE(csv, b.readAll());

        v.showRpmOnly();
        QVERIFY(title2.endsWith(QStringLiteral(" \u25B82")));
        const chart::PointList& points = v.series(RPM1Series).points;
        v.chart().placeCursor(chart::ChartWidget::Cursor::A, points[2].x);
        v.chart().placeCursor(chart::ChartWidget::Cursor::B, points[5].x);
        const QString readout = v.window->analysis().cursorReadout();
        const auto label = [&v](double value) {
            return v.chart().labelValue(chart::AxisId::Left, value);
        };
        QVERIFY2(readout.contains(
                     title2 +
                     QStringLiteral(": A=%1 B=%2 B-A=%3").arg(label(2020), label(2050), label(30))),
                 qPrintable(readout));
        QVERIFY(readout.contains(v.series(RPM1Series).title +
                                 QStringLiteral(": A=%1 B=%2").arg(label(2420), label(2450))));

        StatisticsWindow& stats = v.window->analysis().statisticsWindow();
        stats.refresh();
        QTableWidget& table = stats.table();
        QCOMPARE(table.rowCount(), 2);
        QCOMPARE(table.item(1, 1)->text(), title2);
        QCOMPARE(table.item(1, 2)->text(), table.item(0, 2)->text());  // its channel's unit
        QCOMPARE(table.item(1, 3)->text(), QStringLiteral("4"));       // 2 s .. 5 s
        QCOMPARE(table.item(1, 4)->text(), QStringLiteral("2020"));
    }

    // A log loaded in other units than a load would use now is not overlaid.
    void overlay_refusedWhenTheUnitsDiffer() {
        Viewer v;
        v.load(v.first);
        v.units.setSelection(OatUnit, 1);
        v.window->saveSettings();
        v.overlay(v.second);
        QVERIFY(!hasOverlay(v.chart().chart()));
        QVERIFY(!v.dialogs.messages.isEmpty());
        QVERIFY2(v.dialogs.messages.last().text.contains(QStringLiteral("other units")),
                 qPrintable(v.dialogs.messages.last().text));
        QCOMPARE(v.dialogs.messages.last().caption, QStringLiteral("Overlay refused"));

        // Without a log loaded there is nothing to lay it over.
        Viewer empty;
        empty.overlay(empty.second);
        QVERIFY(!hasOverlay(empty.chart().chart()));
        QVERIFY(empty.dialogs.messages.last().text.contains(QStringLiteral("Load a log first")));
    }

    // Remove Overlay and a new load end it; a file that does not open leaves it.
    void overlay_removedByTheMenuAndByALoad() {
        Viewer v;
        v.load(v.first);
        v.overlay(v.second);
        v.trigger("removeOverlayAction");
        QCOMPARE(v.chart().chart().series.size(), std::size_t(kChannelCount));
        QVERIFY(!v.window->overlay().statusLabel().isVisibleTo(v.window.get()));

        v.overlay(v.second);
        v.load(v.dir.filePath(QStringLiteral("missing.csv")));
        QVERIFY(hasOverlay(v.chart().chart()));
        v.load(v.second);
        QCOMPARE(v.chart().chart().series.size(), std::size_t(kChannelCount));
        QVERIFY(v.window->overlay().path().isEmpty());
    }

    // One flight of a log: only its points, its start on the loaded log's first record
    // (or on the start of the flight the log was opened to).
    void overlayFlight_laysTheFlightsStartOnTheStart() {
        Viewer v;
        // Two flights: 10:00:00 for 10 s and 12:00:00 for 10 s.
        const QString two =
            v.write("two.csv", modelTenLog(36000, 10, 1000) + modelTenLog(43200, 10, 3000));
        v.load(v.first);
        library::Flight flight;
        flight.index = 1;
        flight.startSecond = 43200;
        flight.endSecond = 43209;
        flight.seconds = 9;
        QVERIFY(v.window->overlay().overlay(two, flight));
        // The record after the gap is plotted as the gap's closing zero, which belongs to
        // no flight: the overlay holds the flight's other nine readings, from 12:00:01,
        // and its start (12:00:00) lies on the loaded log's first record.
        const chart::LineSeries& rpm2 = v.series(kRpm2);
        QCOMPARE(rpm2.points.size(), std::size_t{9});
        QCOMPARE(rpm2.points.gapFillCount(), std::size_t{0});
        QCOMPARE(rpm2.points[0].y, 3010.0);
        QCOMPARE(rpm2.points[0].x, v.series(RPM1Series).points[1].x);

        // Opened to a flight, the overlay's start goes to that flight's start.
        library::Flight shown;
        shown.startSecond = 36010;
        v.window->overlay().setShownFlight(shown);
        QVERIFY(v.window->overlay().overlay(two, flight));
        QCOMPARE(v.series(kRpm2).points[0].x, v.series(RPM1Series).points[11].x);

        // A flight not in the file is refused with a message.
        flight.startSecond = 50000;
        QVERIFY(!v.window->overlay().overlay(two, flight));
        QVERIFY(v.dialogs.messages.last().text.contains(QStringLiteral("not found")));
    }
};

QTEST_MAIN(TestOverlay)
#include "test_overlay.moc"
