// The log import with the regional settings given by the caller instead of the
// system's, so that tests can run it under any locale.
#pragma once

#include "import/date_time_text.h"
#include "import/log_import.h"

namespace zp {

ImportResult importLogFile(const QString& path, const UnitSelectors& units, ImportSink& sink,
                           const DateTimeLocale& locale);

}  // namespace zp
