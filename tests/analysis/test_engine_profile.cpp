// The engine profile's text: a hand-written file reads as the dialog would write it, and
// each fault is reported at its line.
#include <QtTest>

#include "analysis/engine_profile.h"

using namespace zp;
using namespace zp::analysis;

class EngineProfileTest : public QObject {
    Q_OBJECT

  private slots:
    void readsTheExample() {
        const ProfileReading read = parseEngineProfile(
            QStringLiteral("# my engine\n[engine]\nname=N123AB\ncylinders=4\negt=TC1,TC2,TC3,TC4\n"
                           "cht=tc5series, TC6 ,none,TC8\nfuelflow=FuelFlow2\n"));
        QVERIFY2(read.profile, qPrintable(read.error));
        const EngineProfile& p = *read.profile;
        QCOMPARE(p.name, QStringLiteral("N123AB"));
        QCOMPARE(p.cylinders, 4);
        QCOMPARE(p.egt[3], std::optional<Channel>(TC4Series));
        QCOMPARE(p.cht[0], std::optional<Channel>(TC5Series));
        QCOMPARE(p.cht[2], std::optional<Channel>());
        QCOMPARE(p.egt[4], std::optional<Channel>());
        QCOMPARE(p.fuelFlow, std::optional<Channel>(FuelFlow2Series));
    }

    void roundTrips() {
        EngineProfile p;
        p.name = QStringLiteral("D-EABC");
        p.cylinders = 6;
        for (int c = 0; c < 6; ++c) p.egt[c] = static_cast<Channel>(TC1Series + c);
        p.cht[1] = TC12Series;
        p.fuelFlow.reset();
        const ProfileReading read = parseEngineProfile(engineProfileText(p));
        QVERIFY2(read.profile, qPrintable(read.error));
        QVERIFY(*read.profile == p);
    }

    void errors_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("says");
        QTest::newRow("no section") << "name=x\n" << 1 << "starts with [engine]";
        QTest::newRow("empty file") << "" << 1 << "no [engine]";
        QTest::newRow("not key=value") << "[engine]\n\ncylinders 4\n" << 3 << "key=value";
        QTest::newRow("unknown key") << "[engine]\ncyls=4\n" << 2 << "unknown key cyls";
        QTest::newRow("twice") << "[engine]\nname=a\n;c\nname=b\n" << 4 << "name given twice";
        QTest::newRow("nine cylinders") << "[engine]\ncylinders=9\n" << 2 << "1 to 8, not 9";
        QTest::newRow("no number") << "[engine]\ncylinders=four\n" << 2 << "1 to 8";
        QTest::newRow("too few entries") << "[engine]\ncylinders=4\negt=TC1,TC2,TC3\n"
                                         << 3 << "3 channels for 4";
        QTest::newRow("entries before the count") << "[engine]\negt=TC1,TC2\ncylinders=1\n"
                                                  << 2 << "2 channels for 1";
        QTest::newRow("not a thermocouple") << "[engine]\ncylinders=1\ncht=Volts\n"
                                            << 3 << "TC1 to TC12 or none, not Volts";
        QTest::newRow("TC13") << "[engine]\ncylinders=1\negt=TC13\n" << 3 << "not TC13";
        QTest::newRow("assigned twice") << "[engine]\ncylinders=2\negt=TC1,TC2\ncht=TC3,TC1\n"
                                        << 4 << "TC1 is assigned twice";
        QTest::newRow("fuel flow") << "[engine]\nfuelflow=Petrol\n" << 2 << "unknown channel";
    }
    void errors() {
        QFETCH(QString, text);
        QFETCH(int, line);
        QFETCH(QString, says);
        const ProfileReading read = parseEngineProfile(text);
        QVERIFY(!read.profile);
        QCOMPARE(read.errorLine, line);
        QVERIFY2(read.error.startsWith(QStringLiteral("line %1: ").arg(line)),
                 qPrintable(read.error));
        QVERIFY2(read.error.contains(says), qPrintable(read.error));
    }

    void files() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("engine.ini"));
        QVERIFY(!readEngineProfileFile(path).profile);
        QVERIFY(readEngineProfileFile(path).error.isEmpty());  // none kept is no error
        EngineProfile p;
        p.egt[0] = TC1Series;
        QCOMPARE(writeEngineProfileFile(path, p), QString());
        const ProfileReading read = readEngineProfileFile(path);
        QVERIFY(read.profile && *read.profile == p);
        QFile bad(path);
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("[engine]\ncylinders=0\n");
        bad.close();
        const ProfileReading broken = readEngineProfileFile(path);
        QVERIFY(!broken.profile);
        QVERIFY2(broken.error.startsWith(path + QStringLiteral(", line 2: ")),
                 qPrintable(broken.error));
    }
};

QTEST_GUILESS_MAIN(EngineProfileTest)
#include "test_engine_profile.moc"
