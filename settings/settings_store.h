// Where Settings.bin lives and how it is read and written: the one place that decides
// the folder of the settings file. The viewer keeps it beside the executable whenever
// that folder can be written, as existing installations expect. Installed where a user
// cannot write (under /usr), the same 55-byte record is kept in the user's own
// configuration folder instead, so no choice is lost at exit. Tests give folders of
// their own and, to make a save fail part way, file operations of their own.
#pragma once

#include <QString>

#include "settings/settings_file.h"
#include "settings/settings_record.h"

namespace zp {

class SettingsStore {
  public:
    // `folder` is the executable's folder; `userFolder` the per-user configuration
    // folder (created on the first save there; empty: no fallback).
    explicit SettingsStore(QString folder, QString userFolder = QString(),
                           SettingsFileIo& io = SettingsFileIo::standard());

    // The folder of the running executable, where the viewer keeps Settings.bin.
    static QString executableFolder();
    // This user's configuration folder for the viewer.
    static QString userConfigFolder();

    QString folder() const { return folder_; }
    QString userFolder() const { return userFolder_; }
    // The full path of the Settings.bin that read() reads: the one beside the executable
    // when its folder can be written or no per-user file exists yet, else the per-user one.
    QString filePath() const;

    // Reads Settings.bin into `record` as readSettingsFile does; false, with `record`
    // untouched, when there is no readable file.
    bool read(SettingsRecord& record) const;
    // Writes `record` as Settings.bin as writeSettingsFile does, beside the executable
    // when that folder can be written, else in the per-user folder; false, with the old
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
};

}  // namespace zp
