#include "settings/settings_store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <utility>

namespace zp {

namespace {
QString settingsFileIn(const QString& folder) {
    return QDir(folder).filePath(QLatin1String(kSettingsFileName));
}
}  // namespace

SettingsStore::SettingsStore(QString folder, QString userFolder, SettingsFileIo& io,
                             SettingsPlace place)
    : folder_(std::move(folder)), userFolder_(std::move(userFolder)), io_(&io), place_(place) {}

QString SettingsStore::executableFolder() {
    return QCoreApplication::applicationDirPath();
}

QString SettingsStore::userConfigFolder() {
    // The application's name holds a slash, so the folder is named here rather than
    // derived from it.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/zimra-pexo-viewer");
}

SettingsPlace SettingsStore::placeFor(const QString& executableFolder,
                                      const QString& installedFolder) {
    // Empty when the folder does not exist (or the name is empty).
    const QString executable = QFileInfo(executableFolder).canonicalFilePath();
    const QString installed = QFileInfo(installedFolder).canonicalFilePath();
    return !executable.isEmpty() && executable == installed ? SettingsPlace::PerUser
                                                            : SettingsPlace::BesideExecutable;
}

bool SettingsStore::besideExecutable() const {
    if (userFolder_.isEmpty()) return true;
    return place_ == SettingsPlace::BesideExecutable && io_->folderWritable(folder_);
}

QString SettingsStore::filePath() const {
    if (besideExecutable() || !QFileInfo::exists(settingsFileIn(userFolder_)))
        return settingsFileIn(folder_);
    return settingsFileIn(userFolder_);
}

bool SettingsStore::read(SettingsRecord& record) const {
    return readSettingsFile(filePath(), record);
}

bool SettingsStore::write(const SettingsRecord& record) {
    if (besideExecutable()) return writeSettingsFile(folder_, record, *io_);
    if (!QDir().mkpath(userFolder_)) return false;
    return writeSettingsFile(userFolder_, record, *io_);
}

bool SettingsStore::enterFolder() const {
    return !folder_.isEmpty() && QDir::setCurrent(folder_);
}

}  // namespace zp
