#include "library/flight_indexer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QThread>
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "library/flight_reader.h"

namespace zp::library {

namespace {

// A queue between threads: the files to read, handed to the workers, and the files
// read, handed to the calling thread in the order they finish.
template <typename Item>
class Handover {
  public:
    void push(Item item) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            items_.push_back(std::move(item));
        }
        ready_.notify_one();
    }
    // Blocks until an item is there, or the queue is closed (then none).
    std::optional<Item> pop() {
        std::unique_lock<std::mutex> lock(mutex_);
        ready_.wait(lock, [this] { return !items_.empty() || closed_; });
        if (items_.empty()) return std::nullopt;
        Item item = std::move(items_.front());
        items_.pop_front();
        return item;
    }
    void close() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            closed_ = true;
        }
        ready_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Item> items_;
    bool closed_ = false;
};

}  // namespace

IndexResult FlightIndexer::run(const QStringList& paths, FlightStore* store) {
    QElapsedTimer clock;
    clock.start();
    IndexResult result;
    LogSearch search = findLogs(paths);
    const std::vector<LogFile>& logs = search.files;
    const QString key = options_.key();
    // The path a store keeps a file by: absolute, or inside the aircraft's folder.
    QString root;
    if (!aircraft_.isEmpty()) {
        if (paths.size() != 1 || search.folders.size() != 1) {
            result.problems << QStringLiteral("the logs of an aircraft are one folder");
            return result;
        }
        root = search.folders.first();
    }
    const auto storeKey = [&](std::size_t i) {
        return root.isEmpty() ? logs[i].path : QDir(root).relativeFilePath(logs[i].path);
    };
    result.filesFound = static_cast<int>(logs.size());
    if (store) store->setAircraft(aircraft_);

    // Which files must be read: all without a store, else those it lacks or holds as
    // they were before.
    std::vector<std::size_t> toRead;
    std::vector<FileStamp> seen(logs.size());
    IndexProgress progress;
    progress.filesTotal = static_cast<int>(logs.size());
    QStringList gone;
    if (store) {
        const QHash<QString, FileStamp> stamps = store->stamps();
        QSet<QString> present;
        for (std::size_t i = 0; i < logs.size(); ++i) {
            const QFileInfo info(logs[i].path);
            const QString k = storeKey(i);
            const auto stamp = stamps.constFind(k);
            if (info.isFile()) present.insert(k);
            seen[i] = FileStamp{info.size(), info.lastModified().toMSecsSinceEpoch(), key};
            if (stamp != stamps.cend() && info.isFile() && stamp->size == seen[i].size &&
                stamp->modifiedMs == seen[i].modifiedMs && stamp->optionsKey == key)
                continue;
            toRead.push_back(i);
            progress.bytesToRead += info.size();
        }
        // Files of the searched folders that are no longer there, and given files
        // that are gone; of an aircraft, every file its folder no longer has.
        QSet<QString> given;
        for (std::size_t i = 0; i < logs.size(); ++i) given.insert(storeKey(i));
        for (auto it = stamps.cbegin(); it != stamps.cend(); ++it) {
            if (present.contains(it.key())) continue;
            bool under = given.contains(it.key()) || !root.isEmpty();
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

    // The reads, one file per thread at a time, of the files claimed; a few more are
    // claimed than threads read, so that none waits.
    std::vector<std::optional<FileFlights>> fresh(logs.size());
    int threads = threads_ > 0 ? threads_ : static_cast<int>(std::thread::hardware_concurrency());
    threads = std::clamp(threads, 1, std::max(1, static_cast<int>(toRead.size())));
    const auto cancelled = [this] { return cancel_ && cancel_->load(); };
    Handover<std::size_t> work;
    Handover<std::pair<std::size_t, FileFlights>> done;
    std::vector<std::thread> workers;
    const auto read = [&] {
        while (const std::optional<std::size_t> i = work.pop()) {
            if (cancelled())
                done.push({*i, FileFlights{}});
            else
                done.push({*i, readFlights(logs[*i].path, options_)});
        }
    };
    if (!toRead.empty())
        for (int t = 0; t < threads; ++t) workers.emplace_back(read);

    std::deque<std::size_t> pending(toRead.begin(), toRead.end());
    std::vector<std::size_t> busy;  // claimed by another indexer
    std::vector<int> rereads(logs.size(), 0);
    int reading = 0;
    const auto report = [&] {
        progress.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        if (progress_) progress_(progress);
    };
    // Claims and hands out files until enough are being read; once only files of
    // another indexer are left, waits for it a little and asks again.
    const auto handOut = [&] {
        for (;;) {
            while (reading < 2 * threads && !pending.empty() && !cancelled()) {
                const std::size_t i = pending.front();
                pending.pop_front();
                const Claim claim = store ? store->claim(storeKey(i), seen[i]) : Claim::Granted;
                if (claim == Claim::Granted) {
                    work.push(i);
                    ++reading;
                } else if (claim == Claim::Busy) {
                    busy.push_back(i);
                } else {
                    ++progress.filesDone;
                    ++progress.filesLeft;
                    progress.bytesToRead -= seen[i].size;
                    report();
                }
            }
            if (reading > 0 || busy.empty() || cancelled()) return;
            QThread::msleep(5);
            pending.assign(busy.begin(), busy.end());
            busy.clear();
        }
    };
    handOut();
    while (reading > 0) {
        auto item = done.pop();
        --reading;
        auto& [index, file] = *item;
        const QString k = storeKey(index);
        // Once cancelled, files still coming from the workers are dropped.
        if (cancelled()) {
            if (store) store->release(k);
            handOut();
            continue;
        }
        // A file that changed while it was read is read again (a few times at most).
        const QFileInfo now(logs[index].path);
        if (file.status != FileStatus::Unreadable && now.isFile() &&
            (now.size() != file.size ||
             now.lastModified().toMSecsSinceEpoch() != file.modifiedMs) &&
            ++rereads[index] <= 3) {
            work.push(index);
            ++reading;
            continue;
        }
        if (store) {
            FileFlights stored = file;
            stored.path = k;
            if (file.status == FileStatus::Unreadable) {
                // Nothing to keep; a copy held from before is out of date.
                store->release(k);
            } else if (!store->putFile(stored, key)) {
                result.problems << store->lastError();
                store->release(k);
            }
        }
        ++progress.filesDone;
        ++progress.filesRead;
        progress.bytesRead += file.size;
        fresh[index] = std::move(file);
        report();
        handOut();
    }
    work.close();
    for (std::thread& worker : workers) worker.join();
    result.cancelled = cancelled() && progress.filesDone < progress.filesTotal;

    // What the store holds now, else what was read.
    QHash<QString, std::size_t> held;
    std::vector<FileFlights> stored;
    if (store) {
        QStringList wanted;
        for (std::size_t i = 0; i < logs.size(); ++i)
            if (!(fresh[i] && fresh[i]->status == FileStatus::Unreadable)) wanted << storeKey(i);
        stored = store->files(wanted);
        if (stored.empty() && !wanted.isEmpty()) result.problems << store->lastError();
        for (std::size_t s = 0; s < stored.size(); ++s) held.insert(stored[s].path, s);
        result.notices << store->takeNotices();
    }
    for (std::size_t i = 0; i < logs.size(); ++i) {
        const auto h = held.constFind(storeKey(i));
        if (h != held.cend()) {
            result.files.push_back({logs[i], stored[*h]});
            result.files.back().file.path = logs[i].path;
        } else if (fresh[i]) {
            result.files.push_back({logs[i], std::move(*fresh[i])});
        }
    }
    return result;
}

}  // namespace zp::library
