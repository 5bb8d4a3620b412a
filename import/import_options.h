// How a load reads a log: the most points it may append and the regional settings of
// its time fields. The viewer and the tools take the machine's own; tests choose theirs.
#pragma once

#include <cstdint>

#include "import/date_time_text.h"
#include "import/point_budget.h"

namespace zp {

struct ImportOptions {
    std::int64_t pointBudget = kMinPointBudget;
    DateTimeLocale locale;

    // The budget sized from this machine's memory and the system's regional settings.
    static ImportOptions forThisMachine();
};

}  // namespace zp
