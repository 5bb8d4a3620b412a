// The engine profile in the window: Settings > Engine (the profile's dialog, its file
// kept per user beside the limits), the derived series added to the chart after each
// load, Analysis > Derived Channels and Analysis > Lean Test.
#pragma once

#include <QDialog>
#include <QObject>
#include <QWidget>
#include <optional>

#include "analysis/derived_channels.h"
#include "analysis/engine_profile.h"
#include "analysis/lean_test.h"
#include "loading/loaded_log.h"

class QAction;
class QComboBox;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QSpinBox;

namespace zp {

namespace chart {
class ChartWidget;
}
class Dialogs;

// The unit of series `index` of a chart (a channel's or a derived series') under `units`.
QString seriesUnitText(const chart::Chart& chart, std::size_t index, const UnitSelectors& units);

// The dialog of Settings > Engine: the profile's name, its cylinders, each cylinder's
// EGT and CHT thermocouple and the fuel flow channel.
class EngineDialog : public QDialog {
    Q_OBJECT
  public:
    explicit EngineDialog(QWidget* parent = nullptr);
    void load(const std::optional<analysis::EngineProfile>& profile);
    analysis::EngineProfile entered() const;
    QComboBox& egtBox(int cylinder) const { return *egt_[cylinder]; }
    QComboBox& chtBox(int cylinder) const { return *cht_[cylinder]; }
    QSpinBox& cylindersBox() const { return *cylinders_; }
    QLineEdit& nameEdit() const { return *name_; }

  private:
    void showCylinders();

    QLineEdit* name_;
    QSpinBox* cylinders_;
    QComboBox* egt_[analysis::kMaxCylinders];
    QComboBox* cht_[analysis::kMaxCylinders];
    QWidget* rows_[analysis::kMaxCylinders];
    QComboBox* fuelFlow_;
};

// The window of Analysis > Lean Test: the result as text and the chart of EGT against
// fuel flow per cylinder.
class LeanTestWindow : public QWidget {
    Q_OBJECT
  public:
    explicit LeanTestWindow(QWidget* parent = nullptr);
    void show(const analysis::LeanTestResult& result, const QString& rangeText,
              const QString& flowUnit, const QString& temperatureUnit);
    QString text() const;
    chart::ChartWidget& chart() const { return *chart_; }

  private:
    QPlainTextEdit* text_;
    chart::ChartWidget* chart_;
};

class EngineTools : public QObject {
    Q_OBJECT
  public:
    // `profilePath`: the per-user profile file (empty: none is kept).
    EngineTools(chart::ChartWidget& chart, Dialogs& dialogs, const LoadedLog& log,
                QString profilePath, QWidget* window);

    // Reads the profile file; an error in it is reported with its line.
    void readProfile();
    const std::optional<analysis::EngineProfile>& profile() const { return profile_; }
    // Sets (and keeps) the profile, then derives its series again.
    void setProfile(const std::optional<analysis::EngineProfile>& profile);

    void addSettingsEntries(QMenu& menu);
    void addAnalysisEntries(QMenu& menu);
    // After each load: the derived series of the profile, those switched on before
    // staying on.
    void loadEnded();
    void runLeanTest();

    EngineDialog& dialog() { return *dialog_; }
    LeanTestWindow& leanTestWindow() { return *lean_; }
    QAction& derivedAction() { return *derivedAction_; }
    // The cylinder whose CHT is the hottest at `x` (the first of equal ones); 0: none.
    int hottestCylinderAt(double x) const;

  signals:
    // The derived series were added or taken off (limits apply to them again).
    void derivedSeriesChanged();

  private:
    void derive();
    void updateDerivedAction();

    chart::ChartWidget& chart_;
    Dialogs& dialogs_;
    const LoadedLog& log_;
    QString path_;
    QWidget* window_;
    std::optional<analysis::EngineProfile> profile_;
    EngineDialog* dialog_;
    LeanTestWindow* lean_;
    QAction* derivedAction_ = nullptr;
};

}  // namespace zp
