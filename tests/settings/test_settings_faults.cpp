// Saves of Settings.bin that fail part way, on a full disk, in a read-only folder or over
// something that is not a file: the old Settings.bin always stays whole and no temporary
// file is left behind.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "settings/settings_file.h"
#include "tests/support/file_bytes.h"
#include "tests/support/fs_faults.h"

using namespace zp;
using zp::test::readAll;
using zp::test::ReadOnlyFolder;
using zp::test::TmpfsMount;
using zp::test::writeAll;

namespace {

QByteArray bytesOf(const SettingsRecord& record) {
    return QByteArray(reinterpret_cast<const char*>(record.data()), kSettingsRecordSize);
}

// What a user had saved before: not the defaults, so a reset would show.
QByteArray oldBytes() {
    SettingsRecord record = defaultSettingsRecord();
    record[AltitudeUnit] = 1;
    record[40] = 0;
    return bytesOf(record);
}

SettingsRecord newRecord() {
    SettingsRecord record{};
    record.fill(1);
    record[MapUnit] = 2;
    return record;
}

// Fails the n-th byte write, the close or the replace; `full` makes every write after
// the n-th fail as on a disk that has just filled up.
class FaultyIo : public SettingsFileIo {
  public:
    int failWriteFrom = -1;
    bool full = false;
    bool failClose = false;
    bool failReplace = false;
    int replaces = 0;

    bool writeByte(QFile& file, int index, std::uint8_t byte) override {
        if (index == failWriteFrom || (full && failWriteFrom >= 0 && index > failWriteFrom))
            return false;
        return SettingsFileIo::writeByte(file, index, byte);
    }
    bool close(QFile& file) override { return SettingsFileIo::close(file) && !failClose; }
    bool replace(const QString& source, const QString& target) override {
        ++replaces;
        return !failReplace && SettingsFileIo::replace(source, target);
    }
};

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

}  // namespace

class TestSettingsFaults : public QObject {
    Q_OBJECT

  private slots:
    void seam_everyStepFailing_data();
    void seam_everyStepFailing();
    void fullDisk_keepsOldFile();
    void readOnlyFolder_keepsOldFile();
    void settingsIsFolder_neitherReadNorReplaced();
};

void TestSettingsFaults::seam_everyStepFailing_data() {
    QTest::addColumn<int>("failWriteFrom");
    QTest::addColumn<bool>("failClose");
    QTest::addColumn<bool>("failReplace");
    for (int n = 0; n < kSettingsRecordSize; ++n)
        QTest::addRow("write %d", n) << n << false << false;
    QTest::newRow("close") << -1 << true << false;
    QTest::newRow("rename") << -1 << false << true;
    QTest::newRow("write and close") << 10 << true << false;
}

void TestSettingsFaults::seam_everyStepFailing() {
    QFETCH(int, failWriteFrom);
    QFETCH(bool, failClose);
    QFETCH(bool, failReplace);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Settings.bin"));
    QVERIFY(writeAll(path, oldBytes()));

    FaultyIo io;
    io.failWriteFrom = failWriteFrom;
    io.failClose = failClose;
    io.failReplace = failReplace;
    QVERIFY(!writeSettingsFile(dir.path(), newRecord(), io));
    QCOMPARE(readAll(path), oldBytes());
    QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("Settings.bin")});
    // A failed write or close never reaches the replace step.
    QCOMPARE(io.replaces, failReplace ? 1 : 0);

    // The next save without a fault goes through.
    QVERIFY(writeSettingsFile(dir.path(), newRecord()));
    QCOMPARE(readAll(path), bytesOf(newRecord()));
}

void TestSettingsFaults::fullDisk_keepsOldFile() {
    TmpfsMount disk(QStringLiteral("40k"));
    QString folder;
    QTemporaryDir fallback;
    FaultyIo io;
    if (disk.isValid()) {
        folder = disk.path();
        QVERIFY(writeAll(QDir(folder).filePath(QStringLiteral("Settings.bin")), oldBytes()));
        QVERIFY2(disk.fill(), "the small file system did not fill up");
    } else {
        // Without the right to mount, the seam fails the writes from the 20th byte on and
        // the flush at close, as a full disk does.
        folder = fallback.path();
        QVERIFY(writeAll(QDir(folder).filePath(QStringLiteral("Settings.bin")), oldBytes()));
        io.failWriteFrom = 20;
        io.full = true;
        io.failClose = true;
    }
    const QString path = QDir(folder).filePath(QStringLiteral("Settings.bin"));
    QVERIFY(!writeSettingsFile(folder, newRecord(), io));
    QCOMPARE(readAll(path), oldBytes());
    QVERIFY(!entries(folder).join(u' ').contains(QStringLiteral("Settings.bin.")));
    if (disk.isValid()) {
        // Once space is freed the same save goes through.
        QVERIFY(QFile::remove(disk.filePath(QStringLiteral("filler"))));
        QVERIFY(writeSettingsFile(folder, newRecord()));
        QCOMPARE(readAll(path), bytesOf(newRecord()));
    }
}

void TestSettingsFaults::readOnlyFolder_keepsOldFile() {
    bool prepared = false;
    ReadOnlyFolder folder([&prepared](const QString& path) {
        prepared = writeAll(QDir(path).filePath(QStringLiteral("Settings.bin")), oldBytes());
    });
    if (!folder.isValid()) QSKIP("no read-only folder can be made here");
    QVERIFY(prepared);
    const QString path = QDir(folder.path()).filePath(QStringLiteral("Settings.bin"));
    QVERIFY(!writeSettingsFile(folder.path(), newRecord()));
    QCOMPARE(readAll(path), oldBytes());
    QCOMPARE(entries(folder.path()), QStringList{QStringLiteral("Settings.bin")});
    // Reading still works.
    SettingsRecord record{};
    QVERIFY(readSettingsFile(path, record));
    QCOMPARE(bytesOf(record), oldBytes());
}

void TestSettingsFaults::settingsIsFolder_neitherReadNorReplaced() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Settings.bin"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Settings.bin")));
    QVERIFY(writeAll(QDir(path).filePath(QStringLiteral("inside")), "keep"));

    SettingsRecord record;
    record.fill(7);
    QVERIFY(!readSettingsFile(path, record));
    QCOMPARE(int(record[0]), 7);
    QVERIFY(!writeSettingsFile(dir.path(), newRecord()));
    QVERIFY(QFileInfo(path).isDir());
    QCOMPARE(readAll(QDir(path).filePath(QStringLiteral("inside"))), QByteArray("keep"));
    QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("Settings.bin")});
}

QTEST_GUILESS_MAIN(TestSettingsFaults)
#include "test_settings_faults.moc"
