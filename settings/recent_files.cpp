#include "settings/recent_files.h"

#include <QFileInfo>
#include <QSettings>
#include <utility>

namespace zp {

RecentFiles::RecentFiles(QString iniPath, QString key)
    : iniPath_(std::move(iniPath)), key_(std::move(key)) {
    if (iniPath_.isEmpty()) return;
    const QSettings ini(iniPath_, QSettings::IniFormat);
    paths_ = ini.value(key_).toStringList().mid(0, kMaximum);
}

void RecentFiles::add(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    paths_.removeAll(absolute);
    paths_.prepend(absolute);
    while (paths_.size() > kMaximum) paths_.removeLast();
    save();
}

void RecentFiles::remove(const QString& path) {
    paths_.removeAll(QFileInfo(path).absoluteFilePath());
    save();
}

void RecentFiles::clear() {
    paths_.clear();
    save();
}

void RecentFiles::save() const {
    if (iniPath_.isEmpty()) return;
    QSettings ini(iniPath_, QSettings::IniFormat);
    ini.setValue(key_, paths_);
}

}  // namespace zp
