#include "settings/units_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "channels/channel_units.h"

namespace zp {

namespace {

constexpr int kClientWidth = 287;
constexpr int kClientHeight = 547;

// The dialog's font: "MS Sans Serif" 8 points (11 pixels), or a sans face of like size.
QFont dialogFont() {
    QFont font;
    // Arial and its metric twin Liberation Sans stand in where MS Sans Serif is missing.
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

constexpr int kLabelLeft = 16;
constexpr int kLabelDrop = 8;  // a label stands 8 pixels lower than its combo box
constexpr int kComboLeft = 120;
constexpr int kComboWidth = 145;
constexpr int kComboHeight = 21;

}  // namespace

// One row of the dialog: a label and the combo box of one unit selector, whose items
// are the long names of the selector's units. The object names are the ones
// accessibility tools and tests know the widgets by.
struct UnitsDialogRow {
    int comboTop;
    const char* labelName;
    const char* labelText;
    const char* comboName;
    const char* placeholder;  // shown until the settings select an item
    UnitSelector selector;
};

namespace {

// clang-format off
//  top  label      text              combo         placeholder         selector
const UnitsDialogRow kRows[] = {
    {16,  "Label1",  "MAP:",           "ComboBox1",  "Millibars",        MapUnit},
    {48,  "Label2",  "Analog 1:",      "ComboBox2",  "Bar",              Analog1Unit},
    {80,  "Label3",  "Analog 2:",      "ComboBox3",  "Celsius",          Analog2Unit},
    {112, "Label10", "Analog 3:",      "ComboBox10", "Celsius",          Analog3Unit},
    {144, "Label11", "Analog 4:",      "ComboBox11", "Celsius",          Analog4Unit},
    {176, "Label9",  "Thermocouple:",  "ComboBox9",  "Celsius",          ThermocoupleUnit},
    {208, "Label4",  "OAT:",           "ComboBox4",  "Celsius",          OatUnit},
    {240, "Label5",  "Fuel Flow:",     "ComboBox5",  "Liters per hour",  FuelFlowUnit},
    {272, "Label6",  "Fuel Level:",    "ComboBox6",  "Liters",           FuelLevelUnit},
    {304, "Label13", "Fuel Pressure:", "ComboBox12", "psi",              FuelPressureUnit},
    {336, "Label7",  "Airspeed:",      "ComboBox7",  "Miles per hour",   AirspeedUnit},
    {368, "Label8",  "Altitude:",      "ComboBox8",  "Feet",             AltitudeUnit},
    {400, "Label15", "QNH:",           "ComboBox14", "Millibar",         QnhUnit},
    {432, "Label14", "VSI:",           "ComboBox13", "ft/min",           VsiUnit},
};
// clang-format on

}  // namespace

UnitsDialog::UnitsDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmUnitSettings"));
    setWindowTitle(QStringLiteral("Units"));
    setFont(dialogFont());
    setFixedSize(kClientWidth, kClientHeight);
    setModal(true);

    for (const UnitsDialogRow& row : kRows) addRow(row);
    addNote();
    addOkButton();
    orderTabStops();
    // Not moved anywhere: a dialog without a parent is placed at the centre of the screen.
}

void UnitsDialog::addRow(const UnitsDialogRow& row) {
    auto* label = new QLabel(QString::fromLatin1(row.labelText), this);
    label->setObjectName(QLatin1String(row.labelName));
    label->move(kLabelLeft, row.comboTop + kLabelDrop);
    label->adjustSize();
    rowLabels_[row.selector] = label;

    auto* combo = new QComboBox(this);
    combo->setObjectName(QLatin1String(row.comboName));
    for (const DisplayUnit& unit : displayUnits(row.selector))
        combo->addItem(QString::fromUtf8(unit.longName));
    combo->setPlaceholderText(QString::fromLatin1(row.placeholder));
    combo->setCurrentIndex(-1);
    combo->setGeometry(kComboLeft, row.comboTop, kComboWidth, kComboHeight);
    combos_[row.selector] = combo;
}

void UnitsDialog::addNote() {
    noteLabel_ = new QLabel(
        QStringLiteral("Note: Data file needs to be reloaded if units have been changed"), this);
    noteLabel_->setObjectName(QStringLiteral("Label12"));
    QFont bold = dialogFont();
    bold.setBold(true);
    noteLabel_->setFont(bold);
    noteLabel_->setWordWrap(true);
    noteLabel_->setGeometry(32, 472, 223, 26);
}

void UnitsDialog::addOkButton() {
    okButton_ = new QPushButton(QStringLiteral("&OK"), this);
    okButton_->setObjectName(QStringLiteral("Button1"));
    okButton_->setGeometry(104, 504, 75, 25);
    connect(okButton_, &QPushButton::clicked, this, &UnitsDialog::saveAndClose);
}

void UnitsDialog::orderTabStops() {
    // The twelve rows down to Altitude, OK, then VSI and QNH: OK comes before the last
    // two rows because those were added to the dialog after it.
    QWidget* order[] = {combos_[MapUnit],
                        combos_[Analog1Unit],
                        combos_[Analog2Unit],
                        combos_[Analog3Unit],
                        combos_[Analog4Unit],
                        combos_[ThermocoupleUnit],
                        combos_[OatUnit],
                        combos_[FuelFlowUnit],
                        combos_[FuelLevelUnit],
                        combos_[FuelPressureUnit],
                        combos_[AirspeedUnit],
                        combos_[AltitudeUnit],
                        okButton_,
                        combos_[VsiUnit],
                        combos_[QnhUnit]};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

int UnitsDialog::selection(UnitSelector selector) const {
    return combos_[selector]->currentIndex();
}

void UnitsDialog::setSelection(UnitSelector selector, int code) {
    QComboBox* combo = combos_[selector];
    // Once the settings have chosen, an empty selection shows nothing, not the placeholder.
    combo->setPlaceholderText(QString());
    combo->setCurrentIndex(code >= 0 && code < combo->count() ? code : -1);
}

void UnitsDialog::saveAndClose() {
    emit saveRequested();
    close();
}

}  // namespace zp
