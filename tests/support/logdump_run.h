// logdump of the build run as a program, for the tests of what it prints: its exit code,
// its standard output and error, and that output read as a JSON object.
#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace zp::test {

struct LogdumpRun {
    int exitCode = -1;  // -1: it did not finish within two minutes
    QByteArray out;
    QByteArray err;
    QJsonObject report;
};

// Starts logdump with `args` in `folder` (empty: this process's current folder); the
// caller hands the process to finishLogdump().
inline QProcess* startLogdump(const QStringList& args, const QString& folder = QString()) {
    auto* process = new QProcess;
    if (!folder.isEmpty()) process->setWorkingDirectory(folder);
    process->start(QStringLiteral(ZP_BINARY_DIR "/bin/logdump"), args);
    return process;
}

// Waits for a process of startLogdump(), reads what it printed and deletes it.
inline LogdumpRun finishLogdump(QProcess* process) {
    LogdumpRun run;
    if (process->waitForFinished(120000)) {
        run.exitCode = process->exitCode();
        run.out = process->readAllStandardOutput();
        run.err = process->readAllStandardError();
        run.report = QJsonDocument::fromJson(run.out).object();
    }
    delete process;
    return run;
}

inline LogdumpRun runLogdump(const QStringList& args, const QString& folder = QString()) {
    return finishLogdump(startLogdump(args, folder));
}

}  // namespace zp::test
