// A second log laid over the loaded one: its 41 channel series follow the loaded log's
// 41 in the chart, in channel order, named "<name>#2" and titled "<title> ▸2", drawn
// dashed in a lighter shade of their channel's colour, and shifted in time by a whole
// number of milliseconds. The viewer (File > Overlay Log) and logdump (--overlay) read
// and shift it through these same steps.
#pragma once

#include <QColor>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "channels/catalogue.h"
#include "channels/unit_selectors.h"
#include "chart/chart_model.h"
#include "import/log_import.h"

namespace zp {

// The index of the first overlaid series: the loaded log's 41 come first, the overlaid
// ones right after them, and series added after a load (derived ones) after those.
inline constexpr std::size_t kOverlayFirstSeries = kChannelCount;

// Whether the series at `index` belongs to an overlaid log when one is shown.
inline bool isOverlaySeries(std::size_t index) {
    return index >= kOverlayFirstSeries && index < kOverlayFirstSeries + kChannelCount;
}
// The channel the series at `index` shows, for a channel or an overlaid series.
inline Channel channelOfSeries(std::size_t index) {
    return static_cast<Channel>(index % static_cast<std::size_t>(kChannelCount));
}
// The channel an overlaid series (named "<series name>#2") shows; none for any other name.
std::optional<Channel> overlaidChannel(const QString& seriesName);
// The number of overlaid series `chart` shows (0 or 41).
std::size_t overlaySeriesCount(const chart::Chart& chart);
// Whether `chart` shows an overlaid log.
inline bool hasOverlay(const chart::Chart& chart) {
    return overlaySeriesCount(chart) > 0;
}

// "TC1Series" -> "TC1Series#2"; "TC1" -> "TC1 ▸2".
QString overlaySeriesName(const QString& name);
QString overlaySeriesTitle(const QString& title);
// The colour of an overlaid series: its channel's, 45% of the way to white.
QColor overlayColour(const QColor& colour);

// The second of the day of an "hh:nn:ss" text (a log report's first record time).
std::optional<std::int64_t> secondOfDay(const std::optional<QString>& text);

// Seconds as whole milliseconds, rounded to the nearest (halves away from zero).
std::int64_t wholeMilliseconds(double seconds);

// The X of a date-time `x` moved by `ms` milliseconds, computed as the import computes
// the X of a time (the day plus the milliseconds over a day), so an import's X moved
// by a whole number of milliseconds is the very X the import gives that later time,
// and moving there and back gives the X back. A non-finite X stays as it is.
double shiftedX(double x, std::int64_t ms);

// The points of `points` moved by `ms` milliseconds (gap fills stay gap fills) and,
// with `range` set, only those whose X lies in it before the move, less a gap fill at
// its first X: the zero that closes the gap before a flight belongs to no flight.
void shiftPoints(chart::PointList& points, std::int64_t ms,
                 std::optional<std::pair<double, double>> range = std::nullopt);

// A second log read for laying over the loaded one: what its load returned and its 41
// channel series as they were read, not yet shifted.
struct OverlayRead {
    ImportResult result;
    std::vector<chart::LineSeries> series;
};

// Reads `path` with `units` into 41 channel series of their own, as a load would.
OverlayRead readOverlay(const QString& path, const UnitSelectors& units,
                        const ImportOptions& options);

// Puts `series` (41, in channel order) after the 41 channel series of `chart`, moved by
// `shiftMs`, replacing an overlay shown before. Each takes its name, title, colour and
// switch from its channel's series in `chart` (overlay name and title, lighter colour,
// dashed) and keeps whether it has a legend item from its own log.
void showOverlay(chart::Chart& chart, std::vector<chart::LineSeries> series, std::int64_t shiftMs);

// Moves the overlaid series of `chart` by `deltaMs` more.
void shiftOverlay(chart::Chart& chart, std::int64_t deltaMs);

// Takes the overlaid series out of `chart`; the chart is marked for a new layout when
// there were any.
void removeOverlay(chart::Chart& chart);

// The display unit of each of `seriesCount` series of a chart (the 41 channel series
// and the overlaid ones after them) under `units`.
std::vector<QString> seriesUnitTexts(const UnitSelectors& units, std::size_t seriesCount);

}  // namespace zp
