#include "settings/units_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <initializer_list>

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

using Items = std::initializer_list<const char*>;
const Items kPressureItems = {"Millibar", "\"Hg"};
const Items kAnalogItems = {"Celsius", "Fahrenheit", "psi",    "Bar",
                            "A",       "Volts",      "Liters", "US Gallons"};
const Items kTemperatureItems = {"Celsius", "Fahrenheit"};

// One row of the dialog: a caption label and the combo box of one unit selector.
struct Row {
    int comboTop;
    const char* labelName;
    const char* labelText;
    const char* comboName;
    const char* designText;  // shown until the settings select an item
    Items items;
    UnitSelector selector;
};

// clang-format off
//  top  label      caption           combo         design text         items                       selector
const Row kRows[] = {
    {16,  "Label1",  "MAP:",           "ComboBox1",  "Millibars",        kPressureItems,             MapUnit},
    {48,  "Label2",  "Analog 1:",      "ComboBox2",  "Bar",              kAnalogItems,               Analog1Unit},
    {80,  "Label3",  "Analog 2:",      "ComboBox3",  "Celsius",          kAnalogItems,               Analog2Unit},
    {112, "Label10", "Analog 3:",      "ComboBox10", "Celsius",          kAnalogItems,               Analog3Unit},
    {144, "Label11", "Analog 4:",      "ComboBox11", "Celsius",          kAnalogItems,               Analog4Unit},
    {176, "Label9",  "Thermocouple:",  "ComboBox9",  "Celsius",          kTemperatureItems,          ThermocoupleUnit},
    {208, "Label4",  "OAT:",           "ComboBox4",  "Celsius",          kTemperatureItems,          OatUnit},
    {240, "Label5",  "Fuel Flow:",     "ComboBox5",  "Liters per hour",  {"Liters per hour", "US Gallons per hour"}, FuelFlowUnit},
    {272, "Label6",  "Fuel Level:",    "ComboBox6",  "Liters",           {"Liters", "US Gallons"},   FuelLevelUnit},
    {304, "Label13", "Fuel Pressure:", "ComboBox12", "psi",              {"psi", "Bar"},             FuelPressureUnit},
    {336, "Label7",  "Airspeed:",      "ComboBox7",  "Miles per hour",   {"Miles per hour", "Kilometers per hour", "Nautical miles per hour"}, AirspeedUnit},
    {368, "Label8",  "Altitude:",      "ComboBox8",  "Feet",             {"Feet", "Meters"},         AltitudeUnit},
    {400, "Label15", "QNH:",           "ComboBox14", "Millibar",         kPressureItems,             QnhUnit},
    {432, "Label14", "VSI:",           "ComboBox13", "ft/min",           {"ft/min", "m/s"},          VsiUnit},
};
// clang-format on

constexpr int kLabelLeft = 16;
constexpr int kLabelDrop = 8;  // a label stands 8 pixels lower than its combo box
constexpr int kComboLeft = 120;
constexpr int kComboWidth = 145;
constexpr int kComboHeight = 21;

}  // namespace

TfrmUnitSettings::TfrmUnitSettings(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmUnitSettings"));
    setWindowTitle(QStringLiteral("Units"));
    setFont(dialogFont());
    setFixedSize(kClientWidth, kClientHeight);
    setModal(true);

    QLabel** labels[] = {&Label1, &Label2, &Label3,  &Label10, &Label11, &Label9,  &Label4,
                         &Label5, &Label6, &Label13, &Label7,  &Label8,  &Label15, &Label14};
    QComboBox** combos[] = {&ComboBox1, &ComboBox2, &ComboBox3,  &ComboBox10, &ComboBox11,
                            &ComboBox9, &ComboBox4, &ComboBox5,  &ComboBox6,  &ComboBox12,
                            &ComboBox7, &ComboBox8, &ComboBox14, &ComboBox13};
    int index = 0;
    for (const Row& row : kRows) {
        QLabel* label = new QLabel(QString::fromLatin1(row.labelText), this);
        label->setObjectName(QLatin1String(row.labelName));
        label->move(kLabelLeft, row.comboTop + kLabelDrop);
        label->adjustSize();
        *labels[index] = label;

        QComboBox* combo = new QComboBox(this);
        combo->setObjectName(QLatin1String(row.comboName));
        for (const char* item : row.items) combo->addItem(QString::fromLatin1(item));
        combo->setPlaceholderText(QString::fromLatin1(row.designText));
        combo->setCurrentIndex(-1);
        combo->setGeometry(kComboLeft, row.comboTop, kComboWidth, kComboHeight);
        *combos[index] = combo;
        combos_[row.selector] = combo;
        ++index;
    }

    Label12 = new QLabel(
        QStringLiteral("Note: Data file needs to be reloaded if units have been changed"), this);
    Label12->setObjectName(QStringLiteral("Label12"));
    QFont bold = dialogFont();
    bold.setBold(true);
    Label12->setFont(bold);
    Label12->setWordWrap(true);
    Label12->setGeometry(32, 472, 223, 26);

    Button1 = new QPushButton(QStringLiteral("&OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(104, 504, 75, 25);
    connect(Button1, &QPushButton::clicked, this, &TfrmUnitSettings::Button1Click);

    // Tab order: the twelve rows down to Altitude, OK, then VSI and QNH.
    QWidget* order[] = {ComboBox1, ComboBox2, ComboBox3, ComboBox10, ComboBox11,
                        ComboBox9, ComboBox4, ComboBox5, ComboBox6,  ComboBox12,
                        ComboBox7, ComboBox8, Button1,   ComboBox13, ComboBox14};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
    // Not moved anywhere: a dialog without a parent is placed at the centre of the screen.
}

int TfrmUnitSettings::selection(UnitSelector selector) const {
    return combos_[selector]->currentIndex();
}

void TfrmUnitSettings::setSelection(UnitSelector selector, int code) {
    QComboBox* combo = combos_[selector];
    // Once the settings have chosen, an empty selection shows nothing, not the design text.
    combo->setPlaceholderText(QString());
    combo->setCurrentIndex(code >= 0 && code < combo->count() ? code : -1);
}

void TfrmUnitSettings::Button1Click() {
    emit saveRequested();
    close();
}

}  // namespace zp
