// logdump: runs the viewer's import (and, on request, its chart layout and drawing)
// without a window and prints what the viewer would hold and show as one JSON object.
//
//   logdump [--settings FILE] [--summary] [--layout WIDTHxHEIGHT] [--render OUT.bmp]
//           [--point-budget N] [LOGFILE]
//
// Exit status: 0 loaded (or no LOGFILE), 1 the import stopped on an error,
// 2 the file could not be opened or the arguments are wrong.
#include <QFile>
#include <QGuiApplication>
#include <QPalette>
#include <QStringList>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include "chart/chart_model.h"
#include "chart/chart_report.h"
#include "loading/channel_series.h"
#include "loading/log_loading.h"
#include "settings/settings_file.h"
#include "settings/settings_record.h"
#include "tools/logdump_json.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

using zp::chart::Chart;

constexpr const char* kUsage =
    "usage: logdump [--settings FILE] [--summary] [--layout WIDTHxHEIGHT] [--render OUT.bmp] "
    "[--point-budget N] [LOGFILE]";

struct Options {
    std::optional<QString> settingsFile;
    std::optional<QString> logFile;
    bool summary = false;
    bool layout = false;
    int width = 0;
    int height = 0;
    std::optional<QString> renderFile;
    qint64 pointBudget = 0;  // 0: the viewer's own budget
};

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
        if (arg == u"--settings" || arg == u"--layout" || arg == u"--render" ||
            arg == u"--point-budget") {
            if (!hasValue) {
                problem = arg + QStringLiteral(" needs a value");
                return false;
            }
            const QString value = args[++i];
            if (arg == u"--settings") {
                options.settingsFile = value;
            } else if (arg == u"--render") {
                options.renderFile = value;
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
void writeHead(zp::logdump::JsonWriter& out, const char* status, const QString& message,
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

// One series: its flags, then its point count (summary) or its points.
void writeSeries(zp::logdump::JsonWriter& out, const zp::chart::LineSeries& series, bool summary) {
    out.string(series.name);
    out.raw(", \"title\": ");
    out.string(series.title);
    out.raw(", \"active\": ");
    out.boolean(series.active);
    out.raw(", \"inLegend\": ");
    out.boolean(series.showInLegend);
    out.raw(", \"dateTime\": ");
    out.boolean(series.xDateTime);
    if (summary) {
        out.raw(", \"count\": ");
        out.integer(static_cast<long long>(series.points.size()));
        out.raw("}");
        return;
    }
    out.raw(", \"points\": [");
    const std::span<const zp::chart::ChartPoint> points = series.points.points();
    for (std::size_t i = 0; i < points.size(); ++i) {
        out.raw(i ? ", [" : "[");
        out.number(points[i].x);
        out.raw(", ");
        out.number(points[i].y);
        out.raw("]");
    }
    out.raw("]}");
}

void writeReport(zp::logdump::JsonWriter& out, const char* status, const QString& message,
                 const zp::PanelTexts& panel, const Chart& chart, const zp::SettingsRecord& record,
                 const Options& options, const QString& layout) {
    writeHead(out, status, message, panel, chart, record);
    out.raw(",\n  \"series\": [");
    for (std::size_t s = 0; s < chart.series.size(); ++s) {
        out.raw(s ? ",\n    {\"name\": " : "\n    {\"name\": ");
        writeSeries(out, chart.series[s], options.summary);
    }
    out.raw("\n  ]");
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
};

LoadOutcome loadLog(const Options& options, const zp::SettingsRecord& record, Chart& chart,
                    zp::PanelTexts& panel) {
    zp::ImportOptions importOptions = zp::ImportOptions::forThisMachine();
    if (options.pointBudget > 0) importOptions.pointBudget = options.pointBudget;
    zp::prepareChartForLoad(chart);
    const zp::ImportResult result =
        zp::loadLogIntoChart(*options.logFile, zp::unitSelectorsOf(record), chart, importOptions);
    panel.apply(result.panel);
    switch (result.status) {
        case zp::ImportResult::Status::Loaded:
            return {"loaded", result.message, 0};
        case zp::ImportResult::Status::Error:
        case zp::ImportResult::Status::TooMuchData:
            return {"error", result.message, 1};
        case zp::ImportResult::Status::OpenFailed:
            break;
    }
    std::fprintf(stderr, "logdump: %s: %s\n", qPrintable(*options.logFile),
                 qPrintable(result.message));
    return {"open-failed", result.message, 2};
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
    if (args.size() == 2 && (args[1] == u"--help" || args[1] == u"-h")) {
        std::printf("%s\n", kUsage);
        return 0;
    }
    if (!parseArguments(args, options, problem)) {
        std::fprintf(stderr, "logdump: %s\n%s\n", qPrintable(problem), kUsage);
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

    QString layout;
    if (options.layout) layout = zp::chart::layoutReportJson(chart, options.width, options.height);

    {
        zp::logdump::JsonWriter out(stdout);
        writeReport(out, outcome.status, outcome.message, panel, chart, record, options, layout);
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
    return outcome.exitCode;
}
