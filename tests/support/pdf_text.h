// The text of a PDF file as poppler's pdftotext reads it, for tests that check what a
// page says, with non-breaking spaces read as plain spaces; none when poppler's tools
// are not installed (the caller skips).
#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <optional>

namespace zp::test {

inline std::optional<QString> pdfText(const QString& path) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty()) return std::nullopt;
    QProcess process;
    process.start(tool, {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) return QString();
    return QString::fromUtf8(process.readAllStandardOutput()).replace(QChar(0x00A0), u' ');
}

}  // namespace zp::test
