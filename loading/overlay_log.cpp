#include "loading/overlay_log.h"

#include <QPalette>
#include <cmath>
#include <iterator>
#include <utility>

#include "channels/catalogue.h"
#include "channels/channel_units.h"
#include "loading/channel_series.h"
#include "loading/log_loading.h"

namespace zp {

namespace {
constexpr double kMsPerDay = 86400000.0;
}  // namespace

QString overlaySeriesName(const QString& name) {
    return name + QStringLiteral("#2");
}

std::optional<Channel> overlaidChannel(const QString& seriesName) {
    if (!seriesName.endsWith(QStringLiteral("#2"))) return std::nullopt;
    return channelNamed(seriesName.chopped(2).toStdString());
}

std::size_t overlaySeriesCount(const chart::Chart& chart) {
    std::size_t n = 0;
    while (kOverlayFirstSeries + n < chart.series.size() &&
           overlaidChannel(chart.series[kOverlayFirstSeries + n].name))
        ++n;
    return n;
}

QString overlaySeriesTitle(const QString& title) {
    return title + QStringLiteral(" \u25B82");
}

QColor overlayColour(const QColor& colour) {
    const auto toWhite = [](int c) { return c + static_cast<int>(std::lround((255 - c) * 0.45)); };
    const QColor rgb = colour.toRgb();
    return QColor(toWhite(rgb.red()), toWhite(rgb.green()), toWhite(rgb.blue()));
}

std::optional<std::int64_t> secondOfDay(const std::optional<QString>& text) {
    if (!text) return std::nullopt;
    const QStringList parts = text->split(u':');
    if (parts.size() != 3) return std::nullopt;
    std::int64_t second = 0;
    for (const QString& part : parts) {
        bool ok = false;
        const int n = part.toInt(&ok);
        if (!ok || n < 0) return std::nullopt;
        second = second * 60 + n;
    }
    return second;
}

std::int64_t wholeMilliseconds(double seconds) {
    return static_cast<std::int64_t>(std::llround(seconds * 1000.0));
}

double shiftedX(double x, std::int64_t ms) {
    if (!std::isfinite(x)) return x;
    const double total = std::nearbyint(x * kMsPerDay) + static_cast<double>(ms);
    const double days = std::floor(total / kMsPerDay);
    return days + (total - days * kMsPerDay) / kMsPerDay;
}

void shiftPoints(chart::PointList& points, std::int64_t ms,
                 std::optional<std::pair<double, double>> range) {
    if (points.empty() || (ms == 0 && !range)) return;
    chart::PointList moved;
    moved.reserve(points.size());
    const chart::PointView view = points.points();
    for (std::size_t i = 0; i < view.size(); ++i) {
        const double x = view.x(i);
        const bool gapFill = points.isGapFill(i);
        if (range && !(x >= range->first && x <= range->second)) continue;
        if (range && gapFill && x == range->first) continue;
        if (gapFill)
            moved.appendGapFill(shiftedX(x, ms));
        else
            moved.append(shiftedX(x, ms), view.y(i));
    }
    moved.shrinkToFit();
    points = std::move(moved);
}

OverlayRead readOverlay(const QString& path, const UnitSelectors& units,
                        const ImportOptions& options) {
    chart::Chart scratch;
    // Colours come from the loaded log's series when shown; any palette does here.
    createChannelSeries(scratch, QPalette());
    prepareChartForLoad(scratch);
    OverlayRead read;
    read.result = loadLogIntoChart(path, units, scratch, options);
    read.series = std::move(scratch.series);
    return read;
}

void showOverlay(chart::Chart& chart, std::vector<chart::LineSeries> series, std::int64_t shiftMs) {
    // The switches of an overlay shown before stay as the user left them.
    // They come right after the loaded log's series, before any added after the load.
    std::vector<bool> active;
    const auto first = chart.series.begin() + static_cast<std::ptrdiff_t>(kOverlayFirstSeries);
    const auto shown = static_cast<std::ptrdiff_t>(overlaySeriesCount(chart));
    for (auto it = first; it != first + shown; ++it) active.push_back(it->active);
    chart.series.erase(first, first + shown);
    std::vector<chart::LineSeries> overlay;
    for (std::size_t c = 0; c < series.size() && c < kOverlayFirstSeries; ++c) {
        const chart::LineSeries& own = chart.series[c];
        chart::LineSeries overlaid = std::move(series[c]);
        overlaid.name = overlaySeriesName(own.name);
        overlaid.title = overlaySeriesTitle(own.title);
        overlaid.color = overlayColour(own.color);
        overlaid.penWidth = own.penWidth;
        overlaid.active = c < active.size() ? active[c] : own.active;
        overlaid.xDateTime = own.xDateTime;
        overlaid.dashed = true;
        overlaid.lowerLimit.reset();
        overlaid.upperLimit.reset();
        shiftPoints(overlaid.points, shiftMs);
        overlay.push_back(std::move(overlaid));
    }
    chart.series.insert(chart.series.begin() + static_cast<std::ptrdiff_t>(kOverlayFirstSeries),
                        std::make_move_iterator(overlay.begin()),
                        std::make_move_iterator(overlay.end()));
    chart.invalidate();
}

void shiftOverlay(chart::Chart& chart, std::int64_t deltaMs) {
    if (deltaMs == 0) return;
    const std::size_t end = kOverlayFirstSeries + overlaySeriesCount(chart);
    for (std::size_t i = kOverlayFirstSeries; i < end; ++i)
        shiftPoints(chart.series[i].points, deltaMs);
    chart.invalidate();
}

void removeOverlay(chart::Chart& chart) {
    if (!hasOverlay(chart)) return;
    const auto first = chart.series.begin() + static_cast<std::ptrdiff_t>(kOverlayFirstSeries);
    chart.series.erase(first, first + static_cast<std::ptrdiff_t>(overlaySeriesCount(chart)));
    chart.invalidate();
}

std::vector<QString> seriesUnitTexts(const UnitSelectors& units, std::size_t seriesCount) {
    const std::vector<QString> channels = channelUnitTexts(units);
    std::vector<QString> texts;
    texts.reserve(seriesCount);
    for (std::size_t i = 0; i < seriesCount; ++i)
        texts.push_back(channels[static_cast<std::size_t>(channelOfSeries(i))]);
    return texts;
}

}  // namespace zp
