// logdump's engine options: --profile FILE adds the derived series of an engine profile
// after the channel series, and --lean-test X0,X1 the lean test's result.
#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <vector>

#include "analysis/engine_profile.h"
#include "analysis/series_analysis.h"
#include "channels/unit_selectors.h"
#include "chart/chart_model.h"
#include "chart/json_writer.h"
#include "library/flight.h"

namespace zp::logdump {

struct EngineOptions {
    std::optional<analysis::EngineProfile> profile;
    std::optional<analysis::XRange> leanTest;
    // --limit of a derived series, by its name.
    std::vector<std::pair<QString, analysis::Limits>> limits;
};

// Takes --profile and --lean-test with their value at args[i] (i moves past the value);
// false when args[i] is neither. `problem` is set for a bad value.
bool parseEngineOption(const QStringList& args, qsizetype& i, EngineOptions& options,
                       QString& problem);
// Takes a --limit NAME:LOW:HIGH of a derived series; false when NAME is no derived name.
bool parseDerivedLimit(const QString& text, EngineOptions& options, QString& problem);
// The checks once every argument is read; false with `problem` for options that do not fit.
bool checkEngineOptions(const EngineOptions& options, QString& problem);

// After a load: the profile's derived series appended to the chart, switched on;
// nothing without a profile.
void addDerivedSeries(chart::Chart& chart, const EngineOptions& options);

// The exceedances a --limit of a derived series adds, before the series' closing brace.
void writeDerivedLimits(JsonWriter& out, const chart::LineSeries& series,
                        const EngineOptions& options);

// The ",\n  \"leanTest\": {...}" member when --lean-test is given.
void writeLeanTest(JsonWriter& out, const chart::Chart& chart, const EngineOptions& options);

// The profile's channels as the flight library takes them.
library::EngineChannels engineChannelsOf(const analysis::EngineProfile& profile);

// The unit texts of the derived series of a chart, after the channels' (for --csv).
void appendDerivedUnits(std::vector<QString>& units, const chart::Chart& chart,
                        const UnitSelectors& selectors);

}  // namespace zp::logdump
