// The readings of the active series over a stretch of the time axis as CSV, as a
// spreadsheet reads it: one row per distinct time, one column per active series of the
// loaded log.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "analysis/series_analysis.h"
#include "chart/chart_model.h"

namespace zp::analysis {

// A series title with its unit in brackets, "TC1 (°F)"; the title alone when the unit
// is empty or the title names it already ("RPM 1(%)").
QString titleWithUnit(const QString& title, const QString& unit);

// The CSV text: a header row ("Time", then the title of each active series that has a
// legend item, with its unit in brackets, `units` parallel to the chart's series, an
// empty unit left out), then one
// row per distinct X of a reading in `range`, ascending, the time as "hh:nn:ss.zzz" and
// each series' reading at that X (the last of several, in stored order; empty when it
// has none). Values are written in the C locale with the fewest digits that read back
// the same float (the same double for a value a float cannot hold). Gap-fill points are
// not readings. Lines end with CR LF.
QByteArray visibleDataCsv(const chart::Chart& chart, const std::vector<QString>& units,
                          XRange range);

// Writes visibleDataCsv to `path`, replacing it only once complete. Returns an empty
// text on success, else the reason.
QString writeVisibleDataCsv(const QString& path, const chart::Chart& chart,
                            const std::vector<QString>& units, XRange range);

}  // namespace zp::analysis
