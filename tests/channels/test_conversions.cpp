// The conversions of the unit table: the documented results, the codes that leave a
// value untouched (bit for bit), and the extended-precision evaluation.
#include <QtTest>
#include <bit>
#include <cstdint>

#include "channels/channel_units.h"

using namespace zp;

namespace {
std::uint32_t bitsOf(float v) {
    return std::bit_cast<std::uint32_t>(v);
}
float fromBits(std::uint32_t b) {
    return std::bit_cast<float>(b);
}
}  // namespace

class TestConversions : public QObject {
    Q_OBJECT

  private slots:
    void convert_knownValues_data() {
        QTest::addColumn<int>("selector");
        QTest::addColumn<float>("value");
        QTest::addColumn<int>("code");
        QTest::addColumn<float>("expected");

        QTest::newRow("temperature 100 C") << int(ThermocoupleUnit) << 100.0f << 1 << 212.0f;
        QTest::newRow("temperature -40 C") << int(OatUnit) << -40.0f << 1 << -40.0f;
        QTest::newRow("temperature 20 C") << int(OatUnit) << 20.0f << 1 << 68.0f;
        QTest::newRow("analog Celsius") << int(Analog1Unit) << 100.0f << 1 << 212.0f;
        QTest::newRow("analog psi to bar") << int(Analog2Unit) << 100.0f << 3 << 6.89475729f;
        QTest::newRow("analog litres") << int(Analog4Unit) << 100.0f << 7 << 26.41720524f;
        QTest::newRow("pressure psi to bar") << int(FuelPressureUnit) << 50.0f << 1 << 3.447378645f;
        QTest::newRow("airspeed km/h") << int(AirspeedUnit) << 100.0f << 1 << 160.9344f;
        QTest::newRow("airspeed knots") << int(AirspeedUnit) << 100.0f << 2 << 86.8976f;
        QTest::newRow("airspeed 120 km/h") << int(AirspeedUnit) << 120.0f << 1 << 193.12128f;
        QTest::newRow("fuel flow four digits") << int(FuelFlowUnit) << 100.0f << 1 << 26.42f;
        QTest::newRow("fuel level ten digits") << int(FuelLevelUnit) << 100.0f << 1 << 26.41720524f;
        QTest::newRow("fuel level 80 l") << int(FuelLevelUnit) << 80.0f << 1 << 21.13376419f;
        QTest::newRow("map 1000 mbar") << int(MapUnit) << 1000.0f << 1 << 29.53f;
        QTest::newRow("qnh 1013 mbar") << int(QnhUnit) << 1013.0f << 1 << 29.91389f;
        QTest::newRow("vsi 1000 ft/min") << int(VsiUnit) << 1000.0f << 1 << 5.08f;
        // 0.2 as the long double nearest one fifth (a double 0.2 gives 0x1.00001p+58).
        QTest::newRow("temperature extended 0.2")
            << int(ThermocoupleUnit) << fromBits(0x5c0e38edu) << 1 << fromBits(0x5c800009u);
    }
    void convert_knownValues() {
        QFETCH(int, selector);
        QFETCH(float, value);
        QFETCH(int, code);
        QFETCH(float, expected);
        const float got = toShownUnit(static_cast<UnitSelector>(selector),
                                      static_cast<std::uint8_t>(code), value);
        QCOMPARE(bitsOf(got), bitsOf(expected));
    }

    void convertAltitude_feetToMetres() {
        // 3280.8 ft is 1000 m to within one unit in the last place.
        const float metres = toShownUnit(AltitudeUnit, 1, 3280.8f);
        QVERIFY(std::abs(metres - 1000.0f) <= std::nextafter(1000.0f, 2000.0f) - 1000.0f);
        // The factor is the long double nearest 1 / (double)3.2808.
        QCOMPARE(toShownUnit(AltitudeUnit, 1, 1.0f), static_cast<float>(1.0L / 3.2808L));
        QCOMPARE(bitsOf(toShownUnit(AltitudeUnit, 1, 10000.0f)),
                 bitsOf(static_cast<float>(10000.0L / static_cast<long double>(3.2808))));
    }

    void convertMap_standardPressure() {
        QVERIFY(std::abs(toShownUnit(MapUnit, 1, 1013.25f) - 29.921f) < 0.001f);
    }

    // Code 0 and every code that a selector does not convert with (the ones it lists as
    // recorded units and the ones it does not list) return the input bit for bit, NaN
    // payloads included.
    void convert_unchangedCodes_data() {
        QTest::addColumn<int>("selector");
        QTest::addColumn<QList<int>>("codes");
        const QList<int> allButOne = {0, 2, 3, 7, 8, 100, 255};
        const QList<int> analog = {0, 2, 4, 5, 6, 8, 9, 255};
        QTest::newRow("MAP") << int(MapUnit) << allButOne;
        QTest::newRow("analog 1") << int(Analog1Unit) << analog;
        QTest::newRow("analog 4") << int(Analog4Unit) << analog;
        QTest::newRow("thermocouple") << int(ThermocoupleUnit) << allButOne;
        QTest::newRow("OAT") << int(OatUnit) << allButOne;
        QTest::newRow("fuel flow") << int(FuelFlowUnit) << allButOne;
        QTest::newRow("fuel level") << int(FuelLevelUnit) << allButOne;
        QTest::newRow("fuel pressure") << int(FuelPressureUnit) << allButOne;
        QTest::newRow("airspeed") << int(AirspeedUnit) << QList<int>{0, 3, 4, 255};
        QTest::newRow("altitude") << int(AltitudeUnit) << allButOne;
        QTest::newRow("QNH") << int(QnhUnit) << allButOne;
        QTest::newRow("VSI") << int(VsiUnit) << allButOne;
    }
    void convert_unchangedCodes() {
        QFETCH(int, selector);
        QFETCH(QList<int>, codes);
        const std::uint32_t inputs[] = {0x00000000u,
                                        0x80000000u,
                                        0x42c80000u /* 100 */,
                                        0x00000001u /* smallest subnormal */,
                                        0x7f7fffffu,
                                        0xff800000u,
                                        0x7fc12345u /* NaN payload */,
                                        0xffa00001u /* signalling NaN */};
        const auto unit = static_cast<UnitSelector>(selector);
        for (const int code : codes) {
            const auto c = static_cast<std::uint8_t>(code);
            for (const std::uint32_t in : inputs)
                QCOMPARE(bitsOf(toShownUnit(unit, c, fromBits(in))), in);
            // The import then skips the call altogether.
            QVERIFY(!displayUnit(unit, c).toShown);
        }
    }

    // A converted NaN stays NaN; infinities scale to infinities of the same sign.
    void convert_nonFinite() {
        QVERIFY(std::isnan(toShownUnit(OatUnit, 1, fromBits(0x7fc00000u))));
        QVERIFY(std::isinf(toShownUnit(AirspeedUnit, 1, -std::numeric_limits<float>::infinity())));
        QVERIFY(toShownUnit(AirspeedUnit, 1, -std::numeric_limits<float>::infinity()) < 0);
    }
};

QTEST_GUILESS_MAIN(TestConversions)
#include "test_conversions.moc"
