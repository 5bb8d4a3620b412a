#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>

#include "app/about_window.h"
#include "app/dialog_seam.h"
#include "app/form_style.h"
#include "app/glyphs.h"
#include "chart/chart_output.h"
#include "chart/chart_widget.h"
#include "loading/channel_series.h"
#include "loading/log_loading.h"
#include "settings/units_dialog.h"

namespace zp {

namespace {

constexpr int kClientWidth = 794;
constexpr int kClientHeight = 711;
constexpr int kChartTop = 193;
constexpr int kStatusHeight = 19;

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

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kApplicationTitle);
    setFont(formFont());

    Client = new QWidget(this);
    Client->setObjectName(QStringLiteral("Client"));
    // The face of the window has the colour of a button face.
    QPalette face = Client->palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    Client->setPalette(face);
    Client->setAutoFillBackground(true);
    Client->installEventFilter(this);
    setCentralWidget(Client);

    Bevel1 = makeBevel(Client, "Bevel1", QFrame::HLine);
    buildToolBar();
    Bevel2 = makeBevel(Client, "Bevel2", QFrame::HLine);
    buildInformationPanel();

    Chart1 = new chart::ChartWidget(Client);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    createChannelSeries(Chart1->chart(), palette());
    connect(Chart1, &chart::ChartWidget::mouseMoved, this, &TfrmMain::Chart1MouseMove);

    StatusBar1 = new QStatusBar(Client);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));

    buildMenu();

    Client->resize(kClientWidth, kClientHeight);
    layoutClient();
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    centreOnScreen(this);
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::buildToolBar() {
    Panel1 = new QWidget(Client);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    SpeedButton1 =
        makeToolButton(Panel1, "SpeedButton1", 8, exitGlyph(), QStringLiteral("Exit Program"));
    Bevel3 = makeBevel(Panel1, "Bevel3", QFrame::VLine);
    Bevel3->setGeometry(40, 5, 2, 20);
    SpeedButton3 =
        makeToolButton(Panel1, "SpeedButton3", 48, settingsGlyph(), QStringLiteral("Settings"));
    Bevel4 = makeBevel(Panel1, "Bevel4", QFrame::VLine);
    Bevel4->setGeometry(80, 5, 2, 20);
    SpeedButton2 = makeToolButton(Panel1, "SpeedButton2", 88, helpGlyph(), QStringLiteral("Help"));
    const QFont readout = formFont(19, true);
    Label26 = makeLabel(Panel1, "Label26", QStringLiteral("Value: 0"), 400, 2, &readout);
    Label27 = makeLabel(Panel1, "Label27", QStringLiteral("Time: 0"), 600, 2, &readout);

    connect(SpeedButton1, &QToolButton::clicked, this, &TfrmMain::SpeedButton1Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TfrmMain::SpeedButton3Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TfrmMain::SpeedButton2Click);
}

void TfrmMain::buildInformationPanel() {
    Panel2 = new QWidget(Client);
    Panel2->setObjectName(QStringLiteral("Panel2"));

    GroupBox1 = new QGroupBox(QStringLiteral(" Information "), Panel2);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 6, 409, 105);
    GroupBox1->setToolTip(QStringLiteral("Enter test certificate details"));
    Label1 = makeLabel(GroupBox1, "Label1", QStringLiteral("Model:"), 8, 24);
    Label13 = makeLabel(GroupBox1, "Label13", QStringLiteral("x"), 56, 24);
    Label4 = makeLabel(GroupBox1, "Label4", QStringLiteral("Hobbs Start:"), 8, 48);
    Label21 = makeLabel(GroupBox1, "Label21", QStringLiteral("0"), 120, 48);
    Label5 = makeLabel(GroupBox1, "Label5", QStringLiteral("Hobbs Stop:"), 176, 48);
    Label22 = makeLabel(GroupBox1, "Label22", QStringLiteral("0"), 288, 48);
    Label8 = makeLabel(GroupBox1, "Label8", QStringLiteral("Maintenance Start:"), 8, 72);
    Label23 = makeLabel(GroupBox1, "Label23", QStringLiteral("0"), 120, 72);
    Label9 = makeLabel(GroupBox1, "Label9", QStringLiteral("Maintenance Stop:"), 176, 72);
    Label24 = makeLabel(GroupBox1, "Label24", QStringLiteral("0"), 288, 72);

    GroupBox3 = new QGroupBox(QStringLiteral(" Reports "), Panel2);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    GroupBox3->setGeometry(424, 6, 177, 105);
    Button4 = makeButton(GroupBox3, "Button4", QStringLiteral("Save Graph To Bitmap File"),
                         QRect(16, 24, 145, 33),
                         QStringLiteral("Click to save the report to a bitmap file"));
    Button5 = makeButton(GroupBox3, "Button5", QStringLiteral("Print Graph"),
                         QRect(16, 64, 145, 33), QStringLiteral("Click to print the report"));

    Button6 =
        makeButton(Panel2, "Button6", QStringLiteral("&Load Data File"), QRect(608, 30, 177, 57));
    Button6->setFont(formFont(11, true));

    const QFont bold = formFont(11, true);
    Label30 =
        makeLabel(Panel2, "Label30",
                  QStringLiteral("Zoom In: Hold left mouse button drag top left to bottom right"),
                  32, 120, &bold);
    Label29 = makeLabel(Panel2, "Label29",
                        QStringLiteral("Scroll: Hold right mouse button and drag to scroll"), 424,
                        120, &bold);
    Label28 =
        makeLabel(Panel2, "Label28",
                  QStringLiteral("Zoom Out: Hold left mouse button drag bottom right to top left"),
                  32, 138, &bold);

    connect(Button4, &QPushButton::clicked, this, &TfrmMain::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TfrmMain::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TfrmMain::Button6Click);
}

void TfrmMain::buildMenu() {
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    File1 = menuBar()->addMenu(QStringLiteral("&File"));
    File1->setObjectName(QStringLiteral("File1"));
    exit1 = File1->addAction(QStringLiteral("&Exit"), this, &TfrmMain::exit1Click);
    exit1->setObjectName(QStringLiteral("exit1"));
    Settings1 = menuBar()->addMenu(QStringLiteral("&Settings"));
    Settings1->setObjectName(QStringLiteral("Settings1"));
    UnitSetup1 = Settings1->addAction(QStringLiteral("&Units"), this, &TfrmMain::UnitSetup1Click);
    UnitSetup1->setObjectName(QStringLiteral("UnitSetup1"));
    Help1 = menuBar()->addMenu(QStringLiteral("&Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    About1 = Help1->addAction(QStringLiteral("&About"), this, &TfrmMain::About1Click);
    About1->setObjectName(QStringLiteral("About1"));
}

// The bands along the top keep their heights and take the full width; the status bar
// stays at the bottom and Chart1 fills what is left between them.
void TfrmMain::layoutClient() {
    const int width = Client->width();
    const int height = Client->height();
    Bevel1->setGeometry(0, 0, width, 2);
    Panel1->setGeometry(0, 2, width, 30);
    Bevel2->setGeometry(0, 32, width, 2);
    Panel2->setGeometry(0, 34, width, 159);
    StatusBar1->setGeometry(0, height - kStatusHeight, width, kStatusHeight);
    Chart1->setGeometry(0, kChartTop, width, qMax(0, height - kStatusHeight - kChartTop));
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Client && event->type() == QEvent::Resize) layoutClient();
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::setUnitsDialog(TfrmUnitSettings* dialog) {
    if (units_) disconnect(units_, nullptr, this, nullptr);
    units_ = dialog;
    if (units_) connect(units_, &TfrmUnitSettings::saveRequested, this, &TfrmMain::SaveSettings);
}

// [SECTION] Event handlers

void TfrmMain::SpeedButton1Click() {
    SaveSettings();
    // exit() rather than quit(): quit() would close the windows first, and the close
    // query of this window would save the settings a second time.
    QCoreApplication::exit(0);
}

void TfrmMain::exit1Click() {
    SpeedButton1Click();
}

void TfrmMain::SpeedButton3Click() {
    if (units_) dialogSeam().execModal(*units_);
}

void TfrmMain::UnitSetup1Click() {
    SpeedButton3Click();
}

void TfrmMain::SpeedButton2Click() {
    if (about_) dialogSeam().execModal(*about_);
}

void TfrmMain::About1Click() {
    SpeedButton2Click();
}

void TfrmMain::FormShow() {
    LoadSettings();
}

bool TfrmMain::FormCloseQuery() {
    SaveSettings();
    return true;
}

void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    FormShow();
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    event->setAccepted(FormCloseQuery());
    // Closing the main window ends the program, whatever other window is open.
    if (event->isAccepted()) QCoreApplication::exit(0);
}

void TfrmMain::Button6Click() {
    prepareChartForLoad(Chart1->chart());

    FileDialogRequest request;
    request.filters = {QStringLiteral("CSV files (*.csv)"), QStringLiteral("All files (*)")};
    request.selectedFilter = 0;
    request.multiSelect = true;
    request.mustExist = true;
    QStringList files;
    if (!dialogSeam().getOpenFileNames(this, request, files) || files.isEmpty()) return;
    const QString path = files.first();
    // As with the platform's own dialog, the chosen file's folder becomes the current
    // directory (the bitmap export starts there until the next settings save).
    QDir::setCurrent(QFileInfo(path).absolutePath());

    const ImportResult result =
        loadLogIntoChart(path, unitSelectorsOf(settings_), Chart1->chart(), importOptions_);
    showPanel(result.panel);
    switch (result.status) {
        case ImportResult::Status::Loaded:
            dialogSeam().messageBox(this, QStringLiteral("File Loaded!"),
                                    QStringLiteral("Message"));
            break;
        case ImportResult::Status::OpenFailed:
            dialogSeam().messageBox(this, QStringLiteral("File does not exist."),
                                    QStringLiteral("Message"));
            break;
        case ImportResult::Status::Error:
            dialogSeam().errorBox(this, result.message);
            break;
        case ImportResult::Status::TooMuchData:
            dialogSeam().messageBox(this, result.message, QStringLiteral("Message"));
            break;
    }
}

void TfrmMain::Button4Click() {
    FileDialogRequest request;
    request.title = QStringLiteral("Save graph to bitmap file");
    request.directory = QDir::currentPath();
    request.filters = {QStringLiteral("Bitmap file (.bmp) (*.bmp)")};
    request.selectedFilter = 0;
    request.defaultSuffix = QStringLiteral("bmp");
    QString file;
    if (!dialogSeam().getSaveFileName(this, request, file)) return;
    const QString error = chart::saveToBitmapFile(*Chart1, file);
    if (!error.isEmpty()) dialogSeam().errorBox(this, error);
}

void TfrmMain::Button5Click() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!dialogSeam().printDialog(this, *printer_)) return;
    QString error;
    {
        // The wait cursor stays up until the job is handed over or has failed.
        struct WaitCursor {
            WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
            ~WaitCursor() { QApplication::restoreOverrideCursor(); }
        } waitCursor;
        error = chart::printGraph(*Chart1, *printer_);
    }
    if (!error.isEmpty()) dialogSeam().errorBox(this, error);
}

void TfrmMain::Chart1MouseMove(Qt::KeyboardModifiers, int x, int y) {
    // Only movements over the plot area update the readout; it then shows the axis
    // values where the pointer is now.
    if (!Chart1->layout().plot.contains(x, y)) return;
    const chart::ChartWidget::CursorValues values = Chart1->cursorValues();
    setLabelText(Label26,
                 QStringLiteral("Value: ") + Chart1->labelValue(chart::AxisId::Left, values.y));
    setLabelText(Label27,
                 QStringLiteral("Time: ") + Chart1->labelValue(chart::AxisId::Bottom, values.x));
}

// [SECTION] Information panel

void TfrmMain::showPanel(const PanelUpdate& update) {
    if (update.modelText) setLabelText(Label13, *update.modelText);
    if (update.countersVisible) {
        for (QLabel* label : {Label4, Label5, Label8, Label9, Label21, Label22, Label23, Label24})
            label->setVisible(*update.countersVisible);
    }
    if (update.hobbsStart) setLabelText(Label21, *update.hobbsStart);
    if (update.hobbsStop) setLabelText(Label22, *update.hobbsStop);
    if (update.maintenanceStart) setLabelText(Label23, *update.maintenanceStart);
    if (update.maintenanceStop) setLabelText(Label24, *update.maintenanceStop);
}

}  // namespace zp
