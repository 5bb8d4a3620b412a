#include "chart/chart_report.h"

#include <QImage>
#include <QPainter>
#include <utility>

#include "chart/chart_layout.h"
#include "chart/chart_render.h"
#include "chart/json_writer.h"

namespace zp::chart {

namespace {

// The four edges, without the braces around them.
void writeEdges(JsonWriter& out, const PixelRect& r) {
    out.raw("\"left\": ");
    out.integer(r.left);
    out.raw(", \"top\": ");
    out.integer(r.top);
    out.raw(", \"right\": ");
    out.integer(r.right);
    out.raw(", \"bottom\": ");
    out.integer(r.bottom);
}

void writeLegend(JsonWriter& out, const LegendLayout& legend, const Chart& chart) {
    if (!legend.visible) return out.raw("null");
    out.raw("{");
    writeEdges(out, legend.rect);
    const std::pair<const char*, int> sizes[] = {
        {", \"columns\": ", legend.columns},         {", \"rows\": ", legend.rows},
        {", \"itemHeight\": ", legend.itemHeight},   {", \"textWidth\": ", legend.textWidth},
        {", \"symbolWidth\": ", legend.symbolWidth}, {", \"shown\": ", legend.shownCount()},
    };
    for (const auto& [key, value] : sizes) {
        out.raw(key);
        out.integer(value);
    }
    out.raw(", \"items\": [");
    for (std::size_t i = 0; i < legend.items.size(); ++i) {
        if (i > 0) out.raw(", ");
        out.string(chart.series[static_cast<std::size_t>(legend.items[i])].name);
    }
    out.raw("]}");
}

void writeAxis(JsonWriter& out, const AxisLayout& axis) {
    out.raw("{\"visible\": ");
    out.boolean(axis.visible);
    out.raw(", \"dateTime\": ");
    out.boolean(axis.format.dateTime);
    out.raw(", \"min\": ");
    out.number(axis.minimum());
    out.raw(", \"max\": ");
    out.number(axis.maximum());
    out.raw(", \"increment\": ");
    out.number(axis.increment);
    out.raw(", \"start\": ");
    out.integer(axis.scale.startPixel);
    out.raw(", \"end\": ");
    out.integer(axis.scale.endPixel);
    out.raw(", \"labels\": [");
    for (std::size_t i = 0; i < axis.labels.size(); ++i) {
        const AxisLabel& label = axis.labels[i];
        if (i > 0) out.raw(", ");
        out.raw("{\"value\": ");
        out.number(label.value);
        out.raw(", \"text\": ");
        out.string(label.text);
        out.raw(", \"pos\": ");
        out.integer(label.pos);
        out.raw("}");
    }
    out.raw("]}");
}

}  // namespace

QString layoutReportJson(Chart& chart, int width, int height) {
    const ChartLayout layout = layoutChart(chart, PixelRect{0, 0, width, height});
    storeAutomaticRanges(chart, layout);
    JsonWriter out;
    out.raw("{\"width\": ");
    out.integer(width);
    out.raw(", \"height\": ");
    out.integer(height);
    out.raw(", \"fontHeight\": ");
    out.integer(layout.fontHeight);
    out.raw(", \"legend\": ");
    writeLegend(out, layout.legend, chart);
    out.raw(", \"plot\": {");
    writeEdges(out, layout.plot);
    out.raw("}, \"axes\": {\"bottom\": ");
    writeAxis(out, layout.bottom);
    out.raw(", \"left\": ");
    writeAxis(out, layout.left);
    out.raw("}}");
    return QString::fromStdString(out.text());
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
