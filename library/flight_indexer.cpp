#include "library/flight_indexer.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "library/flight_reader.h"

namespace zp::library {

namespace {

// The files read by the worker threads, handed to the calling thread in the order they
// finish.
class ReadQueue {
  public:
    void push(std::size_t index, FileFlights file) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            done_.emplace_back(index, std::move(file));
        }
        ready_.notify_one();
    }
    // Blocks until a file is there, or every worker has finished (then none).
    std::optional<std::pair<std::size_t, FileFlights>> pop() {
        std::unique_lock<std::mutex> lock(mutex_);
        ready_.wait(lock, [this] { return !done_.empty() || workers_ == 0; });
        if (done_.empty()) return std::nullopt;
        auto item = std::move(done_.front());
        done_.pop_front();
        return item;
    }
    void setWorkers(int n) { workers_ = n; }
    void workerDone() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            --workers_;
        }
        ready_.notify_one();
    }

  private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::pair<std::size_t, FileFlights>> done_;
    int workers_ = 0;
};

}  // namespace

IndexResult FlightIndexer::run(const QStringList& paths, FlightStore* store) {
    QElapsedTimer clock;
    clock.start();
    IndexResult result;
    LogSearch search = findLogs(paths);
    const std::vector<LogFile>& logs = search.files;
    result.filesFound = static_cast<int>(logs.size());
    const QString key = options_.key();

    // Which files must be read: all without a store, else those it lacks or holds as
    // they were before.
    std::vector<std::size_t> toRead;
    IndexProgress progress;
    progress.filesTotal = static_cast<int>(logs.size());
    QStringList gone;
    if (store) {
        const QHash<QString, FileStamp> stamps = store->stamps();
        QSet<QString> present;
        for (std::size_t i = 0; i < logs.size(); ++i) {
            const QFileInfo info(logs[i].path);
            const auto stamp = stamps.constFind(logs[i].path);
            if (info.isFile()) present.insert(logs[i].path);
            if (stamp != stamps.cend() && info.isFile() && stamp->size == info.size() &&
                stamp->modifiedMs == info.lastModified().toMSecsSinceEpoch() &&
                stamp->optionsKey == key)
                continue;
            toRead.push_back(i);
            progress.bytesToRead += info.size();
        }
        // Files of the searched folders that are no longer there, and given files
        // that are gone.
        QSet<QString> given;
        for (const LogFile& log : logs) given.insert(log.path);
        for (auto it = stamps.cbegin(); it != stamps.cend(); ++it) {
            if (present.contains(it.key())) continue;
            bool under = given.contains(it.key());
            for (const QString& folder : search.folders)
                under = under || isInside(it.key(), folder);
            if (under) gone << it.key();
        }
        gone.sort();
        if (!gone.isEmpty() && !store->removeFiles(gone)) result.problems << store->lastError();
    } else {
        for (std::size_t i = 0; i < logs.size(); ++i) {
            toRead.push_back(i);
            progress.bytesToRead += QFileInfo(logs[i].path).size();
        }
    }
    progress.filesDone = progress.filesTotal - static_cast<int>(toRead.size());
    progress.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    if (progress_) progress_(progress);

    // The reads, one file per thread at a time.
    std::vector<std::optional<FileFlights>> fresh(logs.size());
    int threads = threads_ > 0 ? threads_ : static_cast<int>(std::thread::hardware_concurrency());
    threads = std::clamp(threads, 1, std::max(1, static_cast<int>(toRead.size())));
    const auto cancelled = [this] { return cancel_ && cancel_->load(); };
    std::atomic<std::size_t> next{0};
    ReadQueue queue;
    queue.setWorkers(toRead.empty() ? 0 : threads);
    std::vector<std::thread> workers;
    const auto work = [&] {
        for (;;) {
            if (cancelled()) break;
            const std::size_t n = next.fetch_add(1);
            if (n >= toRead.size()) break;
            const std::size_t i = toRead[n];
            queue.push(i, readFlights(logs[i].path, options_));
        }
        queue.workerDone();
    };
    if (!toRead.empty())
        for (int t = 0; t < threads; ++t) workers.emplace_back(work);
    while (auto item = queue.pop()) {
        // Once cancelled, files still coming from the workers are dropped.
        if (cancelled()) continue;
        auto& [index, file] = *item;
        if (store) {
            if (file.status == FileStatus::Unreadable) {
                // Nothing to keep; a copy held from before is out of date.
            } else if (!store->putFile(file, key)) {
                result.problems << store->lastError();
            }
        }
        ++progress.filesDone;
        ++progress.filesRead;
        progress.bytesRead += file.size;
        progress.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        fresh[index] = std::move(file);
        if (progress_) progress_(progress);
    }
    for (std::thread& worker : workers) worker.join();
    result.cancelled = cancelled() && progress.filesDone < progress.filesTotal;

    // What the store holds now, else what was read.
    QHash<QString, std::size_t> held;
    std::vector<FileFlights> stored;
    if (store) {
        QStringList wanted;
        for (std::size_t i = 0; i < logs.size(); ++i)
            if (!(fresh[i] && fresh[i]->status == FileStatus::Unreadable)) wanted << logs[i].path;
        stored = store->files(wanted);
        if (stored.empty() && !wanted.isEmpty()) result.problems << store->lastError();
        for (std::size_t s = 0; s < stored.size(); ++s) held.insert(stored[s].path, s);
    }
    for (std::size_t i = 0; i < logs.size(); ++i) {
        const auto h = held.constFind(logs[i].path);
        if (h != held.cend())
            result.files.push_back({logs[i], stored[*h]});
        else if (fresh[i])
            result.files.push_back({logs[i], std::move(*fresh[i])});
    }
    return result;
}

}  // namespace zp::library
