// The main window when Settings.bin cannot be written: every exit path and the Units
// dialog's save leave the old file whole, the record in memory follows the user
// interface, nothing is reported and the viewer goes on working.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "app/main_window.h"
#include "chart/chart_widget.h"
#include "loading/channel_series.h"
#include "settings/settings_store.h"
#include "settings/units_dialog.h"
#include "tests/support/fake_dialogs.h"
#include "tests/support/file_bytes.h"
#include "tests/support/find_child.h"
#include "tests/support/fs_faults.h"

using namespace zp;
using zp::test::readAll;
using zp::test::writeAll;

namespace {

QByteArray oldBytes() {
    SettingsRecord record = defaultSettingsRecord();
    record[AltitudeUnit] = 1;
    record[activeFlagOffset(YawSeries)] = 0;
    return QByteArray(reinterpret_cast<const char*>(record.data()), kSettingsRecordSize);
}

class FaultyIo : public SettingsFileIo {
  public:
    int failWrite = -1;
    bool failClose = false;
    bool failReplace = false;
    bool writeByte(QFile& file, int index, std::uint8_t byte) override {
        return index != failWrite && SettingsFileIo::writeByte(file, index, byte);
    }
    bool close(QFile& file) override { return SettingsFileIo::close(file) && !failClose; }
    bool replace(const QString& source, const QString& target) override {
        return !failReplace && SettingsFileIo::replace(source, target);
    }
};

enum class Fault { Write0, Write54, Close, Rename, ReadOnlyFolder, FullDisk };

}  // namespace

class TestSettingsFaults : public QObject {
    Q_OBJECT

  private slots:
    void save_faultKeepsFileAndRecord_data();
    void save_faultKeepsFileAndRecord();
    void load_settingsIsFolderGivesDefaults();
};

void TestSettingsFaults::save_faultKeepsFileAndRecord_data() {
    QTest::addColumn<int>("fault");
    QTest::newRow("first write") << int(Fault::Write0);
    QTest::newRow("last write") << int(Fault::Write54);
    QTest::newRow("close") << int(Fault::Close);
    QTest::newRow("rename") << int(Fault::Rename);
    QTest::newRow("read-only folder") << int(Fault::ReadOnlyFolder);
    QTest::newRow("full disk") << int(Fault::FullDisk);
}

void TestSettingsFaults::save_faultKeepsFileAndRecord() {
    QFETCH(int, fault);
    test::FakeDialogs dialogs;
    FaultyIo io;
    QTemporaryDir plain;
    std::unique_ptr<test::ReadOnlyFolder> readOnly;
    std::unique_ptr<test::TmpfsMount> disk;
    QString folder = plain.path();
    switch (Fault(fault)) {
        case Fault::Write0:
            io.failWrite = 0;
            break;
        case Fault::Write54:
            io.failWrite = 54;
            break;
        case Fault::Close:
            io.failClose = true;
            break;
        case Fault::Rename:
            io.failReplace = true;
            break;
        case Fault::ReadOnlyFolder:
            readOnly = std::make_unique<test::ReadOnlyFolder>([](const QString& path) {
                QVERIFY(writeAll(QDir(path).filePath(QStringLiteral("Settings.bin")), oldBytes()));
            });
            if (QTest::currentTestFailed()) return;
            if (!readOnly->isValid()) QSKIP("no read-only folder can be made here");
            folder = readOnly->path();
            break;
        case Fault::FullDisk:
            disk = std::make_unique<test::TmpfsMount>(QStringLiteral("40k"));
            if (!disk->isValid()) QSKIP("mounting a small file system is not permitted here");
            folder = disk->path();
            QVERIFY(writeAll(disk->filePath(QStringLiteral("Settings.bin")), oldBytes()));
            QVERIFY(disk->fill());
            break;
    }
    const QString path = QDir(folder).filePath(QStringLiteral("Settings.bin"));
    if (!QFileInfo::exists(path)) QVERIFY(writeAll(path, oldBytes()));
    {
        SettingsStore store(folder, QString(), io);
        UnitsDialog units;
        MainWindow main(dialogs, store);
        main.setUnitsDialog(&units);
        main.loadSettings();
        QCOMPARE(int(main.settingsRecord()[AltitudeUnit]), 1);

        // The user changes a unit and switches series, then every save path runs.
        units.comboOf(AltitudeUnit)->setCurrentIndex(0);
        units.comboOf(AirspeedUnit)->setCurrentIndex(2);
        channelSeries(main.chart().chart(), YawSeries).active = true;
        channelSeries(main.chart().chart(), VoltsSeries).active = false;
        main.saveSettings();
        emit units.saveRequested();
        QVERIFY(main.saveBeforeClose());

        const SettingsRecord& record = main.settingsRecord();
        QCOMPARE(int(record[AltitudeUnit]), 0);
        QCOMPARE(int(record[AirspeedUnit]), 2);
        QCOMPARE(int(record[activeFlagOffset(YawSeries)]), 1);
        QCOMPARE(int(record[activeFlagOffset(VoltsSeries)]), 0);
        QCOMPARE(readAll(path), oldBytes());
        QVERIFY(dialogs.messages.isEmpty());

        // The viewer goes on: a log still loads.
        dialogs.openAccepted = true;
        dialogs.openFiles = {QStringLiteral(ZP_SOURCE_DIR "/samples/model07_airspeed.csv")};
        test::child<QPushButton>(main, "Button6")->click();
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].text, QStringLiteral("File Loaded!"));
    }
    QVERIFY(!QDir(folder)
                 .entryList(QDir::Files | QDir::Hidden)
                 .join(u' ')
                 .contains(QStringLiteral("Settings.bin.")));
}

void TestSettingsFaults::load_settingsIsFolderGivesDefaults() {
    test::FakeDialogs dialogs;
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Settings.bin")));
    {
        SettingsStore store(dir.path());
        UnitsDialog units;
        MainWindow main(dialogs, store);
        main.setUnitsDialog(&units);
        main.loadSettings();
        QCOMPARE(main.settingsRecord(), defaultSettingsRecord());
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("Settings.bin"))).isDir());
        QVERIFY(dialogs.messages.isEmpty());
    }
}

QTEST_MAIN(TestSettingsFaults)
#include "test_settings_faults.moc"
