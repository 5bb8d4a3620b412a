// The unit text of each channel under the unit selectors: which selector a channel
// follows (the CJC follows OAT, the QNH its own), every choice's text, codes past the
// choices, and the channels whose unit no selector changes.
#include <QtTest>

#include "channels/channel_units.h"

using namespace zp;

namespace {
UnitSelectors allCodes(std::uint8_t code) {
    UnitSelectors units;
    units.fill(code);
    return units;
}
}  // namespace

class TestChannelUnits : public QObject {
    Q_OBJECT

  private slots:
    void unitText_bySelectorCode_data() {
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("selector");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("expected");
        // Every other selector holds a code that would give another text if followed.
        QTest::newRow("TC1 Celsius") << int(TC1Series) << int(ThermocoupleUnit) << 0 << "°C";
        QTest::newRow("TC12 Fahrenheit") << int(TC12Series) << int(ThermocoupleUnit) << 1 << "°F";
        QTest::newRow("CJC follows OAT") << int(CJCSeries) << int(OatUnit) << 1 << "°F";
        QTest::newRow("OAT Celsius") << int(OATSeries) << int(OatUnit) << 0 << "°C";
        QTest::newRow("airspeed mph") << int(AirspeedSeries) << int(AirspeedUnit) << 0 << "mph";
        QTest::newRow("airspeed km/h") << int(AirspeedSeries) << int(AirspeedUnit) << 1 << "km/h";
        QTest::newRow("airspeed knots") << int(AirspeedSeries) << int(AirspeedUnit) << 2 << "knots";
        QTest::newRow("airspeed past the choices")
            << int(AirspeedSeries) << int(AirspeedUnit) << 3 << "mph";
        QTest::newRow("MAP inHg") << int(MAPSeries) << int(MapUnit) << 1 << "inHg";
        QTest::newRow("QNH follows its own") << int(QNHSeries) << int(QnhUnit) << 0 << "mbar";
        QTest::newRow("analog 1 psi") << int(Analog1Series) << int(Analog1Unit) << 2 << "psi";
        QTest::newRow("analog 3 bar") << int(Analog3Series) << int(Analog3Unit) << 3 << "bar";
        QTest::newRow("analog 4 gallons")
            << int(Analog4Series) << int(Analog4Unit) << 7 << "US gal";
        QTest::newRow("analog past the choices")
            << int(Analog2Series) << int(Analog2Unit) << 8 << "°C";
        QTest::newRow("fuel flow 2")
            << int(FuelFlow2Series) << int(FuelFlowUnit) << 1 << "US gal/h";
        QTest::newRow("fuel level calc")
            << int(FuelLevelCalcSeries) << int(FuelLevelUnit) << 0 << "L";
        QTest::newRow("fuel pressure bar")
            << int(FuelPressureSeries) << int(FuelPressureUnit) << 1 << "bar";
        QTest::newRow("altitude 1013 metres")
            << int(Altitude1013Series) << int(AltitudeUnit) << 1 << "m";
        QTest::newRow("VSI m/s") << int(VSISeries) << int(VsiUnit) << 1 << "m/s";
        QTest::newRow("TC6 Fahrenheit") << int(TC6Series) << int(ThermocoupleUnit) << 1 << "°F";
        QTest::newRow("MAP mbar") << int(MAPSeries) << int(MapUnit) << 0 << "mbar";
        QTest::newRow("fuel flow 1") << int(FuelFlow1Series) << int(FuelFlowUnit) << 0 << "L/h";
        QTest::newRow("fuel level 1")
            << int(FuelLevel1Series) << int(FuelLevelUnit) << 1 << "US gal";
        QTest::newRow("fuel level 2") << int(FuelLevel2Series) << int(FuelLevelUnit) << 0 << "L";
        QTest::newRow("altitude feet") << int(AltitudeSeries) << int(AltitudeUnit) << 0 << "ft";
        QTest::newRow("altitude past the choices")
            << int(AltitudeSeries) << int(AltitudeUnit) << 255 << "ft";
    }

    void unitText_bySelectorCode() {
        QFETCH(int, channel);
        QFETCH(int, selector);
        QFETCH(int, code);
        QFETCH(QString, expected);
        // The other selectors hold the code that differs most from this one's.
        UnitSelectors units = allCodes(code == 1 ? 0 : 1);
        units[selector] = static_cast<std::uint8_t>(code);
        QCOMPARE(QString::fromUtf8(unitText(static_cast<Channel>(channel), units)), expected);
        QCOMPARE(unitSelectorOf(static_cast<Channel>(channel)),
                 std::optional(UnitSelector(selector)));
    }

    void unitText_recordedChannels_data() {
        QTest::addColumn<int>("channel");
        QTest::addColumn<QString>("expected");
        QTest::newRow("volts") << int(VoltsSeries) << "V";
        QTest::newRow("current") << int(CurrentSeries) << "A";
        QTest::newRow("RPM 2") << int(RPM2Series) << "rpm";
        QTest::newRow("RPM 1 per cent") << int(RPM1PSeries) << "%";
        QTest::newRow("G-force") << int(GForceSeries) << "g";
        QTest::newRow("heading") << int(HeadingSeries) << "°";
        QTest::newRow("yaw") << int(YawSeries) << "°";
    }

    // No selector changes the unit of a channel plotted as recorded.
    void unitText_recordedChannels() {
        QFETCH(int, channel);
        QFETCH(QString, expected);
        const auto c = static_cast<Channel>(channel);
        QVERIFY(!unitSelectorOf(c).has_value());
        for (int code : {0, 1, 2, 7, 255})
            QCOMPARE(QString::fromUtf8(unitText(c, allCodes(std::uint8_t(code)))), expected);
    }

    // Every channel that a selector converts names a unit for every code.
    void unitText_everyConvertedChannelHasAUnit() {
        for (int c = 0; c < kChannelCount; ++c) {
            if (!unitSelectorOf(static_cast<Channel>(c))) continue;
            for (int code : {0, 1, 2, 3, 7, 8, 255})
                QVERIFY2(*unitText(static_cast<Channel>(c), allCodes(std::uint8_t(code))) != '\0',
                         kChannels[c].name);
        }
    }
};

QTEST_APPLESS_MAIN(TestChannelUnits)
#include "test_channel_units.moc"
