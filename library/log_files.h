// The log files that paths stand for: a file stands for itself, a folder for every file
// under it (recursively) whose name ends in ".csv" in any case.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace zp::library {

struct LogFile {
    // The path as given, or the folder as given, '/' and the path inside it.
    QString shown;
    // The absolute, cleaned path: the file's key in a store.
    QString path;
};

struct LogSearch {
    // In byte order of the UTF-8 of `shown`, each shown path once.
    std::vector<LogFile> files;
    // The absolute paths of the folders searched: a store's files under one of them
    // that the search did not find are gone.
    QStringList folders;
};

LogSearch findLogs(const QStringList& paths);

// Whether `path` lies inside `folder` (both absolute and cleaned).
bool isInside(const QString& path, const QString& folder);

}  // namespace zp::library
