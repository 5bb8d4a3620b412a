// The lines the PDF export prints above the chart: what the window shows of the loaded
// log, composed here so that the chart engine only lays out plain lines of text.
#pragma once

#include <QStringList>

#include "analysis/series_analysis.h"
#include "chart/chart_model.h"
#include "loading/loaded_log.h"

namespace zp {

// Top to bottom: the log's file name ("(no log loaded)" before a load); its model, date
// and the visible span of the time axis; the Hobbs and maintenance counters when the
// panel shows them; the drawn series of the loaded log (active, in the legend, with
// points), each with the unit it was loaded in. A series' title and unit are joined
// by non-breaking spaces so that a wrapped line never parts them.
QStringList pdfHeaderLines(const LoadedLog& log, const chart::Chart& chart,
                           analysis::XRange visible);

}  // namespace zp
