// The main window's chart handlers: the value and time readout under the pointer, Save
// Graph To Bitmap File through scripted and real save dialogs, and Print Graph to a
// PDF printer.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "app/main_window.h"
#include "chart/chart_widget.h"
#include "tests/support/find_child.h"
#include "tests/support/window_fixture.h"

using namespace zp;

namespace {

// A scripted printer-setup dialog on top of the shared fake.
class ChartDialogs : public test::FakeDialogs {
  public:
    // Plays the user in the printer-setup dialog; returns whether OK was pressed.
    std::function<bool(QPrinter&)> onPrintDialog;
    QList<QPrinter*> printers;

    bool printDialog(QWidget*, QPrinter& printer) override {
        printers.append(&printer);
        return onPrintDialog ? onPrintDialog(printer) : false;
    }
};

using Fixture = test::WindowFixture<ChartDialogs>;

QLabel* valueLabel(const MainWindow& window) {
    return test::child<QLabel>(window, "Label26");
}
QLabel* timeLabel(const MainWindow& window) {
    return test::child<QLabel>(window, "Label27");
}

// A window whose chart shows every series, as the default settings have it, painted once.
void activateAll(MainWindow& window) {
    for (chart::LineSeries& s : window.chart().chart().series) s.active = true;
    window.chart().chart().invalidate();
    window.chart().grab();
}

// Moves the mouse over the chart: the event point and, unless given, the pointer's
// position read from the system are both `p`.
void moveOver(MainWindow& window, QPoint p, std::optional<QPoint> pointer = std::nullopt) {
    chart::ChartWidget& chart = window.chart();
    const QPoint now = pointer.value_or(p);
    chart.setCursorSource([now] { return now; });
    QMouseEvent move(QEvent::MouseMove, QPointF(p), chart.mapToGlobal(QPointF(p)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&chart, &move);
}

QString loadSample(MainWindow& window, ChartDialogs& dialogs, const QString& name) {
    const QString path = QStringLiteral(ZP_SOURCE_DIR "/samples/") + name;
    dialogs.openAccepted = true;
    dialogs.openFiles = {path};
    window.loadLogFile();
    window.chart().grab();
    return path;
}

// The page size of the first page of a PDF file, in points.
QSizeF pdfPageSize(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    static const QRegularExpression mediaBox(
        QStringLiteral(R"(/MediaBox\s*\[\s*0\s+0\s+([\d.]+)\s+([\d.]+)\s*\])"));
    const QRegularExpressionMatch m = mediaBox.match(QString::fromLatin1(file.readAll()));
    if (!m.hasMatch()) return {};
    return QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
}

}  // namespace

class TestChartHandlers : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void cleanup();

    void readout_plotEdges_data();
    void readout_plotEdges();
    void readout_readsPointerPositionNotEventPoint();
    void readout_textsBeforeAndAfterLoad();

    void saveBitmap_dialogRequestAndCancel();
    void saveBitmap_nextSaveStartsInChosenFolder();
    void saveBitmap_writesChartSizeAndGrowsWithWindow();
    void saveBitmap_unwritablePathReported();
    void saveBitmap_realDialogAddsExtensionAndReplaces();

    void print_landscapePrinterPrintsPortraitAndStaysLandscape();
    void print_cancelChangesNothing();
    void print_failureReportedAndStateRestored();

  private:
    QString startDir_;
};

void TestChartHandlers::initTestCase() {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    startDir_ = QDir::currentPath();
}

void TestChartHandlers::cleanup() {
    QDir::setCurrent(startDir_);
}

// [SECTION] Readout

void TestChartHandlers::readout_plotEdges_data() {
    QTest::addColumn<QString>("where");
    QTest::addColumn<bool>("updates");
    QTest::newRow("left and top edge") << "topLeft" << true;
    QTest::newRow("last column and row") << "bottomRightInside" << true;
    QTest::newRow("right edge") << "right" << false;
    QTest::newRow("bottom edge") << "bottom" << false;
    QTest::newRow("legend") << "legend" << false;
    QTest::newRow("top margin") << "margin" << false;
    QTest::newRow("left labels") << "labels" << false;
}

void TestChartHandlers::readout_plotEdges() {
    QFETCH(QString, where);
    QFETCH(bool, updates);
    Fixture f;
    MainWindow& window = f.window;
    activateAll(window);
    const chart::PixelRect plot = window.chart().layout().plot;
    const chart::PixelRect legend = window.chart().layout().legend.rect;
    const QMap<QString, QPoint> points = {
        {"topLeft", QPoint(plot.left, plot.top)},
        {"bottomRightInside", QPoint(plot.right - 1, plot.bottom - 1)},
        {"right", QPoint(plot.right, plot.top + 20)},
        {"bottom", QPoint(plot.left + 20, plot.bottom)},
        {"legend", QPoint(legend.left + 30, legend.top + 5)},
        {"margin", QPoint(plot.left + 20, 2)},
        {"labels", QPoint(plot.left - 10, plot.top + 20)},
    };
    moveOver(window, points.value(where));
    QCOMPARE(valueLabel(window)->text() != QStringLiteral("Value: 0"), updates);
    QCOMPARE(timeLabel(window)->text() != QStringLiteral("Time: 0"), updates);
    if (updates) {
        // Labels size themselves to their new text.
        QCOMPARE(valueLabel(window)->width(), valueLabel(window)->sizeHint().width());
        // Then a move outside the plot area keeps the last texts.
        const QString value = valueLabel(window)->text();
        moveOver(window, QPoint(plot.right + 2, plot.top));
        QCOMPARE(valueLabel(window)->text(), value);
    }
}

void TestChartHandlers::readout_readsPointerPositionNotEventPoint() {
    Fixture f;
    MainWindow& window = f.window;
    activateAll(window);
    const chart::ChartWidget& chart = window.chart();
    const chart::PixelRect plot = chart.layout().plot;
    const QPoint event(plot.left + 10, plot.top + 10);
    const QPoint pointer(plot.right - 10, plot.bottom - 10);
    moveOver(window, event, pointer);
    const double y = chart.layout().left.minimum() + (plot.bottom - pointer.y()) *
                                                         chart.layout().left.scale.range() /
                                                         plot.height();
    const double x = chart.layout().bottom.minimum() +
                     (pointer.x() - plot.left) * chart.layout().bottom.scale.range() / plot.width();
    QCOMPARE(valueLabel(window)->text(),
             QStringLiteral("Value: ") + chart.labelValue(chart::AxisId::Left, y));
    QCOMPARE(timeLabel(window)->text(),
             QStringLiteral("Time: ") + chart.labelValue(chart::AxisId::Bottom, x));
}

void TestChartHandlers::readout_textsBeforeAndAfterLoad() {
    Fixture f;
    MainWindow& window = f.window;
    ChartDialogs& dialogs = f.dialogs;
    activateAll(window);
    const chart::PixelRect before = window.chart().layout().plot;
    moveOver(window, QPoint((before.left + before.right) / 2, before.top + 5));
    // Volts, the first active series, has no date-time X values: the time is a number.
    static const QRegularExpression number(QStringLiteral(R"(^-?\d{1,3}(,\d{3})*(\.\d{1,3})?$)"));
    const QString time = timeLabel(window)->text().mid(6);
    QVERIFY2(timeLabel(window)->text().startsWith(QStringLiteral("Time: ")) &&
                 number.match(time).hasMatch(),
             qPrintable(timeLabel(window)->text()));

    loadSample(window, dialogs, QStringLiteral("model01_engine_monitor.csv"));
    QCOMPARE(dialogs.messages.value(0).text, QStringLiteral("File Loaded!"));
    const chart::PixelRect plot = window.chart().layout().plot;
    moveOver(window, QPoint(plot.left + plot.width() / 3, plot.top));
    static const QRegularExpression clock(QStringLiteral(R"(^Time: (\d\d:\d\d:\d\d)$)"));
    const QRegularExpressionMatch m = clock.match(timeLabel(window)->text());
    QVERIFY2(m.hasMatch(), qPrintable(timeLabel(window)->text()));
    // The log runs from 10:00:00 to 10:14:59: a third of the way is about 10:05.
    QVERIFY2(
        m.captured(1) > QStringLiteral("10:04:00") && m.captured(1) < QStringLiteral("10:06:00"),
        qPrintable(m.captured(1)));
    // The top of the plot is above the largest value of the log, a few thousand: the
    // text has a group separator and at most three decimals.
    static const QRegularExpression grouped(
        QStringLiteral(R"(^Value: \d{1,3},\d{3}(\.\d{1,3})?$)"));
    QVERIFY2(grouped.match(valueLabel(window)->text()).hasMatch(),
             qPrintable(valueLabel(window)->text()));
}

// [SECTION] Save Graph To Bitmap File

void TestChartHandlers::saveBitmap_dialogRequestAndCancel() {
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    Fixture f;
    MainWindow& window = f.window;
    ChartDialogs& dialogs = f.dialogs;
    window.saveGraphToBitmap();
    QCOMPARE(dialogs.saveRequests.size(), 1);
    const FileDialogRequest& request = dialogs.saveRequests.first();
    QCOMPARE(request.title, QStringLiteral("Save graph to bitmap file"));
    QCOMPARE(QDir(request.directory), QDir(dir.path()));
    QCOMPARE(request.filters, QStringList{QStringLiteral("Bitmap file (.bmp) (*.bmp)")});
    QCOMPARE(request.selectedFilter, 0);
    QCOMPARE(request.defaultSuffix, QStringLiteral("bmp"));
    QVERIFY(QDir(dir.path()).isEmpty());
    QVERIFY(dialogs.messages.isEmpty());
}

// After a save the chosen file's folder is where the next save (and load) starts; a
// cancelled save moves nothing.
void TestChartHandlers::saveBitmap_nextSaveStartsInChosenFolder() {
    QTemporaryDir start;
    QTemporaryDir chosen;
    QVERIFY(QDir::setCurrent(start.path()));
    Fixture f;
    ChartDialogs& dialogs = f.dialogs;
    dialogs.saveAccepted = true;
    dialogs.saveFile = chosen.filePath(QStringLiteral("graph.bmp"));
    f.window.saveGraphToBitmap();
    QVERIFY(QFileInfo::exists(dialogs.saveFile));

    dialogs.saveAccepted = false;
    f.window.saveGraphToBitmap();
    f.window.saveGraphToBitmap();
    QCOMPARE(dialogs.saveRequests.size(), 3);
    QCOMPARE(QDir(dialogs.saveRequests[0].directory), QDir(start.path()));
    QCOMPARE(QDir(dialogs.saveRequests[1].directory), QDir(chosen.path()));
    // The cancelled second save left the starting folder where it was.
    QCOMPARE(QDir(dialogs.saveRequests[2].directory), QDir(chosen.path()));
    // The load dialog is given no folder: it opens the current directory, the same one.
    QCOMPARE(QDir::current(), QDir(chosen.path()));
    QVERIFY(dialogs.messages.isEmpty());
}

void TestChartHandlers::saveBitmap_writesChartSizeAndGrowsWithWindow() {
    QTemporaryDir dir;
    Fixture f;
    MainWindow& window = f.window;
    ChartDialogs& dialogs = f.dialogs;
    activateAll(window);
    dialogs.saveAccepted = true;
    dialogs.saveFile = dir.filePath(QStringLiteral("graph.bmp"));
    window.saveGraphToBitmap();
    QCOMPARE(QImage(dialogs.saveFile, "BMP").size(), QSize(794, 499));

    window.show();
    window.resize(window.width() + 100, window.height() + 60);
    QTRY_COMPARE(window.chart().size(), QSize(894, 559));
    window.saveGraphToBitmap();
    QCOMPARE(QImage(dialogs.saveFile, "BMP").size(), QSize(894, 559));
    QVERIFY(dialogs.messages.isEmpty());
}

void TestChartHandlers::saveBitmap_unwritablePathReported() {
    QTemporaryDir dir;
    Fixture f;
    MainWindow& window = f.window;
    ChartDialogs& dialogs = f.dialogs;
    dialogs.saveAccepted = true;
    dialogs.saveFile = dir.filePath(QStringLiteral("no/such/folder/graph.bmp"));
    window.saveGraphToBitmap();
    QCOMPARE(dialogs.messages.size(), 1);
    QVERIFY(dialogs.messages.first().error);
    QVERIFY2(dialogs.messages.first().text.startsWith(
                 QStringLiteral("Cannot create file \"%1\".")
                     .arg(QDir::toNativeSeparators(dialogs.saveFile))),
             qPrintable(dialogs.messages.first().text));
    QVERIFY(QDir(dir.path()).isEmpty());
}

void TestChartHandlers::saveBitmap_realDialogAddsExtensionAndReplaces() {
    // The platform's dialog, as the viewer shows it: the name typed without extension
    // gets ".bmp" and an existing file is replaced without a question.
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const QString target = dir.filePath(QStringLiteral("graph.bmp"));
    {
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old contents");
    }
    test::WindowFixture<QtDialogs> f;
    MainWindow& window = f.window;
    QString title;
    QString startFolder;
    int dialogsSeen = 0;
    std::function<void()> answer = [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            QTimer::singleShot(10, answer);
            return;
        }
        ++dialogsSeen;
        title = dialog->windowTitle();
        startFolder = dialog->directory().absolutePath();
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (name) name->setText(QStringLiteral("graph"));
        static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept, as OK does
        // Anything modal still open now would be a question the user should not see.
        QTimer::singleShot(200, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
        });
    };
    QTimer::singleShot(0, answer);
    window.saveGraphToBitmap();
    QCOMPARE(dialogsSeen, 1);
    QCOMPARE(title, QStringLiteral("Save graph to bitmap file"));
    QCOMPARE(QDir(startFolder), QDir(dir.path()));
    QCOMPARE(QImage(target, "BMP").size(), window.chart().size());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("graph.bmp")});
}

// [SECTION] Print Graph

void TestChartHandlers::print_landscapePrinterPrintsPortraitAndStaysLandscape() {
    QTemporaryDir dir;
    Fixture f;
    MainWindow& window = f.window;
    ChartDialogs& dialogs = f.dialogs;
    activateAll(window);
    const QString pdf = dir.filePath(QStringLiteral("graph.pdf"));
    dialogs.onPrintDialog = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(QPageLayout::Landscape);
        return true;
    };
    window.printGraph();
    QVERIFY(dialogs.messages.isEmpty());
    QCOMPARE(dialogs.printers.size(), 1);
    QPrinter& printer = *dialogs.printers.first();
    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
    const QSizeF page = pdfPageSize(pdf);
    QVERIFY2(page.width() > 500 && page.width() < page.height(),
             qPrintable(QStringLiteral("%1 x %2").arg(page.width()).arg(page.height())));
    QCOMPARE(window.chart().chart().printEnlargement, -50);
    QVERIFY(QApplication::overrideCursor() == nullptr);
    // The zoom state and the series are left as they were.
    QVERIFY(window.chart().chart().bottomAxis.automatic);

    // The printer and the choices made in its dialog stay for the next print.
    QString fileSeenNextTime;
    dialogs.onPrintDialog = [&](QPrinter& again) {
        fileSeenNextTime = again.outputFileName();
        return false;
    };
    window.printGraph();
    QCOMPARE(dialogs.printers.size(), 2);
    QCOMPARE(dialogs.printers.at(1), &printer);
    QCOMPARE(fileSeenNextTime, pdf);
}

void TestChartHandlers::print_cancelChangesNothing() {
    QTemporaryDir dir;
    Fixture f;
    MainWindow& window = f.window;
    ChartDialogs& dialogs = f.dialogs;
    const QString pdf = dir.filePath(QStringLiteral("graph.pdf"));
    dialogs.onPrintDialog = [&](QPrinter& printer) {
        printer.setOutputFileName(pdf);
        printer.setPageOrientation(QPageLayout::Landscape);
        return false;
    };
    window.printGraph();
    QCOMPARE(dialogs.printers.size(), 1);
    QVERIFY(!QFile::exists(pdf));
    QCOMPARE(window.chart().chart().printEnlargement, 0);
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QVERIFY(dialogs.messages.isEmpty());
}

void TestChartHandlers::print_failureReportedAndStateRestored() {
    QTemporaryDir dir;
    Fixture f;
    MainWindow& window = f.window;
    ChartDialogs& dialogs = f.dialogs;
    dialogs.onPrintDialog = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("missing/graph.pdf")));
        printer.setPageOrientation(QPageLayout::Landscape);
        return true;
    };
    window.printGraph();
    QCOMPARE(dialogs.messages.size(), 1);
    QVERIFY(dialogs.messages.first().error);
    QCOMPARE(dialogs.printers.first()->pageLayout().orientation(), QPageLayout::Landscape);
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QVERIFY(QDir(dir.path()).isEmpty());
}

QTEST_MAIN(TestChartHandlers)
#include "test_chart_handlers.moc"
