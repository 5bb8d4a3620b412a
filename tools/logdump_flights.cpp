#include "tools/logdump_flights.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QSize>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "chart/chart_report.h"
#include "chart/date_axis.h"
#include "chart/json_writer.h"
#include "library/flight_indexer.h"
#include "library/sql_flight_store.h"
#include "library/trend.h"
#include "library/trend_chart.h"
#include "settings/settings_file.h"
#include "settings/settings_record.h"
#include "tools/logdump_engine.h"
#include "tools/logdump_limits.h"

namespace zp::logdump {

namespace {

constexpr const char* kFlightsUsage =
    "usage: logdump --flights [--split-gap SECONDS] [--settings FILE] "
    "[--limit NAME:LOW:HIGH ...] [--db FILE|postgresql://USER@HOST:PORT/DBNAME] "
    "[--aircraft REGISTRATION] [--profile FILE] [--trend NAME:STAT ...] "
    "[--layout WxH [--render OUT.bmp]] PATH...";

struct FlightsArguments {
    std::optional<QString> settingsFile;
    std::optional<QString> database;
    QString aircraft;
    QStringList paths;
    library::FlightOptions options;
    // The trend lines asked for, in the order given, and the size to draw them at.
    std::vector<library::TrendRequest> trends;
    std::optional<QSize> layout;
    std::optional<QString> renderFile;
};

bool parseSize(const QString& text, QSize& size) {
    const QStringList parts = text.split(u'x');
    if (parts.size() != 2) return false;
    bool okWidth = false, okHeight = false;
    size = QSize(parts[0].toInt(&okWidth), parts[1].toInt(&okHeight));
    return okWidth && okHeight && size.width() > 0 && size.height() > 0 && size.width() <= 100000 &&
           size.height() <= 100000;
}

// NAME:LOW:HIGH with LOW and HIGH numbers or empty, as logdump's --limit.
bool parseLimit(const QString& text, library::FlightOptions& options, QString& problem) {
    // A derived series' limits, which need --profile.
    EngineOptions derived;
    if (parseDerivedLimit(text, derived, problem)) {
        if (!problem.isEmpty()) return false;
        const auto& [name, limits] = derived.limits.front();
        if (options.derivedLimits.count(name)) {
            problem = QStringLiteral("--limit given twice for ") + name;
            return false;
        }
        options.derivedLimits[name] = library::Limits{limits.low, limits.high};
        return true;
    }
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
        if (arg == u"--profile") {
            EngineOptions engine;
            if (!parseEngineOption(args, i, engine, problem)) return false;
            if (!problem.isEmpty()) return false;
            parsed.options.engine = engineChannelsOf(*engine.profile);
            continue;
        }
        if (arg == u"--split-gap" || arg == u"--settings" || arg == u"--limit" || arg == u"--db" ||
            arg == u"--trend" || arg == u"--layout" || arg == u"--render" || arg == u"--aircraft") {
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
            } else if (arg == u"--trend") {
                const std::optional<library::TrendRequest> request =
                    library::parseTrendRequest(value, problem);
                if (!request) return false;
                parsed.trends.push_back(*request);
            } else if (arg == u"--layout") {
                QSize size;
                if (!parseSize(value, size)) {
                    problem = QStringLiteral("bad size for --layout: ") + value;
                    return false;
                }
                parsed.layout = size;
            } else if (arg == u"--render") {
                parsed.renderFile = value;
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
        problem = args.contains(QStringLiteral("--trend"))
                      ? QStringLiteral("--trend goes with --flights")
                      : QStringLiteral("--split-gap, --db and --aircraft go with --flights");
        return false;
    }
    if (parsed.layout && parsed.trends.empty()) {
        problem = QStringLiteral("--layout with --flights draws the trend: it needs --trend");
        return false;
    }
    if (parsed.renderFile && !parsed.layout) {
        problem = QStringLiteral("--render needs --layout");
        return false;
    }
    if (!parsed.options.derivedLimits.empty() && !parsed.options.engine) {
        problem = QStringLiteral("--limit of %1 needs --profile")
                      .arg(parsed.options.derivedLimits.begin()->first);
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
    // With --profile, the derived series after the channels.
    for (const auto& [name, s] : f.derived) {
        out.raw(first ? "\n       " : ",\n       ");
        out.string(name);
        out.raw(": {\"count\": ");
        out.integer(s.count);
        out.raw(", \"min\": ");
        out.number(s.minimum);
        out.raw(", \"max\": ");
        out.number(s.maximum);
        out.raw(", \"mean\": ");
        out.number(s.mean);
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
        for (const auto& [name, s] : f.derived) {
            if (!options.derivedLimits.count(name)) continue;
            out.raw(first ? "" : ", ");
            out.string(name);
            out.raw(": {\"high\": ");
            out.integer(s.highRuns);
            out.raw(", \"low\": ");
            out.integer(s.lowRuns);
            out.raw("}");
            first = false;
        }
        out.raw("}");
    }
    out.raw("}");
}

void writeFlights(JsonWriter& out, const library::IndexResult& result,
                  const library::FlightOptions& options, const QString& aircraft) {
    bool limited = !options.derivedLimits.empty();
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
    out.raw(first ? "]" : "\n  ]");
}

// The flights in the order of the report, with the files they are in as the report names
// them.
void reportedFlights(const library::IndexResult& result,
                     std::vector<const library::Flight*>& flights, std::vector<QString>& files) {
    for (const library::IndexedLog& entry : result.files) {
        for (const library::Flight& flight : entry.file.flights) {
            flights.push_back(&flight);
            files.push_back(entry.log.shown);
        }
    }
}

void writeTrend(JsonWriter& out, const std::vector<library::TrendLine>& lines) {
    out.raw(",\n  \"trend\": [");
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const library::TrendLine& line = lines[k];
        out.raw(k ? ",\n    {\"series\": " : "\n    {\"series\": ");
        out.string(
            std::string_view(kChannels[static_cast<std::size_t>(line.request.channel)].name));
        out.raw(", \"statistic\": ");
        out.string(std::string_view(library::statisticText(line.request.statistic)));
        out.raw(", \"points\": [");
        for (std::size_t i = 0; i < line.points.size(); ++i) {
            out.raw(i ? ", [" : "[");
            out.number(line.points[i].x);
            out.raw(", ");
            out.number(line.points[i].y);
            out.raw("]");
        }
        out.raw("]}");
    }
    out.raw(lines.empty() ? "]" : "\n  ]");
}

}  // namespace

bool wantsFlights(const QStringList& args) {
    // --split-gap, --db and --aircraft belong to --flights alone; their problems are told
    // here.
    return args.contains(QStringLiteral("--flights")) ||
           args.contains(QStringLiteral("--split-gap")) || args.contains(QStringLiteral("--db")) ||
           args.contains(QStringLiteral("--trend")) || args.contains(QStringLiteral("--aircraft"));
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

    // The trend lines over the flights in report order, and their chart when it is drawn.
    std::vector<library::TrendLine> lines;
    chart::Chart trend;
    QString layout;
    if (!parsed.trends.empty()) {
        std::vector<const library::Flight*> flights;
        std::vector<QString> files;
        reportedFlights(result, flights, files);
        lines = library::trendLines(flights, parsed.trends);
        if (parsed.layout) {
            library::TrendChartSetup setup;
            setup.units = parsed.options.units;
            setup.limits = parsed.options.limits;
            trend = library::trendChart(lines, setup, QGuiApplication::palette());
            const QSize size = *parsed.layout;
            chart::fitCalendarLabels(trend, chart::PixelRect{0, 0, size.width(), size.height()});
            layout = chart::layoutReportJson(trend, size.width(), size.height());
        }
    }

    JsonWriter out(stdout);
    writeFlights(out, result, parsed.options, parsed.aircraft);
    if (!parsed.trends.empty()) writeTrend(out, lines);
    if (parsed.layout) {
        out.raw(",\n  \"layout\": ");
        const QByteArray text = layout.toUtf8();
        out.raw(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    }
    out.raw("\n}\n");
    if (!out.flush()) {
        std::fprintf(stderr, "logdump: cannot write the report\n");
        return 2;
    }
    if (parsed.renderFile && !chart::renderToBmp(trend, parsed.layout->width(),
                                                 parsed.layout->height(), *parsed.renderFile)) {
        std::fprintf(stderr, "logdump: cannot write %s\n", qPrintable(*parsed.renderFile));
        return 2;
    }
    return 0;
}

}  // namespace zp::logdump
