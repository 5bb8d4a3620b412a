// Replays the fuzz seed corpus and every input kept from a fault that fuzzing found
// through the same entry points as the fuzz targets, so a fixed fault stays fixed.
#include <QDirIterator>
#include <QFile>
#include <QtTest>

#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/fuzz_targets.h"

namespace {

using Target = int (*)(const std::uint8_t*, std::size_t);

struct Folder {
    const char* name;
    Target target;
};

const Folder kFolders[] = {
    {"import", zp::fuzz::importTarget},
    {"time_field", zp::fuzz::timeFieldTarget},
    {"settings", zp::fuzz::settingsTarget},
    {"chart", zp::fuzz::chartTarget},
};

}  // namespace

class TestFuzzReplay : public QObject {
    Q_OBJECT

  private slots:
    void replay_keptInputs_data();
    void replay_keptInputs();
};

void TestFuzzReplay::replay_keptInputs_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("folder");
    int rows = 0;
    for (const char* kind : {"corpus", "regressions"}) {
        for (int f = 0; f < int(std::size(kFolders)); ++f) {
            const QString dir = QStringLiteral(ZP_SOURCE_DIR "/tests/fuzz/%1/%2")
                                    .arg(QLatin1String(kind), QLatin1String(kFolders[f].name));
            QDirIterator it(dir, QDir::Files);
            while (it.hasNext()) {
                const QString file = it.next();
                const QString row = QStringLiteral("%1/%2/%3")
                                        .arg(QLatin1String(kind), QLatin1String(kFolders[f].name),
                                             QFileInfo(file).fileName());
                QTest::newRow(qPrintable(row)) << file << f;
                ++rows;
            }
        }
    }
    QVERIFY2(rows > 0, "no kept inputs found");
}

void TestFuzzReplay::replay_keptInputs() {
    QFETCH(QString, file);
    QFETCH(int, folder);
    QFile in(file);
    QVERIFY(in.open(QIODevice::ReadOnly));
    const QByteArray bytes = in.readAll();
    // A broken invariant fails this input's row; the other inputs still run.
    int result = -1;
    try {
        result = kFolders[folder].target(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                         std::size_t(bytes.size()));
    } catch (const zp::fuzz::InvariantBroken& broken) {
        QFAIL(qPrintable(QStringLiteral("%1: invariant broken: %2")
                             .arg(file, QString::fromUtf8(broken.what()))));
    }
    QCOMPARE(result, 0);
}

QTEST_MAIN(TestFuzzReplay)
#include "test_fuzz_replay.moc"
