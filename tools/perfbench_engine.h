// perfbench engine LOGFILE [REPEAT]: the derived channels of a six-cylinder profile and
// the lean test over one hour of the log, each the best of REPEAT runs.
#pragma once

#include <QString>

namespace zp::perfbench {

int engineMode(const QString& path, int repeat);

}  // namespace zp::perfbench
