// The flight store in an SQLite database file, through Qt's SQL module. Write-ahead
// logging, one transaction per file, a versioned schema with numbered migrations. A file
// that is not a database this store can use (damaged, or of a newer schema) is moved
// aside under a new name and a new one is made in its place.
//
// The tables (version 2), for reading with the sqlite3 program:
//   schema_version(version)
//   files(id, path UNIQUE, size, modified_ms, options, status, message, stopped_at_line,
//         indexed_ms)
//   flights(id, file_id -> files.id, idx, first_line, last_line, date_text, date,
//           date_from_text, start_second, end_second, seconds, hobbs_start, hobbs_end,
//           maintenance_start, maintenance_end)
//   flight_records(flight_id -> flights.id, model, records)
//   flight_series(flight_id -> flights.id, series, count, min, max, mean, high_runs,
//                 low_runs), indexed by series too (version 2)
#pragma once

#include <QString>
#include <memory>

#include "library/flight_store.h"

namespace zp::library {

class SqliteFlightStore : public FlightStore {
  public:
    ~SqliteFlightStore() override;

    // Opens (or makes) the database at `path`, making its folder when missing. A
    // database that cannot be used is moved aside and `notice` says where to; none
    // (nullptr) when even a new one cannot be made, with `error` saying why.
    static std::unique_ptr<SqliteFlightStore> open(const QString& path, QString& notice,
                                                   QString& error);

    // The database the viewer and its tools use by default: flights.sqlite in the
    // user's data folder of the viewer (e.g. ~/.local/share/zimra-pexo-viewer/).
    static QString defaultPath();

    // The schema version this program writes.
    static int schemaVersion();

    QHash<QString, FileStamp> stamps() override;
    bool putFile(const FileFlights& file, const QString& optionsKey) override;
    bool removeFiles(const QStringList& paths) override;
    std::vector<FileFlights> files(const QStringList& paths) override;
    std::vector<StoredFlight> flights(const FlightFilter& filter,
                                      bool withChannels = false) override;
    // Reads the figures of `channels` alone.
    std::vector<StoredFlight> flightsWith(const FlightFilter& filter,
                                          const std::vector<Channel>& channels) override;
    QString lastError() const override { return error_; }

  private:
    explicit SqliteFlightStore(QString connection);
    bool prepare();
    bool fail(const QString& what, const QString& why);

    QString connection_;
    QString error_;
};

}  // namespace zp::library
