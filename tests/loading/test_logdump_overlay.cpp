// logdump --overlay run as a program: the overlaid series after the 41 channel series,
// moved by the first record times and --offset, in --stats, --csv and --layout, and
// its bad uses.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include "channels/catalogue.h"
#include "tests/support/logdump_run.h"

namespace {

using Run = zp::test::LogdumpRun;

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    return path;
}

// Model 9 (RPM), one record a second for `seconds` seconds from `start` (seconds of day).
QByteArray rpmLog(int start, int seconds, int rpm) {
    QByteArray text;
    for (int s = 0; s < seconds; ++s) {
        const int t = start + s;
        text += QStringLiteral("9,12/05/2024,%1:%2:%3,1500,20,%4,2,3,4\n")
                    .arg(t / 3600, 2, 10, QLatin1Char('0'))
                    .arg(t / 60 % 60, 2, 10, QLatin1Char('0'))
                    .arg(t % 60, 2, 10, QLatin1Char('0'))
                    .arg(rpm + s)
                    .toLatin1();
    }
    return text;
}

QJsonArray seriesOf(const Run& run) {
    return run.report[QStringLiteral("series")].toArray();
}

}  // namespace

class TestLogdumpOverlay : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString first_, second_, third_;

  private slots:
    void initTestCase() {
        first_ = writeFile(dir_, QStringLiteral("first.csv"), rpmLog(36000, 20, 2400));
        // Over midnight: its later points come first in X order, and stay first moved.
        second_ = writeFile(dir_, QStringLiteral("second.csv"), rpmLog(85990, 20, 1000));
        third_ = writeFile(dir_, QStringLiteral("third.csv"), rpmLog(50000, 20, 1000));
    }

    // Each overlaid series is its channel's series of LOG2 with every X moved by
    // (first time of LOG - first time of LOG2 + SECONDS), named NAME#2, after the 41.
    void overlay_movesByTheFirstTimesAndTheOffset_data() {
        QTest::addColumn<QString>("offset");
        QTest::addColumn<double>("seconds");
        QTest::newRow("lined up") << QString() << 0.0;
        QTest::newRow("later") << QStringLiteral("12.5") << 12.5;
        QTest::newRow("earlier") << QStringLiteral("-3600") << -3600.0;
        QTest::newRow("a millisecond") << QStringLiteral("0.0014") << 0.001;
    }
    void overlay_movesByTheFirstTimesAndTheOffset() {
        QFETCH(QString, offset);
        QFETCH(double, seconds);
        QStringList args{QStringLiteral("--overlay"), second_};
        if (!offset.isEmpty()) args << QStringLiteral("--offset") << offset;
        const Run run = zp::test::runLogdump(args << first_);
        QCOMPARE(run.exitCode, 0);
        const Run alone = zp::test::runLogdump({second_});
        const QJsonArray series = seriesOf(run);
        QCOMPARE(series.size(), 2 * zp::kChannelCount);
        const double shift = 36000 - 85990 + seconds;
        QCOMPARE(run.report[QStringLiteral("overlay")][QStringLiteral("shiftSeconds")].toDouble(),
                 shift);
        for (int c = 0; c < zp::kChannelCount; ++c) {
            const QJsonObject own = seriesOf(alone)[c].toObject();
            const QJsonObject overlaid = series[zp::kChannelCount + c].toObject();
            QCOMPARE(overlaid[QStringLiteral("name")].toString(),
                     own[QStringLiteral("name")].toString() + QStringLiteral("#2"));
            QCOMPARE(overlaid[QStringLiteral("inLegend")], own[QStringLiteral("inLegend")]);
            const QJsonArray a = own[QStringLiteral("points")].toArray();
            const QJsonArray b = overlaid[QStringLiteral("points")].toArray();
            QCOMPARE(b.size(), a.size());
            for (qsizetype i = 0; i < a.size(); ++i) {
                const double moved = b[i][0].toDouble() - a[i][0].toDouble();
                QVERIFY2(qAbs(moved * 86400.0 - shift) < 1e-5, qPrintable(QString::number(i)));
                QCOMPARE(b[i][1], a[i][1]);
            }
        }
        // The loaded log's own series are as without --overlay.
        const Run plain = zp::test::runLogdump({first_});
        for (int c = 0; c < zp::kChannelCount; ++c) QCOMPARE(series[c], seriesOf(plain)[c]);
    }

    // --stats, --csv and --layout take the overlaid series in.
    void overlay_inStatsCsvAndLayout() {
        const QString csv = dir_.filePath(QStringLiteral("out.csv"));
        const Run run = zp::test::runLogdump(
            {QStringLiteral("--summary"), QStringLiteral("--stats"), QStringLiteral("--csv"), csv,
             QStringLiteral("--layout"), QStringLiteral("794x499"), QStringLiteral("--overlay"),
             third_, first_});
        QCOMPARE(run.exitCode, 0);
        const QJsonObject rpm2 = seriesOf(run)[zp::kChannelCount + zp::RPM1Series].toObject();
        QCOMPARE(rpm2[QStringLiteral("count")].toInt(), 20);
        const QJsonObject stats = rpm2[QStringLiteral("stats")].toObject();
        QCOMPARE(stats[QStringLiteral("min")].toDouble(), 1000.0);
        QCOMPARE(stats[QStringLiteral("max")].toDouble(), 1019.0);
        const QJsonArray items =
            run.report[QStringLiteral("layout")][QStringLiteral("legend")][QStringLiteral("items")]
                .toArray();
        QVERIFY(items.contains(QStringLiteral("RPM1Series#2")));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> rows = file.readAll().split('\n');
        QVERIFY2(rows[0].contains(" \xE2\x96\xB8"
                                  "2"),
                 rows[0].constData());
        // Lined up: one row per second, the two logs' readings side by side.
        QCOMPARE(rows.size(), 1 + 20 + 1);
    }

    // Without --overlay nothing is added; bad uses exit 2 with a message.
    void overlay_badUses_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("offset alone") << QStringList{"--offset", "3", "LOG"};
        QTest::newRow("offset not a number")
            << QStringList{"--overlay", "LOG2", "--offset", "x", "LOG"};
        QTest::newRow("offset empty") << QStringList{"--overlay", "LOG2", "--offset", "", "LOG"};
        QTest::newRow("overlay without LOGFILE") << QStringList{"--overlay", "LOG2"};
        QTest::newRow("overlay missing") << QStringList{"--overlay", "missing.csv", "LOG"};
    }
    void overlay_badUses() {
        QFETCH(QStringList, args);
        args.replaceInStrings(QStringLiteral("LOG2"), second_);
        args.replaceInStrings(QRegularExpression(QStringLiteral("^LOG$")), first_);
        const Run run = zp::test::runLogdump(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY(!run.err.isEmpty());
    }

    void noOverlay_noOverlayObject() {
        const Run run = zp::test::runLogdump({QStringLiteral("--summary"), first_});
        QCOMPARE(seriesOf(run).size(), zp::kChannelCount);
        QVERIFY(!run.report.contains(QStringLiteral("overlay")));
    }
};

QTEST_GUILESS_MAIN(TestLogdumpOverlay)
#include "test_logdump_overlay.moc"
