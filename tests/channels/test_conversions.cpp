// The nine unit conversions: the documented results, the codes that leave a value
// untouched (bit for bit), and the extended-precision evaluation.
#include <QtTest>
#include <bit>
#include <cstdint>

#include "channels/conversions.h"

using zp::ConversionFn;

Q_DECLARE_METATYPE(ConversionFn)

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
        QTest::addColumn<ConversionFn>("fn");
        QTest::addColumn<float>("value");
        QTest::addColumn<int>("code");
        QTest::addColumn<float>("expected");

        QTest::newRow("temperature 100 C") << &zp::convertTemperature << 100.0f << 1 << 212.0f;
        QTest::newRow("temperature -40 C") << &zp::convertTemperature << -40.0f << 1 << -40.0f;
        QTest::newRow("temperature 20 C") << &zp::convertTemperature << 20.0f << 1 << 68.0f;
        QTest::newRow("analog Celsius") << &zp::convertAnalog << 100.0f << 1 << 212.0f;
        QTest::newRow("analog psi to bar") << &zp::convertAnalog << 100.0f << 3 << 6.89475729f;
        QTest::newRow("analog litres") << &zp::convertAnalog << 100.0f << 7 << 26.41720524f;
        QTest::newRow("pressure psi to bar") << &zp::convertPressure << 50.0f << 1 << 3.447378645f;
        QTest::newRow("airspeed km/h") << &zp::convertAirspeed << 100.0f << 1 << 160.9344f;
        QTest::newRow("airspeed knots") << &zp::convertAirspeed << 100.0f << 2 << 86.8976f;
        QTest::newRow("airspeed 120 km/h") << &zp::convertAirspeed << 120.0f << 1 << 193.12128f;
        QTest::newRow("fuel flow four digits") << &zp::convertFuelFlow << 100.0f << 1 << 26.42f;
        QTest::newRow("fuel level ten digits")
            << &zp::convertFuelLevel << 100.0f << 1 << 26.41720524f;
        QTest::newRow("fuel level 80 l") << &zp::convertFuelLevel << 80.0f << 1 << 21.13376419f;
        QTest::newRow("map 1000 mbar") << &zp::convertMap << 1000.0f << 1 << 29.53f;
        QTest::newRow("qnh 1013 mbar") << &zp::convertMap << 1013.0f << 1 << 29.91389f;
        QTest::newRow("vsi 1000 ft/min") << &zp::convertVsi << 1000.0f << 1 << 5.08f;
        // 0.2 as the long double nearest one fifth (a double 0.2 gives 0x1.00001p+58).
        QTest::newRow("temperature extended 0.2")
            << &zp::convertTemperature << fromBits(0x5c0e38edu) << 1 << fromBits(0x5c800009u);
    }
    void convert_knownValues() {
        QFETCH(ConversionFn, fn);
        QFETCH(float, value);
        QFETCH(int, code);
        QFETCH(float, expected);
        const float got = fn(value, static_cast<std::uint8_t>(code));
        QCOMPARE(bitsOf(got), bitsOf(expected));
    }

    void convertAltitude_feetToMetres() {
        // 3280.8 ft is 1000 m to within one unit in the last place.
        const float metres = zp::convertAltitude(3280.8f, 1);
        QVERIFY(std::abs(metres - 1000.0f) <= std::nextafter(1000.0f, 2000.0f) - 1000.0f);
        // The factor is the long double nearest 1 / (double)3.2808.
        QCOMPARE(zp::convertAltitude(1.0f, 1), static_cast<float>(1.0L / 3.2808L));
        QCOMPARE(bitsOf(zp::convertAltitude(10000.0f, 1)),
                 bitsOf(static_cast<float>(10000.0L / static_cast<long double>(3.2808))));
    }

    void convertMap_standardPressure() {
        QVERIFY(std::abs(zp::convertMap(1013.25f, 1) - 29.921f) < 0.001f);
    }

    // Every code that a function does not convert with returns the input bit for bit,
    // NaN payloads included.
    void convert_unchangedCodes_data() {
        QTest::addColumn<ConversionFn>("fn");
        QTest::addColumn<QList<int>>("codes");
        const QList<int> allButOne = {0, 2, 3, 7, 8, 100, 255};
        QTest::newRow("temperature") << &zp::convertTemperature << allButOne;
        QTest::newRow("pressure") << &zp::convertPressure << allButOne;
        QTest::newRow("analog") << &zp::convertAnalog << QList<int>{0, 2, 4, 5, 6, 8, 9, 255};
        QTest::newRow("altitude") << &zp::convertAltitude << allButOne;
        QTest::newRow("map") << &zp::convertMap << allButOne;
        QTest::newRow("fuel flow") << &zp::convertFuelFlow << allButOne;
        QTest::newRow("fuel level") << &zp::convertFuelLevel << allButOne;
        QTest::newRow("airspeed") << &zp::convertAirspeed << QList<int>{0, 3, 4, 255};
        QTest::newRow("vsi") << &zp::convertVsi << allButOne;
    }
    void convert_unchangedCodes() {
        QFETCH(ConversionFn, fn);
        QFETCH(QList<int>, codes);
        const std::uint32_t inputs[] = {0x00000000u,
                                        0x80000000u,
                                        0x42c80000u /* 100 */,
                                        0x00000001u /* smallest subnormal */,
                                        0x7f7fffffu,
                                        0xff800000u,
                                        0x7fc12345u /* NaN payload */,
                                        0xffa00001u /* signalling NaN */};
        for (const int code : codes)
            for (const std::uint32_t in : inputs)
                QCOMPARE(bitsOf(fn(fromBits(in), static_cast<std::uint8_t>(code))), in);
    }

    // A converted NaN stays NaN; infinities scale to infinities of the same sign.
    void convert_nonFinite() {
        QVERIFY(std::isnan(zp::convertTemperature(fromBits(0x7fc00000u), 1)));
        QVERIFY(std::isinf(zp::convertAirspeed(-std::numeric_limits<float>::infinity(), 1)));
        QVERIFY(zp::convertAirspeed(-std::numeric_limits<float>::infinity(), 1) < 0);
    }
};

QTEST_GUILESS_MAIN(TestConversions)
#include "test_conversions.moc"
