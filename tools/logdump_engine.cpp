#include "tools/logdump_engine.h"

#include <QStringList>
#include <cmath>
#include <cstdio>

#include "analysis/derived_channels.h"
#include "analysis/lean_test.h"
#include "channels/channel_units.h"
#include "loading/overlay_log.h"
#include "tools/logdump_limits.h"

namespace zp::logdump {

namespace {

bool parseNumber(const QString& text, double& value) {
    bool ok = false;
    value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value);
}

}  // namespace

bool parseEngineOption(const QStringList& args, qsizetype& i, EngineOptions& options,
                       QString& problem) {
    const QString& arg = args[i];
    if (arg != u"--profile" && arg != u"--lean-test") return false;
    if (i + 1 >= args.size()) {
        problem = arg + QStringLiteral(" needs a value");
        return true;
    }
    const QString value = args[++i];
    if (arg == u"--profile") {
        const analysis::ProfileReading read = analysis::readEngineProfileFile(value);
        if (!read.profile) {
            problem = read.error.isEmpty() ? value + QStringLiteral(": no such file") : read.error;
            return true;
        }
        options.profile = read.profile;
        return true;
    }
    const QStringList parts = value.split(u',');
    analysis::XRange range;
    if (parts.size() != 2 || !parseNumber(parts[0], range.from) ||
        !parseNumber(parts[1], range.to) || range.from > range.to) {
        problem = QStringLiteral("bad range for --lean-test (X0,X1 in days): ") + value;
        return true;
    }
    options.leanTest = range;
    return true;
}

bool parseDerivedLimit(const QString& text, EngineOptions& options, QString& problem) {
    const QString name = text.section(u':', 0, 0);
    if (!analysis::isDerivedSeriesName(name)) return false;
    // The values are read as for a channel, with a channel standing in for the name.
    QString standIn = text;
    standIn.replace(0, name.size(), QStringLiteral("VoltsSeries"));
    const std::optional<LimitOption> limit = parseLimitOption(
        standIn, [](Channel) { return false; }, problem);
    if (!limit) {
        problem.replace(QStringLiteral("VoltsSeries"), name);
        return true;
    }
    for (const auto& given : options.limits) {
        if (given.first == name) {
            problem = QStringLiteral("--limit given twice for ") + name;
            return true;
        }
    }
    analysis::Limits limits;
    limits.low = limit->low;
    limits.high = limit->high;
    options.limits.emplace_back(name, limits);
    return true;
}

bool checkEngineOptions(const EngineOptions& options, QString& problem) {
    if (options.profile) return true;
    if (options.leanTest) {
        problem = QStringLiteral("--lean-test needs --profile");
        return false;
    }
    if (!options.limits.empty()) {
        problem = QStringLiteral("--limit of %1 needs --profile").arg(options.limits.front().first);
        return false;
    }
    return true;
}

void addDerivedSeries(chart::Chart& chart, const EngineOptions& options) {
    if (!options.profile) return;
    analysis::DerivedSeries derived = analysis::computeDerivedSeries(chart, *options.profile);
    // Switched on, as the default settings switch every channel on, so --csv has them.
    std::vector<QString> names;
    for (const analysis::DerivedChannel& c : derived.channels) names.push_back(c.name);
    analysis::appendDerivedSeries(chart, derived, names);
}

void writeDerivedLimits(JsonWriter& out, const chart::LineSeries& series,
                        const EngineOptions& options) {
    for (const auto& [name, limits] : options.limits) {
        if (name != series.name) continue;
        out.raw(", \"exceedances\": [");
        const std::vector<analysis::Exceedance> runs = analysis::exceedances(series.points, limits);
        for (std::size_t i = 0; i < runs.size(); ++i) {
            out.raw(i ? ", {\"side\": " : "{\"side\": ");
            out.string(
                std::string_view(runs[i].side == analysis::ExceedSide::High ? "high" : "low"));
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
}

void writeLeanTest(JsonWriter& out, const chart::Chart& chart, const EngineOptions& options) {
    if (!options.profile || !options.leanTest) return;
    const analysis::LeanTestResult r =
        analysis::leanTest(chart, *options.profile, *options.leanTest);
    out.raw(",\n  \"leanTest\": {\"from\": ");
    out.number(options.leanTest->from);
    out.raw(", \"to\": ");
    out.number(options.leanTest->to);
    out.raw(", \"problem\": ");
    if (r.ok())
        out.raw("null");
    else
        out.string(r.problem);
    out.raw(",\n    \"cylinders\": [");
    for (std::size_t i = 0; i < r.cylinders.size(); ++i) {
        const analysis::CylinderPeak& p = r.cylinders[i];
        out.raw(i ? ",\n      {\"cylinder\": " : "\n      {\"cylinder\": ");
        out.integer(p.cylinder);
        out.raw(", \"peaked\": ");
        out.boolean(p.peaked);
        if (p.peaked) {
            out.raw(", \"x\": ");
            out.number(p.x);
            out.raw(", \"egt\": ");
            out.number(p.egt);
            out.raw(", \"fuelFlow\": ");
            out.number(p.fuelFlow);
        }
        out.raw("}");
    }
    out.raw(r.cylinders.empty() ? "],\n    \"firstToPeak\": " : "\n    ],\n    \"firstToPeak\": ");
    if (r.firstToPeak)
        out.integer(r.firstToPeak);
    else
        out.raw("null");
    out.raw(", \"lastToPeak\": ");
    if (r.lastToPeak)
        out.integer(r.lastToPeak);
    else
        out.raw("null");
    out.raw(", \"fuelFlowSpread\": ");
    if (r.ok())
        out.number(r.fuelFlowSpread);
    else
        out.raw("null");
    out.raw("}");
}

library::EngineChannels engineChannelsOf(const analysis::EngineProfile& profile) {
    library::EngineChannels channels;
    channels.cylinders = profile.cylinders;
    for (int c = 0; c < analysis::kMaxCylinders; ++c) {
        channels.egt[static_cast<std::size_t>(c)] = profile.egt[static_cast<std::size_t>(c)];
        channels.cht[static_cast<std::size_t>(c)] = profile.cht[static_cast<std::size_t>(c)];
    }
    return channels;
}

void appendDerivedUnits(std::vector<QString>& units, const chart::Chart& chart,
                        const UnitSelectors& selectors) {
    for (std::size_t s = units.size(); s < chart.series.size(); ++s) {
        const QString& name = chart.series[s].name;
        if (const std::optional<Channel> overlaid = overlaidChannel(name)) {
            units.push_back(QString::fromUtf8(unitText(*overlaid, selectors)));
            continue;
        }
        const bool rate = name.endsWith(QLatin1String("RateSeries"));
        units.push_back(analysis::isDerivedSeriesName(name)
                            ? analysis::derivedUnitText(rate ? analysis::DerivedKind::ChtRate
                                                             : analysis::DerivedKind::EgtSpread,
                                                        selectors)
                            : QString());
    }
}

}  // namespace zp::logdump
