#include "tools/logdump_flights.h"

#include <QFileInfo>
#include <QLocale>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "chart/json_writer.h"
#include "library/flight_indexer.h"
#include "library/sql_flight_store.h"
#include "settings/settings_file.h"
#include "settings/settings_record.h"
#include "tools/logdump_limits.h"

namespace zp::logdump {

namespace {

constexpr const char* kFlightsUsage =
    "usage: logdump --flights [--split-gap SECONDS] [--settings FILE] "
    "[--limit NAME:LOW:HIGH ...] [--db FILE|postgresql://USER@HOST:PORT/DBNAME] "
    "[--aircraft REGISTRATION] PATH...";

struct FlightsArguments {
    std::optional<QString> settingsFile;
    std::optional<QString> database;
    QString aircraft;
    QStringList paths;
    library::FlightOptions options;
};

// NAME:LOW:HIGH with LOW and HIGH numbers or empty, as logdump's --limit.
bool parseLimit(const QString& text, library::FlightOptions& options, QString& problem) {
    const auto given = [&options](Channel channel) {
        return options.limits[static_cast<std::size_t>(channel)].has_value();
    };
    const std::optional<LimitOption> limit = parseLimitOption(text, given, problem);
    if (!limit) return false;
    options.limits[static_cast<std::size_t>(limit->channel)] =
        library::Limits{limit->low, limit->high};
    return true;
}

bool parseFlightsArguments(const QStringList& args, FlightsArguments& parsed, QString& problem) {
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"--flights") continue;
        if (arg == u"--split-gap" || arg == u"--settings" || arg == u"--limit" || arg == u"--db" ||
            arg == u"--aircraft") {
            if (i + 1 >= args.size()) {
                problem = arg + QStringLiteral(" needs a value");
                return false;
            }
            const QString value = args[++i];
            if (arg == u"--settings") {
                parsed.settingsFile = value;
            } else if (arg == u"--db") {
                parsed.database = value;
            } else if (arg == u"--aircraft") {
                if (value.trimmed().isEmpty()) {
                    problem = QStringLiteral("--aircraft needs a registration");
                    return false;
                }
                parsed.aircraft = value.trimmed();
            } else if (arg == u"--limit") {
                if (!parseLimit(value, parsed.options, problem)) return false;
            } else {
                bool ok = false;
                const qlonglong gap = value.toLongLong(&ok);
                if (!ok || gap < 0) {
                    problem = QStringLiteral("bad number of seconds for --split-gap: ") + value;
                    return false;
                }
                parsed.options.splitGap = gap;
            }
        } else if (arg.startsWith(u'-') && arg.size() > 1) {
            problem = QStringLiteral("unknown option with --flights: ") + arg;
            return false;
        } else {
            parsed.paths << arg;
        }
    }
    if (!args.contains(QStringLiteral("--flights"))) {
        problem = QStringLiteral("--split-gap, --db and --aircraft go with --flights");
        return false;
    }
    if (parsed.paths.isEmpty()) {
        problem = QStringLiteral("--flights needs a PATH");
        return false;
    }
    if (!parsed.aircraft.isEmpty() && (!parsed.database || parsed.paths.size() != 1 ||
                                       !QFileInfo(parsed.paths.first()).isDir())) {
        problem = QStringLiteral("--aircraft needs --db and one folder PATH");
        return false;
    }
    return true;
}

void optionalText(JsonWriter& out, const QString& text) {
    if (text.isNull())
        out.raw("null");
    else
        out.string(text);
}

void writeCounters(JsonWriter& out, const std::optional<library::CounterSpan>& span) {
    if (!span) {
        out.raw("null");
        return;
    }
    out.raw("{\"start\": ");
    out.integer(span->start);
    out.raw(", \"end\": ");
    out.integer(span->end);
    out.raw("}");
}

void writeFlight(JsonWriter& out, const QString& shown, const library::Flight& f,
                 const library::FlightOptions& options, bool limited) {
    out.raw("{\"file\": ");
    out.string(shown);
    out.raw(", \"index\": ");
    out.integer(f.index);
    out.raw(",\n     \"firstLine\": ");
    out.integer(f.firstLine);
    out.raw(", \"lastLine\": ");
    out.integer(f.lastLine);
    out.raw(", \"dateText\": ");
    out.string(f.dateText);
    out.raw(", \"date\": ");
    if (f.dateFromText)
        out.string(f.date.toString(Qt::ISODate));
    else
        out.raw("null");
    out.raw(",\n     \"start\": ");
    out.string(library::secondText(f.startSecond));
    out.raw(", \"end\": ");
    out.string(library::secondText(f.endSecond));
    out.raw(", \"seconds\": ");
    out.integer(f.seconds);
    out.raw(",\n     \"records\": {");
    bool first = true;
    for (int id = 1; id <= kModelCount; ++id) {
        const std::int64_t n = f.records[static_cast<std::size_t>(id)];
        if (n == 0) continue;
        out.raw(first ? "\"" : ", \"");
        out.raw(std::to_string(id));
        out.raw("\": ");
        out.integer(n);
        first = false;
    }
    out.raw("},\n     \"hobbs\": ");
    writeCounters(out, f.hobbs);
    out.raw(", \"maintenance\": ");
    writeCounters(out, f.maintenance);
    out.raw(",\n     \"series\": {");
    first = true;
    for (int c = 0; c < kChannelCount; ++c) {
        const std::optional<library::ChannelFigures>& s = f.channels[static_cast<std::size_t>(c)];
        if (!s) continue;
        out.raw(first ? "\n       " : ",\n       ");
        out.string(std::string_view(kChannels[c].name));
        out.raw(": {\"count\": ");
        out.integer(s->count);
        out.raw(", \"min\": ");
        out.number(s->minimum);
        out.raw(", \"max\": ");
        out.number(s->maximum);
        out.raw(", \"mean\": ");
        out.number(s->mean);
        out.raw("}");
        first = false;
    }
    out.raw("}");
    if (limited) {
        out.raw(",\n     \"exceedances\": {");
        first = true;
        for (int c = 0; c < kChannelCount; ++c) {
            const auto i = static_cast<std::size_t>(c);
            if (!options.limits[i] || !f.channels[i]) continue;
            out.raw(first ? "" : ", ");
            out.string(std::string_view(kChannels[c].name));
            out.raw(": {\"high\": ");
            out.integer(f.channels[i]->highRuns);
            out.raw(", \"low\": ");
            out.integer(f.channels[i]->lowRuns);
            out.raw("}");
            first = false;
        }
        out.raw("}");
    }
    out.raw("}");
}

void writeFlights(JsonWriter& out, const library::IndexResult& result,
                  const library::FlightOptions& options, const QString& aircraft) {
    bool limited = false;
    for (const auto& l : options.limits) limited = limited || l.has_value();
    out.raw("{\n  \"splitGap\": ");
    out.integer(options.splitGap);
    if (!aircraft.isEmpty()) {
        out.raw(",\n  \"aircraft\": ");
        out.string(aircraft);
    }
    out.raw(",\n  \"files\": [");
    for (std::size_t i = 0; i < result.files.size(); ++i) {
        const library::IndexedLog& entry = result.files[i];
        const library::FileFlights& file = entry.file;
        out.raw(i ? ",\n    {\"path\": " : "\n    {\"path\": ");
        out.string(entry.log.shown);
        out.raw(", \"status\": ");
        out.string(std::string_view(library::statusText(file.status)));
        out.raw(", \"message\": ");
        optionalText(out, file.message.isEmpty() ? QString() : file.message);
        out.raw(", \"stoppedAtLine\": ");
        if (file.stoppedAtLine)
            out.integer(*file.stoppedAtLine);
        else
            out.raw("null");
        out.raw(", \"flights\": ");
        out.integer(static_cast<long long>(file.flights.size()));
        out.raw("}");
    }
    out.raw(result.files.empty() ? "],\n  \"flights\": [" : "\n  ],\n  \"flights\": [");
    bool first = true;
    for (const library::IndexedLog& entry : result.files) {
        for (const library::Flight& flight : entry.file.flights) {
            out.raw(first ? "\n    " : ",\n    ");
            writeFlight(out, entry.log.shown, flight, options, limited);
            first = false;
        }
    }
    out.raw(first ? "]\n}\n" : "\n  ]\n}\n");
}

}  // namespace

bool wantsFlights(const QStringList& args) {
    // --split-gap, --db and --aircraft belong to --flights alone; their problems are told
    // here.
    return args.contains(QStringLiteral("--flights")) ||
           args.contains(QStringLiteral("--split-gap")) || args.contains(QStringLiteral("--db")) ||
           args.contains(QStringLiteral("--aircraft"));
}

int runFlights(const QStringList& args) {
    FlightsArguments parsed;
    QString problem;
    if (!parseFlightsArguments(args, parsed, problem)) {
        std::fprintf(stderr, "logdump: %s (%s)\n", qPrintable(problem), kFlightsUsage);
        return 2;
    }
    SettingsRecord record = defaultSettingsRecord();
    if (parsed.settingsFile) {
        SettingsRecord read{};
        if (readSettingsFile(*parsed.settingsFile, read)) record = read;
    }
    parsed.options.units = unitSelectorsOf(record);
    parsed.options.locale = DateTimeLocale::fromQLocale(QLocale::system());

    std::unique_ptr<library::SqlFlightStore> store;
    if (parsed.database) {
        QString notice, error;
        store = library::SqlFlightStore::open(*parsed.database, notice, error);
        if (!notice.isEmpty()) std::fprintf(stderr, "logdump: %s\n", qPrintable(notice));
        if (!store) {
            std::fprintf(stderr, "logdump: %s\n", qPrintable(error));
            return 2;
        }
    }
    library::FlightIndexer indexer(parsed.options);
    indexer.setAircraft(parsed.aircraft);
    const library::IndexResult result = indexer.run(parsed.paths, store.get());
    for (const QString& p : result.notices) std::fprintf(stderr, "logdump: %s\n", qPrintable(p));
    for (const QString& p : result.problems) std::fprintf(stderr, "logdump: %s\n", qPrintable(p));

    JsonWriter out(stdout);
    writeFlights(out, result, parsed.options, parsed.aircraft);
    if (!out.flush()) {
        std::fprintf(stderr, "logdump: cannot write the report\n");
        return 2;
    }
    return 0;
}

}  // namespace zp::logdump
