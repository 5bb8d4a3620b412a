// Where Settings.bin lives and how it is read and written: the one place that decides
// the folder of the settings file. The viewer keeps it beside the executable; tests give
// a folder of their own and, to make a save fail part way, file operations of their own.
#pragma once

#include <QString>

#include "settings/settings_file.h"
#include "settings/settings_record.h"

namespace zp {

class SettingsStore {
  public:
    explicit SettingsStore(QString folder, SettingsFileIo& io = SettingsFileIo::standard());

    // The folder of the running executable, where the viewer keeps Settings.bin.
    static QString executableFolder();

    QString folder() const { return folder_; }
    // The full path of Settings.bin in the folder.
    QString filePath() const;

    // Reads Settings.bin into `record` as readSettingsFile does; false, with `record`
    // untouched, when there is no readable file.
    bool read(SettingsRecord& record) const;
    // Writes `record` as Settings.bin in the folder as writeSettingsFile does; false,
    // with the old file kept whole, on any failure.
    bool write(const SettingsRecord& record);

    // Makes the folder the process's current directory, so the next file dialog starts
    // there. Returns false (and changes nothing) when that is not possible.
    bool enterFolder() const;

  private:
    QString folder_;
    SettingsFileIo* io_;
};

}  // namespace zp
