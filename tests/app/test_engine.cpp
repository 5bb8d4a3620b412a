// The engine profile in the window: read at start-up (an error reported with its line),
// set in Settings > Engine, its derived series after the channels once a log loads, off
// until Analysis > Derived Channels, with limits, exceedances, statistics and the
// hottest cylinder in the readout; the lean test's window.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/analysis_tools.h"
#include "app/engine_tools.h"
#include "app/main_window.h"
#include "chart/chart_widget.h"
#include "settings/settings_store.h"
#include "tests/support/fake_dialogs.h"
#include "tests/support/find_child.h"

using namespace zp;

namespace {

constexpr const char* kProfile =
    "[engine]\nname=N123AB\ncylinders=6\negt=TC1,TC2,TC3,TC4,TC9,TC10\n"
    "cht=TC5,TC6,TC7,TC8,TC11,TC12\nfuelflow=FuelFlow1\n";

struct Viewer {
    test::FakeDialogs dialogs;
    QTemporaryDir dir;
    QString user = dir.path() + QStringLiteral("/user");
    SettingsStore store{dir.path(), user};
    std::unique_ptr<MainWindow> window;
    QString log = dir.filePath(QStringLiteral("lean.csv"));

    explicit Viewer(const QByteArray& profile = kProfile) {
        QDir().mkpath(user);
        if (!profile.isEmpty()) {
            QFile f(user + QStringLiteral("/engine.ini"));
            if (f.open(QIODevice::WriteOnly)) f.write(profile);
        }
        QProcess::execute(QStringLiteral(ZP_BINARY_DIR "/bin/genlog"),
                          {QStringLiteral("--scenario"), QStringLiteral("lean-sweep"),
                           QStringLiteral("-o"), log});
        window = std::make_unique<MainWindow>(dialogs, store);
        window->show();  // reads the settings and the profile
    }
    std::vector<chart::LineSeries>& series() { return window->chart().chart().series; }
    void load() {
        window->openLogFile(log);
        window->chart().grab();
    }
    void trigger(const char* name) { test::child<QAction>(*window, name)->trigger(); }
    const chart::LineSeries* named(const char* name) {
        for (const chart::LineSeries& s : series())
            if (s.name == QLatin1String(name)) return &s;
        return nullptr;
    }
};

}  // namespace

class TestEngine : public QObject {
    Q_OBJECT
  private slots:
    void derivedSeriesAfterALoad() {
        Viewer v;
        QCOMPARE(v.series().size(), std::size_t(kChannelCount));  // nothing before a load
        v.load();
        QCOMPARE(v.series().size(), std::size_t(kChannelCount + 9));
        QCOMPARE(v.series()[kChannelCount].name, QStringLiteral("EGTSpreadSeries"));
        for (std::size_t i = kChannelCount; i < v.series().size(); ++i) {
            QVERIFY(!v.series()[i].active);
            QVERIFY(v.series()[i].showInLegend);
            QVERIFY(!v.series()[i].points.empty());
        }
        QAction* derived = test::child<QAction>(*v.window, "derivedChannelsAction");
        QVERIFY(derived->isEnabled());
        QVERIFY(!derived->isChecked());
        derived->trigger();
        QVERIFY(v.named("CHT3RateSeries")->active);
        // Switched on, they stay on through the next load.
        v.load();
        QVERIFY(v.named("CHT3RateSeries")->active);
        QVERIFY(test::child<QAction>(*v.window, "derivedChannelsAction")->isChecked());
    }

    void limitsExceedancesStatisticsAndReadout() {
        Viewer v;
        v.load();
        v.trigger("derivedChannelsAction");
        DerivedLimitTable limits;
        limits[QStringLiteral("CHT1RateSeries")].lower = -2.0;
        limits[QStringLiteral("CHT1RateSeries")].code =
            unitCodeOf(TC1Series, v.window->loadedLog().units);
        v.window->analysis().setDerivedLimits(limits);
        QCOMPARE(v.named("CHT1RateSeries")->lowerLimit, std::optional<double>(-2.0));
        v.trigger("exceedancesAction");
        QTableWidget& runs = v.window->analysis().exceedancesWindow().table();
        QVERIFY(runs.rowCount() > 0);
        QCOMPARE(runs.item(0, 0)->text(), QStringLiteral("CHT 1 rate"));
        QVERIFY2(runs.item(0, 1)->text().startsWith(QStringLiteral("below -2 ")) &&
                     runs.item(0, 1)->text().endsWith(QStringLiteral("/min")),
                 qPrintable(runs.item(0, 1)->text()));

        v.trigger("statisticsAction");
        QTableWidget& stats = v.window->analysis().statisticsWindow().table();
        bool found = false;
        for (int r = 0; r < stats.rowCount(); ++r) {
            if (stats.item(r, 1)->text() != QStringLiteral("EGT spread")) continue;
            found = true;
            QCOMPARE(stats.item(r, 3)->text(), QStringLiteral("960"));
        }
        QVERIFY(found);

        // The limits dialog lists the derived series after the channels and keeps them.
        v.window->analysis().limitsDialog().load(
            v.window->analysis().limits(), v.window->loadedLog().units, &v.window->chart().chart(),
            v.window->analysis().derivedLimits());
        QTableWidget& table = v.window->analysis().limitsDialog().table();
        QCOMPARE(table.rowCount(), kChannelCount + 9);
        QCOMPARE(table.item(kChannelCount + 3, 0)->text(), QStringLiteral("CHT 1 rate"));
        QCOMPARE(table.item(kChannelCount + 3, 2)->text(), QStringLiteral("-2"));
        QCOMPARE(readDerivedLimits(v.user + QStringLiteral("/viewer.ini"))
                     .at(QStringLiteral("CHT1RateSeries"))
                     .lower,
                 std::optional<double>(-2.0));

        // The hottest CHT names its cylinder: TC12 (cylinder 6) is the hottest head.
        const double x = v.named("HottestCHTSeries")->points[500].x;
        v.window->chart().placeCursor(chart::ChartWidget::Cursor::A, x);
        const QString readout = v.window->analysis().cursorReadout();
        QVERIFY2(readout.contains(QStringLiteral("Hottest CHT: A=")) &&
                     readout.contains(QStringLiteral("(A cyl 6)")),
                 qPrintable(readout));
    }

    void leanTestWindow() {
        Viewer v;
        v.load();
        v.trigger("leanTestAction");  // over the whole log, as shown
        LeanTestWindow& lean = v.window->engine().leanTestWindow();
        QVERIFY(lean.isVisible());
        QVERIFY2(lean.text().contains(QStringLiteral("Fuel flow spread: 0.70")),
                 qPrintable(lean.text()));
        QCOMPARE(lean.chart().chart().series.size(), std::size_t(6));
        // Between cursors before the leaning starts: no decreasing fuel flow.
        const chart::LineSeries& flow = v.series()[FuelFlow1Series];
        v.window->chart().placeCursor(chart::ChartWidget::Cursor::A, flow.points[5].x);
        v.window->chart().placeCursor(chart::ChartWidget::Cursor::B, flow.points[100].x);
        v.trigger("leanTestAction");
        QVERIFY2(lean.text().contains(QStringLiteral("No decreasing fuel flow")),
                 qPrintable(lean.text()));
    }

    void settingsEngineWritesTheProfile() {
        Viewer v(QByteArray{});
        v.load();
        QCOMPARE(v.series().size(), std::size_t(kChannelCount));  // no profile, nothing added
        QVERIFY(!test::child<QAction>(*v.window, "derivedChannelsAction")->isEnabled());
        v.trigger("leanTestAction");
        QVERIFY(v.dialogs.messages.last().text.contains(QStringLiteral("Settings > Engine")));
        v.trigger("engineAction");
        EngineDialog& dialog = v.window->engine().dialog();
        QCOMPARE(v.dialogs.modals.last(), &dialog);
        QCOMPARE(dialog.cylindersBox().value(), 4);  // as an engine monitor records them
        dialog.nameEdit().setText(QStringLiteral("N9"));
        dialog.cylindersBox().setValue(2);
        dialog.chtBox(1).setCurrentIndex(0);  // cylinder 2: no CHT
        dialog.accept();
        QCOMPARE(v.series().size(), std::size_t(kChannelCount + 4));
        QVERIFY(!v.named("CHT2RateSeries"));
        QFile file(v.user + QStringLiteral("/engine.ini"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("[engine]\nname=N9\ncylinders=2\negt=TC1,TC2\n"
                                            "cht=TC5,none\nfuelflow=FuelFlow1\n"));
    }

    void badProfileIsReportedWithItsLine() {
        Viewer v("[engine]\ncylinders=12\n");
        QVERIFY(!v.dialogs.messages.isEmpty());
        const auto& m = v.dialogs.messages.last();
        QVERIFY(m.error);
        QVERIFY2(m.text.contains(QStringLiteral("engine.ini, line 2: cylinders takes 1 to 8")),
                 qPrintable(m.text));
        v.load();
        QCOMPARE(v.series().size(), std::size_t(kChannelCount));
    }
};

QTEST_MAIN(TestEngine)
#include "test_engine.moc"
