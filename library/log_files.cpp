#include "library/log_files.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <algorithm>

namespace zp::library {

namespace {

QString absoluteClean(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

}  // namespace

LogSearch findLogs(const QStringList& paths) {
    LogSearch search;
    std::vector<std::pair<QByteArray, LogFile>> found;
    for (const QString& given : paths) {
        const QFileInfo info(given);
        if (!info.isDir()) {
            found.push_back({given.toUtf8(), LogFile{given, absoluteClean(given)}});
            continue;
        }
        const QString folder = absoluteClean(given);
        search.folders << folder;
        const QString prefix = given.endsWith(u'/') ? given : given + u'/';
        QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (!path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) continue;
            const QString shown =
                prefix + path.mid(folder.size() + (folder.endsWith(u'/') ? 0 : 1));
            found.push_back({shown.toUtf8(), LogFile{shown, QDir::cleanPath(path)}});
        }
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < found.size(); ++i)
        if (i == 0 || found[i].first != found[i - 1].first) search.files.push_back(found[i].second);
    return search;
}

bool isInside(const QString& path, const QString& folder) {
    if (folder.endsWith(u'/')) return path.startsWith(folder);
    return path.size() > folder.size() && path.startsWith(folder) && path[folder.size()] == u'/';
}

}  // namespace zp::library
