// The main window's Export Graph and Copy Graph: the save dialog's file types, the type
// taken from the name's suffix or the chosen filter, the PDF page question, the page's
// header from what the window shows, error reports, and the picture on the clipboard.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "app/export_header.h"
#include "app/main_window.h"
#include "chart/chart_export.h"
#include "chart/chart_widget.h"
#include "settings/units_dialog.h"
#include "tests/support/file_bytes.h"
#include "tests/support/find_child.h"
#include "tests/support/pdf_text.h"
#include "tests/support/window_fixture.h"

using namespace zp;

namespace {

using Fixture = test::WindowFixture<>;

// What kind of file the bytes are, by their first bytes.
QString kindOf(const QByteArray& bytes) {
    if (bytes.startsWith("\x89PNG")) return QStringLiteral("png");
    if (bytes.startsWith("%PDF")) return QStringLiteral("pdf");
    if (bytes.startsWith("<?xml") && bytes.contains("<svg")) return QStringLiteral("svg");
    return QStringLiteral("other");
}

using zp::test::pdfText;

// The settings a first showing gives: every series on, the units of code 0.
void useDefaults(MainWindow& window) {
    window.resetSettings();
    window.chart().grab();
}

void loadSample(Fixture& f, const QString& name) {
    f.dialogs.openAccepted = true;
    f.dialogs.openFiles = {QStringLiteral(ZP_SOURCE_DIR "/samples/") + name};
    f.window.loadLogFile();
    f.window.chart().grab();
}

}  // namespace

class TestExportGraph : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void cleanup();

    void menus_fileEditSettingsHelp();
    void export_dialogRequestAndCancel();
    void export_typeBySuffixOrFilter_data();
    void export_typeBySuffixOrFilter();
    void export_pdfAsksOrientationAndRemembers();
    void export_pdfHeaderShowsWindow();
    void export_pdfHeaderKeepsTitleAndUnitTogether();
    void export_unwritablePathReported();
    void copy_putsPictureOnClipboard();

  private:
    QString startDir_;
};

void TestExportGraph::initTestCase() {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    startDir_ = QDir::currentPath();
}

void TestExportGraph::cleanup() {
    QDir::setCurrent(startDir_);
}

void TestExportGraph::menus_fileEditSettingsHelp() {
    Fixture f;
    QStringList titles;
    for (QAction* action : f.window.menuBar()->actions()) titles << action->text();
    QCOMPARE(titles, QStringList({"&File", "&Edit", "&Settings", "&Analysis", "&Help"}));
    QAction* exportAction = test::child<QAction>(f.window, "exportGraphAction");
    QAction* copyAction = test::child<QAction>(f.window, "copyGraphAction");
    QCOMPARE(exportAction->text(), QStringLiteral("Export &Graph..."));
    QCOMPARE(exportAction->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
    QCOMPARE(copyAction->text(), QStringLiteral("&Copy Graph"));
    QCOMPARE(copyAction->shortcut(), QKeySequence(QKeySequence::Copy));
    // The File menu keeps Recent Files and Exit after the new entry.
    const QList<QAction*> file = test::child<QMenu>(f.window, "File1")->actions();
    QCOMPARE(file.first(), exportAction);
    QVERIFY(file.last() == test::child<QAction>(f.window, "exit1"));
}

void TestExportGraph::export_dialogRequestAndCancel() {
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    Fixture f;
    f.window.exportGraph();
    QCOMPARE(f.dialogs.saveRequests.size(), 1);
    const FileDialogRequest& request = f.dialogs.saveRequests.first();
    QCOMPARE(request.filters,
             QStringList({"PNG image (*.png)", "SVG drawing (*.svg)", "PDF document (*.pdf)"}));
    QCOMPARE(request.selectedFilter, 0);
    QCOMPARE(QDir(request.directory), QDir(dir.path()));
    QVERIFY(QDir(dir.path()).isEmpty());
    QVERIFY(f.dialogs.messages.isEmpty());
    QVERIFY(f.dialogs.pdfPageOffers.isEmpty());
}

void TestExportGraph::export_typeBySuffixOrFilter_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("kind");
    QTest::newRow("png by filter") << "graph" << 0 << "graph.png"
                                   << "png";
    QTest::newRow("svg by filter") << "graph" << 1 << "graph.svg"
                                   << "svg";
    QTest::newRow("pdf by filter") << "graph" << 2 << "graph.pdf"
                                   << "pdf";
    QTest::newRow("suffix beats filter") << "graph.pdf" << 0 << "graph.pdf"
                                         << "pdf";
    QTest::newRow("upper case suffix") << "graph.SVG" << 2 << "graph.SVG"
                                       << "svg";
    QTest::newRow("other suffix kept") << "graph.v2" << 1 << "graph.v2.svg"
                                       << "svg";
}

void TestExportGraph::export_typeBySuffixOrFilter() {
    QFETCH(QString, typed);
    QFETCH(int, filter);
    QFETCH(QString, written);
    QFETCH(QString, kind);
    QTemporaryDir dir;
    Fixture f;
    useDefaults(f.window);
    f.dialogs.saveAccepted = true;
    f.dialogs.saveFile = dir.filePath(typed);
    f.dialogs.saveFilter = filter;
    f.dialogs.pdfPageAccepted = true;
    f.window.exportGraph();
    QVERIFY(f.dialogs.messages.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{written});
    QCOMPARE(kindOf(test::readAll(dir.filePath(written))), kind);
    QCOMPARE(f.dialogs.pdfPageOffers.size(), kind == QStringLiteral("pdf") ? 1 : 0);
    if (kind == QStringLiteral("png"))
        QCOMPARE(QImage(dir.filePath(written)).size(),
                 f.window.chart().size() * f.window.chart().devicePixelRatioF());
    // The next export offers the type written last.
    f.dialogs.saveAccepted = false;
    f.window.exportGraph();
    const int offered = f.dialogs.saveRequests.last().selectedFilter;
    QCOMPARE(QStringList({"png", "svg", "pdf"}).value(offered), kind);
}

void TestExportGraph::export_pdfAsksOrientationAndRemembers() {
    QTemporaryDir dir;
    Fixture f;
    useDefaults(f.window);
    f.dialogs.saveAccepted = true;
    f.dialogs.saveFile = dir.filePath(QStringLiteral("graph.pdf"));

    // Cancelled: nothing written, nothing reported.
    f.window.exportGraph();
    QCOMPARE(f.dialogs.pdfPageOffers, QList{QPageLayout::Landscape});
    QVERIFY(QDir(dir.path()).isEmpty());

    static const QRegularExpression mediaBox(
        QStringLiteral(R"(/MediaBox\s*\[\s*0\s+0\s+([\d.]+)\s+([\d.]+)\s*\])"));
    for (QPageLayout::Orientation chosen : {QPageLayout::Portrait, QPageLayout::Landscape}) {
        f.dialogs.pdfPageAccepted = true;
        f.dialogs.pdfOrientation = chosen;
        f.window.exportGraph();
        const QRegularExpressionMatch m =
            mediaBox.match(QString::fromLatin1(test::readAll(f.dialogs.saveFile)));
        QVERIFY(m.hasMatch());
        QCOMPARE(m.captured(1).toDouble() > m.captured(2).toDouble(),
                 chosen == QPageLayout::Landscape);
    }
    // Each question offered the orientation chosen before.
    QCOMPARE(f.dialogs.pdfPageOffers,
             QList({QPageLayout::Landscape, QPageLayout::Landscape, QPageLayout::Portrait}));
    QVERIFY(f.dialogs.messages.isEmpty());
}

void TestExportGraph::export_pdfHeaderShowsWindow() {
    QTemporaryDir dir;
    Fixture f;
    UnitsDialog units;
    f.window.setUnitsDialog(&units);
    useDefaults(f.window);
    units.setSelection(ThermocoupleUnit, 1);
    f.window.saveSettings();
    loadSample(f, QStringLiteral("model01_engine_monitor.csv"));
    f.dialogs.saveAccepted = true;
    f.dialogs.saveFile = dir.filePath(QStringLiteral("graph.pdf"));
    f.dialogs.pdfPageAccepted = true;
    f.window.exportGraph();
    QVERIFY(f.dialogs.messages.size() == 1);  // "File Loaded!" only
    const std::optional<QString> text = pdfText(f.dialogs.saveFile);
    if (!text) QSKIP("pdftotext (poppler-utils) is not installed");
    const QString model = test::child<QLabel>(f.window, "Label13")->text();
    // The span the time axis shows: the log's 10:00:00 to 10:14:59 and the axis margins.
    const chart::ChartLayout& layout = f.window.chart().layout();
    const QString span = chart::timeSpanText(layout.bottom.minimum(), layout.bottom.maximum());
    QVERIFY2(layout.bottom.minimum() <= 10.0 / 24 && layout.bottom.maximum() >= 10.25 / 24 - 1e-5,
             qPrintable(span));
    for (const QString& want :
         {QStringLiteral("model01_engine_monitor.csv"), QStringLiteral("Model: ") + model,
          QStringLiteral("Date: 12/05/2024"), QStringLiteral("Time: ") + span,
          QStringLiteral("Hobbs Start: 12345"), QStringLiteral("Maintenance Stop: 489"),
          QStringLiteral("TC1 (°F)"), QStringLiteral("Volts (V)"), QStringLiteral("MAP (mbar)"),
          QStringLiteral("RPM 1(%),")})
        QVERIFY2(text->contains(want), qPrintable(want + QStringLiteral(" in\n") + *text));
    // Only the drawn series of the model (model 1 records no airspeed), each unit once.
    QVERIFY(!text->contains(QStringLiteral("Airspeed")));
    QVERIFY(!text->contains(QStringLiteral("(%) (%)")));
}

// On a portrait page the series of a mixed log take several lines; a line never ends
// between a series' title and its unit.
void TestExportGraph::export_pdfHeaderKeepsTitleAndUnitTogether() {
    QTemporaryDir dir;
    Fixture f;
    useDefaults(f.window);
    loadSample(f, QStringLiteral("mixed_flight.csv"));
    f.dialogs.saveAccepted = true;
    f.dialogs.saveFile = dir.filePath(QStringLiteral("graph.pdf"));
    f.dialogs.pdfPageAccepted = true;
    f.dialogs.pdfOrientation = QPageLayout::Portrait;
    f.window.exportGraph();
    const std::optional<QString> text = pdfText(f.dialogs.saveFile);
    if (!text) QSKIP("pdftotext (poppler-utils) is not installed");
    // The page's lines joined by " | ", runs of spaces as one.
    QStringList pageLines;
    for (const QString& line : text->split(u'\n')) pageLines << line.simplified();
    const QString page = pageLines.join(QStringLiteral(" | "));
    const chart::ChartLayout& shown = f.window.chart().layout();
    const QStringList header =
        pdfHeaderLines(f.window.loadedLog(), f.window.chart().chart(),
                       analysis::XRange{shown.bottom.minimum(), shown.bottom.maximum()});
    QVERIFY(header.last().startsWith(QStringLiteral("Series: ")));
    const QStringList items = header.last().mid(8).split(QStringLiteral(", "));
    QVERIFY(items.size() > 20);
    QVERIFY2(page.contains(QStringLiteral(" | ")), "the series take more than one line");
    for (QString item : items) {
        item.replace(QChar(0x00A0), u' ');
        QVERIFY2(page.contains(item), qPrintable(item + QStringLiteral(" parted in\n") + *text));
    }
}

void TestExportGraph::export_unwritablePathReported() {
    QTemporaryDir dir;
    Fixture f;
    f.dialogs.saveAccepted = true;
    f.dialogs.pdfPageAccepted = true;
    for (const char* name : {"graph.png", "graph.svg", "graph.pdf"}) {
        f.dialogs.messages.clear();
        f.dialogs.saveFile = dir.filePath(QStringLiteral("no/such/folder/") + name);
        f.window.exportGraph();
        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY(f.dialogs.messages.first().error);
        QVERIFY2(f.dialogs.messages.first().text.startsWith(
                     QStringLiteral("Cannot create file \"%1\".")
                         .arg(QDir::toNativeSeparators(f.dialogs.saveFile))),
                 qPrintable(f.dialogs.messages.first().text));
    }
    QVERIFY(QDir(dir.path()).isEmpty());
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void TestExportGraph::copy_putsPictureOnClipboard() {
    Fixture f;
    useDefaults(f.window);
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    test::child<QAction>(f.window, "copyGraphAction")->trigger();
    const QSize want = f.window.chart().size() * f.window.chart().devicePixelRatioF();
    QCOMPARE(clipboard->image().size(), want);
    // The picture is the chart's: its corner has the panel colour.
    QCOMPARE(clipboard->image().pixelColor(1, 1), f.window.chart().renderOptions().background);

    // Ctrl+C with the focus on the chart copies too.
    clipboard->clear();
    QVERIFY(clipboard->image().isNull());
    f.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    f.window.chart().setFocus();
    QTest::keyClick(&f.window.chart(), Qt::Key_C, Qt::ControlModifier);
    QTRY_COMPARE(clipboard->image().size(), want);
}

QTEST_MAIN(TestExportGraph)
#include "test_export_graph.moc"
