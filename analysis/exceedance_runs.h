// The runs of a noisy series at its limit, tidied for reading: runs of one side that lie
// closer together than a gap are joined into one, then runs shorter than a length are
// hidden. With both at 0 the runs are returned as they are.
#pragma once

#include <vector>

#include "analysis/series_analysis.h"

namespace zp::analysis {

struct RunTidying {
    // Two neighbouring runs of the same side whose gap (start of the later minus end of
    // the earlier) is shorter than this are one run. 0: none are joined.
    double joinGapSeconds = 0.0;
    // A run (after joining) whose length is shorter than this is left out. 0: none are.
    double hideShorterSeconds = 0.0;
};

// `runs` in X order as exceedances() gives them; X counts `secondsPerX` seconds a unit
// (a date-time axis counts days). Gaps and lengths are compared in whole milliseconds,
// the resolution of the log times. A joined run starts with the first, ends with the
// last and peaks with the highest (High) or lowest (Low) of the runs it joins; a run of
// the other side between two runs keeps them apart.
std::vector<Exceedance> tidyRuns(const std::vector<Exceedance>& runs, const RunTidying& tidying,
                                 double secondsPerX = 86400.0);

}  // namespace zp::analysis
