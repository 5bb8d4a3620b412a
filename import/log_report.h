// What the import counts while it reads a log: the line pieces, the records of each
// model, the lines of unknown models, the records that did not match their model's
// format to the end, the data steps and gap fills of the plot gate, the first and last
// record times and where the load stopped. Plain integers, bumped as the lines pass.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

#include "import/record_models.h"

namespace zp {

struct LogReport {
    // Line pieces the line reader handed out (a line longer than 999 characters
    // counts once per piece), the piece that stopped the load included.
    std::int64_t lines = 0;
    // Lines handled as records of model 1 to 13 (index 0 unused). A line that does not
    // begin with an integer counts for the model id carried over from the line before.
    std::array<std::int64_t, kModelCount + 1> records{};
    // Lines handled with a model id outside 1..13.
    std::int64_t unknownLines = 0;
    // Records whose line did not match the model's format to its last field.
    std::int64_t incompleteRecords = 0;
    // Records plotted as a data step, and as a gap fill of zero points.
    std::int64_t dataSteps = 0;
    std::int64_t gapFills = 0;
    // Sum over the gap fills of (S - L + 1) with S the record's second of the day and
    // L the last plotted second: the zero points each plotted channel got.
    std::int64_t filledSeconds = 0;
    // The largest S - L of a gap fill; 0 when there was none.
    std::int64_t longestGap = 0;
    // Plotted records whose second lies before the last plotted second (S < L).
    std::int64_t timeWentBack = 0;
    // "hh:nn:ss" of the first and the last record whose time field converted.
    std::optional<QString> firstTime;
    std::optional<QString> lastTime;
    // The 1-based line piece where the load stopped on an error or the point budget;
    // none when it read to the end of the file.
    std::optional<std::int64_t> stoppedAtLine;
};

}  // namespace zp
