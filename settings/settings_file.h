// Settings.bin: the 55 bytes of the settings record (SettingsStore decides its folder).
// Reading takes at most 55 bytes and leaves the bytes it did not get as they were.
// Writing goes to a temporary file in the same folder that then replaces Settings.bin,
// so a failed write never leaves a truncated or half-written settings file behind.
// Every failure is silent to the user; the functions only report it to their caller.
#pragma once

#include <QString>
#include <cstdint>

#include "settings/settings_record.h"

class QFile;

namespace zp {

inline constexpr char kSettingsFileName[] = "Settings.bin";

// The file operations that a save uses, one virtual per step so that tests can make any
// of them fail. The default implementation does the real work.
class SettingsFileIo {
  public:
    virtual ~SettingsFileIo() = default;
    // Writes byte number `index` (0 to 54) of the record.
    virtual bool writeByte(QFile& file, int index, std::uint8_t byte);
    // Flushes and closes the written file; false when the data may not be on disk.
    virtual bool close(QFile& file);
    // Replaces `target` with `source` in one step (the old target stays on failure).
    virtual bool replace(const QString& source, const QString& target);
    // Whether files can be created in `folder` (a folder under /usr is not, for a user).
    virtual bool folderWritable(const QString& folder);

    // The shared instance that does the real work.
    static SettingsFileIo& standard();
};

// Reads Settings.bin at `path` into `record`: at most 55 bytes from offset 0; bytes past
// the end of a short file keep their values, bytes past offset 54 are ignored. Returns
// false, with `record` untouched, when the file cannot be opened.
bool readSettingsFile(const QString& path, SettingsRecord& record);

// Writes the 55 bytes of `record` as Settings.bin in `folder`, through a temporary file
// that replaces the old one only once it is complete. On any failure the temporary file
// is removed, the old Settings.bin (if any) stays as it was, and false is returned.
bool writeSettingsFile(const QString& folder, const SettingsRecord& record,
                       SettingsFileIo& io = SettingsFileIo::standard());

}  // namespace zp
