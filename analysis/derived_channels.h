// The channels an engine profile derives from the stored series, in the unit the series
// are shown in: the EGT and CHT spread, the hottest CHT and each cylinder's CHT rate.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "analysis/engine_profile.h"
#include "channels/unit_selectors.h"
#include "chart/chart_model.h"

namespace zp::analysis {

enum class DerivedKind { EgtSpread, ChtSpread, HottestCht, ChtRate };

// One derived series: what it is, its name ("EGTSpreadSeries", "CHT3RateSeries") and
// title, and for a rate its cylinder (1-8).
struct DerivedChannel {
    DerivedKind kind = DerivedKind::EgtSpread;
    int cylinder = 0;
    QString name;
    QString title;
};

// The derived series a profile gives, in chart order: EGT spread, CHT spread, hottest
// CHT, then the CHT rate of each cylinder with a CHT channel.
std::vector<DerivedChannel> derivedChannels(const EngineProfile& profile);

// The unit of a derived series under `units`: the thermocouples' temperature unit,
// per minute for a rate ("°F/min").
QString derivedUnitText(DerivedKind kind, const UnitSelectors& units);

// The spread of `channels` (highest minus lowest) at each time at which every one of
// them has a reading. Readings at the same X pair up in stored order (the k-th of each
// series). A time at which some series has a gap fill and no set of readings can be
// made gets a gap fill. No channel: no points.
chart::PointList spreadOf(const std::vector<const chart::PointList*>& channels);

// The hottest of `channels` at each time at which every one has a reading, and which
// of them it is (index into `channels`; on a tie the first). Gap fills as spreadOf.
struct Hottest {
    chart::PointList points;
    std::vector<std::uint8_t> which;  // one per point, 0xFF at a gap fill
};
Hottest hottestOf(const std::vector<const chart::PointList*>& channels);

// The rate of change of `cht` in its unit per minute, at each reading: the change from
// the first reading in the 60 s before it (the one at most 60 s earlier) to it,
// divided by their time apart in minutes. A reading has a rate only when the readings
// since the last gap fill (or the first reading) reach back 60 s; X counts in days.
// Non-finite values are not readings.
chart::PointList rateOf(const chart::PointList& cht, double secondsPerX = 86400.0);

// The computed series of a profile over a chart's 41 channel series.
struct DerivedSeries {
    std::vector<DerivedChannel> channels;
    std::vector<chart::PointList> points;  // parallel to channels
    // Per point of the hottest CHT series, the cylinder number (1-8; 0 at a gap fill).
    std::vector<std::uint8_t> hottestCylinder;
};
DerivedSeries computeDerivedSeries(const chart::Chart& chart, const EngineProfile& profile);

// Whether `name` is the name of a derived series.
bool isDerivedSeriesName(const QString& name);

// Appends the derived series at the end of a chart whose first 41 series are the
// channels, after taking off any derived series it has: inactive (off until switched
// on), with a legend item, with the X values' kind of the channels; `active` names
// those to switch on. `derived.points` are moved into them.
void appendDerivedSeries(chart::Chart& chart, DerivedSeries& derived,
                         const std::vector<QString>& active = {});
// Takes the derived series off a chart again.
void removeDerivedSeries(chart::Chart& chart);

// The derived channel named `name`, or null.
const DerivedChannel* derivedChannelNamed(const DerivedSeries& derived, const QString& name);

}  // namespace zp::analysis
