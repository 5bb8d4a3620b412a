// The main window: its layout as the window is resized, the channel series it starts
// with, the import sink over its labels and series, and the Load Data File handler.
#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "app/about_window.h"
#include "app/main_window.h"
#include "chart/chart_widget.h"
#include "loading/channel_series.h"
#include "tests/support/find_child.h"
#include "tests/support/window_fixture.h"

using namespace zp;
using test::child;

namespace {

chart::LineSeries& seriesOf(MainWindow& window, Channel channel) {
    return channelSeries(window.chart().chart(), channel);
}

QLabel* label(const MainWindow& window, const char* name) {
    return child<QLabel>(window, name);
}

// The labels of the four counters and their captions, which show and hide together.
QList<QLabel*> counterLabels(const MainWindow& window) {
    QList<QLabel*> labels;
    for (const char* name :
         {"Label4", "Label5", "Label8", "Label9", "Label21", "Label22", "Label23", "Label24"})
        labels << label(window, name);
    return labels;
}

QList<double> xs(const chart::LineSeries& series) {
    QList<double> values;
    for (const chart::ChartPoint& p : series.points.points()) values << p.x;
    return values;
}

QList<double> ys(const chart::LineSeries& series) {
    QList<double> values;
    for (const chart::ChartPoint& p : series.points.points()) values << p.y;
    return values;
}

// Writes a file for the test; false (with a warning naming it) when that fails.
bool writeTempFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    if (!ok) qWarning("cannot write %s", qPrintable(path));
    return ok;
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

  private slots:

    void layout_designSizeAndResize();
    void layout_minimumSizeCutsNothingOff();
    void controls_startTexts();
    void series_catalogueOrderTitlesColours_data();
    void series_catalogueOrderTitlesColours();
    void series_startInactiveWithRpmSamples();
    void sink_addXYKeepsTimeOrder();
    void panel_countersShareVisibilityAndLabelsFitText();
    void loadButton_cancelOnlyPrepares();
    void loadButton_reportsEachOutcome_data();
    void loadButton_reportsEachOutcome();
    void loadButton_takesFirstOfSeveralFiles();
    void helpButtons_showTheirWindowsModally();
};

void TestMainWindow::layout_designSizeAndResize() {
    test::WindowFixture<> f;
    MainWindow& window = f.window;
    QWidget* client = child<QWidget>(window, "Client");
    QStatusBar* status = child<QStatusBar>(window, "StatusBar1");
    QVERIFY(client && status);
    window.show();
    QCOMPARE(client->size(), QSize(794, 711));
    QCOMPARE(window.chart().geometry(), QRect(0, 193, 794, 499));
    QCOMPARE(status->geometry(), QRect(0, 692, 794, 19));
    QCOMPARE(child<QWidget>(window, "Panel2")->geometry(), QRect(0, 34, 794, 159));

    // The chart takes up every change of size; the bands above keep their heights.
    window.resize(window.width() + 106, window.height() + 89);
    QTRY_COMPARE(client->size(), QSize(900, 800));
    QCOMPARE(window.chart().geometry(), QRect(0, 193, 900, 588));
    QCOMPARE(status->geometry(), QRect(0, 781, 900, 19));
    QCOMPARE(child<QWidget>(window, "Panel1")->geometry(), QRect(0, 2, 900, 30));
    QCOMPARE(child<QPushButton>(window, "Button6")->geometry(), QRect(608, 30, 177, 57));
}

// At its minimum size the window still holds every control of the tool bar and the
// panel whole (the readout labels with a value and a time as wide as they get), and the
// chart keeps room to plot; it cannot be made smaller.
void TestMainWindow::layout_minimumSizeCutsNothingOff() {
    test::WindowFixture<> f;
    MainWindow& window = f.window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    label(window, "Label26")->setText(QStringLiteral("Value: -12,345.678"));
    label(window, "Label26")->adjustSize();
    label(window, "Label27")->setText(QStringLiteral("Time: 23:59:59"));
    label(window, "Label27")->adjustSize();
    const QSize minimum = window.minimumSize();
    QVERIFY(!minimum.isEmpty());
    window.resize(1, 1);
    QTRY_COMPARE(window.size(), minimum);
    const QRect inside = window.rect();
    for (const char* band : {"Panel1", "Panel2"}) {
        QWidget* panel = child<QWidget>(window, band);
        QVERIFY(panel);
        for (const QWidget* w : panel->findChildren<QWidget*>()) {
            const QRect at(w->mapTo(&window, QPoint(0, 0)), w->size());
            QVERIFY2(inside.contains(at), qPrintable(QStringLiteral("%1 at %2,%3 %4x%5 in %6x%7")
                                                         .arg(w->objectName())
                                                         .arg(at.x())
                                                         .arg(at.y())
                                                         .arg(at.width())
                                                         .arg(at.height())
                                                         .arg(inside.width())
                                                         .arg(inside.height())));
        }
    }
    QVERIFY(window.chart().height() >= 200);
}

void TestMainWindow::controls_startTexts() {
    test::WindowFixture<> f;
    const MainWindow& window = f.window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Zimra / Pexo Data Viewer"));
    QCOMPARE(label(window, "Label26")->text(), QStringLiteral("Value: 0"));
    QCOMPARE(label(window, "Label27")->text(), QStringLiteral("Time: 0"));
    QCOMPARE(label(window, "Label13")->text(), QStringLiteral("x"));
    for (QLabel* counter : counterLabels(window))
        QVERIFY2(!counter->isHidden(), qPrintable(counter->objectName()));
    for (const char* name : {"Label21", "Label22", "Label23", "Label24"})
        QCOMPARE(label(window, name)->text(), QStringLiteral("0"));
    QCOMPARE(child<QGroupBox>(window, "GroupBox1")->title(), QStringLiteral(" Information "));
    QCOMPARE(child<QGroupBox>(window, "GroupBox3")->title(), QStringLiteral(" Reports "));
    QCOMPARE(child<QToolButton>(window, "SpeedButton1")->toolTip(), QStringLiteral("Exit Program"));
    QCOMPARE(child<QToolButton>(window, "SpeedButton2")->iconSize(), QSize(16, 15));
    QVERIFY(child<QPushButton>(window, "Button6")->font().bold());
    QCOMPARE(label(window, "Label26")->font().pixelSize(), 19);
    QVERIFY(label(window, "Label26")->font().bold());
}

void TestMainWindow::series_catalogueOrderTitlesColours_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("first") << 0 << "VoltsSeries"
                           << "Volts" << QColor(255, 0, 0);
    QTest::newRow("OAT") << 2 << "OATSeries"
                         << "OAT" << QColor(0, 255, 0);
    QTest::newRow("RPM 1(%)") << 4 << "RPM1PSeries"
                              << "RPM 1(%)" << QColor(255, 128, 192);
    QTest::newRow("RPM 2 (%)") << 6 << "RPM2PSeries"
                               << "RPM 2 (%)" << QColor(128, 128, 255);
    QTest::newRow("TC2") << 13 << "TC2Series"
                         << "TC2" << QColor(255, 128, 192);
    QTest::newRow("TC12") << 23 << "TC12Series"
                          << "TC12" << QColor(0, 0, 0);
    QTest::newRow("CJC") << 24 << "CJCSeries"
                         << "CJC" << QColor(0, 128, 0);
    QTest::newRow("Fuel Pressure") << 29 << "FuelPressureSeries"
                                   << "Fuel Pressure" << QColor(192, 192, 192);
    QTest::newRow("Altitude (Corrected)") << 32 << "AltitudeSeries"
                                          << "Altitude (Corrected)" << QColor(128, 0, 128);
    QTest::newRow("VSI") << 34 << "VSISeries"
                         << "VSI" << QColor(128, 0, 128);
    QTest::newRow("G-Force") << 35 << "GForceSeries"
                             << "G-Force" << QColor(0, 255, 255);
    QTest::newRow("Yaw") << 38 << "YawSeries"
                         << "Yaw Angle" << QColor(128, 0, 0);
}

void TestMainWindow::series_catalogueOrderTitlesColours() {
    QFETCH(int, index);
    QFETCH(QString, name);
    QFETCH(QString, title);
    QFETCH(QColor, colour);
    test::WindowFixture<> f;
    const auto& series = f.window.chart().chart().series;
    QCOMPARE(int(series.size()), 41);
    QCOMPARE(series[index].name, name);
    QCOMPARE(series[index].title, title);
    QCOMPARE(series[index].color, colour);
    QCOMPARE(series[index].penWidth, 2);
}

void TestMainWindow::series_startInactiveWithRpmSamples() {
    test::WindowFixture<> f;
    const auto& series = f.window.chart().chart().series;
    // The two colours of the desktop scheme follow the window's palette.
    QCOMPARE(series[Altitude1013Series].color, f.window.palette().color(QPalette::Highlight));
    QCOMPARE(series[HeadingSeries].color, series[FuelLevelCalcSeries].color);
    QCOMPARE(series.back().name, QStringLiteral("FuelLevelCalcSeries"));
    for (const auto& s : series) {
        QVERIFY2(!s.active, qPrintable(s.name));
        QVERIFY2(s.showInLegend, qPrintable(s.name));
        if (s.name != QLatin1String("RPM1Series")) QVERIFY2(s.points.empty(), qPrintable(s.name));
    }
    const auto& rpm = series[RPM1Series];
    QCOMPARE(int(rpm.points.size()), 25);
    QCOMPARE(rpm.points[0].y, 8.0);
    QCOMPARE(rpm.points[24].x, 24.0);
    QCOMPARE(rpm.points[24].y, 862.5);
}

void TestMainWindow::sink_addXYKeepsTimeOrder() {
    test::WindowFixture<> f;
    MainWindow& window = f.window;
    ChartImportSink sink(window.chart().chart());
    sink.clearSeries(VoltsSeries);
    // A backward time lands in place; equal times keep their arrival order.
    sink.addXY(VoltsSeries, 0.5, 1);
    sink.addXY(VoltsSeries, 0.7, 2);
    sink.addXY(VoltsSeries, 0.6, 3);
    sink.addXY(VoltsSeries, 0.5, 4);
    sink.addXY(VoltsSeries, 0.7, 5);
    sink.addXY(VoltsSeries, 0.1, 6);
    const auto& volts = seriesOf(window, VoltsSeries);
    QCOMPARE(xs(volts), (QList<double>{0.1, 0.5, 0.5, 0.6, 0.7, 0.7}));
    QCOMPARE(ys(volts), (QList<double>{6, 1, 4, 3, 2, 5}));
    QVERIFY(seriesOf(window, CurrentSeries).points.empty());
}

void TestMainWindow::panel_countersShareVisibilityAndLabelsFitText() {
    test::WindowFixture<> f;
    MainWindow& window = f.window;
    QLabel* model = label(window, "Label13");
    QLabel* hobbsStart = label(window, "Label21");
    QVERIFY(model && hobbsStart);
    window.show();
    PanelTexts texts;
    const auto show = [&window, &texts](auto field, auto value) {
        texts.*field = value;
        window.showPanel(texts);
    };
    show(&PanelTexts::countersVisible, false);
    for (QLabel* counter : counterLabels(window))
        QVERIFY2(counter->isHidden(), qPrintable(counter->objectName()));
    QVERIFY(model->isVisible());
    show(&PanelTexts::countersVisible, true);
    QVERIFY(label(window, "Label24")->isVisible());

    const int narrow = model->width();
    show(&PanelTexts::modelText, QStringLiteral("Pexo OPT-31/33 / Zimra OPT-32/34"));
    QVERIFY(model->width() > narrow);
    QCOMPARE(model->width(), model->sizeHint().width());
    show(&PanelTexts::hobbsStart, QStringLiteral("123456"));
    QCOMPARE(hobbsStart->text(), QStringLiteral("123456"));
    QCOMPARE(hobbsStart->width(), hobbsStart->sizeHint().width());
}

void TestMainWindow::loadButton_cancelOnlyPrepares() {
    test::WindowFixture<> f;
    MainWindow& window = f.window;
    const test::FakeDialogs& dialogs = f.dialogs;
    window.chart().chart().bottomAxis.dateTimeFormat.clear();
    child<QPushButton>(window, "Button6")->click();

    QCOMPARE(dialogs.openRequests.size(), 1);
    const FileDialogRequest& request = dialogs.openRequests.first();
    QVERIFY(request.multiSelect);
    QVERIFY(request.mustExist);
    QCOMPARE(request.filters.size(), 2);
    QVERIFY(request.filters[0].contains(QLatin1String("*.csv")));
    QCOMPARE(request.selectedFilter, 0);

    QCOMPARE(window.chart().chart().bottomAxis.dateTimeFormat, QStringLiteral("hh:nn:ss"));
    for (const auto& s : window.chart().chart().series) QVERIFY2(s.xDateTime, qPrintable(s.name));
    QCOMPARE(int(seriesOf(window, RPM1Series).points.size()), 25);
    QVERIFY(dialogs.messages.isEmpty());
}

void TestMainWindow::loadButton_reportsEachOutcome_data() {
    QTest::addColumn<QByteArray>("content");  // empty: no such file
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("error");
    QTest::newRow("missing file") << QByteArray() << "File does not exist." << false;
    QTest::newRow("empty file") << QByteArray("\n") << "File Loaded!" << false;
    QTest::newRow("bad time") << QByteArray("7,01/02/2020,25:00:00,100\n")
                              << "'25:00:00' is not a valid date and time" << true;
}

void TestMainWindow::loadButton_reportsEachOutcome() {
    QFETCH(QByteArray, content);
    QFETCH(QString, text);
    QFETCH(bool, error);
    QTemporaryDir dir;
    test::WindowFixture<> f;
    MainWindow& window = f.window;
    test::FakeDialogs& dialogs = f.dialogs;
    const QString log =
        dir.filePath(content.isEmpty() ? QStringLiteral("gone.csv") : QStringLiteral("log.csv"));
    if (!content.isEmpty()) QVERIFY(writeTempFile(log, content));
    dialogs.openAccepted = true;
    dialogs.openFiles = {log};
    child<QPushButton>(window, "Button6")->click();

    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages[0].text, text);
    QCOMPARE(dialogs.messages[0].error, error);
    if (!error) QCOMPARE(dialogs.messages[0].caption, QStringLiteral("Message"));
    // A file that cannot be opened resets nothing.
    QCOMPARE(seriesOf(window, RPM1Series).points.empty(), !content.isEmpty());
}

void TestMainWindow::loadButton_takesFirstOfSeveralFiles() {
    QTemporaryDir dir;
    test::WindowFixture<> f;
    test::FakeDialogs& dialogs = f.dialogs;
    const QString first = dir.filePath(QStringLiteral("a.csv"));
    QVERIFY(writeTempFile(first, "\n"));
    dialogs.openAccepted = true;
    dialogs.openFiles = {first, dir.filePath(QStringLiteral("missing.csv"))};
    child<QPushButton>(f.window, "Button6")->click();
    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages[0].text, QStringLiteral("File Loaded!"));
}

void TestMainWindow::helpButtons_showTheirWindowsModally() {
    test::WindowFixture<> f;
    const test::FakeDialogs& dialogs = f.dialogs;
    AboutWindow about;
    f.window.setAboutWindow(&about);
    child<QToolButton>(f.window, "SpeedButton2")->click();
    child<QAction>(f.window, "About1")->trigger();
    QCOMPARE(dialogs.modals.size(), 2);
    QCOMPARE(dialogs.modals[0], static_cast<QDialog*>(&about));
    QCOMPARE(dialogs.modals[1], static_cast<QDialog*>(&about));
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
