// What the window shows of the log loaded last, as one value: the file, the unit
// selectors its values were converted with, what the import counted and the texts of
// the information panel. Every reader of "the loaded log" (statistics, limits,
// exceedances, the cursor readout, the exports) takes it from here, never from the
// settings as they stand now.
#pragma once

#include <QString>

#include "channels/unit_selectors.h"
#include "chart/chart_model.h"
#include "import/log_import.h"

namespace zp {

struct LoadedLog {
    // The file as it was opened; empty before the first load that opened a file.
    QString path;
    // Its size in bytes when it was read.
    qint64 fileSize = 0;
    // The unit selectors the series' values were converted with. Before the first load
    // the window keeps the settings' selectors here.
    UnitSelectors units{};
    // What the import counted; its first and last record times are the log's time span.
    LogReport report;
    // Why the load stopped before the end of the file; empty when it read to the end.
    QString stopMessage;
    // The information panel's texts.
    PanelTexts panel;
    // The date field of the latest record, the bottom axis title.
    QString date = QStringLiteral("Date");

    bool loaded() const { return !path.isEmpty(); }
};

// A load's end: how it ended, the message the window reports, and the log the window
// shows now. A file that does not open leaves the log shown before as it was.
struct LoadOutcome {
    ImportResult::Status status = ImportResult::Status::Loaded;
    QString message;
    LoadedLog log;
};

// Loads `path` into the channel series of `chart` with `units` (see loadLogIntoChart);
// `shown` is the log the window showed before the load.
LoadOutcome loadLog(const QString& path, const UnitSelectors& units, const LoadedLog& shown,
                    chart::Chart& chart, const ImportOptions& options);

}  // namespace zp
