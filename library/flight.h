// Flights: the records of one log file split where the time of day jumps forward by more
// than the split gap, each with its figures (lines, date, times, records per model,
// counters, and per channel the count, minimum, maximum and mean of its readings and the
// runs beyond the limits). Plain values shared by the reader, the store and the tools.
#pragma once

#include <QDate>
#include <QString>
#include <array>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <vector>

#include "channels/catalogue.h"
#include "channels/unit_selectors.h"
#include "import/date_time_text.h"
#include "import/record_models.h"
#include "library/derived_figures.h"

namespace zp::library {

inline constexpr int kDefaultSplitGap = 300;  // seconds
inline constexpr std::int64_t kSecondsPerDay = 86400;

// A reading above `high` or below `low` is beyond its limit; one equal to it is not.
struct Limits {
    double low = -std::numeric_limits<double>::infinity();
    double high = std::numeric_limits<double>::infinity();
};

// How files are read into flights. The same options on the same file give the same
// flights; a store keeps key() beside each file and reads a file again when it changes.
struct FlightOptions {
    // A record more than this many seconds after the one before it starts a flight.
    std::int64_t splitGap = kDefaultSplitGap;
    // The unit selectors of the settings the readings are converted with.
    UnitSelectors units{};
    // The channels whose runs beyond limits are counted.
    std::array<std::optional<Limits>, kChannelCount> limits{};
    // The regional settings the time and date fields are read with.
    DateTimeLocale locale;
    // The engine profile's channels, for the figures of the derived series; none: none.
    std::optional<EngineChannels> engine;
    // Limits of derived series ("CHT1RateSeries"), whose runs beyond them are counted.
    std::map<QString, Limits> derivedLimits;

    // A text naming everything above, e.g. "gap=300;units=0,...;limits=;locale=...".
    QString key() const;
};

// The readings of one channel in one flight. Non-finite values are not readings.
struct ChannelFigures {
    std::int64_t count = 0;
    double minimum = 0.0;
    double maximum = 0.0;
    double mean = 0.0;  // the sum in record order over count
    // Runs of consecutive readings above the high or below the low limit; counted only
    // for a channel with limits.
    std::int64_t highRuns = 0;
    std::int64_t lowRuns = 0;
};

struct CounterSpan {
    std::int32_t start = 0;
    std::int32_t end = 0;
};

struct Flight {
    int index = 0;               // its number in the file, from 0
    std::int64_t firstLine = 0;  // 1-based line pieces of its first and last record
    std::int64_t lastLine = 0;
    QString dateText;               // the date field of its first record
    QDate date;                     // what dateText means, or the file's modification date
    bool dateFromText = false;      // whether `date` was read from dateText
    std::uint32_t startSecond = 0;  // second of the day of its first and last record
    std::uint32_t endSecond = 0;
    std::int64_t seconds = 0;  // the sum of the forward distances between its records
    std::array<std::int64_t, kModelCount + 1> records{};  // per model id, index 0 unused
    std::optional<CounterSpan> hobbs;  // first and last record of a model with them
    std::optional<CounterSpan> maintenance;
    std::array<std::optional<ChannelFigures>, kChannelCount> channels{};  // none: no reading
    // The derived series' figures with an engine profile, by series name in series order.
    std::vector<std::pair<QString, ChannelFigures>> derived;
};

enum class FileStatus { Indexed, NotALog, Stopped, Unreadable };

// "indexed", "not a log", "stopped", "unreadable".
const char* statusText(FileStatus status);
std::optional<FileStatus> statusFromText(const QString& text);

// One log file and its flights.
struct FileFlights {
    QString path;                 // absolute, '/' separated
    std::int64_t size = 0;        // bytes, as read
    std::int64_t modifiedMs = 0;  // modification time, ms since 1970 UTC
    FileStatus status = FileStatus::Unreadable;
    QString message;  // the import's error text of a stopped file, else empty
    std::optional<std::int64_t> stoppedAtLine;
    std::vector<Flight> flights;
};

// "hh:nn:ss" of a second of the day.
QString secondText(std::uint32_t second);

}  // namespace zp::library
