// The Units dialog: fourteen drop-down lists, one per unit selector, whose item index is
// the selector's code. One instance lives for the whole run, so it keeps the user's last
// choices between showings; only OK (or an exit of the program) saves them.
#pragma once

#include <QDialog>
#include <array>

#include "channels/unit_selectors.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace zp {

struct UnitsDialogRow;

class UnitsDialog : public QDialog {
    Q_OBJECT
  public:
    explicit UnitsDialog(QWidget* parent = nullptr);

    // The combo box that edits `selector`.
    QComboBox* comboOf(UnitSelector selector) const { return combos_[selector]; }

    // The item index of the selector's combo box (-1 when nothing is selected).
    int selection(UnitSelector selector) const;
    // Selects item `code`; a code beyond the items leaves the combo box without a selection.
    void setSelection(UnitSelector selector, int code);

  public slots:
    // OK: asks the main window to save the settings, then closes the dialog.
    void saveAndClose();

  signals:
    // Emitted by OK; the main window's saveSettings is connected to it.
    void saveRequested();

  private:
    void addRow(const UnitsDialogRow& row);
    void addNote();
    void addOkButton();
    void orderTabStops();

    // The label and the combo box of each unit selector's row.
    std::array<QLabel*, kUnitSelectorCount> rowLabels_{};
    std::array<QComboBox*, kUnitSelectorCount> combos_{};
    QLabel* noteLabel_ = nullptr;  // units changed: reload the data file
    QPushButton* okButton_ = nullptr;
};

}  // namespace zp
