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

class TfrmUnitSettings : public QDialog {
    Q_OBJECT
  public:
    explicit TfrmUnitSettings(QWidget* parent = nullptr);

    // The combo box that edits `selector`.
    QComboBox* comboOf(UnitSelector selector) const { return combos_[selector]; }

    // The item index of the selector's combo box (-1 when nothing is selected).
    int selection(UnitSelector selector) const;
    // Selects item `code`; a code beyond the items leaves the combo box without a selection.
    void setSelection(UnitSelector selector, int code);

    // Controls under their form names.
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label10;
    QLabel* Label11;
    QLabel* Label12;
    QLabel* Label13;
    QLabel* Label14;
    QLabel* Label15;
    QComboBox* ComboBox1;
    QComboBox* ComboBox2;
    QComboBox* ComboBox3;
    QComboBox* ComboBox4;
    QComboBox* ComboBox5;
    QComboBox* ComboBox6;
    QComboBox* ComboBox7;
    QComboBox* ComboBox8;
    QComboBox* ComboBox9;
    QComboBox* ComboBox10;
    QComboBox* ComboBox11;
    QComboBox* ComboBox12;
    QComboBox* ComboBox13;
    QComboBox* ComboBox14;
    QPushButton* Button1;

  public slots:
    // OK: asks the main window to save the settings, then closes the dialog.
    void Button1Click();

  signals:
    // Emitted by OK; the main window's SaveSettings is connected to it.
    void saveRequested();

  private:
    std::array<QComboBox*, kUnitSelectorCount> combos_{};
};

}  // namespace zp
