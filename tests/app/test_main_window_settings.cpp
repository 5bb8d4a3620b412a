// The settings record as the main window loads, applies and saves it: the file cases
// at start-up, the unit combo boxes and series flags it mirrors, and how often each exit
// path writes the file.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "app/main_window.h"
#include "chart/chart_widget.h"
#include "loading/channel_series.h"
#include "settings/settings_store.h"
#include "settings/units_dialog.h"
#include "tests/support/fake_dialogs.h"
#include "tests/support/find_child.h"

using namespace zp;

namespace {

// Counts completed saves and can make the last step fail.
class CountingIo : public SettingsFileIo {
  public:
    int saves = 0;
    bool failReplace = false;
    bool replace(const QString& source, const QString& target) override {
        if (failReplace) return false;
        ++saves;
        return SettingsFileIo::replace(source, target);
    }
};

// A main window with its Units dialog, keeping Settings.bin in a temporary folder.
struct Viewer {
    test::FakeDialogs dialogs;
    CountingIo io;
    QTemporaryDir dir;
    SettingsStore store{dir.path(), QString(), io};
    UnitsDialog units;
    std::unique_ptr<MainWindow> main = std::make_unique<MainWindow>(dialogs, store);

    Viewer() { main->setUnitsDialog(&units); }

    QString file() const { return dir.filePath(QStringLiteral("Settings.bin")); }
    QByteArray fileBytes() const {
        QFile f(file());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Replaces Settings.bin; false when it cannot be written whole.
    bool writeFile(const QByteArray& bytes) const {
        QFile f(file());
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               f.write(bytes) == bytes.size() && f.flush();
    }
    chart::LineSeries& series(Channel channel) {
        return channelSeries(main->chart().chart(), channel);
    }
    int activeCount() {
        int n = 0;
        for (const auto& s : main->chart().chart().series) n += s.active ? 1 : 0;
        return n;
    }
    QComboBox* combo(UnitSelector selector) const { return units.comboOf(selector); }
};

QByteArray defaultBytes() {
    return QByteArray(14, '\0') + QByteArray(41, '\1');
}

}  // namespace

class TestMainWindowSettings : public QObject {
    Q_OBJECT

  private slots:
    void load_missingFileAppliesAndWritesDefaults();
    void load_emptyFileLeavesEverythingOff();
    void load_shortFileFillsOnlyItsBytes();
    void load_longFileNextSaveWrites55();
    void load_unitBeyondItemsSavedAs255();
    void load_activeFlagTwoSavedAsOne();
    void load_fromAnotherWorkingDirectory();
    void save_failedWriteStillUpdatesRecord();
    void firstShowing_onlyLoads();
    void exitPaths_saveExactlyOnce_data();
    void exitPaths_saveExactlyOnce();
    void unitsDialog_closeBoxDefersAndOkSaves();
};

void TestMainWindowSettings::load_missingFileAppliesAndWritesDefaults() {
    Viewer v;
    v.main->loadSettings();
    QCOMPARE(v.fileBytes(), defaultBytes());
    QCOMPARE(v.io.saves, 1);
    QCOMPARE(v.activeCount(), kChannelCount);
    for (int s = 0; s < kUnitSelectorCount; ++s)
        QCOMPARE(v.units.selection(static_cast<UnitSelector>(s)), 0);
    QCOMPARE(v.combo(MapUnit)->currentText(), QStringLiteral("Millibar"));
}

void TestMainWindowSettings::load_emptyFileLeavesEverythingOff() {
    Viewer v;
    QVERIFY(v.writeFile(QByteArray()));
    v.series(VoltsSeries).active = true;
    v.main->loadSettings();
    QCOMPARE(v.activeCount(), 0);
    QCOMPARE(v.units.selection(VsiUnit), 0);
    QCOMPARE(v.io.saves, 0);
    QCOMPARE(v.fileBytes(), QByteArray());
}

void TestMainWindowSettings::load_shortFileFillsOnlyItsBytes() {
    Viewer v;
    QByteArray bytes(20, '\1');
    bytes[MapUnit] = 1;
    bytes[AltitudeUnit] = 1;
    bytes[VsiUnit] = 0;
    QVERIFY(v.writeFile(bytes));
    v.main->loadSettings();
    QCOMPARE(v.units.selection(MapUnit), 1);
    QCOMPARE(v.units.selection(AltitudeUnit), 1);
    QCOMPARE(v.units.selection(VsiUnit), 0);
    // Bytes 14 to 19: Volts, RPM 1, RPM 1 (%), RPM 2, RPM 2 (%), Analog 1.
    for (Channel c : {VoltsSeries, RPM1Series, RPM1PSeries, RPM2Series, RPM2PSeries, Analog1Series})
        QVERIFY2(v.series(c).active, kChannels[c].name);
    QCOMPARE(v.activeCount(), 6);
}

void TestMainWindowSettings::load_longFileNextSaveWrites55() {
    Viewer v;
    QVERIFY(v.writeFile(defaultBytes() + QByteArray(5, '\7')));
    v.main->loadSettings();
    QCOMPARE(v.activeCount(), kChannelCount);
    v.main->saveSettings();
    QCOMPARE(v.fileBytes(), defaultBytes());
}

void TestMainWindowSettings::load_unitBeyondItemsSavedAs255() {
    Viewer v;
    QByteArray bytes = defaultBytes();
    bytes[MapUnit] = 5;
    QVERIFY(v.writeFile(bytes));
    v.main->loadSettings();
    QCOMPARE(v.units.selection(MapUnit), -1);
    // The loader goes on using code 5 until the next save.
    QCOMPARE(int(unitSelectorsOf(v.main->settingsRecord())[MapUnit]), 5);
    v.main->saveSettings();
    QCOMPARE(int(v.main->settingsRecord()[MapUnit]), 255);
    QCOMPARE(quint8(v.fileBytes().at(MapUnit)), quint8(255));
}

void TestMainWindowSettings::load_activeFlagTwoSavedAsOne() {
    Viewer v;
    QByteArray bytes = defaultBytes();
    const int gforce = activeFlagOffset(GForceSeries);
    bytes[gforce] = 2;
    bytes[activeFlagOffset(HeadingSeries)] = 0;
    QVERIFY(v.writeFile(bytes));
    v.main->loadSettings();
    QVERIFY(v.series(GForceSeries).active);
    QVERIFY(!v.series(HeadingSeries).active);
    v.main->saveSettings();
    QCOMPARE(int(v.fileBytes().at(gforce)), 1);
    QCOMPARE(int(v.fileBytes().at(activeFlagOffset(HeadingSeries))), 0);
}

void TestMainWindowSettings::load_fromAnotherWorkingDirectory() {
    Viewer v;
    QTemporaryDir elsewhere;
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    v.main->loadSettings();
    QVERIFY(QFileInfo::exists(v.file()));
    QVERIFY(!QFileInfo::exists(elsewhere.filePath(QStringLiteral("Settings.bin"))));
    // The settings folder is the current directory afterwards (the bitmap export starts there).
    QCOMPARE(QDir::currentPath(), QDir(v.dir.path()).canonicalPath());

    QVERIFY(QDir::setCurrent(elsewhere.path()));
    v.series(TC3Series).active = false;
    v.main->saveSettings();
    QCOMPARE(int(v.fileBytes().at(activeFlagOffset(TC3Series))), 0);
    QVERIFY(!QFileInfo::exists(elsewhere.filePath(QStringLiteral("Settings.bin"))));
    QDir::setCurrent(QDir::tempPath());
}

void TestMainWindowSettings::save_failedWriteStillUpdatesRecord() {
    Viewer v;
    v.main->loadSettings();
    v.io.failReplace = true;
    v.series(YawSeries).active = false;
    v.combo(AltitudeUnit)->setCurrentIndex(1);
    v.main->saveSettings();
    QCOMPARE(int(v.main->settingsRecord()[activeFlagOffset(YawSeries)]), 0);
    QCOMPARE(int(v.main->settingsRecord()[AltitudeUnit]), 1);
    QCOMPARE(v.fileBytes(), defaultBytes());
}

void TestMainWindowSettings::firstShowing_onlyLoads() {
    Viewer v;
    v.main->show();
    QCOMPARE(v.io.saves, 1);  // no file: the defaults were written at once
    QCOMPARE(v.activeCount(), kChannelCount);
    v.series(BankSeries).active = false;
    v.main->hide();
    v.main->show();
    QCOMPARE(v.io.saves, 1);
    QVERIFY(!v.series(BankSeries).active);
    v.main->hide();
}

void TestMainWindowSettings::exitPaths_saveExactlyOnce_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("Exit Program button") << "SpeedButton1";
    QTest::newRow("File > Exit") << "exit1";
    QTest::newRow("close box") << "close";
}

void TestMainWindowSettings::exitPaths_saveExactlyOnce() {
    QFETCH(QString, path);
    Viewer v;
    QVERIFY(v.writeFile(defaultBytes()));
    v.main->show();
    QCOMPARE(v.io.saves, 0);
    v.series(PitchSeries).active = false;
    if (path == QLatin1String("SpeedButton1"))
        test::child<QToolButton>(*v.main, "SpeedButton1")->click();
    else if (path == QLatin1String("exit1"))
        test::child<QAction>(*v.main, "exit1")->trigger();
    else
        QVERIFY(v.main->close());
    QCOMPARE(v.io.saves, 1);
    QCOMPARE(int(v.fileBytes().at(activeFlagOffset(PitchSeries))), 0);
    // The windows are then destroyed without another save.
    v.main.reset();
    QCOMPARE(v.io.saves, 1);
}

void TestMainWindowSettings::unitsDialog_closeBoxDefersAndOkSaves() {
    Viewer v;
    const test::FakeDialogs& dialogs = v.dialogs;
    v.main->loadSettings();
    const int savesAfterLoad = v.io.saves;

    v.main->showUnitsDialog();
    QCOMPARE(dialogs.modals.size(), 1);
    QCOMPARE(dialogs.modals.first(), static_cast<QDialog*>(&v.units));
    v.combo(AltitudeUnit)->setCurrentIndex(1);  // Meters
    v.units.close();
    QCOMPARE(v.io.saves, savesAfterLoad);
    QCOMPARE(int(unitSelectorsOf(v.main->settingsRecord())[AltitudeUnit]), 0);

    // Reopened, the dialog still shows the choice; OK stores it with the series flags.
    test::child<QAction>(*v.main, "UnitSetup1")->trigger();
    QCOMPARE(dialogs.modals.size(), 2);
    QCOMPARE(v.units.selection(AltitudeUnit), 1);
    v.series(CJCSeries).active = false;
    test::child<QPushButton>(v.units, "Button1")->click();
    QCOMPARE(v.io.saves, savesAfterLoad + 1);
    QCOMPARE(int(v.fileBytes().at(AltitudeUnit)), 1);
    QCOMPARE(int(v.fileBytes().at(activeFlagOffset(CJCSeries))), 0);
    QCOMPARE(int(unitSelectorsOf(v.main->settingsRecord())[AltitudeUnit]), 1);
}

QTEST_MAIN(TestMainWindowSettings)
#include "test_main_window_settings.moc"
