// The logs loaded last, newest first, kept in the user's own configuration (never in
// Settings.bin, whose 55 bytes other installations rely on).
#pragma once

#include <QString>
#include <QStringList>

namespace zp {

class RecentFiles {
  public:
    static constexpr int kMaximum = 8;

    // Reads the list kept under `key` in the settings file at `iniPath`; an empty path
    // keeps the list in memory only.
    explicit RecentFiles(QString iniPath, QString key = QStringLiteral("recentFiles"));

    const QStringList& paths() const { return paths_; }
    // Puts `path` (made absolute) at the front; an older entry of it goes, and the list
    // keeps the newest kMaximum.
    void add(const QString& path);
    void remove(const QString& path);
    void clear();

  private:
    void save() const;

    QString iniPath_;
    QString key_;
    QStringList paths_;
};

}  // namespace zp
