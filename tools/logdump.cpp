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

#include "loading/channel_series.h"
#include "chart/chart_model.h"
#include "chart/chart_report.h"
#include "import/log_import.h"
#include "tools/logdump_json.h"
#include "import/point_budget.h"
#include "settings/settings_file.h"
#include "settings/settings_record.h"

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

// What the viewer's main window shows besides the chart, as it stands after start-up.
class ReportSink : public zp::ChartImportSink {
  public:
    using ChartImportSink::ChartImportSink;

    void setModelText(const QString& text) override { model = text; }
    void setCountersVisible(bool visible) override { countersVisible = visible; }
    void setHobbsStart(const QString& text) override { hobbsStart = text; }
    void setHobbsStop(const QString& text) override { hobbsStop = text; }
    void setMaintenanceStart(const QString& text) override { maintenanceStart = text; }
    void setMaintenanceStop(const QString& text) override { maintenanceStop = text; }

    // Label13 and the counter labels with their design-time texts.
    QString model = QStringLiteral("x");
    bool countersVisible = true;
    QString hobbsStart = QStringLiteral("0");
    QString hobbsStop = QStringLiteral("0");
    QString maintenanceStart = QStringLiteral("0");
    QString maintenanceStop = QStringLiteral("0");
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

void writeReport(zp::logdump::JsonWriter& out, const char* status, const QString& message,
                 const ReportSink& sink, const Chart& chart, const zp::SettingsRecord& record,
                 const Options& options, const QString& layout) {
    out.raw("{\n  \"status\": ");
    out.string(std::string_view(status));
    out.raw(",\n  \"message\": ");
    out.string(message);
    out.raw(",\n  \"model\": ");
    out.string(sink.model);
    out.raw(",\n  \"axisTitle\": ");
    out.string(chart.bottomAxis.titleCaption);
    out.raw(",\n  \"countersVisible\": ");
    out.boolean(sink.countersVisible);
    out.raw(",\n  \"hobbsStart\": ");
    out.string(sink.hobbsStart);
    out.raw(", \"hobbsStop\": ");
    out.string(sink.hobbsStop);
    out.raw(",\n  \"maintenanceStart\": ");
    out.string(sink.maintenanceStart);
    out.raw(", \"maintenanceStop\": ");
    out.string(sink.maintenanceStop);
    out.raw(",\n  \"units\": [");
    for (int i = 0; i < zp::kUnitSelectorCount; ++i) {
        if (i) out.raw(", ");
        out.integer(record[static_cast<std::size_t>(i)]);
    }
    out.raw("],\n  \"series\": [");
    for (std::size_t s = 0; s < chart.series.size(); ++s) {
        const zp::chart::LineSeries& series = chart.series[s];
        out.raw(s ? ",\n    {\"name\": " : "\n    {\"name\": ");
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
            out.raw("}");
            continue;
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
    out.raw("\n  ]");
    if (options.layout) {
        out.raw(",\n  \"layout\": ");
        const QByteArray text = layout.toUtf8();
        out.raw(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    }
    out.raw("\n}\n");
}

}  // namespace

int main(int argc, char** argv) {
    // Fonts and drawing need the GUI application, only for --layout and --render;
    // they need no screen: without a platform chosen, draw off screen.
    bool needsGui = false;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--layout") == 0 || std::strcmp(argv[i], "--render") == 0)
            needsGui = true;
    std::unique_ptr<QCoreApplication> app;
    if (needsGui) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
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

    ReportSink sink(chart);
    const char* status = "none";
    QString message;
    int exitCode = 0;
    if (options.logFile) {
        zp::setPointBudget(options.pointBudget);
        zp::prepareLoad(sink);
        const zp::ImportResult result =
            zp::importLogFile(*options.logFile, zp::unitSelectorsOf(record), sink);
        message = result.message;
        switch (result.status) {
            case zp::ImportResult::Status::Loaded:
                status = "loaded";
                break;
            case zp::ImportResult::Status::Error:
            case zp::ImportResult::Status::TooMuchData:
                status = "error";
                exitCode = 1;
                break;
            case zp::ImportResult::Status::OpenFailed:
                status = "open-failed";
                exitCode = 2;
                std::fprintf(stderr, "logdump: %s: %s\n", qPrintable(*options.logFile),
                             qPrintable(message));
                break;
        }
    }

    QString layout;
    if (options.layout) layout = zp::chart::layoutReportJson(chart, options.width, options.height);

    {
        zp::logdump::JsonWriter out(stdout);
        writeReport(out, status, message, sink, chart, record, options, layout);
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
    return exitCode;
}
