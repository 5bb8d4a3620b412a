// The main window: tool bar, information panel, report and load buttons, Chart1 with
// the 41 channel series, and the menu. It owns the settings record and is the sink that
// the log import writes to.
#pragma once

#include <QMainWindow>
#include <memory>

#include "import/log_import.h"
#include "settings/settings_record.h"

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPrinter;
class QPushButton;
class QStatusBar;
class QToolButton;

namespace zp {

namespace chart {
class ChartWidget;
}
class SettingsFileIo;
class TfrmAbout;
class TfrmUnitSettings;

class TfrmMain : public QMainWindow {
    Q_OBJECT
  public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The About window and the Units dialog that the tool bar and the menu show. The
    // Units dialog's combo boxes mirror the unit selectors of the settings record, and
    // its OK button saves the settings.
    void setAboutWindow(TfrmAbout* about) { about_ = about; }
    void setUnitsDialog(TfrmUnitSettings* dialog);

    // The settings record: fourteen unit selectors and 41 active flags (all zero until
    // the settings are loaded).
    const SettingsRecord& settingsRecord() const { return settings_; }
    // The file operations of SaveSettings (tests count or break them).
    void setSettingsIo(SettingsFileIo* io) { settingsIo_ = io; }

    // Reads Settings.bin and applies it; without a readable file, resets to the defaults.
    void LoadSettings();
    // Copies the combo boxes and the series' active flags into the record, then writes it.
    void SaveSettings();
    // Sets the combo boxes and the series' active flags from the record.
    void ApplySettings();
    // Fourteen unit codes 0 and every series active, applied and written.
    void ResetSettings();

    // Shows what a load changed on the information panel; labels size to their text.
    void showPanel(const PanelUpdate& update);

    // How loads read logs: the machine's own budget and regional settings unless set.
    void setImportOptions(const ImportOptions& options) { importOptions_ = options; }

    // Controls under their form names.
    QWidget* Client;  // the client area below the menu bar
    QFrame* Bevel1;
    QWidget* Panel1;
    QToolButton* SpeedButton1;
    QFrame* Bevel3;
    QToolButton* SpeedButton3;
    QFrame* Bevel4;
    QToolButton* SpeedButton2;
    QLabel* Label26;
    QLabel* Label27;
    QFrame* Bevel2;
    QWidget* Panel2;
    QGroupBox* GroupBox1;
    QLabel* Label1;
    QLabel* Label13;
    QLabel* Label4;
    QLabel* Label21;
    QLabel* Label5;
    QLabel* Label22;
    QLabel* Label8;
    QLabel* Label23;
    QLabel* Label9;
    QLabel* Label24;
    QGroupBox* GroupBox3;
    QPushButton* Button4;
    QPushButton* Button5;
    QPushButton* Button6;
    QLabel* Label30;
    QLabel* Label29;
    QLabel* Label28;
    chart::ChartWidget* Chart1;
    QStatusBar* StatusBar1;
    QMenu* File1;
    QAction* exit1;
    QMenu* Settings1;
    QAction* UnitSetup1;
    QMenu* Help1;
    QAction* About1;

  public slots:
    void SpeedButton1Click();  // Exit Program: save, then end the program
    void exit1Click();         // File > Exit
    void SpeedButton3Click();  // Settings: the Units dialog, modal
    void UnitSetup1Click();    // Settings > Units
    void SpeedButton2Click();  // Help: the About window, modal
    void About1Click();        // Help > About
    void FormShow();           // first showing: load the settings
    bool FormCloseQuery();     // close requested: save; the close is allowed
    void Button6Click();       // Load Data File
    void Button4Click();       // Save Graph To Bitmap File
    void Button5Click();       // Print Graph
    void Chart1MouseMove(Qt::KeyboardModifiers modifiers, int x, int y);

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildToolBar();
    void buildInformationPanel();
    void buildMenu();
    void layoutClient();
    void captureSettings();

    SettingsRecord settings_{};
    SettingsFileIo* settingsIo_ = nullptr;
    TfrmAbout* about_ = nullptr;
    TfrmUnitSettings* units_ = nullptr;
    bool shown_ = false;
    ImportOptions importOptions_ = ImportOptions::forThisMachine();
    // The printer of Print Graph, kept with the choices of its setup dialog for the
    // whole run.
    std::unique_ptr<QPrinter> printer_;
};

}  // namespace zp
