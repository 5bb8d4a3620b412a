#include "analysis/visible_data.h"

#include <QSaveFile>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <span>

#include "import/date_time_text.h"

namespace zp::analysis {

namespace {

// A field quoted when it holds a separator, a quote or a line break.
void appendField(QByteArray& out, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    if (!utf8.contains(',') && !utf8.contains('"') && !utf8.contains('\n') &&
        !utf8.contains('\r')) {
        out += utf8;
        return;
    }
    out += '"';
    for (const char c : utf8) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void appendValue(QByteArray& out, double value) {
    if (std::isnan(value)) {
        out += "nan";
        return;
    }
    if (std::isinf(value)) {
        out += value > 0 ? "inf" : "-inf";
        return;
    }
    char buffer[64];
    const float narrow = static_cast<float>(value);
    const auto result = static_cast<double>(narrow) == value
                            ? std::to_chars(buffer, buffer + sizeof buffer, narrow)
                            : std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr - buffer);
}

void appendTime(QByteArray& out, double x) {
    const TimeOfDay t = decodeTime(x);
    char buffer[32];
    const int n = std::snprintf(buffer, sizeof buffer, "%02u:%02u:%02u.%03u", unsigned{t.hour},
                                unsigned{t.minute}, unsigned{t.second}, unsigned{t.millisecond});
    out.append(buffer, n);
}

// One active series: its points in X order and where the walk over them stands.
struct Column {
    const chart::PointList* list;
    chart::PointView points;
    std::size_t next;
    std::size_t end;
};

// The first index at or after `i` that is a reading (not a gap fill) with a finite X.
std::size_t nextReading(const Column& c, std::size_t i) {
    while (i < c.end && (c.list->isGapFill(i) || std::isnan(c.points[i].x))) ++i;
    return i;
}

}  // namespace

QString titleWithUnit(const QString& title, const QString& unit) {
    if (unit.isEmpty()) return title;
    const QString bracketed = QStringLiteral("(%1)").arg(unit);
    return title.endsWith(bracketed) ? title : title + QLatin1Char(' ') + bracketed;
}

QByteArray visibleDataCsv(const chart::Chart& chart, const std::vector<QString>& units,
                          XRange range) {
    QByteArray out = "Time";
    std::vector<Column> columns;
    for (std::size_t s = 0; s < chart.series.size(); ++s) {
        const chart::LineSeries& series = chart.series[s];
        if (!series.active || !series.showInLegend) continue;
        out += ',';
        const QString unit = s < units.size() ? units[s] : QString();
        appendField(out, titleWithUnit(series.title, unit));
        const auto points = series.points.points();
        const auto below = [](const chart::ChartPoint& p, double x) { return p.x < x; };
        const auto first = std::lower_bound(points.begin(), points.end(), range.from, below);
        const auto last =
            std::upper_bound(points.begin(), points.end(), range.to,
                             [](double x, const chart::ChartPoint& p) { return x < p.x; });
        Column c{&series.points, points, std::size_t(first - points.begin()),
                 std::size_t(std::max(first, last) - points.begin())};
        c.next = nextReading(c, c.next);
        columns.push_back(c);
    }
    out += "\r\n";

    std::vector<double> cells(columns.size());
    std::vector<bool> present(columns.size());
    for (;;) {
        double x = std::numeric_limits<double>::infinity();
        bool any = false;
        for (const Column& c : columns) {
            if (c.next < c.end) {
                x = std::min(x, c.points[c.next].x);
                any = true;
            }
        }
        if (!any) break;
        for (std::size_t k = 0; k < columns.size(); ++k) {
            Column& c = columns[k];
            present[k] = false;
            // Every reading at this X; the last one in stored order is the cell.
            while (c.next < c.end && c.points[c.next].x == x) {
                cells[k] = c.points[c.next].y;
                present[k] = true;
                c.next = nextReading(c, c.next + 1);
            }
        }
        appendTime(out, x);
        for (std::size_t k = 0; k < columns.size(); ++k) {
            out += ',';
            if (present[k]) appendValue(out, cells[k]);
        }
        out += "\r\n";
    }
    return out;
}

QString writeVisibleDataCsv(const QString& path, const chart::Chart& chart,
                            const std::vector<QString>& units, XRange range) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    const QByteArray text = visibleDataCsv(chart, units, range);
    if (file.write(text) != text.size() || !file.commit()) return file.errorString();
    return {};
}

}  // namespace zp::analysis
