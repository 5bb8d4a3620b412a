#include "loading/loaded_log.h"

#include <QFileInfo>

#include "loading/log_loading.h"

namespace zp {

LoadOutcome loadLog(const QString& path, const UnitSelectors& units, const LoadedLog& shown,
                    chart::Chart& chart, const ImportOptions& options) {
    const ImportResult result = loadLogIntoChart(path, units, chart, options);
    LoadOutcome outcome{result.status, result.message, shown};
    if (result.status == ImportResult::Status::OpenFailed) return outcome;
    LoadedLog& log = outcome.log;
    log.path = path;
    log.fileSize = QFileInfo(path).size();
    log.units = units;
    log.report = result.report;
    log.stopMessage = result.report.stoppedAtLine ? result.message : QString();
    log.panel.apply(result.panel);
    log.date = chart.bottomAxis.title;
    return outcome;
}

}  // namespace zp
