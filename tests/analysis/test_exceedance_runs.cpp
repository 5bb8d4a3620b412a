// Joining and hiding the runs beyond a limit: only neighbouring runs of one side join,
// a gap equal to the join setting keeps runs apart, a joined run keeps the extreme peak,
// hiding counts the joined length, and 0 / 0 changes nothing.
#include <QtTest>
#include <vector>

#include "analysis/exceedance_runs.h"
#include "tests/support/exceedance_text.h"

using namespace zp::analysis;

namespace {

QString text(const std::vector<Exceedance>& runs) {
    return zp::test::exceedanceText(runs);
}

std::vector<Exceedance> runsOf(const QString& text) {
    std::vector<Exceedance> runs;
    for (const QString& part : text.split(u' ', Qt::SkipEmptyParts)) {
        const QStringList range = part.mid(1).split(u':');
        const QStringList ends = range[0].split(u'-');
        runs.push_back({part[0] == u'H' ? ExceedSide::High : ExceedSide::Low, ends[0].toDouble(),
                        ends[1].toDouble(), range[1].toDouble()});
    }
    return runs;
}

}  // namespace

class ExceedanceRunsTest : public QObject {
    Q_OBJECT

  private slots:
    // X in seconds in these rows.
    void tidy_data() {
        QTest::addColumn<QString>("runs");
        QTest::addColumn<double>("join");
        QTest::addColumn<double>("hide");
        QTest::addColumn<QString>("expected");
        const QString noisy = QStringLiteral("H10-10:21 H11-11:22 H13-14:25 H20-20:21");
        QTest::newRow("none") << "" << 5.0 << 5.0 << "";
        QTest::newRow("0 and 0 keep every run") << noisy << 0.0 << 0.0 << noisy;
        QTest::newRow("gap shorter than the setting joins")
            << noisy << 3.0 << 0.0 << "H10-14:25 H20-20:21";
        QTest::newRow("gap equal to the setting does not") << noisy << 1.0 << 0.0 << noisy;
        QTest::newRow("everything within reach joins") << noisy << 6.5 << 0.0 << "H10-20:25";
        QTest::newRow("hide shorter runs") << noisy << 0.0 << 1.0 << "H13-14:25";
        QTest::newRow("run as long as the setting stays")
            << "H1-2:5 H5-5.999:6" << 0.0 << 1.0 << "H1-2:5";
        QTest::newRow("hiding counts the joined length") << noisy << 3.0 << 2.0 << "H10-14:25";
        QTest::newRow("low runs keep the lowest peak")
            << "L1-1:-3 L2-4:-7 L6-6:-5" << 2.5 << 0.0 << "L1-6:-7";
        QTest::newRow("other side between keeps runs apart")
            << "H1-1:9 L2-2:-1 H3-3:8" << 10.0 << 0.0 << "H1-1:9 L2-2:-1 H3-3:8";
        QTest::newRow("sides apart, each side joins")
            << "H1-1:9 H2-2:8 L10-10:-1 L11-12:-4" << 2.0 << 0.0 << "H1-2:9 L10-12:-4";
        QTest::newRow("hide everything") << noisy << 0.0 << 100.0 << "";
    }
    void tidy() {
        QFETCH(QString, runs);
        QFETCH(double, join);
        QFETCH(double, hide);
        QFETCH(QString, expected);
        QCOMPARE(text(tidyRuns(runsOf(runs), RunTidying{join, hide}, 1.0)), expected);
    }

    // On a date-time axis (days) one second is not exact: the millisecond count is.
    void tidy_daysCountWholeMilliseconds() {
        const double second = 1.0 / 86400.0;
        const double t = 45000.0 + 10.0 * 3600.0 * second;  // a day at 10:00:00
        const std::vector<Exceedance> runs{{ExceedSide::High, t, t + 1 * second, 5.0},
                                           {ExceedSide::High, t + 3 * second, t + 3 * second, 6.0}};
        // Runs of exactly one second stay with "shorter than 1 s"; gaps of 2 s join
        // with "closer than 3 s" and not with "closer than 2 s".
        QCOMPARE(tidyRuns(runs, {0.0, 1.0}).size(), std::size_t(1));
        QCOMPARE(tidyRuns(runs, {2.0, 0.0}).size(), std::size_t(2));
        const std::vector<Exceedance> joined = tidyRuns(runs, {3.0, 0.0});
        QCOMPARE(joined.size(), std::size_t(1));
        QCOMPARE(joined[0].endX, t + 3 * second);
        QCOMPARE(joined[0].peak, 6.0);
    }
};

QTEST_MAIN(ExceedanceRunsTest)
#include "test_exceedance_runs.moc"
