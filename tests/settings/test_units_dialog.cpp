// The Units dialog: its rows, tab order and the difference between OK and the close box.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "settings/units_dialog.h"

using namespace zp;

class TestUnitsDialog : public QObject {
    Q_OBJECT

  private slots:
    void rows_data();
    void rows();
    void tabOrder_okBeforeVsiAndQnh();
    void setSelection_beyondItemsLeavesNone_data();
    void setSelection_beyondItemsLeavesNone();
    void okButton_savesThenCloses();
    void closeBox_keepsSelectionWithoutSaving();
};

void TestUnitsDialog::rows_data() {
    QTest::addColumn<int>("selector");
    QTest::addColumn<QString>("combo");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("top");
    QTest::addColumn<QStringList>("items");
    const QStringList analog = {"Celsius", "Fahrenheit", "psi",    "Bar",
                                "A",       "Volts",      "Liters", "US Gallons"};
    QTest::newRow("MAP") << int(MapUnit) << "ComboBox1"
                         << "Label1"
                         << "MAP:" << 16 << QStringList{"Millibar", "\"Hg"};
    QTest::newRow("Analog 1") << int(Analog1Unit) << "ComboBox2"
                              << "Label2"
                              << "Analog 1:" << 48 << analog;
    QTest::newRow("Analog 2") << int(Analog2Unit) << "ComboBox3"
                              << "Label3"
                              << "Analog 2:" << 80 << analog;
    QTest::newRow("Analog 3") << int(Analog3Unit) << "ComboBox10"
                              << "Label10"
                              << "Analog 3:" << 112 << analog;
    QTest::newRow("Analog 4") << int(Analog4Unit) << "ComboBox11"
                              << "Label11"
                              << "Analog 4:" << 144 << analog;
    QTest::newRow("Thermocouple") << int(ThermocoupleUnit) << "ComboBox9"
                                  << "Label9"
                                  << "Thermocouple:" << 176 << QStringList{"Celsius", "Fahrenheit"};
    QTest::newRow("OAT") << int(OatUnit) << "ComboBox4"
                         << "Label4"
                         << "OAT:" << 208 << QStringList{"Celsius", "Fahrenheit"};
    QTest::newRow("Fuel Flow") << int(FuelFlowUnit) << "ComboBox5"
                               << "Label5"
                               << "Fuel Flow:" << 240
                               << QStringList{"Liters per hour", "US Gallons per hour"};
    QTest::newRow("Fuel Level") << int(FuelLevelUnit) << "ComboBox6"
                                << "Label6"
                                << "Fuel Level:" << 272 << QStringList{"Liters", "US Gallons"};
    QTest::newRow("Fuel Pressure") << int(FuelPressureUnit) << "ComboBox12"
                                   << "Label13"
                                   << "Fuel Pressure:" << 304 << QStringList{"psi", "Bar"};
    QTest::newRow("Airspeed") << int(AirspeedUnit) << "ComboBox7"
                              << "Label7"
                              << "Airspeed:" << 336
                              << QStringList{"Miles per hour", "Kilometers per hour",
                                             "Nautical miles per hour"};
    QTest::newRow("Altitude") << int(AltitudeUnit) << "ComboBox8"
                              << "Label8"
                              << "Altitude:" << 368 << QStringList{"Feet", "Meters"};
    QTest::newRow("QNH") << int(QnhUnit) << "ComboBox14"
                         << "Label15"
                         << "QNH:" << 400 << QStringList{"Millibar", "\"Hg"};
    QTest::newRow("VSI") << int(VsiUnit) << "ComboBox13"
                         << "Label14"
                         << "VSI:" << 432 << QStringList{"ft/min", "m/s"};
}

void TestUnitsDialog::rows() {
    QFETCH(int, selector);
    QFETCH(QString, combo);
    QFETCH(QString, label);
    QFETCH(QString, caption);
    QFETCH(int, top);
    QFETCH(QStringList, items);
    UnitsDialog dialog;
    QComboBox* box = dialog.comboOf(static_cast<UnitSelector>(selector));
    QCOMPARE(box->objectName(), combo);
    QCOMPARE(box->geometry(), QRect(120, top, 145, 21));
    QStringList texts;
    for (int i = 0; i < box->count(); ++i) texts << box->itemText(i);
    QCOMPARE(texts, items);

    auto* text = dialog.findChild<QLabel*>(label);
    QVERIFY(text);
    QCOMPARE(text->text(), caption);
    QCOMPARE(text->pos(), QPoint(16, top + 8));
}

void TestUnitsDialog::tabOrder_okBeforeVsiAndQnh() {
    UnitsDialog dialog;
    // By object name, as the dialog's users know the widgets.
    QList<QWidget*> expected;
    for (const char* name : {"ComboBox1", "ComboBox2", "ComboBox3", "ComboBox10", "ComboBox11",
                             "ComboBox9", "ComboBox4", "ComboBox5", "ComboBox6", "ComboBox12",
                             "ComboBox7", "ComboBox8", "Button1", "ComboBox13", "ComboBox14"}) {
        expected << dialog.findChild<QWidget*>(QLatin1String(name));
        QVERIFY2(expected.back(), name);
    }
    // The next widget that the Tab key reaches.
    const auto nextTabStop = [](QWidget* widget) {
        do widget = widget->nextInFocusChain();
        while (!(widget->focusPolicy() & Qt::TabFocus));
        return widget;
    };
    for (int i = 1; i < expected.size(); ++i) QCOMPARE(nextTabStop(expected[i - 1]), expected[i]);
}

void TestUnitsDialog::setSelection_beyondItemsLeavesNone_data() {
    QTest::addColumn<int>("selector");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("index");
    QTest::newRow("MAP in range") << int(MapUnit) << 1 << 1;
    QTest::newRow("MAP 5") << int(MapUnit) << 5 << -1;
    QTest::newRow("MAP 255") << int(MapUnit) << 255 << -1;
    QTest::newRow("Analog 7") << int(Analog3Unit) << 7 << 7;
    QTest::newRow("Analog 8") << int(Analog3Unit) << 8 << -1;
    QTest::newRow("Airspeed 2") << int(AirspeedUnit) << 2 << 2;
    QTest::newRow("Airspeed 3") << int(AirspeedUnit) << 3 << -1;
}

void TestUnitsDialog::setSelection_beyondItemsLeavesNone() {
    QFETCH(int, selector);
    QFETCH(int, code);
    QFETCH(int, index);
    UnitsDialog dialog;
    const auto unit = static_cast<UnitSelector>(selector);
    dialog.setSelection(unit, 0);
    dialog.setSelection(unit, code);
    QCOMPARE(dialog.selection(unit), index);
    // Without a selection nothing is shown, not even the placeholder.
    if (index < 0) QCOMPARE(dialog.comboOf(unit)->currentText(), QString());
}

void TestUnitsDialog::okButton_savesThenCloses() {
    UnitsDialog dialog;
    QSignalSpy saves(&dialog, &UnitsDialog::saveRequested);
    bool visibleWhenSaved = false;
    connect(&dialog, &UnitsDialog::saveRequested, [&] { visibleWhenSaved = dialog.isVisible(); });
    dialog.show();
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("Button1"));
    QVERIFY(ok);
    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(saves.count(), 1);
    QVERIFY(visibleWhenSaved);
    QVERIFY(!dialog.isVisible());
}

void TestUnitsDialog::closeBox_keepsSelectionWithoutSaving() {
    UnitsDialog dialog;
    QSignalSpy saves(&dialog, &UnitsDialog::saveRequested);
    dialog.setSelection(AltitudeUnit, 0);
    dialog.show();
    dialog.comboOf(AltitudeUnit)->setCurrentIndex(1);
    dialog.close();
    QCOMPARE(saves.count(), 0);
    dialog.show();
    QCOMPARE(dialog.selection(AltitudeUnit), 1);
}

QTEST_MAIN(TestUnitsDialog)
#include "test_units_dialog.moc"
