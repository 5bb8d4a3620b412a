// The parts of the flight store that only a PostgreSQL server has: its location, the
// connection made again when it drops, the claims of files between indexers, and a file
// written in few round trips (a server is a network away, unlike an SQLite file).
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QUrl>
#include <QUrlQuery>
#include <QVariant>
#include <cstdio>

#include "library/sql_flight_store.h"

namespace zp::library {

namespace {

// The first key of the advisory locks on files ("ZP"); the second is a hash of the file.
constexpr int kClaimLockClass = 0x5A50;

int claimKey(const QString& aircraft, const QString& path) {
    // FNV-1a of the aircraft, a zero byte and the path, folded to 32 bits.
    std::uint64_t hash = 14695981039346656037ull;
    const auto add = [&hash](const QByteArray& bytes) {
        for (const char c : bytes) {
            hash ^= static_cast<unsigned char>(c);
            hash *= 1099511628211ull;
        }
    };
    add(aircraft.toUtf8());
    add(QByteArray(1, '\0'));
    add(path.toUtf8());
    return static_cast<int>(static_cast<std::uint32_t>(hash ^ (hash >> 32)));
}

// A text as an SQL literal of the connection's driver.
QString literal(const QSqlDatabase& db, const QString& text) {
    QSqlField field(QStringLiteral("t"), QMetaType(QMetaType::QString));
    field.setValue(text);
    return db.driver()->formatValue(field);
}

QString nullableLiteral(const QSqlDatabase& db, const QString& text) {
    return text.isEmpty() ? QStringLiteral("NULL") : literal(db, text);
}

QString integer(std::int64_t value) {
    return QString::number(static_cast<qlonglong>(value));
}

// A double as PostgreSQL reads it back to the bit: -0 stays -0.
QString doubleLiteral(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "'%.17g'::float8", value);
    return QString::fromLatin1(text);
}

QString counterLiteral(const std::optional<CounterSpan>& span, bool end) {
    return span ? QString::number(end ? span->end : span->start) : QStringLiteral("NULL::integer");
}

}  // namespace

bool isServerLocation(const QString& location) {
    return location.startsWith(QLatin1String("postgresql://")) ||
           location.startsWith(QLatin1String("postgres://"));
}

std::optional<ServerLocation> parseServerLocation(const QString& location, QString& error) {
    const QUrl url(location, QUrl::StrictMode);
    if (!url.isValid() || !isServerLocation(location)) {
        error = QStringLiteral("not a server location: %1 (postgresql://USER@HOST:PORT/DBNAME)")
                    .arg(location);
        return std::nullopt;
    }
    if (!url.password().isEmpty()) {
        error = QStringLiteral(
            "a password does not go into the server location; put it into PGPASSWORD or "
            "~/.pgpass");
        return std::nullopt;
    }
    ServerLocation server;
    server.user = url.userName();
    server.host = url.host();
    server.port = url.port(5432);
    server.database = url.path().mid(1);
    if (server.database.isEmpty() || server.database.contains(u'/')) {
        error = QStringLiteral(
                    "the server location %1 names no database "
                    "(postgresql://USER@HOST:PORT/DBNAME)")
                    .arg(location);
        return std::nullopt;
    }
    QStringList options;
    for (const auto& [key, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        if (key == u"password") {
            error = QStringLiteral(
                "a password does not go into the server location; put it into PGPASSWORD or "
                "~/.pgpass");
            return std::nullopt;
        }
        options << key + u'=' + value;
    }
    if (!options.join(u' ').contains(QLatin1String("connect_timeout")))
        options << QStringLiteral("connect_timeout=10");
    server.options = options.join(u';');
    return server;
}

bool SqlFlightStore::connectionAlive() {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (!db.isOpen()) return false;
    QSqlQuery q(db);
    // A failed statement leaves its transaction open and refusing work, not the
    // connection dead.
    q.exec(QStringLiteral("ROLLBACK"));
    return q.exec(QStringLiteral("SELECT 1"));
}

bool SqlFlightStore::reconnect() {
    claims_.clear();  // the server dropped them with the old connection
    trendQueries_.clear();
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    db.close();
    if (!db.open()) return fail(QStringLiteral("connecting"), db.lastError().text());
    QSqlQuery q(db);
    // Notices (of tables that exist already, say) are not for the user; a committed file
    // may be lost with the server's memory in a crash, but never half of it, as with
    // SQLite's write-ahead log.
    for (const char* setting :
         {"SET client_min_messages = warning", "SET synchronous_commit = off"})
        if (!q.exec(QLatin1String(setting)))
            return fail(QStringLiteral("connecting"), q.lastError().text());
    return true;
}

Claim SqlFlightStore::claim(const QString& path, const FileStamp& stamp) {
    if (dialect_ != Dialect::Postgres) return Claim::Granted;
    const int key = claimKey(aircraft_, path);
    Claim result = Claim::Granted;
    const bool asked = retrying([&] {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        QSqlQuery q(db);
        if (!claims_.contains(key)) {
            if (!q.exec(QStringLiteral("SELECT pg_try_advisory_lock(%1, %2)")
                            .arg(kClaimLockClass)
                            .arg(key)) ||
                !q.next())
                return fail(QStringLiteral("claiming ") + path, q.lastError().text());
            if (!q.value(0).toBool()) {
                result = Claim::Busy;
                return true;
            }
            claims_.insert(key);
        }
        // Whoever held it before has stored it by now, if it stored it at all.
        if (!q.exec(QStringLiteral("SELECT size, modified_ms, options FROM files WHERE aircraft "
                                   "= %1 AND path = %2")
                        .arg(literal(db, aircraft_), literal(db, path))))
            return fail(QStringLiteral("claiming ") + path, q.lastError().text());
        if (q.next() && q.value(0).toLongLong() == stamp.size &&
            q.value(1).toLongLong() == stamp.modifiedMs &&
            q.value(2).toString() == stamp.optionsKey)
            result = Claim::Current;
        return true;
    });
    if (!asked) return Claim::Granted;  // the write will tell what went wrong
    if (result == Claim::Current) release(path);
    return result;
}

void SqlFlightStore::release(const QString& path) {
    if (dialect_ != Dialect::Postgres) return;
    const int key = claimKey(aircraft_, path);
    if (!claims_.remove(key)) return;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.exec(QStringLiteral("SELECT pg_advisory_unlock(%1, %2)").arg(kClaimLockClass).arg(key));
}

namespace {

// The statements after "WITH f AS (...)" that insert every flight of `file`, its records
// and its figures for the file whose id f gives, and end the statement.
QString flightsStatement(const QSqlDatabase& db, const FileFlights& file) {
    QStringList flights, records, series;
    for (const Flight& f : file.flights) {
        const QString idx = QString::number(f.index);
        flights << QStringLiteral("(%1, %2, %3, %4, %5, %6, %7, %8, ")
                           .arg(idx, integer(f.firstLine), integer(f.lastLine),
                                literal(db, f.dateText),
                                f.date.isValid() ? literal(db, f.date.toString(Qt::ISODate))
                                                 : QStringLiteral("NULL::text"),
                                f.dateFromText ? QStringLiteral("1") : QStringLiteral("0"),
                                integer(f.startSecond), integer(f.endSecond)) +
                       QStringLiteral("%1, %2, %3, %4, %5)")
                           .arg(integer(f.seconds), counterLiteral(f.hobbs, false),
                                counterLiteral(f.hobbs, true), counterLiteral(f.maintenance, false),
                                counterLiteral(f.maintenance, true));
        for (int id = 1; id <= kModelCount; ++id) {
            const std::int64_t n = f.records[static_cast<std::size_t>(id)];
            if (n != 0) records << QStringLiteral("(%1, %2, %3)").arg(idx).arg(id).arg(integer(n));
        }
        for (int c = 0; c < kChannelCount; ++c) {
            const std::optional<ChannelFigures>& figures = f.channels[static_cast<std::size_t>(c)];
            if (!figures) continue;
            series << QStringLiteral("(%1, '%2', %3, %4, %5, %6, %7, %8)")
                          .arg(idx, QLatin1String(kChannels[c].name), integer(figures->count),
                               doubleLiteral(figures->minimum), doubleLiteral(figures->maximum),
                               doubleLiteral(figures->mean), integer(figures->highRuns),
                               integer(figures->lowRuns));
        }
        // The derived series of an engine profile, by their own names.
        for (const auto& [name, figures] : f.derived)
            series << QStringLiteral("(%1, %2, %3, %4, %5, %6, %7, %8)")
                          .arg(idx, literal(db, name), integer(figures.count),
                               doubleLiteral(figures.minimum), doubleLiteral(figures.maximum),
                               doubleLiteral(figures.mean), integer(figures.highRuns),
                               integer(figures.lowRuns));
    }
    if (flights.isEmpty()) return QStringLiteral(" SELECT count(*) FROM f");
    QString sql = QStringLiteral(
                      ", fl AS (INSERT INTO flights (file_id, idx, first_line, last_line, "
                      "date_text, date, date_from_text, start_second, end_second, seconds, "
                      "hobbs_start, hobbs_end, maintenance_start, maintenance_end) SELECT f.id, "
                      "v.* FROM f CROSS JOIN (VALUES %1) AS v RETURNING id, idx)")
                      .arg(flights.join(u','));
    if (!records.isEmpty())
        sql += QStringLiteral(
                   ", r AS (INSERT INTO flight_records (flight_id, model, records) SELECT fl.id, "
                   "v.model, v.records FROM fl JOIN (VALUES %1) AS v(idx, model, records) ON "
                   "v.idx = fl.idx)")
                   .arg(records.join(u','));
    if (!series.isEmpty())
        sql += QStringLiteral(
                   ", s AS (INSERT INTO flight_series (flight_id, series, count, min, max, mean, "
                   "high_runs, low_runs) SELECT fl.id, v.series, v.count, v.min, v.max, v.mean, "
                   "v.high_runs, v.low_runs FROM fl JOIN (VALUES %1) AS v(idx, series, count, "
                   "min, max, mean, high_runs, low_runs) ON v.idx = fl.idx)")
                   .arg(series.join(u','));
    return sql + QStringLiteral(" SELECT count(*) FROM f");
}

}  // namespace

bool SqlFlightStore::putFilePostgres(const FileFlights& file, const QString& optionsKey) {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    const QString what = QStringLiteral("storing ") + file.path;
    const auto abandon = [&](const QSqlQuery& failed) {
        const QString why = failed.lastError().text();
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return fail(what, why);
    };
    const QString row =
        QStringLiteral("(%1, %2, %3, %4, %5, %6, %7, %8, %9)")
            .arg(literal(db, aircraft_), literal(db, file.path), integer(file.size),
                 integer(file.modifiedMs), literal(db, optionsKey),
                 literal(db, QString::fromLatin1(statusText(file.status))),
                 nullableLiteral(db, file.message),
                 file.stoppedAtLine ? integer(*file.stoppedAtLine) : QStringLiteral("NULL"),
                 integer(QDateTime::currentMSecsSinceEpoch()));
    const QString flights = flightsStatement(db, file);
    const QString columns = QStringLiteral(
        "INSERT INTO files (aircraft, path, size, modified_ms, options, status, message, "
        "stopped_at_line, indexed_ms) VALUES ");

    // A file the store lacks: the file and its flights in one statement, which is one
    // transaction. When another indexer inserts it at the same time, this one waits for
    // it and inserts nothing.
    if (!q.exec(QStringLiteral("WITH f AS (%1%2 ON CONFLICT (aircraft, path) DO NOTHING "
                               "RETURNING id)")
                    .arg(columns, row) +
                flights) ||
        !q.next())
        return fail(what, q.lastError().text());
    if (q.value(0).toInt() == 1) {
        q.finish();
        release(file.path);
        return true;
    }
    q.finish();

    // A file the store holds: replaced, its old flights gone, unless it is this very
    // version (another indexer stored it first).
    if (!q.exec(QStringLiteral("BEGIN"))) return fail(what, q.lastError().text());
    const QString replace =
        QStringLiteral("WITH f AS (%1%2 ").arg(columns, row) +
        QStringLiteral(
            "ON CONFLICT (aircraft, path) DO UPDATE SET size = EXCLUDED.size, modified_ms = "
            "EXCLUDED.modified_ms, options = EXCLUDED.options, status = EXCLUDED.status, "
            "message = EXCLUDED.message, stopped_at_line = EXCLUDED.stopped_at_line, "
            "indexed_ms = EXCLUDED.indexed_ms WHERE NOT (files.size = EXCLUDED.size AND "
            "files.modified_ms = EXCLUDED.modified_ms AND files.options = EXCLUDED.options) "
            "RETURNING id), gone AS (DELETE FROM flights WHERE file_id IN (SELECT id FROM f)) "
            "SELECT id FROM f");
    if (!q.exec(replace)) return abandon(q);
    if (q.next()) {
        const QString fileId = QString::number(q.value(0).toLongLong());
        q.finish();
        if (!q.exec(QStringLiteral("WITH f AS (SELECT %1::bigint AS id)").arg(fileId) + flights))
            return abandon(q);
        q.finish();
    }
    if (!q.exec(QStringLiteral("COMMIT"))) return abandon(q);
    release(file.path);
    return true;
}

}  // namespace zp::library
