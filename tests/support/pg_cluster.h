// A throw-away PostgreSQL server for a test: scripts/pg-cluster starts one as an
// unprivileged user on a free port of 127.0.0.1, and it is removed with this object.
// Tests of the server skip, saying why, when none can be started (no postgresql
// package, say).
#pragma once

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <atomic>

namespace zp::test {

class PgCluster {
  public:
    PgCluster() {
        QProcess start;
        start.start(script(), {QStringLiteral("start")});
        if (!start.waitForFinished(120000) || start.exitCode() != 0) {
            why_ = QString::fromLocal8Bit(start.readAllStandardError()).trimmed();
            if (why_.isEmpty()) why_ = QStringLiteral("scripts/pg-cluster start failed");
            return;
        }
        const QStringList parts =
            QString::fromLocal8Bit(start.readAllStandardOutput()).trimmed().split(u' ');
        if (parts.size() != 2) {
            why_ = QStringLiteral("scripts/pg-cluster printed no folder and URL");
            return;
        }
        folder_ = parts[0];
        url_ = parts[1];
    }
    ~PgCluster() {
        if (!folder_.isEmpty()) QProcess::execute(script(), {QStringLiteral("remove"), folder_});
    }
    PgCluster(const PgCluster&) = delete;
    PgCluster& operator=(const PgCluster&) = delete;

    bool running() const { return !url_.isEmpty(); }
    // Why no server runs.
    QString why() const { return why_; }
    // postgresql://zp@127.0.0.1:PORT/zp
    QString url() const { return url_; }

    // A new, empty database on the server, by its location.
    QString newDatabase() {
        static std::atomic<int> counter{0};
        const QString name = QStringLiteral("t%1").arg(counter.fetch_add(1));
        run(QStringLiteral("CREATE DATABASE ") + name);
        return url_.left(url_.lastIndexOf(u'/') + 1) + name;
    }

    // Runs a statement on the database at `location` (default: the server's own).
    bool run(const QString& sql, const QString& location = QString()) {
        const QString where = location.isEmpty() ? url_ : location;
        const QString name = QStringLiteral("pg-cluster-admin");
        bool ok = false;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
            const int colon = where.lastIndexOf(u':');
            const int slash = where.lastIndexOf(u'/');
            db.setHostName(QStringLiteral("127.0.0.1"));
            db.setUserName(QStringLiteral("zp"));
            db.setPort(where.mid(colon + 1, slash - colon - 1).toInt());
            db.setDatabaseName(where.mid(slash + 1));
            if (db.open()) {
                QSqlQuery q(db);
                ok = q.exec(QStringLiteral("SET client_min_messages = warning")) && q.exec(sql);
                if (!ok) qWarning("%s", qPrintable(q.lastError().text()));
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        return ok;
    }

    // Stops the server (fast: connections are cut) and starts it again.
    bool stop() { return QProcess::execute(script(), {QStringLiteral("stop"), folder_}) == 0; }
    bool restart() {
        return QProcess::execute(script(), {QStringLiteral("restart"), folder_}) == 0;
    }

  private:
    static QString script() { return QStringLiteral(ZP_SOURCE_DIR "/scripts/pg-cluster"); }

    QString folder_;
    QString url_;
    QString why_;
};

}  // namespace zp::test
