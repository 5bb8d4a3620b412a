#include "app/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QToolButton>
#include <QUrl>
#include <functional>

#include "analysis/visible_data.h"
#include "app/about_window.h"
#include "app/analysis_tools.h"
#include "app/busy_cursor.h"
#include "app/dialogs.h"
#include "app/engine_tools.h"
#include "app/export_header.h"
#include "app/glyphs.h"
#include "app/keyboard_and_mouse.h"
#include "app/library_window.h"
#include "app/overlay_tools.h"
#include "app/window_style.h"
#include "channels/channel_units.h"
#include "chart/chart_export.h"
#include "chart/chart_widget.h"
#include "chart/widget_output.h"
#include "loading/channel_series.h"
#include "loading/log_loading.h"
#include "loading/overlay_log.h"
#include "settings/settings_store.h"
#include "settings/units_dialog.h"

namespace zp {

namespace {

constexpr int kClientWidth = 794;
constexpr int kClientHeight = 711;
constexpr int kChartTop = 193;
constexpr int kStatusHeight = 19;
// The least height the chart keeps at the window's minimum size, and the margin right of
// the rightmost control of the tool bar and the panel (as left of the leftmost).
constexpr int kMinimumChartHeight = 240;
constexpr int kRightMargin = 8;

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                  const QFont* font = nullptr) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    if (font) label->setFont(*font);
    label->move(left, top);
    label->adjustSize();
    return label;
}

// Labels size themselves to their text.
void setLabelText(QLabel* label, const QString& text) {
    label->setText(text);
    label->adjustSize();
}

QFrame* makeBevel(QWidget* parent, const char* name, QFrame::Shape shape) {
    auto* bevel = new QFrame(parent);
    bevel->setObjectName(QLatin1String(name));
    bevel->setFrameShape(shape);
    bevel->setFrameShadow(QFrame::Sunken);
    return bevel;
}

QToolButton* makeToolButton(QWidget* parent, const char* name, int left, const QPixmap& glyph,
                            const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoRaise(true);
    button->setIcon(QIcon(glyph));
    button->setIconSize(glyph.size());
    button->setToolTip(hint);
    button->setGeometry(left, 4, 23, 22);
    return button;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text,
                        const QRect& geometry, const QString& hint = QString()) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    if (!hint.isEmpty()) button->setToolTip(hint);
    return button;
}

}  // namespace

namespace {

// The file of the per-user choices that are not part of Settings.bin; none without a
// per-user folder.
QString userChoicesFile(const SettingsStore& store) {
    if (store.userFolder().isEmpty()) return {};
    QDir().mkpath(store.userFolder());
    return QDir(store.userFolder()).filePath(QStringLiteral("viewer.ini"));
}

// The engine profile's file, beside viewer.ini; none without a per-user folder.
QString engineProfileFile(const SettingsStore& store) {
    if (store.userFolder().isEmpty()) return {};
    return QDir(store.userFolder()).filePath(QStringLiteral("engine.ini"));
}

// The first local file among dropped or dragged items.
QString firstLocalFile(const QMimeData* mime) {
    if (!mime || !mime->hasUrls()) return {};
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile()) return url.toLocalFile();
    return {};
}

// Fills `menu` with the paths of `list`, numbered 1, 2, ... as their mnemonics ("(none)"
// when empty), then "Clear". The entries are named `prefix` and their number, Clear
// `prefix` + "sClear"; `open` takes a chosen path, `rebuilt` runs after Clear.
void fillRecentMenu(QMenu& menu, RecentFiles& list, const QString& prefix, QObject* context,
                    const std::function<void(const QString&)>& open,
                    const std::function<void()>& rebuilt) {
    menu.clear();
    int number = 0;
    for (const QString& path : list.paths()) {
        ++number;
        QAction* action = menu.addAction(
            // A "&" in the path is a character, not a second mnemonic.
            QStringLiteral("&%1 %2").arg(number).arg(
                QDir::toNativeSeparators(path).replace(u'&', QStringLiteral("&&"))),
            context, [open, path] { open(path); });
        action->setObjectName(prefix + QString::number(number));
    }
    if (number == 0) menu.addAction(QStringLiteral("(none)"))->setEnabled(false);
    menu.addSeparator();
    QAction* clear = menu.addAction(QStringLiteral("&Clear"), context, [&list, rebuilt] {
        list.clear();
        rebuilt();
    });
    clear->setObjectName(prefix + QStringLiteral("sClear"));
    clear->setEnabled(number > 0);
}

}  // namespace

MainWindow::MainWindow(Dialogs& dialogs, SettingsStore& settings, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      store_(settings),
      recent_(userChoicesFile(settings)),
      recentFolders_(userChoicesFile(settings), QStringLiteral("recentLibraryFolders")) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kApplicationTitle);
    setFont(windowFont());

    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("Client"));
    // The face of the window has the colour of a button face.
    QPalette face = client_->palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    client_->setPalette(face);
    client_->setAutoFillBackground(true);
    client_->installEventFilter(this);
    setCentralWidget(client_);

    menuBevel_ = makeBevel(client_, "Bevel1", QFrame::HLine);
    buildToolBar();
    panelBevel_ = makeBevel(client_, "Bevel2", QFrame::HLine);
    buildInformationPanel();

    chart_ = new chart::ChartWidget(client_);
    chart_->setObjectName(QStringLiteral("Chart1"));
    createChannelSeries(chart_->chart(), palette());
    connect(chart_, &chart::ChartWidget::mouseMoved, this, &MainWindow::updateReadout);

    statusBar_ = new QStatusBar(client_);
    statusBar_->setObjectName(QStringLiteral("StatusBar1"));
    analysis_ =
        new AnalysisTools(*chart_, dialogs_, loaded_, userChoicesFile(store_), *statusBar_, this);
    overlay_ = new OverlayTools(*chart_, dialogs_, loaded_, *statusBar_, this);
    engine_ = new EngineTools(*chart_, dialogs_, loaded_, engineProfileFile(store_), this);
    analysis_->setEngineTools(engine_);

    buildMenu();
    setAcceptDrops(true);

    client_->resize(kClientWidth, kClientHeight);
    layoutClient();
    // No smaller than what shows every control of the bands along the top whole.
    const QSize minimumClient = minimumClientSize();
    client_->setMinimumSize(minimumClient);
    setMinimumSize(minimumClient + QSize(0, menuBar()->sizeHint().height()));
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    centreOnScreen(this);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildToolBar() {
    toolBar_ = new QWidget(client_);
    toolBar_->setObjectName(QStringLiteral("Panel1"));
    exitToolButton_ =
        makeToolButton(toolBar_, "SpeedButton1", 8, exitGlyph(), QStringLiteral("Exit Program"));
    settingsSeparator_ = makeBevel(toolBar_, "Bevel3", QFrame::VLine);
    settingsSeparator_->setGeometry(40, 5, 2, 20);
    settingsToolButton_ =
        makeToolButton(toolBar_, "SpeedButton3", 48, settingsGlyph(), QStringLiteral("Settings"));
    helpSeparator_ = makeBevel(toolBar_, "Bevel4", QFrame::VLine);
    helpSeparator_->setGeometry(80, 5, 2, 20);
    helpToolButton_ =
        makeToolButton(toolBar_, "SpeedButton2", 88, helpGlyph(), QStringLiteral("Help"));
    const QFont readout = windowFont(19, true);
    valueLabel_ = makeLabel(toolBar_, "Label26", QStringLiteral("Value: 0"), 400, 2, &readout);
    timeLabel_ = makeLabel(toolBar_, "Label27", QStringLiteral("Time: 0"), 600, 2, &readout);

    connect(exitToolButton_, &QToolButton::clicked, this, &MainWindow::exitProgram);
    connect(settingsToolButton_, &QToolButton::clicked, this, &MainWindow::showUnitsDialog);
    connect(helpToolButton_, &QToolButton::clicked, this, &MainWindow::showAboutWindow);
}

void MainWindow::buildInformationPanel() {
    controlPanel_ = new QWidget(client_);
    controlPanel_->setObjectName(QStringLiteral("Panel2"));

    informationGroup_ = new QGroupBox(QStringLiteral(" Information "), controlPanel_);
    informationGroup_->setObjectName(QStringLiteral("GroupBox1"));
    informationGroup_->setGeometry(8, 6, 409, 105);
    informationGroup_->setToolTip(QStringLiteral("Enter test certificate details"));
    modelCaption_ = makeLabel(informationGroup_, "Label1", QStringLiteral("Model:"), 8, 24);
    modelLabel_ = makeLabel(informationGroup_, "Label13", QStringLiteral("x"), 56, 24);
    hobbsStartCaption_ =
        makeLabel(informationGroup_, "Label4", QStringLiteral("Hobbs Start:"), 8, 48);
    hobbsStartLabel_ = makeLabel(informationGroup_, "Label21", QStringLiteral("0"), 120, 48);
    hobbsStopCaption_ =
        makeLabel(informationGroup_, "Label5", QStringLiteral("Hobbs Stop:"), 176, 48);
    hobbsStopLabel_ = makeLabel(informationGroup_, "Label22", QStringLiteral("0"), 288, 48);
    maintenanceStartCaption_ =
        makeLabel(informationGroup_, "Label8", QStringLiteral("Maintenance Start:"), 8, 72);
    maintenanceStartLabel_ = makeLabel(informationGroup_, "Label23", QStringLiteral("0"), 120, 72);
    maintenanceStopCaption_ =
        makeLabel(informationGroup_, "Label9", QStringLiteral("Maintenance Stop:"), 176, 72);
    maintenanceStopLabel_ = makeLabel(informationGroup_, "Label24", QStringLiteral("0"), 288, 72);

    reportsGroup_ = new QGroupBox(QStringLiteral(" Reports "), controlPanel_);
    reportsGroup_->setObjectName(QStringLiteral("GroupBox3"));
    reportsGroup_->setGeometry(424, 6, 177, 105);
    saveBitmapButton_ = makeButton(
        reportsGroup_, "Button4", QStringLiteral("Save Graph To Bitmap File"),
        QRect(16, 24, 145, 33), QStringLiteral("Click to save the report to a bitmap file"));
    printButton_ = makeButton(reportsGroup_, "Button5", QStringLiteral("Print Graph"),
                              QRect(16, 64, 145, 33), QStringLiteral("Click to print the report"));

    loadButton_ = makeButton(controlPanel_, "Button6", QStringLiteral("&Load Data File"),
                             QRect(608, 30, 177, 57));
    loadButton_->setFont(windowFont(11, true));

    const QFont bold = windowFont(11, true);
    zoomInHint_ =
        makeLabel(controlPanel_, "Label30",
                  QStringLiteral("Zoom In: Hold left mouse button drag top left to bottom right"),
                  32, 120, &bold);
    scrollHint_ = makeLabel(controlPanel_, "Label29",
                            QStringLiteral("Scroll: Hold right mouse button and drag to scroll"),
                            424, 120, &bold);
    zoomOutHint_ =
        makeLabel(controlPanel_, "Label28",
                  QStringLiteral("Zoom Out: Hold left mouse button drag bottom right to top left"),
                  32, 138, &bold);

    connect(saveBitmapButton_, &QPushButton::clicked, this, &MainWindow::saveGraphToBitmap);
    connect(printButton_, &QPushButton::clicked, this, &MainWindow::printGraph);
    connect(loadButton_, &QPushButton::clicked, this, &MainWindow::loadLogFile);
}

void MainWindow::buildMenu() {
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    fileMenu_ = menuBar()->addMenu(QStringLiteral("&File"));
    fileMenu_->setObjectName(QStringLiteral("File1"));
    exportGraphAction_ =
        fileMenu_->addAction(QStringLiteral("Export &Graph..."), this, &MainWindow::exportGraph);
    exportGraphAction_->setObjectName(QStringLiteral("exportGraphAction"));
    exportGraphAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    fileMenu_->addSeparator();
    recentMenu_ = fileMenu_->addMenu(QStringLiteral("&Recent Files"));
    recentMenu_->setObjectName(QStringLiteral("recentFilesMenu"));
    buildRecentMenu();
    QAction* exportData = fileMenu_->addAction(QStringLiteral("Export Visible &Data..."), this,
                                               &MainWindow::exportVisibleData);
    exportData->setObjectName(QStringLiteral("exportVisibleDataAction"));
    fileMenu_->addSeparator();
    QAction* openLibraryAction = fileMenu_->addAction(QStringLiteral("Open &Library Folder..."),
                                                      this, &MainWindow::openLibraryFolder);
    openLibraryAction->setObjectName(QStringLiteral("openLibraryFolderAction"));
    recentFoldersMenu_ = fileMenu_->addMenu(QStringLiteral("Recent F&olders"));
    recentFoldersMenu_->setObjectName(QStringLiteral("recentFoldersMenu"));
    buildRecentFoldersMenu();
    fileMenu_->addSeparator();
    overlay_->addMenuEntries(
        *fileMenu_, [this] { return unitSelectorsOf(settings_); },
        [this] { return importOptions_; });
    fileMenu_->addSeparator();
    exitAction_ = fileMenu_->addAction(QStringLiteral("&Exit"), this, &MainWindow::exitProgram);
    exitAction_->setObjectName(QStringLiteral("exit1"));
    editMenu_ = menuBar()->addMenu(QStringLiteral("&Edit"));
    editMenu_->setObjectName(QStringLiteral("editMenu"));
    copyGraphAction_ =
        editMenu_->addAction(QStringLiteral("&Copy Graph"), this, &MainWindow::copyGraph);
    copyGraphAction_->setObjectName(QStringLiteral("copyGraphAction"));
    // Ctrl+C anywhere in the window, the chart included.
    copyGraphAction_->setShortcut(QKeySequence::Copy);
    settingsMenu_ = menuBar()->addMenu(QStringLiteral("&Settings"));
    settingsMenu_->setObjectName(QStringLiteral("Settings1"));
    unitsAction_ =
        settingsMenu_->addAction(QStringLiteral("&Units"), this, &MainWindow::showUnitsDialog);
    unitsAction_->setObjectName(QStringLiteral("UnitSetup1"));
    engine_->addSettingsEntries(*settingsMenu_);
    analysisMenu_ = menuBar()->addMenu(QStringLiteral("&Analysis"));
    analysisMenu_->setObjectName(QStringLiteral("analysisMenu"));
    analysis_->addMenuEntries(*analysisMenu_);
    analysisMenu_->addSeparator();
    engine_->addAnalysisEntries(*analysisMenu_);
    helpMenu_ = menuBar()->addMenu(QStringLiteral("&Help"));
    helpMenu_->setObjectName(QStringLiteral("Help1"));
    aboutAction_ =
        helpMenu_->addAction(QStringLiteral("&About"), this, &MainWindow::showAboutWindow);
    aboutAction_->setObjectName(QStringLiteral("About1"));
    QAction* keys = helpMenu_->addAction(QStringLiteral("&Keyboard and Mouse"), this,
                                         &MainWindow::showKeyboardAndMouse);
    keys->setObjectName(QStringLiteral("keyboardAndMouseAction"));
    keys->setShortcut(QKeySequence::HelpContents);
}

QSize MainWindow::minimumClientSize() const {
    int right = 0;
    for (const QWidget* band : {toolBar_, controlPanel_})
        for (const QWidget* control : band->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            right = std::max(right, control->geometry().right() + 1);
    return QSize(right + kRightMargin, kChartTop + kMinimumChartHeight + kStatusHeight);
}

// The bands along the top keep their heights and take the full width; the status bar
// stays at the bottom and the chart fills what is left between them.
void MainWindow::layoutClient() {
    const int width = client_->width();
    const int height = client_->height();
    menuBevel_->setGeometry(0, 0, width, 2);
    toolBar_->setGeometry(0, 2, width, 30);
    panelBevel_->setGeometry(0, 32, width, 2);
    controlPanel_->setGeometry(0, 34, width, 159);
    statusBar_->setGeometry(0, height - kStatusHeight, width, kStatusHeight);
    chart_->setGeometry(0, kChartTop, width, qMax(0, height - kStatusHeight - kChartTop));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize) layoutClient();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::setUnitsDialog(UnitsDialog* dialog) {
    if (units_) disconnect(units_, nullptr, this, nullptr);
    units_ = dialog;
    if (units_) connect(units_, &UnitsDialog::saveRequested, this, &MainWindow::saveSettings);
}

// [SECTION] Event handlers

void MainWindow::exitProgram() {
    saveSettings();
    // exit() rather than quit(): quit() would close the windows first, and the close
    // request to this window would save the settings a second time.
    QCoreApplication::exit(0);
}

void MainWindow::showUnitsDialog() {
    if (units_) dialogs_.execModal(*units_);
}

void MainWindow::showAboutWindow() {
    if (about_) dialogs_.execModal(*about_);
}

bool MainWindow::saveBeforeClose() {
    saveSettings();
    return true;
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    // The first showing loads the settings and the engine profile.
    loadSettings();
    engine_->readProfile();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->setAccepted(saveBeforeClose());
    // Closing the main window ends the program, whatever other window is open.
    if (event->isAccepted()) QCoreApplication::exit(0);
}

// [SECTION] Opening logs

void MainWindow::buildRecentMenu() {
    fillRecentMenu(
        *recentMenu_, recent_, QStringLiteral("recentFile"), this,
        [this](const QString& path) { openRecentFile(path); }, [this] { buildRecentMenu(); });
}

void MainWindow::buildRecentFoldersMenu() {
    fillRecentMenu(
        *recentFoldersMenu_, recentFolders_, QStringLiteral("recentFolder"), this,
        [this](const QString& folder) { openLibrary(folder); },
        [this] { buildRecentFoldersMenu(); });
}

void MainWindow::openRecentFile(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        // Gone since it was loaded: it leaves the list, with the load's own message.
        recent_.remove(path);
        buildRecentMenu();
        dialogs_.messageBox(this, QStringLiteral("File does not exist."),
                            QStringLiteral("Message"));
        return;
    }
    openLogFile(path);
}

void MainWindow::openLogFile(const QString& path) {
    prepareChartForLoad(chart_->chart());
    loadChosenFile(path);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!firstLocalFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = firstLocalFile(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    openLogFile(path);
}

void MainWindow::loadLogFile() {
    prepareChartForLoad(chart_->chart());

    FileDialogRequest request;
    request.filters = {QStringLiteral("CSV files (*.csv)"), QStringLiteral("All files (*)")};
    request.selectedFilter = 0;
    request.multiSelect = true;
    request.mustExist = true;
    QStringList files;
    if (!dialogs_.getOpenFileNames(this, request, files) || files.isEmpty()) return;
    loadChosenFile(files.first());
}

void MainWindow::loadChosenFile(const QString& path) {
    // As with the platform's own dialog, the chosen file's folder becomes the current
    // directory: the next load and bitmap export start there (until a settings save
    // enters the settings folder).
    QDir::setCurrent(QFileInfo(path).absolutePath());

    LoadOutcome outcome;
    {
        const BusyCursor busy;
        outcome =
            loadLog(path, unitSelectorsOf(settings_), loaded_, chart_->chart(), importOptions_);
    }
    loaded_ = std::move(outcome.log);
    overlay_->loadEnded(outcome.status != ImportResult::Status::OpenFailed);
    showPanel(loaded_.panel);
    engine_->loadEnded();
    analysis_->loadEnded();
    if (outcome.status == ImportResult::Status::OpenFailed) {
        recent_.remove(path);
    } else {
        recent_.add(path);
        chart_->zoomScroll().clearHistory();
    }
    buildRecentMenu();
    switch (outcome.status) {
        case ImportResult::Status::Loaded:
            dialogs_.messageBox(this, QStringLiteral("File Loaded!"), QStringLiteral("Message"));
            break;
        case ImportResult::Status::OpenFailed:
            dialogs_.messageBox(this, QStringLiteral("File does not exist."),
                                QStringLiteral("Message"));
            break;
        case ImportResult::Status::Error:
            dialogs_.errorBox(this, outcome.message);
            break;
        case ImportResult::Status::TooMuchData:
            dialogs_.messageBox(this, outcome.message, QStringLiteral("Message"));
            break;
    }
}

void MainWindow::exportVisibleData() {
    FileDialogRequest request;
    request.title = QStringLiteral("Export visible data");
    request.directory = QDir::currentPath();
    request.filters = {QStringLiteral("CSV files (*.csv)")};
    request.defaultSuffix = QStringLiteral("csv");
    QString file;
    if (!dialogs_.getSaveFileName(this, request, file)) return;
    const chart::ChartLayout& shown = chart_->layout();
    std::vector<QString> units;
    for (std::size_t s = 0; s < chart_->chart().series.size(); ++s)
        units.push_back(seriesUnitText(chart_->chart(), s, loaded_.units));
    const QString error = analysis::writeVisibleDataCsv(
        file, chart_->chart(), units,
        analysis::XRange{shown.bottom.minimum(), shown.bottom.maximum()});
    if (!error.isEmpty())
        dialogs_.errorBox(this, QStringLiteral("Cannot write \"%1\". %2").arg(file, error));
}

void MainWindow::showKeyboardAndMouse() {
    if (!keysWindow_) keysWindow_ = makeKeyboardAndMouseWindow(this, menuBar());
    keysWindow_->show();
    keysWindow_->raise();
}

void MainWindow::saveGraphToBitmap() {
    FileDialogRequest request;
    request.title = QStringLiteral("Save graph to bitmap file");
    request.directory = QDir::currentPath();
    request.filters = {QStringLiteral("Bitmap file (.bmp) (*.bmp)")};
    request.selectedFilter = 0;
    request.defaultSuffix = QStringLiteral("bmp");
    QString file;
    if (!dialogs_.getSaveFileName(this, request, file)) return;
    // As after a load, the chosen file's folder becomes the current directory, so the
    // next save (and load) starts where the user saved last.
    QDir::setCurrent(QFileInfo(file).absolutePath());
    const QString error = chart::saveToBitmapFile(*chart_, file);
    if (!error.isEmpty()) dialogs_.errorBox(this, error);
}

void MainWindow::printGraph() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!dialogs_.printDialog(this, *printer_)) return;
    QString error;
    {
        // The wait cursor stays up until the job is handed over or has failed.
        const BusyCursor busy;
        error = chart::printGraph(*chart_, *printer_);
    }
    if (!error.isEmpty()) dialogs_.errorBox(this, error);
}

// [SECTION] Export Graph and Copy Graph

void MainWindow::exportGraph() {
    using chart::ExportFormat;
    static const ExportFormat kFilterFormats[] = {ExportFormat::Png, ExportFormat::Svg,
                                                  ExportFormat::Pdf};
    FileDialogRequest request;
    request.title = QStringLiteral("Export graph");
    request.directory = QDir::currentPath();
    request.filters = {QStringLiteral("PNG image (*.png)"), QStringLiteral("SVG drawing (*.svg)"),
                       QStringLiteral("PDF document (*.pdf)")};
    request.selectedFilter = exportFilter_;
    QString file;
    int filter = exportFilter_;
    if (!dialogs_.getSaveFileNameAndFilter(this, request, file, filter)) return;
    if (filter < 0 || filter >= int(std::size(kFilterFormats))) filter = 0;
    // A name with a known suffix has that type; any other name gets the chosen type's.
    ExportFormat format = kFilterFormats[filter];
    if (const auto bySuffix = chart::exportFormatOf(file))
        format = *bySuffix;
    else
        file += QLatin1Char('.') + chart::exportSuffix(format);
    exportFilter_ = int(std::find(std::begin(kFilterFormats), std::end(kFilterFormats), format) -
                        std::begin(kFilterFormats));
    if (format == ExportFormat::Pdf && !dialogs_.choosePdfPage(this, pdfOrientation_)) return;
    // As with the bitmap, the next save starts in the chosen file's folder.
    QDir::setCurrent(QFileInfo(file).absolutePath());
    const QString error = writeExport(file, format);
    if (!error.isEmpty()) dialogs_.errorBox(this, error);
}

QString MainWindow::writeExport(const QString& file, chart::ExportFormat format) {
    const BusyCursor busy;
    return chart::exportShown(*chart_, format, file, [this] {
        const chart::ChartLayout& shown = chart_->layout();
        return chart::PdfPage{
            pdfHeaderLines(loaded_, chart_->chart(),
                           analysis::XRange{shown.bottom.minimum(), shown.bottom.maximum()}),
            QFileInfo(loaded_.path).fileName(), pdfOrientation_};
    });
}

void MainWindow::copyGraph() {
    QGuiApplication::clipboard()->setImage(chart::exportImage(
        chart_->chart(), chart_->size(), chart_->devicePixelRatioF(), chart_->renderOptions()));
}

void MainWindow::updateReadout(Qt::KeyboardModifiers, int x, int y) {
    // Only movements over the plot area update the readout; it then shows the axis
    // values where the pointer is now.
    if (!chart_->layout().plot.contains(x, y)) return;
    const chart::ChartWidget::CursorValues values = chart_->cursorValues();
    setLabelText(valueLabel_,
                 QStringLiteral("Value: ") + chart_->labelValue(chart::AxisId::Left, values.y));
    setLabelText(timeLabel_,
                 QStringLiteral("Time: ") + chart_->labelValue(chart::AxisId::Bottom, values.x));
}

// [SECTION] Flight library

void MainWindow::openLibraryFolder() {
    const QString start =
        recentFolders_.paths().isEmpty() ? QDir::currentPath() : recentFolders_.paths().first();
    QString folder;
    if (!dialogs_.getExistingDirectory(this, QStringLiteral("Open library folder"), start, folder))
        return;
    openLibrary(folder);
}

void MainWindow::openLibrary(const QString& folder) {
    if (!QFileInfo(folder).isDir()) {
        recentFolders_.remove(folder);
        buildRecentFoldersMenu();
        dialogs_.messageBox(this, QStringLiteral("Folder does not exist."),
                            QStringLiteral("Message"));
        return;
    }
    recentFolders_.add(folder);
    buildRecentFoldersMenu();
    if (!library_) {
        library_ = new FlightLibraryWindow(this);
        connect(library_, &FlightLibraryWindow::flightChosen, this, &MainWindow::showFlight);
        connect(library_, &FlightLibraryWindow::flightOverlayChosen, this,
                [this](const QString& path, const library::Flight& flight) {
                    overlay_->overlay(path, flight);
                });
        connect(library_, &FlightLibraryWindow::aircraftChanged, this,
                [this](const QString& changed, const QString& registration) {
                    // viewer.ini keeps each folder's aircraft: [library] aircraftFolders=
                    // folder, registration, folder, registration...
                    const QString ini = userChoicesFile(store_);
                    if (!ini.isEmpty()) {
                        QSettings choices(ini, QSettings::IniFormat);
                        QStringList pairs =
                            choices.value(QStringLiteral("library/aircraftFolders")).toStringList();
                        for (qsizetype i = 0; i + 1 < pairs.size(); i += 2)
                            if (pairs[i] == changed) pairs.remove(i, 2);
                        if (!registration.isEmpty()) pairs << changed << registration;
                        choices.setValue(QStringLiteral("library/aircraftFolders"), pairs);
                    }
                    openLibrary(changed);
                });
    }
    LibrarySetup setup;
    // viewer.ini may name another database and split gap ([library] database=,
    // splitGap=); a database set by the program comes first.
    const QString ini = userChoicesFile(store_);
    if (!ini.isEmpty()) {
        const QSettings choices(ini, QSettings::IniFormat);
        setup.databasePath = choices.value(QStringLiteral("library/database")).toString();
        bool ok = false;
        const qlonglong gap = choices.value(QStringLiteral("library/splitGap")).toLongLong(&ok);
        if (ok && gap >= 0) setup.options.splitGap = gap;
        const QString cleaned = QDir::cleanPath(QDir(folder).absolutePath());
        const QStringList pairs =
            choices.value(QStringLiteral("library/aircraftFolders")).toStringList();
        for (qsizetype i = 0; i + 1 < pairs.size(); i += 2)
            if (pairs[i] == cleaned) setup.aircraft = pairs[i + 1];
    }
    if (!libraryDatabase_.isEmpty()) setup.databasePath = libraryDatabase_;
    setup.options.units = unitSelectorsOf(settings_);
    setup.options.locale = importOptions_.locale;
    // The limits of Analysis > Set Limits, in the units the library converts to.
    const LimitTable& limits = analysis_->limits();
    for (int c = 0; c < kChannelCount; ++c) {
        const ChannelLimits shown = limitsInUnit(c, limits[c], unitCodeOf(c, setup.options.units));
        if (shown.empty()) continue;
        library::Limits l;
        if (shown.lower) l.low = *shown.lower;
        if (shown.upper) l.high = *shown.upper;
        setup.options.limits[static_cast<std::size_t>(c)] = l;
    }
    // With an engine profile, the flights get the derived series' figures too.
    if (const auto& profile = engine_->profile()) {
        library::EngineChannels engine;
        engine.cylinders = profile->cylinders;
        for (int c = 0; c < analysis::kMaxCylinders; ++c) {
            engine.egt[static_cast<std::size_t>(c)] = profile->egt[static_cast<std::size_t>(c)];
            engine.cht[static_cast<std::size_t>(c)] = profile->cht[static_cast<std::size_t>(c)];
        }
        setup.options.engine = engine;
        for (const auto& [name, limits] : analysis_->derivedLimits()) {
            const ChannelLimits shown =
                derivedLimitsInUnit(limits, unitCodeOf(TC1Series, setup.options.units));
            library::Limits l;
            if (shown.lower) l.low = *shown.lower;
            if (shown.upper) l.high = *shown.upper;
            setup.options.derivedLimits[name] = l;
        }
    }
    library_->openFolder(folder, setup);
    library_->show();
    library_->raise();
    library_->activateWindow();
}

void MainWindow::showFlight(const QString& path, const library::Flight& flight) {
    openLogFile(path);
    if (loaded_.path != path) return;
    overlay_->setShownFlight(flight);
    // The flight's first reading: the first point at its start time of day, in the
    // order the chart holds them (a later flight may repeat that time of day).
    const std::optional<double> start = flightStartX(chart_->chart(), flight);
    if (!start) return;
    const double span = static_cast<double>(flight.seconds) / 86400.0;
    const double margin = std::max(span * 0.02, 1.0 / 86400.0);
    chart_->zoomScroll().showTimeRange(*start - margin, *start + span + margin, chart_->layout());
}

// [SECTION] Information panel

void MainWindow::showPanel(const PanelTexts& texts) {
    for (QLabel* label :
         {hobbsStartCaption_, hobbsStopCaption_, maintenanceStartCaption_, maintenanceStopCaption_,
          hobbsStartLabel_, hobbsStopLabel_, maintenanceStartLabel_, maintenanceStopLabel_})
        label->setVisible(texts.countersVisible);
    setLabelText(modelLabel_, texts.modelText);
    setLabelText(hobbsStartLabel_, texts.hobbsStart);
    setLabelText(hobbsStopLabel_, texts.hobbsStop);
    setLabelText(maintenanceStartLabel_, texts.maintenanceStart);
    setLabelText(maintenanceStopLabel_, texts.maintenanceStop);
}

}  // namespace zp
