// The flight store in an SQL database through Qt's SQL module: an SQLite file (the
// default, Debian's libqt6sql6-sqlite) or a PostgreSQL server (libqt6sql6-psql) that
// many desks index into and read at once. The same tables and numbered migrations on
// both; one transaction per file, so a crash, a second program or a dropped connection
// never leaves half a file.
//
// SQLite: write-ahead logging; a file that is not a database this store can use
// (damaged, or of a newer schema) is moved aside under a new name and a new one is made
// in its place.
// PostgreSQL: a location "postgresql://USER@HOST:PORT/DBNAME"; the password comes from
// PGPASSWORD or ~/.pgpass as for every PostgreSQL program, never from the location.
// Indexers claim a file before reading it (an advisory lock, which the server drops with
// the connection of a program that ends), and a file whose version another indexer
// stored first is skipped. A connection that drops is made again, the failed
// transaction repeated, and a notice says so.
//
// The tables (version 2), for reading with the sqlite3 or psql program:
//   schema_version(version)
//   files(id, aircraft, path, size, modified_ms, options, status, message,
//         stopped_at_line, indexed_ms; UNIQUE (aircraft, path))
//   flights(id, file_id -> files.id, idx, first_line, last_line, date_text, date,
//           date_from_text, start_second, end_second, seconds, hobbs_start, hobbs_end,
//           maintenance_start, maintenance_end)
//   flight_records(flight_id -> flights.id, model, records)
//   flight_series(flight_id -> flights.id, series, count, min, max, mean, high_runs,
//                 low_runs)
// Version 1 had no aircraft: files(id, path UNIQUE, ...).
#pragma once

#include <QSet>
#include <QSqlQuery>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "library/flight_store.h"

namespace zp::library {

// A PostgreSQL server's location, read from "postgresql://USER@HOST:PORT/DBNAME".
struct ServerLocation {
    QString user;
    QString host;  // empty: the local socket
    int port = 5432;
    QString database;
    QString options;  // the URL's query as "key=value;..."
};

// Whether `location` names a server (postgresql:// or postgres://) rather than a file.
bool isServerLocation(const QString& location);
// Reads a server location; none, with `error`, when it is malformed or holds a password.
std::optional<ServerLocation> parseServerLocation(const QString& location, QString& error);

class SqlFlightStore : public FlightStore {
  public:
    enum class Dialect { Sqlite, Postgres };

    ~SqlFlightStore() override;

    // Opens (or makes) the database at `location`: a server location or a file path
    // (its folder made when missing). A database file that cannot be used is moved
    // aside and `notice` says where to; none (nullptr) when even a new one cannot be
    // made or the server cannot be used, with `error` saying why.
    static std::unique_ptr<SqlFlightStore> open(const QString& location, QString& notice,
                                                QString& error);

    // The database the viewer and its tools use by default: flights.sqlite in the
    // user's data folder of the viewer (e.g. ~/.local/share/zimra-pexo-viewer/).
    static QString defaultPath();

    // The schema version this program writes.
    static int schemaVersion();

    Dialect dialect() const { return dialect_; }
    // How long a dropped connection is tried again before the work fails (60 s).
    void setReconnectSeconds(double seconds) { reconnectMs_ = static_cast<qint64>(seconds * 1000); }

    void setAircraft(const QString& registration) override {
        aircraft_ = registration.isNull() ? QStringLiteral("") : registration;  // never NULL
    }
    QStringList aircraft() override;
    QHash<QString, FileStamp> stamps() override;
    Claim claim(const QString& path, const FileStamp& stamp) override;
    void release(const QString& path) override;
    bool putFile(const FileFlights& file, const QString& optionsKey) override;
    bool removeFiles(const QStringList& paths) override;
    std::vector<FileFlights> files(const QStringList& paths) override;
    std::vector<StoredFlight> flights(const FlightFilter& filter,
                                      bool withChannels = false) override;
    std::vector<ChannelTrendRow> channelTrend(Channel channel, const FlightFilter& filter) override;
    // Reads the figures of `channels` alone (from a file; a server reads them all).
    std::vector<StoredFlight> flightsWith(const FlightFilter& filter,
                                          const std::vector<Channel>& channels) override;
    QString lastError() const override { return error_; }
    QStringList takeNotices() override;

  private:
    SqlFlightStore(QString connection, Dialect dialect, QString location);
    static std::unique_ptr<SqlFlightStore> openServer(const QString& location, QString& error);
    bool fail(const QString& what, const QString& why);
    // Runs `attempt` (false: failed, error_ set); on a server whose connection dropped,
    // connects again and runs it again until it succeeds or reconnectMs_ passes.
    bool retrying(const std::function<bool()>& attempt);
    bool connectionAlive();
    bool reconnect();
    bool putFileSqlite(const FileFlights& file, const QString& optionsKey);
    bool putFilePostgres(const FileFlights& file, const QString& optionsKey);
    bool readFiles(const QStringList& paths, std::vector<FileFlights>& result);
    bool readFlights(const FlightFilter& filter, bool withChannels,
                     std::vector<StoredFlight>& result);
    bool readTrend(Channel channel, const FlightFilter& filter,
                   std::vector<ChannelTrendRow>& result);

    QString connection_;
    Dialect dialect_;
    QString location_;
    QString aircraft_ = QStringLiteral("");
    QString error_;
    QStringList notices_;
    QSet<qint64> claims_;  // advisory lock keys held
    qint64 reconnectMs_ = 60000;
    std::map<QString, QSqlQuery> trendQueries_;  // prepared, by their text
    bool gaveUp_ = false;
};

}  // namespace zp::library
