#include "import/point_budget.h"

#include <algorithm>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace zp {

namespace {
constexpr std::int64_t kBytesPerPoint = 16;  // two doubles
constexpr std::int64_t kShareOfMemory = 16;  // points may fill 1/16 of the memory
}  // namespace

std::int64_t physicalMemoryBytes() {
#if defined(_WIN32)
    MEMORYSTATUSEX status;
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return 0;
    return static_cast<std::int64_t>(std::min<DWORDLONG>(status.ullTotalPhys, INT64_MAX));
#elif defined(_SC_PHYS_PAGES) && defined(_SC_PAGESIZE)
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return 0;
    if (pages > INT64_MAX / pageSize) return INT64_MAX;
    return static_cast<std::int64_t>(pages) * pageSize;
#else
    return 0;
#endif
}

std::int64_t defaultPointBudget() {
    const std::int64_t fromMemory = physicalMemoryBytes() / kShareOfMemory / kBytesPerPoint;
    return std::max(kMinPointBudget, fromMemory);
}

QString tooMuchDataMessage(std::int64_t line) {
    return QStringLiteral("The file holds more data than can be shown. Loading stopped at line %1.")
        .arg(line);
}

}  // namespace zp
