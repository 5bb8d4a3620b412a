// Whole files as bytes, for tests that prepare a file or check what was written.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace zp::test {

// The file's bytes; empty when it cannot be read.
inline QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Replaces the file's content with `bytes`; false when any of them did not reach it.
inline bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

}  // namespace zp::test
