// Settings.bin on disk: how much of a file is read, the exact bytes written, and that a
// failed save never damages the file that was there before.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "settings/settings_file.h"
#include "settings/settings_store.h"
#include "tests/support/file_bytes.h"

using namespace zp;
using zp::test::readAll;
using zp::test::writeAll;

namespace {

QByteArray bytesOf(const SettingsRecord& record) {
    return QByteArray(reinterpret_cast<const char*>(record.data()), kSettingsRecordSize);
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
    // Folders listed here count as read-only (tests run as root, who can write anywhere).
    QStringList readOnly;
    bool folderWritable(const QString& folder) override {
        return !readOnly.contains(folder) && SettingsFileIo::folderWritable(folder);
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
    void store_placeOfEachStart_data();
    void store_placeOfEachStart();
    void store_placeForExecutableFolder_data();
    void store_placeForExecutableFolder();
    void store_realReadOnlyFolderFallsBack();
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
    SettingsStore store(dir.path(), QString(), io);
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

// Where Settings.bin is read and written, by whether the executable runs from the
// installation's program folder, whether its folder can be written and which files
// exist before the start.
void TestSettingsFile::store_placeOfEachStart_data() {
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("folderWritable");
    QTest::addColumn<bool>("besideExists");
    QTest::addColumn<bool>("userExists");
    QTest::addColumn<QString>("readFrom");  // "beside", "user" or "" (defaults)
    QTest::addColumn<QString>("savedTo");
    QTest::newRow("writable, first start") << false << true << false << false << ""
                                           << "beside";
    QTest::newRow("writable, both files") << false << true << true << true << "beside"
                                          << "beside";
    QTest::newRow("writable, only a user file") << false << true << false << true << ""
                                                << "beside";
    QTest::newRow("read-only, first start") << false << false << false << false << ""
                                            << "user";
    QTest::newRow("read-only, a file left there") << false << false << true << false << "beside"
                                                      << "user";
    QTest::newRow("read-only, after a user save") << false << false << true << true << "user"
                                                  << "user";
    // Installed, the viewer never writes into its program folder, even where it could
    // (run as root).
    QTest::newRow("installed, writable, first start") << true << true << false << false << ""
                                                      << "user";
    QTest::newRow("installed, writable, a file left there")
        << true << true << true << false << "beside"
        << "user";
    QTest::newRow("installed, writable, after a user save")
        << true << true << true << true << "user"
        << "user";
    QTest::newRow("installed, read-only, first start") << true << false << false << false << ""
                                                       << "user";
}

void TestSettingsFile::store_placeOfEachStart() {
    QFETCH(bool, installed);
    QFETCH(bool, folderWritable);
    QFETCH(bool, besideExists);
    QFETCH(bool, userExists);
    QFETCH(QString, readFrom);
    QFETCH(QString, savedTo);
    QTemporaryDir exe;
    QTemporaryDir home;
    QTemporaryDir elsewhere;
    const QString userFolder = home.filePath(QStringLiteral("config/zimra-pexo-viewer"));
    // The installation's program folder: the executable's own, or another one.
    const SettingsPlace place =
        SettingsStore::placeFor(exe.path(), installed ? exe.path() : elsewhere.path());
    SettingsRecord beside = defaultSettingsRecord();
    beside[0] = 1;
    SettingsRecord user = defaultSettingsRecord();
    user[0] = 2;
    if (besideExists) QVERIFY(writeSettingsFile(exe.path(), beside));
    if (userExists) {
        QVERIFY(QDir().mkpath(userFolder));
        QVERIFY(writeSettingsFile(userFolder, user));
    }
    FaultyIo io;
    if (!folderWritable) io.readOnly << exe.path();
    SettingsStore store(exe.path(), userFolder, io, place);

    SettingsRecord record = markedRecord();
    QCOMPARE(store.read(record), !readFrom.isEmpty());
    if (readFrom == u"beside") QCOMPARE(bytesOf(record), bytesOf(beside));
    if (readFrom == u"user") QCOMPARE(bytesOf(record), bytesOf(user));

    SettingsRecord saved = defaultSettingsRecord();
    saved[1] = 3;
    QVERIFY(store.write(saved));
    const QString savedFolder = savedTo == u"beside" ? exe.path() : userFolder;
    const QString otherFolder = savedTo == u"beside" ? userFolder : exe.path();
    QCOMPARE(readAll(QDir(savedFolder).filePath(QStringLiteral("Settings.bin"))), bytesOf(saved));
    // The other file, if any, is left as it was and none is made; the next start reads
    // the saved one.
    const QString other = QDir(otherFolder).filePath(QStringLiteral("Settings.bin"));
    QCOMPARE(QFileInfo::exists(other), savedTo == u"beside" ? userExists : besideExists);
    if (QFileInfo::exists(other)) QVERIFY(readAll(other) != bytesOf(saved));
    SettingsRecord again = markedRecord();
    QVERIFY(SettingsStore(exe.path(), userFolder, io, place).read(again));
    QCOMPARE(bytesOf(again), bytesOf(saved));
}

// The executable's folder is the installation's program folder when both name the same
// folder once links and dots are resolved; a folder that does not exist never is.
void TestSettingsFile::store_placeForExecutableFolder_data() {
    QTest::addColumn<QString>("executable");  // relative to a scratch folder
    QTest::addColumn<QString>("installed");
    QTest::addColumn<bool>("perUser");
    QTest::newRow("the program folder") << "prefix/bin"
                                        << "prefix/bin" << true;
    QTest::newRow("named with a slash and dots") << "prefix/bin/"
                                                 << "prefix/lib/../bin" << true;
    QTest::newRow("through a link to it") << "link/bin"
                                          << "prefix/bin" << true;
    QTest::newRow("a build") << "build/bin"
                             << "prefix/bin" << false;
    QTest::newRow("a folder inside it") << "prefix/bin/tools"
                                        << "prefix/bin" << false;
    QTest::newRow("the prefix itself") << "prefix"
                                       << "prefix/bin" << false;
    QTest::newRow("prefix not there") << "prefix/bin"
                                      << "gone/bin" << false;
    QTest::newRow("executable not there") << "gone/bin"
                                          << "gone/bin" << false;
    QTest::newRow("no prefix") << "prefix/bin"
                               << "" << false;
}

void TestSettingsFile::store_placeForExecutableFolder() {
    QFETCH(QString, executable);
    QFETCH(QString, installed);
    QFETCH(bool, perUser);
    QTemporaryDir root;
    QDir dir(root.path());
    for (const char* folder : {"prefix/bin/tools", "prefix/lib", "build/bin"})
        QVERIFY(dir.mkpath(QLatin1String(folder)));
    QVERIFY(
        QFile::link(dir.filePath(QStringLiteral("prefix")), dir.filePath(QStringLiteral("link"))));
    const QString installedPath = installed.isEmpty() ? QString() : dir.filePath(installed);
    const SettingsPlace place = SettingsStore::placeFor(dir.filePath(executable), installedPath);
    QCOMPARE(place == SettingsPlace::PerUser, perUser);
}

// A folder that really cannot be written (when not running as root, who can write
// anywhere) gives the same fallback through the standard file operations.
void TestSettingsFile::store_realReadOnlyFolderFallsBack() {
    QTemporaryDir exe;
    QTemporaryDir home;
    QVERIFY(writeSettingsFile(exe.path(), defaultSettingsRecord()));
    QVERIFY(QFile::setPermissions(exe.path(), QFile::ReadOwner | QFile::ExeOwner));
    const bool readOnly = !SettingsFileIo::standard().folderWritable(exe.path());
    SettingsStore store(exe.path(), home.filePath(QStringLiteral("cfg")));
    SettingsRecord saved = defaultSettingsRecord();
    saved[2] = 1;
    const bool written = store.write(saved);
    QVERIFY(
        QFile::setPermissions(exe.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    if (!readOnly) QSKIP("running as a user who can write into read-only folders (root)");
    QVERIFY(written);
    QCOMPARE(readAll(home.filePath(QStringLiteral("cfg/Settings.bin"))), bytesOf(saved));
    QCOMPARE(readAll(exe.filePath(QStringLiteral("Settings.bin"))),
             bytesOf(defaultSettingsRecord()));
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settings_file.moc"
