#include "import/log_import.h"

#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "channels/channel_units.h"
#include "import/line_reader.h"
#include "import/log_parts.h"
#include "import/point_budget.h"
#include "import/record_parser.h"

namespace zp {

namespace {

const QString kLoadedText = QStringLiteral("File Loaded!");
const QString kOpenFailedText = QStringLiteral("File does not exist.");
constexpr int kUnknownModel = 0;  // index of "Unknown" among the model texts
// What a data step appends for a sink that keeps no points: nothing.
const std::span<const Channel> kNoPlots;

// A date or time field as the labels show it: the bytes in the local 8-bit encoding.
QString textOf(const char* field) {
    return QString::fromLocal8Bit(
        QByteArrayView(field, static_cast<qsizetype>(std::strlen(field))));
}

// The appends the plot gate asked for over some lines, kept in order for the threads
// that make them channel by channel, in runs: consecutive data steps of one model, or
// one gap fill. A run of data steps keeps its times one after another in `xs` and its
// recorded values step after step in `values`, each step's in the model's plot order;
// a gap fill keeps the times of its seconds in `gapTimes`.
struct DeferredAppends {
    struct Run {
        const RecordModel* model;
        bool gapFill;
        std::size_t first;       // its first time in `xs` (data steps) or in `gapTimes`
        std::size_t count;       // data steps, or seconds of the gap fill
        std::size_t firstValue;  // its first value in `values` (data steps)
    };
    std::vector<Run> runs;
    std::vector<double> xs;
    std::vector<float> values;
    std::vector<double> gapTimes;

    void clear() {
        runs.clear();
        xs.clear();
        values.clear();
        gapTimes.clear();
    }
    std::size_t steps() const { return xs.size() + gapTimes.size(); }
    void addDataStep(const RecordModel& model, double x, const float* slotValues) {
        if (runs.empty() || runs.back().gapFill || runs.back().model != &model)
            runs.push_back(Run{&model, false, xs.size(), 0, values.size()});
        ++runs.back().count;
        xs.push_back(x);
        const std::size_t at = values.size();
        values.resize(at + model.plots.size());
        float* to = values.data() + at;
        for (const Channel channel : model.plots) *to++ = slotValues[channel];
    }
    void beginGapFill(const RecordModel& model) {
        runs.push_back(Run{&model, true, gapTimes.size(), 0, 0});
    }
    void addGapFillSecond(double x) {
        gapTimes.push_back(x);
        ++runs.back().count;
    }
};

// One load: the working state lives here for one call and starts from zero.
// The sink gets the series' changes in the order the load makes them, the panel update
// the latest value of each text; a write that would repeat what was last written in
// this load is skipped, which leaves the same result and keeps the per-line cost down.
class Loader {
  public:
    Loader(const UnitSelectors& units, ImportSink& sink, const ImportOptions& options)
        : sink_(sink),
          keepsPoints_(sink.keepsPoints()),
          locale_(options.locale),
          budget_(options.pointBudget) {
        for (int c = 0; c < kChannelCount; ++c)
            toShown_[c] = shownConversion(static_cast<Channel>(c), units);
        modelTexts_[kUnknownModel] = QStringLiteral("Unknown");
        for (int id = 1; id <= kModelCount; ++id)
            modelTexts_[id] = QString::fromUtf8(recordModel(id)->displayName);
    }

    void reset() {
        for (int c = 0; c < kChannelCount; ++c) sink_.clearSeries(static_cast<Channel>(c));
        for (int c = 0; c < kChannelCount; ++c)
            sink_.setShowInLegend(static_cast<Channel>(c), false);
        panel_.countersVisible = false;
        recordCount_ = 0;
    }

    const PanelUpdate& panel() const { return panel_; }

    // The counts so far, with the first and last record times as texts.
    LogReport report() const {
        LogReport report = report_;
        if (recordCount_ > 0) {
            report.firstTime = secondText(firstSecond_);
            report.lastTime = secondText(lastSecond_);
        }
        return report;
    }

    // True once a line was refused because its points would pass the budget.
    bool overBudget() const { return overBudget_; }

    // Handles one line; false with `error` set when its time field does not convert,
    // or with overBudget() set when its points would pass the budget.
    bool handleLine(std::string_view rawLine, QString& error) {
        const std::string_view line = cString(rawLine);
        scanModelId(line, fields_.modelId);
        const RecordModel* model = recordModel(fields_.modelId);
        const int stored = model ? parseRecord(line, *model, fields_) : 0;
        return handleFields(model, stored, error);
    }

    // Handles one line that a parsing thread left in `part`, as handleLine handles the
    // line itself.
    bool handleParsed(const ParsedLine& line, const ParsedPart& part, QString& error) {
        if (line.idRead) fields_.modelId = line.modelId;
        const RecordModel* model = recordModel(fields_.modelId);
        if (model) part.store(line, *model, fields_);
        return handleFields(model, model ? line.stored : 0, error);
    }

    // From now on the plot gate leaves its appends in `appends` rather than making them
    // (nullptr: makes them again).
    void deferAppends(DeferredAppends* appends) { deferred_ = appends; }

  private:
    // The steps of a line once its fields are stored: `stored` fields of `model`
    // (nullptr: a line of no known model).
    bool handleFields(const RecordModel* model, int stored, QString& error) {
        ++report_.lines;
        if (model) {
            ++report_.records[static_cast<std::size_t>(model->id)];
            if (!handleRecord(*model, stored, error)) {
                report_.stoppedAtLine = report_.lines;
                return false;
            }
        } else {
            ++report_.unknownLines;
            showModelText(kUnknownModel);
        }
        // Common tail: the counters of the latest line.
        if (!stopsShown_ || shownHobbsStop_ != fields_.hobbs) {
            panel_.hobbsStop = QString::number(fields_.hobbs);
            shownHobbsStop_ = fields_.hobbs;
        }
        if (!stopsShown_ || shownMaintenanceStop_ != fields_.maintenance) {
            panel_.maintenanceStop = QString::number(fields_.maintenance);
            shownMaintenanceStop_ = fields_.maintenance;
        }
        stopsShown_ = true;
        return true;
    }

    void showModelText(int index) {
        if (shownModel_ == index) return;
        panel_.modelText = modelTexts_[index];
        shownModel_ = index;
    }

    // The common record steps of a line of a known model.
    bool handleRecord(const RecordModel& model, int stored, QString& error) {
        showModelText(model.id);
        const std::uint32_t modelBit = 1u << model.id;
        if (!(legendListed_ & modelBit)) {
            for (const Channel channel : model.legend) sink_.setShowInLegend(channel, true);
            legendListed_ |= modelBit;
        }
        if (model.hasCounters && !countersShown_) {
            panel_.countersVisible = true;
            countersShown_ = true;
        }

        if (stored < static_cast<int>(model.fields.size())) ++report_.incompleteRecords;

        if (!convertTime(fields_.time, recordTime_)) {
            error = invalidDateTimeMessage(textOf(fields_.time));
            return false;
        }
        const std::uint32_t second = secondsOfDay(recordTime_);

        if (!dateShown_ || std::strcmp(shownDate_, fields_.date) != 0) {
            panel_.axisTitle = textOf(fields_.date);
            std::memcpy(shownDate_, fields_.date, sizeof shownDate_);
            dateShown_ = true;
        }

        // The start labels come from the first record of a model with counters; the
        // last plotted second from the first record of any known model.
        if (model.hasCounters && !startShown_) {
            panel_.hobbsStart = QString::number(fields_.hobbs);
            panel_.maintenanceStart = QString::number(fields_.maintenance);
            startShown_ = true;
        }
        if (recordCount_ == 0) {
            lastPlotted_ = second;
            firstSecond_ = second;
        }
        ++recordCount_;
        lastSecond_ = second;

        RecordEvent event;
        event.model = &model;
        event.second = second;
        event.line = report_.lines;
        event.dateText = fields_.date;
        event.hobbs = fields_.hobbs;
        event.maintenance = fields_.maintenance;
        event.values = fields_.values;
        sink_.record(event);

        return plotGate(model, second, error);
    }

    // A data step for a record at most two seconds after the last plotted second (or
    // at or before it); zero points for every second of a longer gap otherwise.
    bool plotGate(const RecordModel& model, std::uint32_t second, QString& error) {
        const bool dataStep = lastPlotted_ + 2u >= second;
        const std::int64_t perSecond = static_cast<std::int64_t>(model.plots.size());
        const std::int64_t points =
            dataStep ? perSecond : (std::int64_t{second} - lastPlotted_ + 1) * perSecond;
        if (points > budget_ - appended_) {
            overBudget_ = true;
            return false;
        }
        appended_ += points;
        if (dataStep) {
            ++report_.dataSteps;
            if (second < lastPlotted_) ++report_.timeWentBack;
            if (deferred_ && keepsPoints_) {
                deferred_->addDataStep(model, recordTime_, fields_.values);
                lastPlotted_ = second;
                return true;
            }
            for (const Channel channel : keepsPoints_ ? model.plots : kNoPlots) {
                const float recorded = fields_.values[channel];
                const ToShownFn convert = toShown_[channel];
                const float shown = convert ? convert(recorded) : recorded;
                sink_.addXY(channel, recordTime_, static_cast<double>(shown));
            }
            lastPlotted_ = second;
            return true;
        }
        const std::int64_t gap = std::int64_t{second} - lastPlotted_;
        ++report_.gapFills;
        report_.filledSeconds += gap + 1;
        if (gap > report_.longestGap) report_.longestGap = gap;
        if (!keepsPoints_) {
            // Where the loop below ends: the time field holds the record's second as
            // text (a later line may carry it over) and L is one past it. The texts it
            // makes are valid times of day, which always convert.
            std::snprintf(fields_.time, sizeof fields_.time, "%02u:%02u:%02u", second / 3600u,
                          second / 60u % 60u, second % 60u);
            lastPlotted_ = second + 1;
            return true;
        }
        if (deferred_) deferred_->beginGapFill(model);
        for (std::uint32_t s = lastPlotted_; s <= second; ++s) {
            const std::uint32_t hours = s / 3600u;
            const std::uint32_t minutes = (s - hours * 3600u) / 60u;
            const std::uint32_t seconds = s - hours * 3600u - minutes * 60u;
            std::snprintf(fields_.time, sizeof fields_.time, "%02u:%02u:%02u", hours, minutes,
                          seconds);
            if (!convertTime(fields_.time, recordTime_)) {
                error = invalidDateTimeMessage(textOf(fields_.time));
                return false;
            }
            if (deferred_)
                deferred_->addGapFillSecond(recordTime_);
            else
                for (const Channel channel : model.plots) sink_.addGapFill(channel, recordTime_);
            ++lastPlotted_;
        }
        return true;
    }

    // Hour x 3600 + minute x 60 + second of the decoded record time, remembering the
    // last time decoded: consecutive records usually carry the same time.
    std::uint32_t secondsOfDay(double dateTime) {
        if (!secondCached_ || dateTime != secondFor_) {
            const TimeOfDay t = decodeTime(dateTime);
            cachedSecond_ = std::uint32_t{t.hour} * 3600u + std::uint32_t{t.minute} * 60u +
                            std::uint32_t{t.second};
            secondFor_ = dateTime;
            secondCached_ = true;
        }
        return cachedSecond_;
    }

    // The time conversion, remembering the last text converted: consecutive records
    // usually carry the same time.
    bool convertTime(const char* text, double& result) {
        if (timeCached_ && std::strcmp(cachedTime_, text) == 0) {
            result = cachedValue_;
            return true;
        }
        if (!textToDateTime(text, locale_, result)) return false;
        std::strncpy(cachedTime_, text, sizeof cachedTime_ - 1);
        cachedTime_[sizeof cachedTime_ - 1] = '\0';
        cachedValue_ = result;
        timeCached_ = true;
        return true;
    }

    static QString secondText(std::uint32_t second) {
        char text[16];
        std::snprintf(text, sizeof text, "%02u:%02u:%02u", second / 3600u, second / 60u % 60u,
                      second % 60u);
        return QString::fromLatin1(text);
    }

    // The conversion of each channel under the units of this load (nullptr: as recorded).
    std::array<ToShownFn, kChannelCount> toShown_{};
    ImportSink& sink_;
    const bool keepsPoints_;  // false: the sink takes no points, only the records
    LogReport report_;
    std::uint32_t firstSecond_ = 0;  // of the first record whose time converted
    std::uint32_t lastSecond_ = 0;   // of the latest one
    const DateTimeLocale& locale_;
    PanelUpdate panel_;
    std::array<QString, kModelCount + 1> modelTexts_;
    const std::int64_t budget_;  // points this load may append
    std::int64_t appended_ = 0;
    bool overBudget_ = false;
    DeferredAppends* deferred_ = nullptr;

    RecordFields fields_{};
    double recordTime_ = 0.0;
    std::uint32_t lastPlotted_ = 0;
    std::int64_t recordCount_ = 0;  // records of known models so far
    bool startShown_ = false;

    // What the sink was last told in this load.
    int shownModel_ = -1;
    std::uint32_t legendListed_ = 0;
    bool countersShown_ = false;
    bool dateShown_ = false;
    char shownDate_[cscan::kTextFieldSize] = {};
    bool stopsShown_ = false;
    std::int32_t shownHobbsStop_ = 0;
    std::int32_t shownMaintenanceStop_ = 0;

    bool timeCached_ = false;
    char cachedTime_[cscan::kTextFieldSize] = {};
    double cachedValue_ = 0.0;
    bool secondCached_ = false;
    double secondFor_ = 0.0;
    std::uint32_t cachedSecond_ = 0;
};

// Which thread appends to each channel when several do: the channels dealt out in turn.
using ChannelOwners = std::array<int, kChannelCount>;
ChannelOwners dealChannels(int threads) {
    ChannelOwners owners{};
    for (int c = 0; c < kChannelCount; ++c) owners[static_cast<std::size_t>(c)] = c % threads;
    return owners;
}

// Makes the deferred appends to the channels that `thread` owns, in their order: the
// runs of data steps a stretch at a time, through the sink's addSteps.
void makeAppends(const DeferredAppends& appends, const UnitSelectors& units, ImportSink& sink,
                 const ChannelOwners& owners, int thread) {
    // The plots of each model whose channel the thread owns: their index, channel and
    // conversion.
    struct OwnPlots {
        std::size_t count = 0;
        std::array<std::uint8_t, kChannelCount> index;
        std::array<Channel, kChannelCount> channels;
        std::array<ToShownFn, kChannelCount> toShown;
    };
    std::array<OwnPlots, kModelCount + 1> own{};
    for (int id = 1; id <= kModelCount; ++id) {
        const std::span<const Channel> plots = recordModel(id)->plots;
        OwnPlots& mine = own[static_cast<std::size_t>(id)];
        for (std::size_t i = 0; i < plots.size(); ++i) {
            if (owners[plots[i]] != thread) continue;
            mine.index[mine.count] = static_cast<std::uint8_t>(i);
            mine.channels[mine.count] = plots[i];
            mine.toShown[mine.count++] = shownConversion(plots[i], units);
        }
    }

    // The converted values of a stretch of a run, in the places they have in the run.
    constexpr std::size_t kBlockSteps = 256;
    std::vector<float> shown(kBlockSteps * kChannelCount);
    std::array<const float*, kChannelCount> columns{};
    for (const DeferredAppends::Run& run : appends.runs) {
        const OwnPlots& mine = own[static_cast<std::size_t>(run.model->id)];
        if (mine.count == 0) continue;
        if (run.gapFill) {
            const double* times = appends.gapTimes.data() + run.first;
            for (std::size_t n = 0; n < mine.count; ++n)
                for (std::size_t k = 0; k < run.count; ++k)
                    sink.addGapFill(mine.channels[n], times[k]);
            continue;
        }
        const std::size_t stride = run.model->plots.size();
        for (std::size_t from = 0; from < run.count; from += kBlockSteps) {
            const std::size_t steps = std::min(kBlockSteps, run.count - from);
            const float* values = appends.values.data() + run.firstValue + from * stride;
            for (std::size_t n = 0; n < mine.count; ++n) {
                const std::size_t i = mine.index[n];
                const ToShownFn convert = mine.toShown[n];
                if (!convert) {
                    columns[n] = values + i;
                    continue;
                }
                for (std::size_t k = 0; k < steps; ++k)
                    shown[k * stride + i] = convert(values[k * stride + i]);
                columns[n] = shown.data() + i;
            }
            sink.addSteps(std::span<const Channel>(mine.channels.data(), mine.count),
                          appends.xs.data() + run.first + from, columns.data(), stride, steps);
        }
    }
}

// The points each channel will hold once the whole file is read, from what the first
// `done` of its `size` bytes appended: the data steps' share grows with the bytes, with
// a little to spare; gap fills are not taken to come again.
std::array<std::size_t, kChannelCount> expectedPoints(const DeferredAppends& appends,
                                                      std::int64_t done, std::int64_t size) {
    std::array<std::int64_t, kChannelCount> steps{};
    std::array<std::int64_t, kChannelCount> fills{};
    for (const DeferredAppends::Run& run : appends.runs)
        for (const Channel channel : run.model->plots)
            (run.gapFill ? fills : steps)[channel] += static_cast<std::int64_t>(run.count);
    std::array<std::size_t, kChannelCount> expected{};
    const double scale = static_cast<double>(size) / static_cast<double>(done) * 1.02;
    for (std::size_t c = 0; c < expected.size(); ++c)
        if (steps[c] > 0)
            expected[c] = static_cast<std::size_t>(static_cast<double>(steps[c]) * scale) +
                          static_cast<std::size_t>(fills[c]) + 1024;
    return expected;
}

// The data steps and gap fills a one-thread load gathers before it appends them.
constexpr std::size_t kBatchSteps = 4096;

// A log of fewer parts than this is read by one thread.
constexpr std::int64_t kLeastParts = 16;
// Each thread holds a line reader's block and its parts' records.
constexpr int kMostThreads = 64;

// The number of threads that read a log of `size` bytes.
int threadsFor(const ImportOptions& options, std::int64_t size, std::int64_t partBytes) {
    int threads = options.threads;
    if (threads <= 0) threads = static_cast<int>(std::thread::hardware_concurrency());
    if (threads < 2 || size / partBytes < kLeastParts) return 1;
    return std::min(threads, kMostThreads);
}

// The load of a log cut into parts, taken in rounds of a few parts each. In each phase
// the calling thread takes the lines of the round parsed before in file order through the
// one Loader, and the threads parse the parts of the next round and append the ordered
// round's points, a group of channels at a time: both kinds of work are taken by
// whichever thread is free, so that a thread the system holds back holds up little.
ImportResult importInParts(const QString& path, std::int64_t size, std::int64_t partBytes,
                           int threads, const UnitSelectors& units, ImportSink& sink,
                           const ImportOptions& options) {
    // Blocks of a part and a little more: the line that crosses a part's end is mostly
    // read with the part, and the next part is not read twice.
    std::vector<std::unique_ptr<LineReader>> readers;
    for (int t = 0; t < threads; ++t) {
        readers.push_back(std::make_unique<LineReader>(
            static_cast<std::size_t>(std::min<std::int64_t>(partBytes, 64 << 20)) + (16 << 10)));
        if (!readers.back()->open(path))
            return {ImportResult::Status::OpenFailed, kOpenFailedText, {}, {}};
    }

    Loader loader(units, sink, options);
    loader.reset();
    const std::int64_t partCount = (size + partBytes - 1) / partBytes;
    const std::int64_t perRound = 2 * static_cast<std::int64_t>(threads);
    const std::int64_t roundCount = (partCount + perRound - 1) / perRound;
    const bool apart = sink.appendsChannelsApart();
    const int groups = 4 * threads;  // of channels, appended by one thread at a time
    const ChannelOwners groupOf = dealChannels(groups);
    // The parts of the round being ordered and of the one being parsed; whether each
    // could be read.
    std::vector<ParsedPart> parts[2];
    std::vector<char> partRead[2];
    for (int k = 0; k < 2; ++k) {
        parts[k].resize(static_cast<std::size_t>(perRound));
        partRead[k].resize(static_cast<std::size_t>(perRound));
    }
    DeferredAppends appends;
    std::array<std::size_t, kChannelCount> reserve{};

    QString error;
    std::int64_t lineNumber = 1;
    bool stopped = false;     // on an error or at the point budget
    bool readFailed = false;  // a part could not be read: the file ends before it
    // Takes the lines of `round` in file order; false once the load stops there.
    const auto orderRound = [&](std::int64_t round) {
        const std::size_t set = static_cast<std::size_t>(round % 2);
        for (std::int64_t k = 0; k < perRound && round * perRound + k < partCount; ++k) {
            const std::size_t slot = static_cast<std::size_t>(k);
            if (!partRead[set][slot]) {
                readFailed = true;
                return;
            }
            const ParsedPart& part = parts[set][slot];
            for (const ParsedLine& line : part.lines) {
                if (!loader.handleParsed(line, part, error)) {
                    stopped = true;
                    return;
                }
                if (line.endsLine) ++lineNumber;
            }
        }
    };

    WorkCrew crew(threads);
    std::atomic<std::int64_t> nextPart{0};
    std::atomic<int> nextGroup{0};
    std::atomic<bool> ordered{false};  // the round of this phase is ordered
    for (std::int64_t phase = 0;; ++phase) {
        const bool order = phase >= 1 && phase <= roundCount;  // the round parsed before
        const bool parse = phase < roundCount;
        if (!order && !parse) break;
        const std::size_t parseSet = static_cast<std::size_t>(phase % 2);
        bool reserveNow = false;
        nextPart = 0;
        nextGroup = 0;
        ordered = !order;
        const auto parseParts = [&](int t) {
            if (!parse) return;
            for (std::int64_t k; (k = nextPart.fetch_add(1)) < perRound;) {
                const std::size_t slot = static_cast<std::size_t>(k);
                const std::int64_t index = phase * perRound + k;
                ParsedPart& part = parts[parseSet][slot];
                part.clear();
                if (index < partCount)
                    partRead[parseSet][slot] =
                        parsePart(*readers[static_cast<std::size_t>(t)], index, partBytes,
                                  index == partCount - 1, part);
            }
        };
        const auto appendGroups = [&] {
            if (!order || !apart) return;
            ordered.wait(false, std::memory_order_acquire);
            for (int g; (g = nextGroup.fetch_add(1)) < groups;) {
                // The first round's appends make room for the whole file's points,
                // in the thread that then touches that memory first.
                if (reserveNow)
                    for (std::size_t c = 0; c < reserve.size(); ++c)
                        if (groupOf[c] == g && reserve[c] > 0)
                            sink.reservePoints(static_cast<Channel>(c), reserve[c]);
                makeAppends(appends, units, sink, groupOf, g);
            }
        };
        crew.run([&](int t) {
            if (t == 0 && order) {
                appends.clear();
                loader.deferAppends(apart ? &appends : nullptr);
                orderRound(phase - 1);
                if (phase == 1 && apart && !stopped && !readFailed && perRound * partBytes < size) {
                    reserve = expectedPoints(appends, perRound * partBytes, size);
                    reserveNow = true;
                }
                ordered.store(true, std::memory_order_release);
                ordered.notify_all();
            }
            // The calling thread appends first (it has just ordered the round), the
            // others parse first.
            if (t == 0) {
                appendGroups();
                parseParts(t);
            } else {
                parseParts(t);
                appendGroups();
            }
        });
        if (order && (stopped || readFailed)) break;
    }
    ImportResult result{ImportResult::Status::Loaded, kLoadedText, loader.panel(), loader.report()};
    if (loader.overBudget()) {
        result.status = ImportResult::Status::TooMuchData;
        result.message = tooMuchDataMessage(lineNumber);
    } else if (stopped) {
        result.status = ImportResult::Status::Error;
        result.message = error;
    }
    return result;
}

}  // namespace

void PanelTexts::apply(const PanelUpdate& update) {
    if (update.modelText) modelText = *update.modelText;
    if (update.countersVisible) countersVisible = *update.countersVisible;
    if (update.hobbsStart) hobbsStart = *update.hobbsStart;
    if (update.hobbsStop) hobbsStop = *update.hobbsStop;
    if (update.maintenanceStart) maintenanceStart = *update.maintenanceStart;
    if (update.maintenanceStop) maintenanceStop = *update.maintenanceStop;
}

ImportOptions ImportOptions::forThisMachine() {
    ImportOptions options;
    options.pointBudget = defaultPointBudget();
    options.locale = DateTimeLocale::fromQLocale(QLocale::system());
    return options;
}

ImportResult importLogFile(const QString& path, const UnitSelectors& units, ImportSink& sink,
                           const ImportOptions& options) {
    const std::int64_t partBytes = std::max<std::int64_t>(1, options.minPartBytes);
    const QFileInfo info(path);
    const std::int64_t size = info.isFile() ? info.size() : 0;
    if (const int threads = threadsFor(options, size, partBytes); threads > 1) {
        ImportResult result = importInParts(path, size, partBytes, threads, units, sink, options);
#if defined(__GLIBC__)
        // The record buffers, freed now, came partly from the helper threads' own heaps,
        // which the C library keeps for them unless told to give the room back.
        malloc_trim(0);
#endif
        return result;
    }

    LineReader reader;
    if (!reader.open(path)) return {ImportResult::Status::OpenFailed, kOpenFailedText, {}, {}};

    Loader loader(units, sink, options);
    loader.reset();
    // A sink whose series take their points apart gets a batch of lines' points at once.
    DeferredAppends appends;
    const bool batched = sink.appendsChannelsApart() && sink.keepsPoints();
    if (batched) loader.deferAppends(&appends);
    const ChannelOwners oneThread = dealChannels(1);
    const auto appendBatch = [&] {
        if (!batched) return;
        makeAppends(appends, units, sink, oneThread, 0);
        appends.clear();
    };
    std::string_view line;
    QString error;
    std::int64_t lineNumber = 1;  // of the file; a long line comes in several pieces
    while (reader.next(line)) {
        const bool handled = loader.handleLine(line, error);
        if (appends.steps() >= kBatchSteps || !handled) appendBatch();
        if (!handled) {
            reader.close();
            if (loader.overBudget())
                return {ImportResult::Status::TooMuchData, tooMuchDataMessage(lineNumber),
                        loader.panel(), loader.report()};
            return {ImportResult::Status::Error, error, loader.panel(), loader.report()};
        }
        if (!line.empty() && line.back() == '\n') ++lineNumber;
    }
    appendBatch();
    reader.close();
    return {ImportResult::Status::Loaded, kLoadedText, loader.panel(), loader.report()};
}

}  // namespace zp
