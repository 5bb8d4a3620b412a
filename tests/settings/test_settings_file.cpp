// Settings.bin on disk: how much of a file is read, the exact bytes written, and that a
// failed save never damages the file that was there before.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "settings/settings_file.h"
#include "settings/settings_store.h"

using namespace zp;

namespace {

QByteArray bytesOf(const SettingsRecord& record) {
    return QByteArray(reinterpret_cast<const char*>(record.data()), kSettingsRecordSize);
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray();
    return file.readAll();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

// A record whose every byte differs from what the test files hold.
SettingsRecord markedRecord() {
    SettingsRecord record;
    record.fill(0xAA);
    return record;
}

// Fails one chosen step of a save.
class FaultyIo : public SettingsFileIo {
  public:
    int failWriteAt = -1;
    bool failClose = false;
    bool failReplace = false;

    bool writeByte(QFile& file, int index, std::uint8_t byte) override {
        if (index == failWriteAt) return false;
        return SettingsFileIo::writeByte(file, index, byte);
    }
    bool close(QFile& file) override {
        const bool ok = SettingsFileIo::close(file);
        return ok && !failClose;
    }
    bool replace(const QString& source, const QString& target) override {
        return !failReplace && SettingsFileIo::replace(source, target);
    }
};

}  // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT

  private slots:
    void readSettingsFile_takesAtMost55Bytes_data();
    void readSettingsFile_takesAtMost55Bytes();
    void readSettingsFile_missingFileLeavesRecord();
    void writeSettingsFile_defaultRecordIsGolden();
    void writeSettingsFile_replacesLongerFile();
    void writeSettingsFile_failureKeepsOldFile_data();
    void writeSettingsFile_failureKeepsOldFile();
    void writeSettingsFile_missingFolderFails();
    void store_folderAndCurrentDirectory();
    void store_readsAndWritesItsFolder();
};

void TestSettingsFile::readSettingsFile_takesAtMost55Bytes_data() {
    QTest::addColumn<int>("fileSize");
    QTest::addColumn<int>("bytesTaken");
    QTest::newRow("empty") << 0 << 0;
    QTest::newRow("short") << 20 << 20;
    QTest::newRow("exact") << 55 << 55;
    QTest::newRow("long") << 60 << 55;
}

void TestSettingsFile::readSettingsFile_takesAtMost55Bytes() {
    QFETCH(int, fileSize);
    QFETCH(int, bytesTaken);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Settings.bin"));
    QByteArray content;
    for (int i = 0; i < fileSize; ++i) content.append(static_cast<char>(i + 1));
    QVERIFY(writeAll(path, content));

    SettingsRecord record = markedRecord();
    QVERIFY(readSettingsFile(path, record));
    QByteArray expected;
    for (int i = 0; i < kSettingsRecordSize; ++i)
        expected.append(static_cast<char>(i < bytesTaken ? i + 1 : 0xAA));
    QCOMPARE(bytesOf(record), expected);
}

void TestSettingsFile::readSettingsFile_missingFileLeavesRecord() {
    QTemporaryDir dir;
    SettingsRecord record = markedRecord();
    QVERIFY(!readSettingsFile(dir.filePath(QStringLiteral("Settings.bin")), record));
    QCOMPARE(bytesOf(record), bytesOf(markedRecord()));
}

void TestSettingsFile::writeSettingsFile_defaultRecordIsGolden() {
    QTemporaryDir dir;
    QVERIFY(writeSettingsFile(dir.path(), defaultSettingsRecord()));
    const QByteArray golden = QByteArray(14, '\0') + QByteArray(41, '\1');
    QCOMPARE(readAll(dir.filePath(QStringLiteral("Settings.bin"))), golden);
    // Nothing but Settings.bin is left in the folder.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Settings.bin")});
}

void TestSettingsFile::writeSettingsFile_replacesLongerFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Settings.bin"));
    QVERIFY(writeAll(path, QByteArray(60, '\7')));
    SettingsRecord record{};
    record[54] = 9;
    QVERIFY(writeSettingsFile(dir.path(), record));
    QCOMPARE(readAll(path), bytesOf(record));
}

void TestSettingsFile::writeSettingsFile_failureKeepsOldFile_data() {
    QTest::addColumn<int>("failWriteAt");
    QTest::addColumn<bool>("failClose");
    QTest::addColumn<bool>("failReplace");
    QTest::newRow("first write") << 0 << false << false;
    QTest::newRow("middle write") << 30 << false << false;
    QTest::newRow("last write") << 54 << false << false;
    QTest::newRow("close") << -1 << true << false;
    QTest::newRow("rename") << -1 << false << true;
}

void TestSettingsFile::writeSettingsFile_failureKeepsOldFile() {
    QFETCH(int, failWriteAt);
    QFETCH(bool, failClose);
    QFETCH(bool, failReplace);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Settings.bin"));
    const QByteArray old = bytesOf(defaultSettingsRecord());
    QVERIFY(writeAll(path, old));

    FaultyIo io;
    io.failWriteAt = failWriteAt;
    io.failClose = failClose;
    io.failReplace = failReplace;
    SettingsRecord record;
    record.fill(3);
    QVERIFY(!writeSettingsFile(dir.path(), record, io));

    QCOMPARE(readAll(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Settings.bin")});
}

void TestSettingsFile::writeSettingsFile_missingFolderFails() {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("gone"));
    QVERIFY(!writeSettingsFile(folder, defaultSettingsRecord()));
    QVERIFY(!QFileInfo::exists(folder));
}

void TestSettingsFile::store_folderAndCurrentDirectory() {
    QCOMPARE(SettingsStore::executableFolder(), QCoreApplication::applicationDirPath());
    QTemporaryDir dir;
    const QString before = QDir::currentPath();
    const SettingsStore store(dir.path());
    QCOMPARE(store.folder(), dir.path());
    QVERIFY(store.enterFolder());
    QCOMPARE(QDir::currentPath(), QDir(dir.path()).canonicalPath());

    // A folder that is gone leaves the current directory where it was.
    const SettingsStore gone(dir.filePath(QStringLiteral("gone")));
    QVERIFY(!gone.enterFolder());
    QCOMPARE(QDir::currentPath(), QDir(dir.path()).canonicalPath());
    QVERIFY(QDir::setCurrent(before));
}

// The store reads and writes Settings.bin in its own folder, whatever the current
// directory, and saves through the file operations it was given.
void TestSettingsFile::store_readsAndWritesItsFolder() {
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    FaultyIo io;
    SettingsStore store(dir.path(), io);
    QCOMPARE(store.filePath(), dir.filePath(QStringLiteral("Settings.bin")));

    SettingsRecord record = markedRecord();
    QVERIFY(!store.read(record));
    QCOMPARE(bytesOf(record), bytesOf(markedRecord()));
    QVERIFY(store.write(defaultSettingsRecord()));
    QCOMPARE(readAll(store.filePath()), bytesOf(defaultSettingsRecord()));
    QVERIFY(store.read(record));
    QCOMPARE(bytesOf(record), bytesOf(defaultSettingsRecord()));
    QVERIFY(QDir(elsewhere.path()).isEmpty());

    io.failReplace = true;
    QVERIFY(!store.write(markedRecord()));
    QCOMPARE(readAll(store.filePath()), bytesOf(defaultSettingsRecord()));
    QVERIFY(QDir::setCurrent(before));
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settings_file.moc"
