#include "tools/logdump_command.h"

#include <iterator>

namespace zp::logdump {

namespace {

using tools::CommandOption;
using tools::OptionUse;

// Every option and the operand logdump's parser takes, in the order of the usage.
// clang-format off
constexpr CommandOption kOptions[] = {
    // name, value, what it does[, how it is given[, short spelling]]
    {"--settings", "FILE",
     "Read the unit choices and the channel on/off states from FILE as the viewer reads its "
     "Settings.bin at start-up: a missing file gives the defaults, a short one leaves the "
     "unread bytes 0. Without it, the defaults (every unit code 0, every series active). The "
     "file is only read."},
    {"--summary", "",
     "Give each series its point count, \"count\", instead of its \"points\"."},
    {"--layout", "WIDTHxHEIGHT",
     "Also lay the chart out as a repaint of a chart of WIDTH x HEIGHT pixels does (the "
     "window's chart is 794x499) and add the \"layout\" object. With --flights and --trend, "
     "of the trend chart."},
    {"--render", "OUT.bmp",
     "Also draw that repaint into the BMP file OUT.bmp. Needs --layout."},
    {"--point-budget", "N",
     "Stop the import at the line whose points would pass N points held, instead of at the "
     "viewer's own limit."},
    {"--report", "",
     "Add \"report\": what the import counted while reading: lines, records of each model, "
     "unknown lines and incomplete records, gap fills, the first and last time and the line "
     "where the load stopped."},
    {"--stats", "",
     "Add \"stats\" to each series: the count, minimum, maximum (with their X) and mean of its "
     "readings in the --range. The zeros of a gap fill are not readings."},
    {"--range", "X0,X1",
     "The X range of --stats and --csv, in days as the points' X values; the whole axis "
     "without it. Needs --stats or --csv."},
    {"--limit", "NAME:LOW:HIGH",
     "Add \"exceedances\" to the series NAME (for example TC1Series): every run of its "
     "readings below LOW or above HIGH, in the display unit. Either limit may be empty. Give "
     "it once for each series to check.",
     OptionUse::Repeatable},
    {"--csv", "OUT.csv",
     "Also write the readings of the active series in the --range into OUT.csv, as the "
     "viewer's Export Visible Data does."},
    {"--threads", "N",
     "Read the log with N threads, 0 (the default) one per core; a log of fewer than 16 "
     "parts is read by one. The output is the same whatever N."},
    {"--part-bytes", "N",
     "The least bytes of a part when the log is read by several threads (default 524288)."},
    {"--overlay", "LOG2",
     "Also load LOG2 with the same settings and lay it over LOGFILE, as the viewer's Overlay "
     "Log does: its 41 series follow the channel series, named NAME#2 (their titles end in a "
     "mark and 2), their points moved by the first record time of LOGFILE less that of LOG2 "
     "(plus --offset), so --stats, --csv, --layout and --render include them. Adds \"overlay\"."},
    {"--offset", "SECONDS",
     "With --overlay: move the overlaid series SECONDS further (negative: earlier), in whole "
     "milliseconds."},
    {"--flights", "",
     "Read the logs the PATHs stand for (a folder: every file under it whose name ends in "
     ".csv) into flights and print one JSON object with the files and their flights: date, "
     "start, end, duration, records of each model, counters and, per series, the count, "
     "minimum, maximum and mean of its readings. With --limit, each series' runs beyond its "
     "limits. Takes --settings, --limit, --split-gap, --db, --aircraft, --trend, --layout, "
     "--render and --profile (the derived series' figures after the channels'); the other "
     "options do not apply."},
    {"--split-gap", "SECONDS",
     "With --flights: a record more than SECONDS after the one before it starts a new flight "
     "(default 300)."},
    {"--db", "FILE",
     "With --flights: keep the index in the SQLite database FILE, or on the PostgreSQL server "
     "named by postgresql://USER@HOST:PORT/DBNAME (the password from PGPASSWORD or "
     "~/.pgpass), and read only the logs that changed since the last run; the output is the "
     "same."},
    {"--aircraft", "REGISTRATION",
     "With --flights and --db: the one PATH is the folder of the aircraft REGISTRATION; its "
     "logs are kept by their path inside it, so that desks that mount the folder at other "
     "places share them. Adds \"aircraft\" to the output."},
    {"--trend", "NAME:STAT",
     "With --flights: add \"trend\", the maximum, mean or minimum (STAT max, mean or min) of "
     "the series NAME (for example CHT1Series) in each flight that has readings of it, as "
     "[date-time in days, value] in flight order. With --layout and --render, draw those "
     "lines as the library's trend chart. Give it once for each line.",
     OptionUse::Repeatable},
    {"--profile", "FILE",
     "Read the engine profile FILE (the viewer's Settings > Engine, as text: [engine], name=, "
     "cylinders=, egt=, cht=, fuelflow=) and add its derived series after the channel series, "
     "switched on: EGTSpreadSeries, CHTSpreadSeries, HottestCHTSeries and CHT1RateSeries to "
     "CHT8RateSeries (degrees a minute). --stats, --limit and --csv take them as any series. "
     "An error in the file is told with its line and exits 2."},
    {"--lean-test", "X0,X1",
     "With --profile: add \"leanTest\", the lean test between X0 and X1 (days, as the points' "
     "X values): per cylinder the time, EGT and fuel flow of its EGT peak, the first and last "
     "cylinder to peak and the fuel flow spread, or the problem that stopped it."},
    {"LOGFILE", "",
     "The log to load, as the viewer's Load Data File does. Without it, the report is of the "
     "viewer's state at start-up.",
     OptionUse::Operand},
    {"--help", "", "Print the help and exit.", OptionUse::Alone, "-h"},
    {"--man", "", "Print the manual page, in roff, and exit.", OptionUse::Alone},
};
// clang-format on

constexpr std::string_view kExamples[] = {
    "--summary /usr/share/zimra-pexo-viewer/samples/model01_engine_monitor.csv",
    "--stats --limit TC1Series::800 --csv readings.csv flight.csv",
    "--summary --layout 794x499 --render chart.bmp flight.csv",
    "--summary --overlay earlier.csv --offset -30 --stats flight.csv",
};

constexpr std::string_view kSeeAlso[] = {"zimra-pexo-viewer(1)"};

const tools::CommandPage kPage = {
    "report what the Zimra / Pexo Data Viewer makes of a log, as JSON",
    "runs the import of the Zimra / Pexo Data Viewer (and, on request, its chart layout and "
    "drawing) without a window and prints what the viewer would hold and show as one JSON "
    "object on standard output: the instrument model, the counters, the units and every "
    "channel's series with its points.\n\n"
    "The analysis options add to that object and change nothing else in it.",
    kOptions,
    "0 when the log loaded (or no LOGFILE was given); 1 when the import stopped on an error "
    "(the report is still printed); 2 when the log could not be opened, an output file could "
    "not be written or the arguments are wrong, with a message on standard error.",
    kExamples,
    kSeeAlso,
    "December 2026",
    "zimra-pexo-viewer",
};

}  // namespace

const tools::CommandPage& commandPage() {
    return kPage;
}

}  // namespace zp::logdump
