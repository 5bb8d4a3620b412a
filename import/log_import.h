// Loading one log file into the chart: the steps of "&Load Data File" after the
// open dialog, free of widgets so that the viewer, logdump and the tests share them.
#pragma once

#include <QString>

#include "import/import_sink.h"
#include "channels/unit_selectors.h"

namespace zp {

struct ImportResult {
    // TooMuchData: the next line would have passed the point budget (point_budget.h);
    // the points appended before it stay.
    enum class Status { Loaded, Error, OpenFailed, TooMuchData };
    Status status = Status::Loaded;
    // "File Loaded!", "File does not exist.", the error text of the line that stopped
    // the import, e.g. "'25:00:00' is not a valid date and time", or the point budget's
    // message naming the line where loading stopped.
    QString message;
};

// The steps done on every click before the dialog: the bottom axis' date-time format
// becomes "hh:nn:ss" and every channel series' X values are marked as date-times.
void prepareLoad(ImportSink& sink);

// Opens `path` as a text stream, resets the series and the counter labels and reads
// the file line by line into `sink`, converting values with `units`, until the end of
// the file, a time field that does not convert or a line that would pass pointBudget().
ImportResult importLogFile(const QString& path, const UnitSelectors& units, ImportSink& sink);

}  // namespace zp
