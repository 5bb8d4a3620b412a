// How a load reads a log: the most points it may append, the regional settings of its
// time fields and how many threads read it. The viewer and the tools take the machine's
// own; tests choose theirs.
#pragma once

#include <cstdint>

#include "import/date_time_text.h"
#include "import/point_budget.h"

namespace zp {

struct ImportOptions {
    std::int64_t pointBudget = kMinPointBudget;
    DateTimeLocale locale;
    // Threads that parse the log: 0 for one per core of the machine. Whatever the count,
    // a load gives the very same result.
    int threads = 0;
    // A log is cut at line ends into parts of at least this many bytes that the threads
    // parse side by side; a log of fewer than 16 parts (8 MiB by default) is read by one
    // thread. Tests set it small to have small logs cut at every line end.
    std::int64_t minPartBytes = std::int64_t{512} << 10;

    // The budget sized from this machine's memory and the system's regional settings.
    static ImportOptions forThisMachine();
};

}  // namespace zp
