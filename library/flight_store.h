// Where the flights of the indexed files are kept between runs. One implementation
// today, SQLite (library/sqlite_flight_store.h); the interface is what the indexer and
// the windows use, so that another database with the same tables can stand in.
//
// A store object belongs to the thread that opened it: a window that indexes in a
// background thread opens one store there and another for its own queries.
#pragma once

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "library/flight.h"

namespace zp::library {

// What a store remembers of a file to tell whether it must be read again.
struct FileStamp {
    std::int64_t size = 0;
    std::int64_t modifiedMs = 0;
    QString optionsKey;  // FlightOptions::key() of the options it was read with
};

// Which flights a query returns; every field left empty matches every flight.
struct FlightFilter {
    QString folder;                    // absolute: only files inside it
    std::optional<QDate> from;         // flight date on or after
    std::optional<QDate> to;           // flight date on or before
    int model = 0;                     // 1..13: only flights with records of that model
    std::int64_t minSeconds = 0;       // at least this long
    std::optional<Channel> exceeding;  // only flights with a run beyond a limit of it
    std::int64_t limit = 0;            // at most this many rows (0: all), newest first
};

struct StoredFlight {
    QString path;  // the file's absolute path
    Flight flight;
};

class FlightStore {
  public:
    virtual ~FlightStore() = default;

    // Every file the store holds, by absolute path.
    virtual QHash<QString, FileStamp> stamps() = 0;
    // Replaces what the store holds of the file with `file` and its flights, in one
    // transaction: a reader never sees half of it. False (see lastError) on failure.
    virtual bool putFile(const FileFlights& file, const QString& optionsKey) = 0;
    // Forgets the files, each in its own transaction.
    virtual bool removeFiles(const QStringList& paths) = 0;
    // The files at `paths` with their flights and figures, in the order of `paths`; a
    // path the store does not hold is left out.
    virtual std::vector<FileFlights> files(const QStringList& paths) = 0;
    // Flights matching `filter`, newest first (date, then start time), with their
    // figures when `withChannels`.
    virtual std::vector<StoredFlight> flights(const FlightFilter& filter,
                                              bool withChannels = false) = 0;
    // The flights matching `filter` that have readings of any of `channels`, in the order of
    // flights(), with the figures of those channels only (their runs beyond limits may be
    // left out): what a trend of them reads. A
    // store may read just those figures and leave the flight's other fields but its file,
    // number, date and start at their defaults; this one reads everything and drops the
    // rest.
    virtual std::vector<StoredFlight> flightsWith(const FlightFilter& filter,
                                                  const std::vector<Channel>& channels) {
        std::vector<StoredFlight> found;
        for (StoredFlight& f : flights(filter, true)) {
            bool any = false;
            for (std::size_t c = 0; c < f.flight.channels.size(); ++c) {
                if (std::find(channels.begin(), channels.end(), static_cast<Channel>(c)) ==
                    channels.end())
                    f.flight.channels[c].reset();
                any = any || f.flight.channels[c].has_value();
            }
            if (any) found.push_back(std::move(f));
        }
        return found;
    }
    // The message of the latest failure.
    virtual QString lastError() const = 0;
};

}  // namespace zp::library
