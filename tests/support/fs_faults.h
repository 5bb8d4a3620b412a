// Real file system faults for the settings tests: a small tmpfs that fills up, and a
// folder that cannot be written. Mounting needs root on Linux; where it is not
// permitted, isValid() is false and the test skips (or uses the save seam instead).
#pragma once

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace zp::test {

inline bool runQuietly(const QString& program, const QStringList& args) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    return process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// A tmpfs of the given size (e.g. "40k") mounted on a fresh folder for the object's life.
class TmpfsMount {
  public:
    explicit TmpfsMount(const QString& size) {
#ifdef __linux__
        if (geteuid() == 0 && dir_.isValid())
            mounted_ =
                runQuietly(QStringLiteral("mount"),
                           {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                            QStringLiteral("size=") + size, QStringLiteral("tmpfs"), dir_.path()});
#else
        Q_UNUSED(size);
#endif
    }
    ~TmpfsMount() {
        if (mounted_) runQuietly(QStringLiteral("umount"), {dir_.path()});
    }
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;

    bool isValid() const {
        return mounted_;
    }
    QString path() const {
        return dir_.path();
    }
    QString filePath(const QString& name) const {
        return dir_.filePath(name);
    }

    // Remounts the file system read-only (what was written stays readable).
    bool makeReadOnly() {
        return mounted_ &&
               runQuietly(QStringLiteral("mount"),
                          {QStringLiteral("-o"), QStringLiteral("remount,ro"), dir_.path()});
    }

    // Writes a file that takes every free block; true once a write failed for want of
    // space.
    bool fill() {
        QFile filler(dir_.filePath(QStringLiteral("filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
        const QByteArray block(512, 'x');
        for (int i = 0; i < 100000; ++i)
            if (filler.write(block) != block.size()) return true;
        return false;
    }

  private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

// A folder that the process cannot write: a read-only tmpfs for root (whom permissions do
// not stop), a folder without write permission otherwise. `prepare` runs while the folder
// is still writable. isValid() is false when neither can be had.
class ReadOnlyFolder {
  public:
    template <typename Prepare>
    explicit ReadOnlyFolder(Prepare prepare) : mount_(QStringLiteral("64k")) {
        if (geteuid() == 0) {
            if (!mount_.isValid()) return;
            path_ = mount_.path();
            prepare(path_);
            valid_ = mount_.makeReadOnly();
        } else {
            path_ = plain_.path();
            prepare(path_);
            valid_ = QFile::setPermissions(path_, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        }
    }
    ~ReadOnlyFolder() {
        if (geteuid() != 0)
            QFile::setPermissions(
                path_, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    bool isValid() const { return valid_; }
    QString path() const { return path_; }

  private:
    TmpfsMount mount_;
    QTemporaryDir plain_;
    QString path_;
    bool valid_ = false;
};

}  // namespace zp::test
