#include "settings/settings_store.h"

#include <QCoreApplication>
#include <QDir>
#include <utility>

namespace zp {

SettingsStore::SettingsStore(QString folder, SettingsFileIo& io)
    : folder_(std::move(folder)), io_(&io) {}

QString SettingsStore::executableFolder() {
    return QCoreApplication::applicationDirPath();
}

QString SettingsStore::filePath() const {
    return QDir(folder_).filePath(QLatin1String(kSettingsFileName));
}

bool SettingsStore::read(SettingsRecord& record) const {
    return readSettingsFile(filePath(), record);
}

bool SettingsStore::write(const SettingsRecord& record) {
    return writeSettingsFile(folder_, record, *io_);
}

bool SettingsStore::enterFolder() const {
    return !folder_.isEmpty() && QDir::setCurrent(folder_);
}

}  // namespace zp
