// Loading one log file: the steps of "&Load Data File" after the open dialog, free of
// widgets so that the viewer, logdump, the benchmarks and the tests share them.
#pragma once

#include <QString>
#include <optional>

#include "channels/unit_selectors.h"
#include "import/import_options.h"
#include "import/import_sink.h"
#include "import/log_report.h"

namespace zp {

// What a load changed besides the series: the texts of the information panel and the
// bottom axis title. A field the load did not touch stays empty, and the panel keeps
// what it showed before (a file that cannot be opened changes nothing).
struct PanelUpdate {
    std::optional<QString> modelText;
    // The counter labels and their captions share one visibility.
    std::optional<bool> countersVisible;
    std::optional<QString> hobbsStart;
    std::optional<QString> hobbsStop;
    std::optional<QString> maintenanceStart;
    std::optional<QString> maintenanceStop;
    // The date field of the latest record, shown as the bottom axis title.
    std::optional<QString> axisTitle;
};

// The panel's texts as a window without a widget toolkit holds them (logdump, tests):
// the texts the main window starts with, updated by each load.
struct PanelTexts {
    QString modelText = QStringLiteral("x");
    bool countersVisible = true;
    QString hobbsStart = QStringLiteral("0");
    QString hobbsStop = QStringLiteral("0");
    QString maintenanceStart = QStringLiteral("0");
    QString maintenanceStop = QStringLiteral("0");

    void apply(const PanelUpdate& update);
};

struct ImportResult {
    // TooMuchData: the next line would have passed the point budget; the points
    // appended before it stay.
    enum class Status { Loaded, Error, OpenFailed, TooMuchData };
    Status status = Status::Loaded;
    // "File Loaded!", "File does not exist.", the error text of the line that stopped
    // the import, e.g. "'25:00:00' is not a valid date and time", or the point budget's
    // message naming the line where loading stopped.
    QString message;
    PanelUpdate panel;
    // What the import counted while it read; all zero when the file did not open.
    LogReport report;
};

// Opens `path` as a text stream, resets the series and reads the file line by line into
// `sink`, converting values with `units`, until the end of the file, a time field that
// does not convert or a line that would pass the options' point budget.
ImportResult importLogFile(const QString& path, const UnitSelectors& units, ImportSink& sink,
                           const ImportOptions& options);

}  // namespace zp
