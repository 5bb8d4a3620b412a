// logdump: runs the viewer's import (and, on request, its chart layout and drawing)
// without a window and prints what the viewer would hold and show as one JSON object.
//
// The options, what they do and the exit status are in one table, logdump_command.cpp,
// which the usage, --help and the manual page (--man) are written from.
#include <QFile>
#include <QGuiApplication>
#include <QPalette>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/series_analysis.h"
#include "analysis/visible_data.h"
#include "chart/chart_model.h"
#include "chart/chart_report.h"
#include "chart/json_writer.h"
#include "loading/channel_series.h"
#include "loading/log_loading.h"
#include "loading/overlay_log.h"
#include "settings/settings_file.h"
#include "settings/settings_record.h"
#include "tools/logdump_command.h"
#include "tools/logdump_engine.h"
#include "tools/logdump_flights.h"
#include "tools/logdump_limits.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

using zp::chart::Chart;

// --help, -h and --man, given alone, print the help or the manual page, written from the
// option table under the name logdump was invoked by (zimra-pexo-logdump when installed).
std::optional<int> printHelp(int argc, char** argv) {
    if (argc != 2) return std::nullopt;
    const std::string_view name = zp::tools::invokedName(argv[0], "logdump");
    std::string text;
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)
        text = zp::tools::helpText(name, zp::logdump::commandPage());
    else if (std::strcmp(argv[1], "--man") == 0)
        text = zp::tools::manualPage(name, 1, zp::logdump::commandPage());
    else
        return std::nullopt;
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 2;
}

struct Options {
    std::optional<QString> settingsFile;
    std::optional<QString> logFile;
    bool summary = false;
    bool layout = false;
    int width = 0;
    int height = 0;
    std::optional<QString> renderFile;
    std::optional<QString> csvFile;
    qint64 pointBudget = 0;               // 0: the viewer's own budget
    std::optional<qlonglong> threads;     // --threads: the import's threads (0: one per core)
    std::optional<qlonglong> partBytes;   // --part-bytes: the least bytes of a part of the log
    std::optional<QString> overlayFile;   // --overlay: the second log laid over the first
    std::optional<double> offsetSeconds;  // --offset: seconds added to the overlay's shift
    bool report = false;
    bool stats = false;
    std::optional<zp::analysis::XRange> range;
    // The limits given per channel series, in the order given.
    std::vector<std::pair<zp::Channel, zp::analysis::Limits>> limits;
    // --profile, --lean-test and the limits of derived series.
    zp::logdump::EngineOptions engine;
    // A bad value of an analysis option: its one-line message goes without the usage.
    bool badValue = false;
};

// A finite number in the C locale; false for any other text.
bool parseNumber(const QString& text, double& value) {
    bool ok = false;
    value = text.trimmed().isEmpty() ? 0.0 : text.toDouble(&ok);
    return ok && std::isfinite(value);
}

bool parseRange(const QString& text, zp::analysis::XRange& range, QString& problem) {
    const QStringList parts = text.split(u',');
    if (parts.size() != 2 || !parseNumber(parts[0], range.from) ||
        !parseNumber(parts[1], range.to)) {
        problem = QStringLiteral("bad range for --range (X0,X1 in days): ") + text;
        return false;
    }
    if (range.from > range.to) {
        problem = QStringLiteral("--range starts after its end: ") + text;
        return false;
    }
    return true;
}

// NAME:LOW:HIGH with LOW and HIGH numbers or empty (no limit on that side).
bool parseLimit(const QString& text, Options& options, QString& problem) {
    if (zp::logdump::parseDerivedLimit(text, options.engine, problem)) return problem.isEmpty();
    const auto given = [&options](zp::Channel channel) {
        for (const auto& limit : options.limits)
            if (limit.first == channel) return true;
        return false;
    };
    const std::optional<zp::logdump::LimitOption> limit =
        zp::logdump::parseLimitOption(text, given, problem);
    if (!limit) return false;
    zp::analysis::Limits limits;
    limits.low = limit->low;
    limits.high = limit->high;
    options.limits.emplace_back(limit->channel, limits);
    return true;
}

bool parseSize(const QString& text, int& width, int& height) {
    const QStringList parts = text.split(u'x');
    if (parts.size() != 2) return false;
    bool okWidth = false, okHeight = false;
    width = parts[0].toInt(&okWidth);
    height = parts[1].toInt(&okHeight);
    return okWidth && okHeight && width > 0 && height > 0 && width <= 100000 && height <= 100000;
}

// False (with a message) for arguments that do not fit the usage.
bool parseArguments(const QStringList& args, Options& options, QString& problem) {
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (zp::logdump::parseEngineOption(args, i, options.engine, problem)) {
            if (problem.isEmpty()) continue;
            options.badValue = true;
            return false;
        }
        if (arg == u"--settings" || arg == u"--layout" || arg == u"--render" ||
            arg == u"--point-budget" || arg == u"--range" || arg == u"--limit" || arg == u"--csv" ||
            arg == u"--threads" || arg == u"--part-bytes" || arg == u"--overlay" ||
            arg == u"--offset") {
            if (!hasValue) {
                problem = arg + QStringLiteral(" needs a value");
                return false;
            }
            const QString value = args[++i];
            if (arg == u"--settings") {
                options.settingsFile = value;
            } else if (arg == u"--render") {
                options.renderFile = value;
            } else if (arg == u"--csv") {
                options.csvFile = value;
            } else if (arg == u"--overlay") {
                options.overlayFile = value;
            } else if (arg == u"--offset") {
                double seconds = 0.0;
                if (!parseNumber(value, seconds) || value.trimmed().isEmpty() ||
                    std::fabs(seconds) > 1e9) {
                    problem = QStringLiteral("bad number of seconds for --offset: ") + value;
                    options.badValue = true;
                    return false;
                }
                options.offsetSeconds = seconds;
            } else if (arg == u"--range") {
                zp::analysis::XRange range;
                if (!parseRange(value, range, problem)) {
                    options.badValue = true;
                    return false;
                }
                options.range = range;
            } else if (arg == u"--limit") {
                if (!parseLimit(value, options, problem)) {
                    options.badValue = true;
                    return false;
                }
            } else if (arg == u"--threads" || arg == u"--part-bytes") {
                bool ok = false;
                const qlonglong n = value.toLongLong(&ok);
                if (!ok || n < (arg == u"--threads" ? 0 : 1) || n > (qlonglong{1} << 50)) {
                    problem =
                        QStringLiteral("bad number for ") + arg + QStringLiteral(": ") + value;
                    return false;
                }
                (arg == u"--threads" ? options.threads : options.partBytes) = n;
            } else if (arg == u"--point-budget") {
                bool ok = false;
                options.pointBudget = value.toLongLong(&ok);
                if (!ok || options.pointBudget <= 0) {
                    problem = QStringLiteral("bad number for --point-budget: ") + value;
                    return false;
                }
            } else {
                if (!parseSize(value, options.width, options.height)) {
                    problem = QStringLiteral("bad size for --layout: ") + value;
                    return false;
                }
                options.layout = true;
            }
        } else if (arg == u"--summary") {
            options.summary = true;
        } else if (arg == u"--report") {
            options.report = true;
        } else if (arg == u"--stats") {
            options.stats = true;
        } else if (arg.startsWith(u'-') && arg.size() > 1) {
            problem = QStringLiteral("unknown option ") + arg;
            return false;
        } else {
            if (options.logFile) {
                problem = QStringLiteral("more than one LOGFILE");
                return false;
            }
            options.logFile = arg;
        }
    }
    if (options.renderFile && !options.layout) {
        problem = QStringLiteral("--render needs --layout");
        return false;
    }
    if (options.offsetSeconds && !options.overlayFile) {
        problem = QStringLiteral("--offset needs --overlay");
        return false;
    }
    if (options.overlayFile && !options.logFile) {
        problem = QStringLiteral("--overlay needs a LOGFILE");
        return false;
    }
    if (!zp::logdump::checkEngineOptions(options.engine, problem)) return false;
    if (options.range && !options.stats && !options.csvFile) {
        problem = QStringLiteral("--range needs --stats or --csv");
        return false;
    }
    return true;
}

// The settings record as the viewer reads Settings.bin at start-up: the defaults
// when the file cannot be opened; otherwise up to 55 bytes over an all-zero record.
zp::SettingsRecord readSettings(const std::optional<QString>& path) {
    zp::SettingsRecord record{};
    if (!path || !zp::readSettingsFile(*path, record)) return zp::defaultSettingsRecord();
    return record;
}

// The status, the message, the information panel and the units of the report.
void writeHead(zp::JsonWriter& out, const char* status, const QString& message,
               const zp::PanelTexts& panel, const Chart& chart, const zp::SettingsRecord& record) {
    out.raw("{\n  \"status\": ");
    out.string(std::string_view(status));
    out.raw(",\n  \"message\": ");
    out.string(message);
    out.raw(",\n  \"model\": ");
    out.string(panel.modelText);
    out.raw(",\n  \"axisTitle\": ");
    out.string(chart.bottomAxis.title);
    out.raw(",\n  \"countersVisible\": ");
    out.boolean(panel.countersVisible);
    out.raw(",\n  \"hobbsStart\": ");
    out.string(panel.hobbsStart);
    out.raw(", \"hobbsStop\": ");
    out.string(panel.hobbsStop);
    out.raw(",\n  \"maintenanceStart\": ");
    out.string(panel.maintenanceStart);
    out.raw(", \"maintenanceStop\": ");
    out.string(panel.maintenanceStop);
    out.raw(",\n  \"units\": [");
    for (int i = 0; i < zp::kUnitSelectorCount; ++i) {
        if (i) out.raw(", ");
        out.integer(record[static_cast<std::size_t>(i)]);
    }
    out.raw("]");
}

// The statistics of a series' readings, or null when it has none in the range.
void writeStats(zp::JsonWriter& out, const std::optional<zp::analysis::SeriesStats>& stats) {
    if (!stats) {
        out.raw("null");
        return;
    }
    out.raw("{\"count\": ");
    out.integer(static_cast<long long>(stats->count));
    out.raw(", \"min\": ");
    out.number(stats->minimum);
    out.raw(", \"minX\": ");
    out.number(stats->minimumX);
    out.raw(", \"max\": ");
    out.number(stats->maximum);
    out.raw(", \"maxX\": ");
    out.number(stats->maximumX);
    out.raw(", \"mean\": ");
    out.number(stats->mean);
    out.raw("}");
}

void writeExceedances(zp::JsonWriter& out, const std::vector<zp::analysis::Exceedance>& runs) {
    out.raw("[");
    for (std::size_t i = 0; i < runs.size(); ++i) {
        out.raw(i ? ", {\"side\": " : "{\"side\": ");
        out.string(
            std::string_view(runs[i].side == zp::analysis::ExceedSide::High ? "high" : "low"));
        out.raw(", \"start\": ");
        out.number(runs[i].startX);
        out.raw(", \"end\": ");
        out.number(runs[i].endX);
        out.raw(", \"peak\": ");
        out.number(runs[i].peak);
        out.raw("}");
    }
    out.raw("]");
}

// What --stats and --limit add to a series, before its closing brace.
void writeAnalysis(zp::JsonWriter& out, const zp::chart::LineSeries& series, zp::Channel channel,
                   const Options& options) {
    if (options.stats) {
        out.raw(", \"stats\": ");
        writeStats(out, zp::analysis::seriesStats(series.points,
                                                  options.range.value_or(zp::analysis::XRange{})));
    }
    for (const auto& [limited, limits] : options.limits) {
        if (limited != channel) continue;
        out.raw(", \"exceedances\": ");
        writeExceedances(out, zp::analysis::exceedances(series.points, limits));
    }
    zp::logdump::writeDerivedLimits(out, series, options.engine);
}

// One series: its flags, then its point count (summary) or its points, then what the
// analysis options ask for.
void writeSeries(zp::JsonWriter& out, const zp::chart::LineSeries& series, zp::Channel channel,
                 const Options& options) {
    out.string(series.name);
    out.raw(", \"title\": ");
    out.string(series.title);
    out.raw(", \"active\": ");
    out.boolean(series.active);
    out.raw(", \"inLegend\": ");
    out.boolean(series.showInLegend);
    out.raw(", \"dateTime\": ");
    out.boolean(series.xDateTime);
    if (options.summary) {
        out.raw(", \"count\": ");
        out.integer(static_cast<long long>(series.points.size()));
        writeAnalysis(out, series, channel, options);
        out.raw("}");
        return;
    }
    out.raw(", \"points\": [");
    const zp::chart::PointView points = series.points.points();
    for (std::size_t i = 0; i < points.size(); ++i) {
        out.raw(i ? ", [" : "[");
        out.number(points[i].x);
        out.raw(", ");
        out.number(points[i].y);
        out.raw("]");
    }
    out.raw("]");
    writeAnalysis(out, series, channel, options);
    out.raw("}");
}

// What the import counted while it read the log; null when no log was read.
void writeLogReport(zp::JsonWriter& out, const std::optional<zp::LogReport>& report) {
    if (!report) {
        out.raw("null");
        return;
    }
    const auto optionalText = [&out](const std::optional<QString>& text) {
        if (text)
            out.string(*text);
        else
            out.raw("null");
    };
    out.raw("{\n    \"lines\": ");
    out.integer(report->lines);
    out.raw(",\n    \"records\": {");
    for (int id = 1; id <= zp::kModelCount; ++id) {
        out.raw(id > 1 ? ", \"" : "\"");
        out.raw(std::to_string(id));
        out.raw("\": ");
        out.integer(report->records[static_cast<std::size_t>(id)]);
    }
    out.raw("},\n    \"unknownLines\": ");
    out.integer(report->unknownLines);
    out.raw(", \"incompleteRecords\": ");
    out.integer(report->incompleteRecords);
    out.raw(",\n    \"dataSteps\": ");
    out.integer(report->dataSteps);
    out.raw(", \"gapFills\": ");
    out.integer(report->gapFills);
    out.raw(", \"filledSeconds\": ");
    out.integer(report->filledSeconds);
    out.raw(", \"longestGap\": ");
    out.integer(report->longestGap);
    out.raw(", \"timeWentBack\": ");
    out.integer(report->timeWentBack);
    out.raw(",\n    \"firstTime\": ");
    optionalText(report->firstTime);
    out.raw(", \"lastTime\": ");
    optionalText(report->lastTime);
    out.raw(", \"stoppedAtLine\": ");
    if (report->stoppedAtLine)
        out.integer(*report->stoppedAtLine);
    else
        out.raw("null");
    out.raw("\n  }");
}

// What --overlay read and how far its series were moved.
struct OverlayOutcome {
    const char* status = "loaded";
    QString message;
    QString path;
    std::int64_t shiftMs = 0;
};

void writeOverlay(zp::JsonWriter& out, const OverlayOutcome& overlay) {
    out.raw("{\"path\": ");
    out.string(overlay.path);
    out.raw(", \"status\": ");
    out.string(std::string_view(overlay.status));
    out.raw(", \"message\": ");
    out.string(overlay.message);
    out.raw(", \"shiftSeconds\": ");
    out.number(static_cast<double>(overlay.shiftMs) / 1000.0);
    out.raw("}");
}

void writeReport(zp::JsonWriter& out, const char* status, const QString& message,
                 const zp::PanelTexts& panel, const Chart& chart, const zp::SettingsRecord& record,
                 const Options& options, const std::optional<zp::LogReport>& logReport,
                 const std::optional<OverlayOutcome>& overlay, const QString& layout) {
    writeHead(out, status, message, panel, chart, record);
    out.raw(",\n  \"series\": [");
    for (std::size_t s = 0; s < chart.series.size(); ++s) {
        out.raw(s ? ",\n    {\"name\": " : "\n    {\"name\": ");
        writeSeries(out, chart.series[s], static_cast<zp::Channel>(s), options);
    }
    out.raw("\n  ]");
    if (overlay) {
        out.raw(",\n  \"overlay\": ");
        writeOverlay(out, *overlay);
    }
    zp::logdump::writeLeanTest(out, chart, options.engine);
    if (options.report) {
        out.raw(",\n  \"report\": ");
        writeLogReport(out, logReport);
    }
    if (options.layout) {
        out.raw(",\n  \"layout\": ");
        const QByteArray text = layout.toUtf8();
        out.raw(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    }
    out.raw("\n}\n");
}

// What a load of the log file ends as in the report, with the exit code it gives.
struct LoadOutcome {
    const char* status = "none";
    QString message;
    int exitCode = 0;
    std::optional<zp::LogReport> report;  // none: no log was read
};

zp::ImportOptions importOptionsOf(const Options& options) {
    zp::ImportOptions importOptions = zp::ImportOptions::forThisMachine();
    if (options.pointBudget > 0) importOptions.pointBudget = options.pointBudget;
    if (options.threads)
        importOptions.threads = static_cast<int>(std::min<qlonglong>(*options.threads, 256));
    if (options.partBytes) importOptions.minPartBytes = *options.partBytes;
    return importOptions;
}

LoadOutcome loadLog(const Options& options, const zp::SettingsRecord& record, Chart& chart,
                    zp::PanelTexts& panel) {
    zp::prepareChartForLoad(chart);
    const zp::ImportResult result = zp::loadLogIntoChart(
        *options.logFile, zp::unitSelectorsOf(record), chart, importOptionsOf(options));
    panel.apply(result.panel);
    zp::logdump::addDerivedSeries(chart, options.engine);
    switch (result.status) {
        case zp::ImportResult::Status::Loaded:
            return {"loaded", result.message, 0, result.report};
        case zp::ImportResult::Status::Error:
        case zp::ImportResult::Status::TooMuchData:
            return {"error", result.message, 1, result.report};
        case zp::ImportResult::Status::OpenFailed:
            break;
    }
    std::fprintf(stderr, "logdump: %s: %s\n", qPrintable(*options.logFile),
                 qPrintable(result.message));
    return {"open-failed", result.message, 2, std::nullopt};
}

// Reads the --overlay log with the same settings and lays it over the loaded one, its
// first record on the loaded log's first record and --offset seconds on; none (with a
// message) when it cannot be opened.
std::optional<OverlayOutcome> overlayLog(const Options& options, const zp::SettingsRecord& record,
                                         const std::optional<zp::LogReport>& loaded, Chart& chart) {
    zp::OverlayRead read = zp::readOverlay(*options.overlayFile, zp::unitSelectorsOf(record),
                                           importOptionsOf(options));
    if (read.result.status == zp::ImportResult::Status::OpenFailed) {
        std::fprintf(stderr, "logdump: %s: %s\n", qPrintable(*options.overlayFile),
                     qPrintable(read.result.message));
        return std::nullopt;
    }
    OverlayOutcome outcome;
    outcome.path = *options.overlayFile;
    outcome.message = read.result.message;
    if (read.result.status != zp::ImportResult::Status::Loaded) outcome.status = "error";
    const std::optional<std::int64_t> to =
        loaded ? zp::secondOfDay(loaded->firstTime) : std::nullopt;
    const std::optional<std::int64_t> from = zp::secondOfDay(read.result.report.firstTime);
    if (to && from) outcome.shiftMs = (*to - *from) * 1000;
    outcome.shiftMs += zp::wholeMilliseconds(options.offsetSeconds.value_or(0.0));
    zp::showOverlay(chart, std::move(read.series), outcome.shiftMs);
    return outcome;
}

// Fonts and drawing need the GUI application, only for --layout and --render; they
// need no screen: without a platform chosen, draw off screen.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv, bool needsGui) {
    if (!needsGui) return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> helped = printHelp(argc, argv)) return *helped;
    bool needsGui = false;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--layout") == 0 || std::strcmp(argv[i], "--render") == 0)
            needsGui = true;
    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv, needsGui);
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif

    Options options;
    QString problem;
    const QStringList args = QCoreApplication::arguments();
    if (zp::logdump::wantsFlights(args)) return zp::logdump::runFlights(args);
    if (!parseArguments(args, options, problem)) {
        if (options.badValue)
            std::fprintf(stderr, "logdump: %s\n", qPrintable(problem));
        else
            std::fprintf(stderr, "logdump: %s\n%s", qPrintable(problem),
                         zp::tools::usageText(zp::tools::invokedName(argv[0], "logdump"),
                                              zp::logdump::commandPage())
                             .c_str());
        return 2;
    }

    Chart chart;
    // The palette gives the two system colours; without the GUI application (no
    // drawing) Qt's default palette stands in.
    zp::createChannelSeries(chart, needsGui ? QGuiApplication::palette() : QPalette());
    const zp::SettingsRecord record = readSettings(options.settingsFile);
    for (const zp::Channel channel : zp::activeFlagOrder())
        chart.series[static_cast<std::size_t>(channel)].active = zp::isActive(record, channel);

    // The information panel as the viewer shows it after start-up.
    zp::PanelTexts panel;
    const LoadOutcome outcome =
        options.logFile ? loadLog(options, record, chart, panel) : LoadOutcome{};
    std::optional<OverlayOutcome> overlay;
    if (options.overlayFile) {
        overlay = overlayLog(options, record, outcome.report, chart);
        if (!overlay) return 2;
    }

    QString layout;
    if (options.layout) layout = zp::chart::layoutReportJson(chart, options.width, options.height);

    {
        zp::JsonWriter out(stdout);
        writeReport(out, outcome.status, outcome.message, panel, chart, record, options,
                    outcome.report, overlay, layout);
        if (!out.flush()) {
            std::fprintf(stderr, "logdump: cannot write the report\n");
            return 2;
        }
    }

    if (options.renderFile &&
        !zp::chart::renderToBmp(chart, options.width, options.height, *options.renderFile)) {
        std::fprintf(stderr, "logdump: cannot write %s\n", qPrintable(*options.renderFile));
        return 2;
    }
    if (options.csvFile) {
        // The readings as Export Visible Data writes them, over the range or the whole axis.
        std::vector<QString> units = zp::channelUnitTexts(zp::unitSelectorsOf(record));
        zp::logdump::appendDerivedUnits(units, chart, zp::unitSelectorsOf(record));
        const QString error = zp::analysis::writeVisibleDataCsv(
            *options.csvFile, chart, units, options.range.value_or(zp::analysis::XRange{}));
        if (!error.isEmpty()) {
            std::fprintf(stderr, "logdump: cannot write %s: %s\n", qPrintable(*options.csvFile),
                         qPrintable(error));
            return 2;
        }
    }
    // An overlay that stopped on an error makes the run's status an error too.
    if (overlay && outcome.exitCode == 0 && std::strcmp(overlay->status, "loaded") != 0) return 1;
    return outcome.exitCode;
}
