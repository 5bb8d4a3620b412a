#include "chart/chart_report.h"

#include <QImage>
#include <QPainter>
#include <charconv>
#include <cmath>
#include <string>

#include "chart/chart_layout.h"
#include "chart/chart_render.h"

namespace zp::chart {

namespace {

// Shortest text that reads back as the same double; non-finite values as strings.
std::string number(double v) {
    if (std::isnan(v)) return "\"nan\"";
    if (std::isinf(v)) return v > 0 ? "\"inf\"" : "\"-inf\"";
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, result.ptr);
}

std::string number(int v) {
    return std::to_string(v);
}

std::string quoted(const QString& text) {
    std::string out = "\"";
    for (const char c : text.toStdString()) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", c);
                    out += escape;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string rect(const PixelRect& r) {
    return "{\"left\": " + number(r.left) + ", \"top\": " + number(r.top) +
           ", \"right\": " + number(r.right) + ", \"bottom\": " + number(r.bottom) + "}";
}

std::string legendJson(const LegendLayout& legend, const Chart& chart) {
    if (!legend.visible) return "null";
    std::string out =
        "{\"left\": " + number(legend.rect.left) + ", \"top\": " + number(legend.rect.top) +
        ", \"right\": " + number(legend.rect.right) +
        ", \"bottom\": " + number(legend.rect.bottom) + ", \"columns\": " + number(legend.columns) +
        ", \"rows\": " + number(legend.rows) + ", \"itemHeight\": " + number(legend.itemHeight) +
        ", \"textWidth\": " + number(legend.textWidth) +
        ", \"symbolWidth\": " + number(legend.symbolWidth) +
        ", \"shown\": " + number(legend.shownCount()) + ", \"items\": [";
    for (std::size_t i = 0; i < legend.items.size(); ++i) {
        if (i > 0) out += ", ";
        out += quoted(chart.series[static_cast<std::size_t>(legend.items[i])].name);
    }
    return out + "]}";
}

std::string axisJson(const AxisLayout& axis) {
    std::string out = std::string("{\"visible\": ") + (axis.visible ? "true" : "false") +
                      ", \"dateTime\": " + (axis.format.dateTime ? "true" : "false") +
                      ", \"min\": " + number(axis.minimum()) +
                      ", \"max\": " + number(axis.maximum()) +
                      ", \"increment\": " + number(axis.increment) +
                      ", \"start\": " + number(axis.scale.startPixel) +
                      ", \"end\": " + number(axis.scale.endPixel) + ", \"labels\": [";
    for (std::size_t i = 0; i < axis.labels.size(); ++i) {
        const AxisLabel& label = axis.labels[i];
        if (i > 0) out += ", ";
        out += "{\"value\": " + number(label.value) + ", \"text\": " + quoted(label.text) +
               ", \"pos\": " + number(label.pos) + "}";
    }
    return out + "]}";
}

}  // namespace

QString layoutReportJson(Chart& chart, int width, int height) {
    const ChartLayout layout = layoutChart(chart, PixelRect{0, 0, width, height});
    storeAutomaticRanges(chart, layout);
    const std::string json = "{\"width\": " + number(width) + ", \"height\": " + number(height) +
                             ", \"fontHeight\": " + number(layout.fontHeight) +
                             ", \"legend\": " + legendJson(layout.legend, chart) +
                             ", \"plot\": " + rect(layout.plot) +
                             ", \"axes\": {\"bottom\": " + axisJson(layout.bottom) +
                             ", \"left\": " + axisJson(layout.left) + "}}";
    return QString::fromStdString(json);
}

bool renderToBmp(Chart& chart, int width, int height, const QString& fileName) {
    if (width <= 0 || height <= 0) return false;
    QImage image(width, height, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        render(painter, QRect(0, 0, width, height), chart);
    }
    return image.save(fileName, "BMP");
}

}  // namespace zp::chart
