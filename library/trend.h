// Trends across flights: one figure of a channel per flight (its maximum, mean or
// minimum) against the flight's date and start time, taken from the figures the
// library keeps for every flight.
#pragma once

#include <QString>
#include <cstddef>
#include <optional>
#include <vector>

#include "channels/catalogue.h"
#include "library/flight.h"

namespace zp::library {

enum class TrendStatistic { Maximum, Mean, Minimum };

// "max", "mean", "min"; and back (none for any other text).
const char* statisticText(TrendStatistic statistic);
std::optional<TrendStatistic> statisticFromText(const QString& text);
// "maximum", "mean", "minimum", as a window names it.
const char* statisticName(TrendStatistic statistic);

// One line of a trend: a channel and the figure of it taken from each flight.
struct TrendRequest {
    Channel channel = Channel{};
    TrendStatistic statistic = TrendStatistic::Maximum;
};

// NAME:STAT, e.g. "CHT1Series:max"; none (with `problem` saying why) for a name that is
// no channel's or a statistic other than max, mean and min.
std::optional<TrendRequest> parseTrendRequest(const QString& text, QString& problem);

// The flight's date and start time as a date-time value of the chart: days since
// 30 December 1899 plus the start second over a day. None without a valid date.
std::optional<double> flightDateTime(const Flight& flight);

// The figure of one flight on a trend line.
struct TrendPoint {
    double x = 0.0;          // flightDateTime()
    double y = 0.0;          // the statistic of the channel's readings in the flight
    std::size_t flight = 0;  // index of the flight in the list the trend was taken from
};

struct TrendLine {
    TrendRequest request;
    std::vector<TrendPoint> points;  // in the order of the flights
    // The registration of the aircraft whose flights alone the line shows (a fleet
    // comparison); empty: every flight's.
    QString aircraft;
};

// The figure of `request` in `flight`; none when the flight has no reading of the channel.
std::optional<double> trendValue(const Flight& flight, const TrendRequest& request);

// A line per request, a point per flight in the order of `flights`; a flight without a
// reading of the channel or without a date has no point on that line.
std::vector<TrendLine> trendLines(const std::vector<const Flight*>& flights,
                                  const std::vector<TrendRequest>& requests);

// The fleet comparison of one figure: a line of `request` per aircraft, in the byte order
// of the registrations, each with the flights of that aircraft (`aircraftOf` gives the
// registration of each flight of `flights`; flights of no aircraft are left out).
std::vector<TrendLine> trendLinesByAircraft(const std::vector<const Flight*>& flights,
                                            const std::vector<QString>& aircraftOf,
                                            const TrendRequest& request);

}  // namespace zp::library
