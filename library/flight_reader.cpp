#include "library/flight_reader.h"

#include <QDateTime>
#include <QFileInfo>
#include <cmath>
#include <limits>

#include "channels/channel_units.h"
#include "import/log_import.h"

namespace zp::library {

FlightSink::FlightSink(const FlightOptions& options) : options_(options) {
    for (int c = 0; c < kChannelCount; ++c)
        toShown_[static_cast<std::size_t>(c)] = shownConversion(static_cast<Channel>(c), options.units);
}

void FlightSink::startFlight(const RecordEvent& event) {
    current_ = Flight{};
    current_.index = static_cast<int>(flights_.size());
    current_.firstLine = event.line;
    current_.dateText = QString::fromLocal8Bit(event.dateText);
    double days = 0.0;
    if (textToDate(event.dateText, options_.locale, days)) {
        current_.date = QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(days)));
        current_.dateFromText = current_.date.isValid();
    }
    current_.startSecond = event.second;
    channels_.fill(Accumulator{});
    inFlight_ = true;
}

void FlightSink::finishFlight() {
    if (!inFlight_) return;
    for (int c = 0; c < kChannelCount; ++c) {
        const Accumulator& a = channels_[static_cast<std::size_t>(c)];
        if (a.count == 0) continue;
        ChannelFigures figures;
        figures.count = a.count;
        figures.minimum = a.minimum;
        figures.maximum = a.maximum;
        figures.mean = a.sum / static_cast<double>(a.count);
        figures.highRuns = a.highRuns;
        figures.lowRuns = a.lowRuns;
        current_.channels[static_cast<std::size_t>(c)] = figures;
    }
    flights_.push_back(std::move(current_));
    inFlight_ = false;
}

void FlightSink::record(const RecordEvent& event) {
    if (!inFlight_) {
        startFlight(event);
    } else {
        const std::int64_t d =
            (std::int64_t{event.second} - std::int64_t{lastSecond_} + kSecondsPerDay) %
            kSecondsPerDay;
        if (d > options_.splitGap) {
            finishFlight();
            startFlight(event);
        } else {
            current_.seconds += d;
        }
    }
    lastSecond_ = event.second;
    const RecordModel& model = *event.model;
    current_.lastLine = event.line;
    current_.endSecond = event.second;
    ++current_.records[static_cast<std::size_t>(model.id)];
    if (model.hasCounters) {
        if (!current_.hobbs) {
            current_.hobbs = CounterSpan{event.hobbs, event.hobbs};
            current_.maintenance = CounterSpan{event.maintenance, event.maintenance};
        }
        current_.hobbs->end = event.hobbs;
        current_.maintenance->end = event.maintenance;
    }
    // The value each channel's data step appends: the slot converted to the chosen unit.
    for (const Channel channel : model.plots) {
        const float recorded = event.values[channel];
        const ToShownFn convert = toShown_[static_cast<std::size_t>(channel)];
        const float shown = convert ? convert(recorded) : recorded;
        const double value = static_cast<double>(shown);
        Accumulator& a = channels_[static_cast<std::size_t>(channel)];
        if (!std::isfinite(value)) {
            a.inHigh = a.inLow = false;
            continue;
        }
        if (a.count == 0) {
            a.minimum = a.maximum = value;
        } else {
            if (value < a.minimum) a.minimum = value;
            if (value > a.maximum) a.maximum = value;
        }
        ++a.count;
        a.sum += value;
        if (const std::optional<Limits>& limits =
                options_.limits[static_cast<std::size_t>(channel)]) {
            const bool high = value > limits->high;
            const bool low = !high && value < limits->low;
            if (high && !a.inHigh) ++a.highRuns;
            if (low && !a.inLow) ++a.lowRuns;
            a.inHigh = high;
            a.inLow = low;
        }
    }
}

std::vector<Flight> FlightSink::takeFlights(QDate fileDate) {
    finishFlight();
    for (Flight& flight : flights_)
        if (!flight.dateFromText) flight.date = fileDate;
    return std::move(flights_);
}

FileFlights readFlights(const QString& path, const FlightOptions& options) {
    FileFlights file;
    file.path = path;
    const QFileInfo info(path);
    file.size = info.size();
    const QDateTime modified = info.lastModified();
    file.modifiedMs = modified.toMSecsSinceEpoch();

    FlightSink sink(options);
    ImportOptions importOptions;
    importOptions.pointBudget = std::numeric_limits<std::int64_t>::max();  // no points kept
    importOptions.locale = options.locale;
    // The indexer reads one file a core already.
    importOptions.threads = 1;
    const ImportResult result = importLogFile(path, options.units, sink, importOptions);
    file.flights = sink.takeFlights(modified.date());
    switch (result.status) {
        case ImportResult::Status::OpenFailed:
            file.status = FileStatus::Unreadable;
            file.message = result.message;
            break;
        case ImportResult::Status::Error:
        case ImportResult::Status::TooMuchData:
            file.status = FileStatus::Stopped;
            file.message = result.message;
            file.stoppedAtLine = result.report.stoppedAtLine;
            break;
        case ImportResult::Status::Loaded:
            file.status = file.flights.empty() ? FileStatus::NotALog : FileStatus::Indexed;
            break;
    }
    return file;
}

}  // namespace zp::library
