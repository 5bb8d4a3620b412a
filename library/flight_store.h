// Where the flights of the indexed files are kept between runs: an SQL database, an
// SQLite file or a PostgreSQL server (library/sql_flight_store.h, sqlite_flight_store.cpp). The
// interface is what the indexer and the windows use.
//
// Files belong to an aircraft (a registration; empty: none). The files of no aircraft
// are kept by absolute path; an aircraft's by their path inside the aircraft's folder,
// so that desks that mount one share at different places hold each file once.
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
    std::optional<QString> aircraft;   // only the files of this aircraft ("": of none)
};

struct StoredFlight {
    QString path;  // the file's path: absolute, or inside its aircraft's folder
    Flight flight;
    QString aircraft;
};

// One flight's figures of one channel, for a trend over many flights.
struct ChannelTrendRow {
    QString aircraft;
    QString path;  // as in StoredFlight
    int index = 0;
    QDate date;
    std::uint32_t startSecond = 0;
    std::int64_t seconds = 0;
    ChannelFigures figures;
};

// What a claim on a file before reading it finds.
enum class Claim {
    Granted,  // read it: no other indexer is at it, and the store lacks this version
    Busy,     // another indexer is reading it now: try again later
    Current,  // the store holds it as it is now (another indexer just stored it)
};

class FlightStore {
  public:
    virtual ~FlightStore() = default;

    // The aircraft whose files stamps, putFile, removeFiles and files work on (at the
    // start: "", the files of no aircraft).
    virtual void setAircraft(const QString& registration) = 0;
    // The registrations of the aircraft with files in the store, in byte order.
    virtual QStringList aircraft() = 0;

    // Every file the store holds, by path.
    virtual QHash<QString, FileStamp> stamps() = 0;
    // Claims a file before reading it, so that two indexers at once read it once. A
    // store that one program uses at a time grants every claim.
    virtual Claim claim(const QString& path, const FileStamp& stamp) {
        (void)path;
        (void)stamp;
        return Claim::Granted;
    }
    // Gives up a claim (putFile gives it up too).
    virtual void release(const QString& path) { (void)path; }
    // Replaces what the store holds of the file with `file` and its flights, in one
    // transaction: a reader never sees half of it. When the store already holds this
    // version (another indexer stored it first) nothing is written. False (see
    // lastError) on failure.
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
    // Per flight matching `filter`, the figures of `channel` (flights without readings
    // of it are left out), by aircraft, then date and start time.
    virtual std::vector<ChannelTrendRow> channelTrend(Channel channel,
                                                      const FlightFilter& filter) = 0;
    // The message of the latest failure.
    virtual QString lastError() const = 0;
    // Messages of what went wrong and was overcome (a connection lost and made again)
    // since the last call.
    virtual QStringList takeNotices() { return {}; }
};

}  // namespace zp::library
