#include "import/log_import.h"

#include <QStringList>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "channels/channel_units.h"
#include "import/line_reader.h"
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
        ++report_.lines;
        const std::string_view line = cString(rawLine);
        scanModelId(line, fields_.modelId);
        if (const RecordModel* model = recordModel(fields_.modelId)) {
            ++report_.records[static_cast<std::size_t>(model->id)];
            if (!handleRecord(line, *model, error)) {
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

  private:
    void showModelText(int index) {
        if (shownModel_ == index) return;
        panel_.modelText = modelTexts_[index];
        shownModel_ = index;
    }

    // The common record steps of a line of a known model.
    bool handleRecord(std::string_view line, const RecordModel& model, QString& error) {
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

        if (parseRecord(line, model, fields_) < static_cast<int>(model.fields.size()))
            ++report_.incompleteRecords;

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
    return {defaultPointBudget(), DateTimeLocale::fromQLocale(QLocale::system())};
}

ImportResult importLogFile(const QString& path, const UnitSelectors& units, ImportSink& sink,
                           const ImportOptions& options) {
    LineReader reader;
    if (!reader.open(path)) return {ImportResult::Status::OpenFailed, kOpenFailedText, {}, {}};

    Loader loader(units, sink, options);
    loader.reset();
    std::string_view line;
    QString error;
    std::int64_t lineNumber = 1;  // of the file; a long line comes in several pieces
    while (reader.next(line)) {
        if (!loader.handleLine(line, error)) {
            reader.close();
            if (loader.overBudget())
                return {ImportResult::Status::TooMuchData, tooMuchDataMessage(lineNumber),
                        loader.panel(), loader.report()};
            return {ImportResult::Status::Error, error, loader.panel(), loader.report()};
        }
        if (!line.empty() && line.back() == '\n') ++lineNumber;
    }
    reader.close();
    return {ImportResult::Status::Loaded, kLoadedText, loader.panel(), loader.report()};
}

}  // namespace zp
