// The main window: its layout as the window is resized, the channel series it starts
// with, the import sink over its labels and series, and the Load Data File handler.
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
#include "tests/support/fake_dialogs.h"

using namespace zp;

namespace {

chart::LineSeries& seriesOf(TfrmMain& window, Channel channel) {
    return channelSeries(window.Chart1->chart(), channel);
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

QString writeTempFile(const QTemporaryDir& dir, const QString& name, const QByteArray& content) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(content);
    return path;
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

  private slots:
    void cleanup();

    void layout_designSizeAndResize();
    void controls_startTexts();
    void series_catalogueOrderTitlesColours_data();
    void series_catalogueOrderTitlesColours();
    void series_startInactiveWithRpmSamples();
    void sink_addXYKeepsTimeOrder();
    void sink_countersShareVisibilityAndLabelsFitText();
    void loadButton_cancelOnlyPrepares();
    void loadButton_reportsEachOutcome_data();
    void loadButton_reportsEachOutcome();
    void loadButton_takesFirstOfSeveralFiles();
    void helpButtons_showTheirWindowsModally();
};

void TestMainWindow::cleanup() {
    setDialogSeam(nullptr);
}

void TestMainWindow::layout_designSizeAndResize() {
    TfrmMain window;
    window.show();
    QCOMPARE(window.Client->size(), QSize(794, 711));
    QCOMPARE(window.Chart1->geometry(), QRect(0, 193, 794, 499));
    QCOMPARE(window.StatusBar1->geometry(), QRect(0, 692, 794, 19));
    QCOMPARE(window.Panel2->geometry(), QRect(0, 34, 794, 159));

    // The chart takes up every change of size; the bands above keep their heights.
    window.resize(window.width() + 106, window.height() + 89);
    QTRY_COMPARE(window.Client->size(), QSize(900, 800));
    QCOMPARE(window.Chart1->geometry(), QRect(0, 193, 900, 588));
    QCOMPARE(window.StatusBar1->geometry(), QRect(0, 781, 900, 19));
    QCOMPARE(window.Panel1->geometry(), QRect(0, 2, 900, 30));
    QCOMPARE(window.Button6->geometry(), QRect(608, 30, 177, 57));
}

void TestMainWindow::controls_startTexts() {
    TfrmMain window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Zimra / Pexo Data Viewer"));
    QCOMPARE(window.Label26->text(), QStringLiteral("Value: 0"));
    QCOMPARE(window.Label27->text(), QStringLiteral("Time: 0"));
    QCOMPARE(window.Label13->text(), QStringLiteral("x"));
    for (QLabel* label : {window.Label4, window.Label5, window.Label8, window.Label9,
                          window.Label21, window.Label22, window.Label23, window.Label24})
        QVERIFY2(!label->isHidden(), qPrintable(label->objectName()));
    for (QLabel* label : {window.Label21, window.Label22, window.Label23, window.Label24})
        QCOMPARE(label->text(), QStringLiteral("0"));
    QCOMPARE(window.GroupBox1->title(), QStringLiteral(" Information "));
    QCOMPARE(window.GroupBox3->title(), QStringLiteral(" Reports "));
    QCOMPARE(window.SpeedButton1->toolTip(), QStringLiteral("Exit Program"));
    QCOMPARE(window.SpeedButton2->iconSize(), QSize(16, 15));
    QVERIFY(window.Button6->font().bold());
    QCOMPARE(window.Label26->font().pixelSize(), 19);
    QVERIFY(window.Label26->font().bold());
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
    TfrmMain window;
    const auto& series = window.Chart1->chart().series;
    QCOMPARE(int(series.size()), 41);
    QCOMPARE(series[index].name, name);
    QCOMPARE(series[index].title, title);
    QCOMPARE(series[index].color, colour);
    QCOMPARE(series[index].penWidth, 2);
}

void TestMainWindow::series_startInactiveWithRpmSamples() {
    TfrmMain window;
    const auto& series = window.Chart1->chart().series;
    // The two colours of the desktop scheme follow the window's palette.
    QCOMPARE(series[Altitude1013Series].color, window.palette().color(QPalette::Highlight));
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
    TfrmMain window;
    ChartImportSink sink(window.Chart1->chart());
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

void TestMainWindow::sink_countersShareVisibilityAndLabelsFitText() {
    TfrmMain window;
    window.show();
    const auto show = [&window](auto field, auto value) {
        PanelUpdate update;
        update.*field = value;
        window.showPanel(update);
    };
    show(&PanelUpdate::countersVisible, false);
    for (QLabel* label : {window.Label4, window.Label5, window.Label8, window.Label9,
                          window.Label21, window.Label22, window.Label23, window.Label24})
        QVERIFY2(label->isHidden(), qPrintable(label->objectName()));
    QVERIFY(window.Label13->isVisible());
    show(&PanelUpdate::countersVisible, true);
    QVERIFY(window.Label24->isVisible());

    const int narrow = window.Label13->width();
    show(&PanelUpdate::modelText, QStringLiteral("Pexo OPT-31/33 / Zimra OPT-32/34"));
    QVERIFY(window.Label13->width() > narrow);
    QCOMPARE(window.Label13->width(), window.Label13->sizeHint().width());
    show(&PanelUpdate::hobbsStart, QStringLiteral("123456"));
    QCOMPARE(window.Label21->text(), QStringLiteral("123456"));
    QCOMPARE(window.Label21->width(), window.Label21->sizeHint().width());
}

void TestMainWindow::loadButton_cancelOnlyPrepares() {
    test::ScopedFakeDialogs dialogs;
    TfrmMain window;
    window.Chart1->chart().bottomAxis.dateTimeFormat.clear();
    window.Button6->click();

    QCOMPARE(dialogs.openRequests.size(), 1);
    const FileDialogRequest& request = dialogs.openRequests.first();
    QVERIFY(request.multiSelect);
    QVERIFY(request.mustExist);
    QCOMPARE(request.filters.size(), 2);
    QVERIFY(request.filters[0].contains(QLatin1String("*.csv")));
    QCOMPARE(request.selectedFilter, 0);

    QCOMPARE(window.Chart1->chart().bottomAxis.dateTimeFormat, QStringLiteral("hh:nn:ss"));
    for (const auto& s : window.Chart1->chart().series) QVERIFY2(s.xDateTime, qPrintable(s.name));
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
    test::ScopedFakeDialogs dialogs;
    dialogs.openAccepted = true;
    dialogs.openFiles = {content.isEmpty()
                             ? dir.filePath(QStringLiteral("gone.csv"))
                             : writeTempFile(dir, QStringLiteral("log.csv"), content)};
    TfrmMain window;
    window.Button6->click();

    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages[0].text, text);
    QCOMPARE(dialogs.messages[0].error, error);
    if (!error) QCOMPARE(dialogs.messages[0].caption, QStringLiteral("Message"));
    // A file that cannot be opened resets nothing.
    QCOMPARE(seriesOf(window, RPM1Series).points.empty(), !content.isEmpty());
}

void TestMainWindow::loadButton_takesFirstOfSeveralFiles() {
    QTemporaryDir dir;
    test::ScopedFakeDialogs dialogs;
    dialogs.openAccepted = true;
    dialogs.openFiles = {writeTempFile(dir, QStringLiteral("a.csv"), "\n"),
                         dir.filePath(QStringLiteral("missing.csv"))};
    TfrmMain window;
    window.Button6->click();
    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages[0].text, QStringLiteral("File Loaded!"));
}

void TestMainWindow::helpButtons_showTheirWindowsModally() {
    test::ScopedFakeDialogs dialogs;
    TfrmMain window;
    TfrmAbout about;
    window.setAboutWindow(&about);
    window.SpeedButton2->click();
    window.About1->trigger();
    QCOMPARE(dialogs.modals.size(), 2);
    QCOMPARE(dialogs.modals[0], static_cast<QDialog*>(&about));
    QCOMPARE(dialogs.modals[1], static_cast<QDialog*>(&about));
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
