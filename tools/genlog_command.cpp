#include "tools/genlog_command.h"

namespace zp::genlog {

namespace {

using tools::CommandOption;
using tools::OptionUse;

// Every option genlog's parser takes, in the order of the usage.
// clang-format off
constexpr CommandOption kOptions[] = {
    // name, value, what it does[, how it is given[, short spelling]]
    {"--model", "N",
     "Write a flight of instrument model N, 1 to 13, one record per line.",
     OptionUse::Choice},
    {"--scenario", "NAME",
     "Write one of the prepared examples instead: mixed (an engine monitor, air data, "
     "attitude and information unit, each once a second), gaps (an rpm unit that misses some "
     "seconds), midnight (a flight unit from 23:52:30 to 00:07:30) or lean-sweep (an engine "
     "monitor whose fuel flow falls from 14.0 to 8.0 from two to twelve minutes after the "
     "start, six cylinders whose EGTs, TC1-TC4 and TC9-TC10, peak at the flows 11.0, 11.3, "
     "10.8, 11.5, 11.1 and 10.9; their CHTs are TC5-TC8 and TC11-TC12).",
     OptionUse::Choice},
    {"--minutes", "M", "With --model: the length of the flight in minutes (default 15)."},
    {"--count", "N", "With --model: the number of lines, instead of --minutes."},
    {"--rate", "R", "With --model: R records a second, all with the same time (default 1)."},
    {"--start", "HH:MM:SS", "The time of the first record (default 10:00:00)."},
    {"--date", "DD/MM/YYYY", "The date of the first record (default 12/05/2024)."},
    {"--seed", "N", "Seed of the noise on the values (default 1): the same seed, the same file."},
    {"--crlf", "", "End the lines with CR LF instead of LF."},
    {"--flights", "N",
     "With --model: share the lines among N flights, the counters going on from one to the "
     "next (default 1)."},
    {"--gap", "S",
     "With --flights: the first record of each flight S seconds after the last of the one "
     "before (default 3600)."},
    {"--drift", "NAME:STEP",
     "With --model: add STEP to one value once per flight, so that flight k (counted from "
     "--first-flight) has it k x STEP higher all through: a slow drift that shows in a trend "
     "of a folder of logs. NAME is cht1 to cht4, egt1, oil-temp, oil-pressure or fuel-flow."},
    {"--first-flight", "N",
     "With --drift: the number of the file's first flight (default 0), so that files made one "
     "after the other drift on."},
    {"-o", "FILE", "Write to FILE instead of standard output."},
    {"--help", "", "Print the help and exit.", OptionUse::Alone, "-h"},
};
// clang-format on

constexpr std::string_view kExamples[] = {
    "--model 1 --minutes 60 --rate 4 --start 09:30:00 -o flight.csv",
    "--scenario midnight -o midnight.csv",
};

const tools::CommandPage kPage = {
    "write example logs of the Pexo and Zimra instruments",
    "writes example log files of the Pexo and Zimra instruments, one record per line, "
    "following a plausible flight: taxi, climb, cruise, descent and taxi. The same options "
    "give the same file.",
    kOptions,
    "0 when the log was written; 1 when it could not be written completely; 2 when the "
    "arguments are wrong or the output file cannot be made.",
    kExamples,
    {},
    "December 2026",
    "zimra-pexo-viewer",
};

}  // namespace

const tools::CommandPage& commandPage() {
    return kPage;
}

}  // namespace zp::genlog
