// The main window: tool bar, information panel, report and load buttons, the chart with
// the 41 channel series, and the menu. It owns the settings record, loads logs into the
// chart (from the load button, a file dropped on it, the recent files or the command
// line) and shows what each load returns. Its widgets keep the object names that tests and
// accessibility tools know them by ("Button6", "Label13", "Chart1" ...).
#pragma once

#include <QMainWindow>
#include <QPageLayout>
#include <memory>

#include "loading/loaded_log.h"
#include "settings/recent_files.h"
#include "settings/settings_record.h"

class QAction;
class QDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPrinter;
class QPushButton;
class QStatusBar;
class QDragEnterEvent;
class QDropEvent;
class QToolButton;

namespace zp {

namespace chart {
class ChartWidget;
enum class ExportFormat;
}  // namespace chart
namespace library {
struct Flight;
}
class AboutWindow;
class AnalysisTools;
class EngineTools;
class FlightLibraryWindow;
class OverlayTools;
class Dialogs;
class SettingsStore;
class UnitsDialog;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    // Every dialog and message box goes through `dialogs`; Settings.bin is read and
    // written through `settings`. Both must outlive the window.
    MainWindow(Dialogs& dialogs, SettingsStore& settings, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The About window and the Units dialog that the tool bar and the menu show. The
    // Units dialog's combo boxes mirror the unit selectors of the settings record, and
    // its OK button saves the settings.
    void setAboutWindow(AboutWindow* about) { about_ = about; }
    void setUnitsDialog(UnitsDialog* dialog);

    // The chart with the 41 channel series.
    chart::ChartWidget& chart() const { return *chart_; }

    // The settings record: fourteen unit selectors and 41 active flags (all zero until
    // the settings are loaded).
    const SettingsRecord& settingsRecord() const { return settings_; }

    // Reads Settings.bin and applies it; without a readable file, resets to the defaults.
    void loadSettings();
    // Copies the combo boxes and the series' active flags into the record, then writes it.
    void saveSettings();
    // Sets the combo boxes and the series' active flags from the record.
    void applySettings();
    // Fourteen unit codes 0 and every series active, applied and written.
    void resetSettings();

    // Loads `path` as the load button loads a chosen file, without its dialog: the
    // chart is prepared, the file's folder becomes the current directory, and the
    // result is reported in the same message boxes.
    void openLogFile(const QString& path);
    // The logs loaded last, newest first (File > Recent Files).
    const RecentFiles& recentFiles() const { return recent_; }

    // Shows the information panel's texts; labels size to their text.
    void showPanel(const PanelTexts& texts);

    // The log loaded last, as the window shows it.
    const LoadedLog& loadedLog() const { return loaded_; }

    // The Analysis menu's windows, limits and measurement cursor readout.
    AnalysisTools& analysis() const { return *analysis_; }
    // The engine profile, its derived series and the lean test.
    EngineTools& engine() const { return *engine_; }

    // File > Overlay Log: a second log laid over the loaded one.
    OverlayTools& overlay() const { return *overlay_; }

    // How loads read logs: the machine's own budget and regional settings unless set.
    void setImportOptions(const ImportOptions& options) { importOptions_ = options; }

    // The database of the flight library (empty, the default: the library's own file in
    // the user's data folder).
    void setLibraryDatabase(const QString& path) { libraryDatabase_ = path; }
    // Indexes `folder` into the flight library and shows its window.
    void openLibrary(const QString& folder);
    // The Flight Library window; null before a folder was opened.
    FlightLibraryWindow* libraryWindow() const { return library_; }
    // The library folders opened last, newest first (File > Recent Folders).
    const RecentFiles& recentFolders() const { return recentFolders_; }
    // Opens the log of a flight and shows the flight's time on the chart.
    void showFlight(const QString& path, const library::Flight& flight);

  public slots:
    void exitProgram();        // Exit Program and File > Exit: save, then end the program
    void showUnitsDialog();    // Settings and Settings > Units: the Units dialog, modal
    void showAboutWindow();    // Help and Help > About: the About window, modal
    bool saveBeforeClose();    // close requested: save; the close is allowed
    void loadLogFile();        // Load Data File
    void saveGraphToBitmap();  // Save Graph To Bitmap File
    void printGraph();         // Print Graph
    void exportGraph();        // File > Export Graph: PNG, SVG or PDF by type or suffix
    void copyGraph();          // Edit > Copy Graph: the PNG export's picture to the clipboard
    // The value and time readout under the pointer, for a mouse move over the chart.
    void updateReadout(Qt::KeyboardModifiers modifiers, int x, int y);

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void buildToolBar();
    void buildInformationPanel();
    void buildMenu();
    void layoutClient();
    // The smallest client area that cuts off no control of the tool bar and the panel.
    QSize minimumClientSize() const;
    void captureSettings();
    void buildRecentMenu();
    void buildRecentFoldersMenu();
    // File > Open Library Folder: a folder dialog, then openLibrary().
    void openLibraryFolder();
    // File > Export Visible Data: the readings in the visible time range as CSV.
    void exportVisibleData();
    // Help > Keyboard and Mouse: the window that lists every mouse action and key.
    void showKeyboardAndMouse();
    void openRecentFile(const QString& path);
    // The load of a file chosen or named: current directory, load, panel, message.
    void loadChosenFile(const QString& path);
    // Before the first load the chart's values are taken to be in the settings' units.
    void followSettingsUnits();
    // Writes the chart to `file` in `format`; an empty text on success, else the report.
    QString writeExport(const QString& file, chart::ExportFormat format);

    Dialogs& dialogs_;
    SettingsStore& store_;
    SettingsRecord settings_{};
    ImportOptions importOptions_ = ImportOptions::forThisMachine();
    RecentFiles recent_;
    RecentFiles recentFolders_;
    QString libraryDatabase_;
    FlightLibraryWindow* library_ = nullptr;
    QMenu* recentFoldersMenu_ = nullptr;
    // The log loaded last: its file, units, report and panel texts.
    LoadedLog loaded_;
    QDialog* keysWindow_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    AboutWindow* about_ = nullptr;
    UnitsDialog* units_ = nullptr;
    bool shown_ = false;
    // The printer of Print Graph, kept with the choices of its setup dialog for the
    // whole run.
    std::unique_ptr<QPrinter> printer_;
    // The choices of the last Export Graph: its file type and the PDF page's orientation.
    int exportFilter_ = 0;
    QPageLayout::Orientation pdfOrientation_ = QPageLayout::Landscape;

    QWidget* client_;  // the client area below the menu bar
    QFrame* menuBevel_;
    QWidget* toolBar_;
    QToolButton* exitToolButton_;
    QFrame* settingsSeparator_;
    QToolButton* settingsToolButton_;
    QFrame* helpSeparator_;
    QToolButton* helpToolButton_;
    QLabel* valueLabel_;
    QLabel* timeLabel_;
    QFrame* panelBevel_;
    QWidget* controlPanel_;
    QGroupBox* informationGroup_;
    QLabel* modelCaption_;
    QLabel* modelLabel_;
    QLabel* hobbsStartCaption_;
    QLabel* hobbsStartLabel_;
    QLabel* hobbsStopCaption_;
    QLabel* hobbsStopLabel_;
    QLabel* maintenanceStartCaption_;
    QLabel* maintenanceStartLabel_;
    QLabel* maintenanceStopCaption_;
    QLabel* maintenanceStopLabel_;
    QGroupBox* reportsGroup_;
    QPushButton* saveBitmapButton_;
    QPushButton* printButton_;
    QPushButton* loadButton_;
    QLabel* zoomInHint_;
    QLabel* scrollHint_;
    QLabel* zoomOutHint_;
    chart::ChartWidget* chart_;
    QStatusBar* statusBar_;
    QMenu* fileMenu_;
    QAction* exportGraphAction_;
    QAction* exitAction_;
    QMenu* editMenu_;
    QAction* copyGraphAction_;
    QMenu* settingsMenu_;
    QAction* unitsAction_;
    QMenu* analysisMenu_;
    AnalysisTools* analysis_;
    OverlayTools* overlay_;
    EngineTools* engine_;
    QMenu* helpMenu_;
    QAction* aboutAction_;
};

}  // namespace zp
