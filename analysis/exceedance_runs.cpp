#include "analysis/exceedance_runs.h"

#include <algorithm>
#include <cmath>

namespace zp::analysis {

namespace {

long long milliseconds(double seconds) {
    return std::llround(seconds * 1000.0);
}

}  // namespace

std::vector<Exceedance> tidyRuns(const std::vector<Exceedance>& runs, const RunTidying& tidying,
                                 double secondsPerX) {
    const long long joinGap = milliseconds(tidying.joinGapSeconds);
    const long long shortest = milliseconds(tidying.hideShorterSeconds);
    const auto span = [secondsPerX](double from, double to) {
        return milliseconds((to - from) * secondsPerX);
    };

    std::vector<Exceedance> joined;
    joined.reserve(runs.size());
    for (const Exceedance& run : runs) {
        if (!joined.empty() && joinGap > 0) {
            Exceedance& last = joined.back();
            if (last.side == run.side && span(last.endX, run.startX) < joinGap) {
                last.endX = std::max(last.endX, run.endX);
                last.peak = run.side == ExceedSide::High ? std::max(last.peak, run.peak)
                                                         : std::min(last.peak, run.peak);
                continue;
            }
        }
        joined.push_back(run);
    }
    if (shortest <= 0) return joined;
    std::erase_if(joined,
                  [&](const Exceedance& run) { return span(run.startX, run.endX) < shortest; });
    return joined;
}

}  // namespace zp::analysis
