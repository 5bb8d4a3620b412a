// The way back from a display unit to the unit the instruments record in: every
// conversion and code, forth and back, lands on the recorded value.
#include <QtTest>
#include <cmath>

#include "channels/conversions.h"

using zp::ConversionFn;

Q_DECLARE_METATYPE(ConversionFn)

class TestInverseConversions : public QObject {
    Q_OBJECT
  private slots:
    void roundTrip_data() {
        QTest::addColumn<ConversionFn>("fn");
        QTest::addColumn<int>("code");
        struct Row {
            const char* name;
            ConversionFn fn;
            int code;
        };
        const Row rows[] = {
            {"temperature F", zp::convertTemperature, 1},
            {"pressure bar", zp::convertPressure, 1},
            {"analog F", zp::convertAnalog, 1},
            {"analog bar", zp::convertAnalog, 3},
            {"analog gallons", zp::convertAnalog, 7},
            {"analog volts", zp::convertAnalog, 5},
            {"altitude m", zp::convertAltitude, 1},
            {"map inHg", zp::convertMap, 1},
            {"fuel flow gph", zp::convertFuelFlow, 1},
            {"fuel level gal", zp::convertFuelLevel, 1},
            {"airspeed km/h", zp::convertAirspeed, 1},
            {"airspeed kt", zp::convertAirspeed, 2},
            {"vsi m/s", zp::convertVsi, 1},
            {"recorded", zp::convertVsi, 0},
        };
        for (const Row& r : rows) QTest::newRow(r.name) << r.fn << r.code;
    }
    void roundTrip() {
        QFETCH(ConversionFn, fn);
        QFETCH(int, code);
        for (const float recorded : {-40.0f, 0.0f, 1.5f, 37.25f, 1013.0f, 12500.0f}) {
            const float shown = fn(recorded, static_cast<std::uint8_t>(code));
            const double back = zp::toRecordedUnit(fn, shown, static_cast<std::uint8_t>(code));
            // Within the float rounding of the shown value.
            QVERIFY2(
                std::abs(back - recorded) <= 1e-6 * std::max(1.0f, std::abs(recorded)) * 4,
                qPrintable(QStringLiteral("%1 -> %2 -> %3").arg(recorded).arg(shown).arg(back)));
        }
    }

    void unknownCodeAndChannelsAsRecorded() {
        QCOMPARE(zp::toRecordedUnit(zp::convertAirspeed, 55.5, 9), 55.5);
        QCOMPARE(zp::toRecordedUnit(nullptr, 55.5, 1), 55.5);
        QVERIFY(!zp::channelConversion(0).convert);  // Volts
        QCOMPARE(zp::channelConversion(0).selector, -1);
    }
};

QTEST_MAIN(TestInverseConversions)
#include "test_inverse_conversions.moc"
