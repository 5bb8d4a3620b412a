#include "library/trend_chart.h"

#include <QLocale>
#include <cmath>
#include <map>

#include "channels/channel_units.h"
#include "chart/channel_colour.h"

namespace zp::library {

namespace {

// A CSV cell: quoted when it holds a comma, a quote or a line break.
QByteArray cell(const QString& text) {
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\n') &&
        !bytes.contains('\r'))
        return bytes;
    bytes.replace("\"", "\"\"");
    return '"' + bytes + '"';
}

}  // namespace

QString trendSeriesName(const TrendRequest& request) {
    return QLatin1String(kChannels[static_cast<std::size_t>(request.channel)].name) +
           QLatin1Char(':') + QLatin1String(statisticText(request.statistic));
}

QString trendSeriesTitle(const TrendRequest& request, const UnitSelectors& units) {
    QString title = QLatin1String(kChannels[static_cast<std::size_t>(request.channel)].title) +
                    QLatin1Char(' ') + QLatin1String(statisticText(request.statistic));
    const QString unit = QString::fromUtf8(unitText(request.channel, units));
    if (!unit.isEmpty()) title += QStringLiteral(" (%1)").arg(unit);
    return title;
}

chart::Chart trendChart(const std::vector<TrendLine>& lines, const TrendChartSetup& setup,
                        const QPalette& palette) {
    chart::Chart chart;
    chart.series.reserve(lines.size());
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const TrendLine& line = lines[k];
        const auto c = static_cast<std::size_t>(line.request.channel);
        chart::LineSeries series;
        series.name = trendSeriesName(line.request);
        series.title = trendSeriesTitle(line.request, setup.units);
        series.color = chart::channelColour(kChannels[c], palette);
        if (!line.aircraft.isEmpty()) {
            // A line per aircraft: named and titled after it, each in a hue of its own.
            series.name += QLatin1Char('@') + line.aircraft;
            series.title = line.aircraft + QLatin1Char(' ') + series.title;
            series.color = QColor::fromHsv(static_cast<int>(k * 360 / lines.size()), 200, 200);
        }
        series.penWidth = 2;
        series.active = true;
        series.showInLegend = true;
        series.xDateTime = true;
        series.pointMarks = true;
        if (const std::optional<Limits>& limits = setup.limits[c]) {
            if (std::isfinite(limits->low)) series.lowerLimit = limits->low;
            if (std::isfinite(limits->high)) series.upperLimit = limits->high;
        }
        series.points.reserve(line.points.size());
        for (const TrendPoint& p : line.points) series.points.append(p.x, p.y);
        chart.series.push_back(std::move(series));
    }
    chart.bottomAxis.title = QStringLiteral("Flight date");
    return chart;
}

QByteArray trendCsv(const std::vector<TrendLine>& lines, const std::vector<const Flight*>& flights,
                    const std::vector<QString>& files, const UnitSelectors& units) {
    QByteArray out = "Date,Start,File,Flight";
    for (const TrendLine& line : lines) out += ',' + cell(trendSeriesTitle(line.request, units));
    out += "\r\n";
    // The value of each line at each flight that has one.
    std::vector<std::map<std::size_t, double>> values(lines.size());
    for (std::size_t k = 0; k < lines.size(); ++k)
        for (const TrendPoint& p : lines[k].points) values[k][p.flight] = p.y;
    for (std::size_t i = 0; i < flights.size(); ++i) {
        bool any = false;
        for (const auto& v : values) any = any || v.contains(i);
        if (!any) continue;
        const Flight& f = *flights[i];
        out += f.date.toString(Qt::ISODate).toLatin1() + ',' +
               secondText(f.startSecond).toLatin1() + ',' +
               cell(i < files.size() ? files[i] : QString()) + ',' +
               QByteArray::number(f.index + 1);
        for (const auto& v : values) {
            out += ',';
            const auto it = v.find(i);
            if (it != v.end())
                out += QByteArray::number(it->second, 'g', QLocale::FloatingPointShortest);
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace zp::library
