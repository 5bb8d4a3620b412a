// Indexing a set of logs: finds the files the paths stand for, reads those that a store
// does not hold as they are now (size, modification time, options) in parallel, one
// file per core, writes each into the store as it is read (one transaction a file), and
// forgets the files gone from the folders searched. Meant to run in a background
// thread: it reports progress through a callback and stops early when asked.
//
// Each file is claimed in the store before it is read: a file that another indexer is
// reading at the same time is left to it and looked at again at the end, when that
// indexer has stored it (or given up, and it is read here). A file that changes while
// it is read is read again.
#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "library/flight.h"
#include "library/flight_store.h"
#include "library/log_files.h"

namespace zp::library {

struct IndexProgress {
    int filesDone = 0;             // files handled: read, or found unchanged in the store
    int filesTotal = 0;            // files the paths stand for
    int filesRead = 0;             // of filesDone, the files read
    int filesLeft = 0;             // of filesDone, the files another indexer stored
    std::int64_t bytesRead = 0;    // bytes of the files read so far
    std::int64_t bytesToRead = 0;  // bytes of all the files to read
    double seconds = 0.0;          // since the start

    // Read speed so far, in megabytes (10^6 bytes) a second; 0 before any time passed.
    double megabytesPerSecond() const {
        return seconds > 0.0 ? static_cast<double>(bytesRead) / 1e6 / seconds : 0.0;
    }
};

struct IndexedLog {
    LogFile log;
    FileFlights file;
};

struct IndexResult {
    int filesFound = 0;  // files the paths stand for
    // The files in the order of the search (see findLogs) with their flights: as the
    // store holds them after the run, or as read when there is no store (or the store
    // could not take them). A cancelled run leaves out the files it did not get to.
    std::vector<IndexedLog> files;
    bool cancelled = false;
    // Messages of store failures; the figures of the files read are still in `files`.
    QStringList problems;
    // Messages of what went wrong and was overcome (a dropped connection made again).
    QStringList notices;
};

class FlightIndexer {
  public:
    explicit FlightIndexer(FlightOptions options) : options_(std::move(options)) {}

    // Threads reading files at once; 0 (the default): one per core.
    void setThreads(int threads) { threads_ = threads; }
    // The aircraft whose folder is indexed (empty, the default: none). With one, run()
    // takes one folder, and the store keeps its files by their path inside it.
    void setAircraft(const QString& registration) { aircraft_ = registration; }
    // Called in the calling thread after each file and once at the start.
    void setProgress(std::function<void(const IndexProgress&)> progress) {
        progress_ = std::move(progress);
    }
    // When set to true (from any thread), no further file is started and the files read
    // but not yet handed over are dropped; the files done so far stay in the store and
    // the result.
    void setCancel(const std::atomic<bool>* cancel) { cancel_ = cancel; }

    // Indexes the logs `paths` stand for into `store` (nullptr: read every file and keep
    // the flights in memory only).
    IndexResult run(const QStringList& paths, FlightStore* store);

  private:
    FlightOptions options_;
    int threads_ = 0;
    QString aircraft_;
    std::function<void(const IndexProgress&)> progress_;
    const std::atomic<bool>* cancel_ = nullptr;
};

}  // namespace zp::library
