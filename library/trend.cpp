#include "library/trend.h"

#include <QDate>
#include <QStringList>
#include <set>

namespace zp::library {

const char* statisticText(TrendStatistic statistic) {
    switch (statistic) {
        case TrendStatistic::Maximum:
            return "max";
        case TrendStatistic::Mean:
            return "mean";
        case TrendStatistic::Minimum:
            return "min";
    }
    return "";
}

const char* statisticName(TrendStatistic statistic) {
    switch (statistic) {
        case TrendStatistic::Maximum:
            return "maximum";
        case TrendStatistic::Mean:
            return "mean";
        case TrendStatistic::Minimum:
            return "minimum";
    }
    return "";
}

std::optional<TrendStatistic> statisticFromText(const QString& text) {
    for (const TrendStatistic s :
         {TrendStatistic::Maximum, TrendStatistic::Mean, TrendStatistic::Minimum})
        if (text == QLatin1String(statisticText(s))) return s;
    return std::nullopt;
}

std::optional<TrendRequest> parseTrendRequest(const QString& text, QString& problem) {
    const qsizetype colon = text.lastIndexOf(u':');
    if (colon <= 0) {
        problem = QStringLiteral("bad --trend (NAME:STAT): ") + text;
        return std::nullopt;
    }
    const std::optional<Channel> channel = channelNamed(text.left(colon).toStdString());
    if (!channel) {
        problem = QStringLiteral("unknown series for --trend: ") + text.left(colon);
        return std::nullopt;
    }
    const std::optional<TrendStatistic> statistic = statisticFromText(text.mid(colon + 1));
    if (!statistic) {
        problem =
            QStringLiteral("bad statistic for --trend (max, mean or min): ") + text.mid(colon + 1);
        return std::nullopt;
    }
    return TrendRequest{*channel, *statistic};
}

std::optional<double> flightDateTime(const Flight& flight) {
    if (!flight.date.isValid()) return std::nullopt;
    return static_cast<double>(QDate(1899, 12, 30).daysTo(flight.date)) +
           static_cast<double>(flight.startSecond) / static_cast<double>(kSecondsPerDay);
}

std::optional<double> trendValue(const Flight& flight, const TrendRequest& request) {
    const std::optional<ChannelFigures>& figures =
        flight.channels[static_cast<std::size_t>(request.channel)];
    if (!figures || figures->count == 0) return std::nullopt;
    switch (request.statistic) {
        case TrendStatistic::Maximum:
            return figures->maximum;
        case TrendStatistic::Mean:
            return figures->mean;
        case TrendStatistic::Minimum:
            return figures->minimum;
    }
    return std::nullopt;
}

namespace {

// The line of `request` over the flights of `aircraft` (every flight when `aircraftOf` is
// empty).
TrendLine lineOf(const std::vector<const Flight*>& flights, const std::vector<QString>& aircraftOf,
                 const TrendRequest& request, const QString& aircraft) {
    TrendLine line{request, {}, aircraft};
    line.points.reserve(flights.size());
    for (std::size_t i = 0; i < flights.size(); ++i) {
        if (!aircraftOf.empty() && aircraftOf[i] != aircraft) continue;
        const std::optional<double> x = flightDateTime(*flights[i]);
        const std::optional<double> y = trendValue(*flights[i], request);
        if (x && y) line.points.push_back(TrendPoint{*x, *y, i});
    }
    return line;
}

}  // namespace

std::vector<TrendLine> trendLines(const std::vector<const Flight*>& flights,
                                  const std::vector<TrendRequest>& requests) {
    std::vector<TrendLine> lines;
    lines.reserve(requests.size());
    for (const TrendRequest& request : requests) lines.push_back(lineOf(flights, {}, request, {}));
    return lines;
}

std::vector<TrendLine> trendLinesByAircraft(const std::vector<const Flight*>& flights,
                                            const std::vector<QString>& aircraftOf,
                                            const TrendRequest& request) {
    std::set<QString> registrations(aircraftOf.begin(), aircraftOf.end());
    registrations.erase(QString());
    std::vector<TrendLine> lines;
    if (aircraftOf.size() != flights.size()) return lines;
    for (const QString& aircraft : registrations)
        lines.push_back(lineOf(flights, aircraftOf, request, aircraft));
    return lines;
}

}  // namespace zp::library
