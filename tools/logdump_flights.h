// logdump --flights: the flights of every log that the paths stand for, as one JSON
// object, read with the flight library (and kept in its database with --db).
#pragma once

#include <QStringList>

namespace zp::logdump {

// Whether the arguments (program name first) ask for the flights report.
bool wantsFlights(const QStringList& args);

// Runs the flights report and returns the exit status: 0 after the report, 2 for bad
// arguments or a database that cannot be used (a one-line message, no report).
int runFlights(const QStringList& args);

}  // namespace zp::logdump
