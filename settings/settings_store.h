// Where Settings.bin lives and how it is read and written: the one place that decides
// the folder of the settings file. A copy of the viewer outside the installation (a
// build, a folder of the user's own) keeps it beside the executable whenever that
// folder can be written, as existing copies expect, and in the user's own
// configuration folder where it cannot. The installed viewer keeps it in the user's
// configuration folder whoever runs it, so that it never writes into the system's
// program folder, not even as root. Tests give folders of their own and, to make a save
// fail part way, file operations of their own.
#pragma once

#include <QString>

#include "settings/settings_file.h"
#include "settings/settings_record.h"

namespace zp {

// Where a store saves Settings.bin.
enum class SettingsPlace {
    // Beside the executable when its folder can be written, else in the per-user
    // folder: a copy of the viewer outside the installation.
    BesideExecutable,
    // Always in the per-user folder: the viewer running from the installation.
    PerUser,
};

class SettingsStore {
  public:
    // `folder` is the executable's folder; `userFolder` the per-user configuration
    // folder (created on the first save there; empty: no fallback, every save goes
    // beside the executable whatever `place` says).
    explicit SettingsStore(QString folder, QString userFolder = QString(),
                           SettingsFileIo& io = SettingsFileIo::standard(),
                           SettingsPlace place = SettingsPlace::BesideExecutable);

    // The folder of the running executable, where the viewer keeps Settings.bin.
    static QString executableFolder();
    // This user's configuration folder for the viewer.
    static QString userConfigFolder();
    // The place for a viewer whose executable is in `executableFolder`: PerUser when
    // that is the installation's program folder `installedFolder` (the same folder
    // once links are resolved), else BesideExecutable. A folder that does not exist
    // is nobody's installation.
    static SettingsPlace placeFor(const QString& executableFolder, const QString& installedFolder);

    QString folder() const { return folder_; }
    QString userFolder() const { return userFolder_; }
    SettingsPlace place() const { return place_; }
    // The full path of the Settings.bin that read() reads: the one beside the executable
    // when saves go there or no per-user file exists yet, else the per-user one.
    QString filePath() const;

    // Reads Settings.bin into `record` as readSettingsFile does; false, with `record`
    // untouched, when there is no readable file.
    bool read(SettingsRecord& record) const;
    // Writes `record` as Settings.bin as writeSettingsFile does, beside the executable
    // when the place is BesideExecutable and that folder can be written, else in the
    // per-user folder; false, with the old
    // file kept whole, on any failure.
    bool write(const SettingsRecord& record);

    // Makes the executable's folder the process's current directory, so the next file
    // dialog starts there. Returns false (and changes nothing) when that is not possible.
    bool enterFolder() const;

  private:
    bool besideExecutable() const;

    QString folder_;
    QString userFolder_;
    SettingsFileIo* io_;
    SettingsPlace place_;
};

}  // namespace zp
