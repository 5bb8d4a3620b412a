#include "settings/recent_files.h"

#include <QFileInfo>
#include <QSettings>
#include <utility>

namespace zp {

namespace {
const QString kKey = QStringLiteral("recentFiles");
}

RecentFiles::RecentFiles(QString iniPath) : iniPath_(std::move(iniPath)) {
    if (iniPath_.isEmpty()) return;
    const QSettings ini(iniPath_, QSettings::IniFormat);
    paths_ = ini.value(kKey).toStringList().mid(0, kMaximum);
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
    ini.setValue(kKey, paths_);
}

}  // namespace zp
