// The way back from a display unit to the unit the instruments record in: every
// selector and code, forth and back, lands on the recorded value.
#include <QtTest>
#include <cmath>

#include "channels/channel_units.h"

using namespace zp;

class TestInverseConversions : public QObject {
    Q_OBJECT
  private slots:
    // Every code of every selector, the recorded units and the unlisted codes included.
    void roundTrip() {
        for (int s = 0; s < kUnitSelectorCount; ++s) {
            const auto selector = static_cast<UnitSelector>(s);
            const int codes = static_cast<int>(displayUnits(selector).size());
            for (int code = 0; code <= codes; ++code) {
                const auto c = static_cast<std::uint8_t>(code);
                for (const float recorded : {-40.0f, 0.0f, 1.5f, 37.25f, 1013.0f, 12500.0f}) {
                    const float shown = toShownUnit(selector, c, recorded);
                    const double back = toRecordedUnit(selector, c, shown);
                    // Within the float rounding of the shown value.
                    QVERIFY2(
                        std::abs(back - recorded) <= 1e-6 * std::max(1.0f, std::abs(recorded)) * 4,
                        qPrintable(QStringLiteral("selector %1 code %2: %3 -> %4 -> %5")
                                       .arg(s)
                                       .arg(code)
                                       .arg(recorded)
                                       .arg(shown)
                                       .arg(back)));
                }
            }
        }
    }

    // A choice converts both ways or neither; code 0 never converts.
    void conversionsComeInPairs() {
        for (int s = 0; s < kUnitSelectorCount; ++s) {
            const auto selector = static_cast<UnitSelector>(s);
            QVERIFY(!displayUnits(selector).empty());
            QVERIFY(!displayUnits(selector)[0].toShown);
            for (const DisplayUnit& unit : displayUnits(selector))
                QVERIFY2(!unit.toShown == !unit.toRecorded, unit.longName);
        }
    }

    void unknownCodeAsRecorded() {
        QCOMPARE(toRecordedUnit(AirspeedUnit, 9, 55.5), 55.5);
        QCOMPARE(toRecordedUnit(Analog1Unit, 255, 55.5), 55.5);
        QCOMPARE(toRecordedUnit(Analog1Unit, 6, 55.5), 55.5);  // litres: as recorded
    }
};

QTEST_APPLESS_MAIN(TestInverseConversions)
#include "test_inverse_conversions.moc"
