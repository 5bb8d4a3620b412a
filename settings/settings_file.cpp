#include "settings/settings_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>

namespace zp {

bool SettingsFileIo::writeByte(QFile& file, int, std::uint8_t byte) {
    const char c = static_cast<char>(byte);
    return file.write(&c, 1) == 1;
}

bool SettingsFileIo::close(QFile& file) {
    const bool flushed = file.flush();
    file.close();
    return flushed && file.error() == QFileDevice::NoError;
}

bool SettingsFileIo::folderWritable(const QString& folder) {
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

bool SettingsFileIo::replace(const QString& source, const QString& target) {
    // std::filesystem::rename replaces an existing target on every platform, unlike
    // QFile::rename, and does so in one step where the file system allows it.
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(source.toStdU16String()),
                            std::filesystem::path(target.toStdU16String()), error);
    return !error;
}

SettingsFileIo& SettingsFileIo::standard() {
    static SettingsFileIo io;
    return io;
}

bool readSettingsFile(const QString& path, SettingsRecord& record) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    char bytes[kSettingsRecordSize];
    qint64 got = 0;
    // A read error counts like the end of the file: what was read so far is used.
    while (got < kSettingsRecordSize) {
        const qint64 n = file.read(bytes + got, kSettingsRecordSize - got);
        if (n <= 0) break;
        got += n;
    }
    for (qint64 i = 0; i < got; ++i)
        record[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bytes[i]);
    file.close();
    return true;
}

bool writeSettingsFile(const QString& folder, const SettingsRecord& record, SettingsFileIo& io) {
    const QDir dir(folder);
    QTemporaryFile file(dir.filePath(QStringLiteral("Settings.bin.XXXXXX")));
    file.setAutoRemove(false);
    if (!file.open()) return false;
    const QString tempPath = file.fileName();
    // A temporary file is private to its owner; Settings.bin gets the usual permissions.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                        QFileDevice::ReadOther);

    bool ok = true;
    for (int i = 0; i < kSettingsRecordSize && ok; ++i)
        ok = io.writeByte(file, i, record[static_cast<std::size_t>(i)]);
    // Close even after a failed write so the temporary file can be removed.
    ok = io.close(file) && ok;
    if (file.isOpen()) file.close();
    if (ok) ok = io.replace(tempPath, dir.filePath(QLatin1String(kSettingsFileName)));
    if (!ok) QFile::remove(tempPath);
    return ok;
}

}  // namespace zp
