#include "chart/legend_layout.h"

#include <algorithm>

namespace zp::chart {

namespace {
// Horizontal room of a column besides its text and symbol: 8 for the margins around
// the symbol and 27 for the check box and its gap.
constexpr int kColumnExtra = 8 + 27;
// Distance from one column's check box to the next one's besides text and symbol.
constexpr int kColumnStep = 8 + 15;
}  // namespace

int LegendLayout::shownCount() const {
    if (!visible) return 0;
    return std::min(static_cast<int>(items.size()), columns * rows);
}

int LegendLayout::columnOffset(int item) const {
    return (item % columns) * (textWidth + symbolWidth + kColumnStep);
}

int LegendLayout::itemTop(int item) const {
    return rect.top + roundToInt(itemHeight * 0.1) + 1 + (item / columns) * itemHeight;
}

QRect LegendLayout::checkBoxRect(int item) const {
    const int x = rect.left + 4 + columnOffset(item);
    const int y = itemTop(item) + (itemHeight - 11) / 2 - 1;
    return QRect(x, y, kLegendCheckBoxSize, kLegendCheckBoxSize);
}

int LegendLayout::symbolLeft(int item) const {
    return rect.left + 21 + columnOffset(item);
}

int LegendLayout::symbolY(int item) const {
    const int top = itemTop(item) + 2;
    const int bottom = itemTop(item) + itemHeight - 2;
    return (top + bottom) / 2;
}

int LegendLayout::textLeft(int item) const {
    return rect.left + 26 + symbolWidth + columnOffset(item);
}

int LegendLayout::textTop(int item) const {
    return itemTop(item) + 1;
}

int LegendLayout::hitTest(int x, int y) const {
    if (!visible || !rect.contains(x, y) || columns < 1) return -1;
    const int columnWidth = rect.width() / columns;
    int column = -1;
    for (int c = 0; c < columns; ++c) {
        const int from = rect.left + c * columnWidth + 1;
        if (x >= from && x <= from + columnWidth) {
            column = c;
            break;
        }
    }
    int row = -1;
    for (int r = 0; r < rows; ++r) {
        const int from = rect.top + r * itemHeight + 1;
        if (y >= from && y <= from + itemHeight) {
            row = r;
            break;
        }
    }
    if (column < 0 || row < 0) return -1;
    const int item = row * columns + column;
    return item < shownCount() ? item : -1;
}

int LegendLayout::seriesAt(int x, int y) const {
    const int item = hitTest(x, y);
    return item < 0 ? -1 : items[static_cast<std::size_t>(item)];
}

LegendLayout layoutLegend(const Chart& chart, const PixelRect& chartRect, int panelWidth,
                          const TextMeasurer& measurer) {
    LegendLayout legend;
    int widestTitle = 0;
    for (std::size_t i = 0; i < chart.series.size(); ++i) {
        if (!chart.series[i].showInLegend) continue;
        legend.items.push_back(static_cast<int>(i));
        widestTitle = std::max(widestTitle, measurer.width(chart.series[i].title));
    }
    const int itemCount = static_cast<int>(legend.items.size());
    if (itemCount == 0) return legend;

    legend.itemHeight = std::max(17, measurer.height());
    legend.textWidth = widestTitle + measurer.width(QStringLiteral(" ")) - 1;
    legend.symbolWidth = roundToInt(legend.textWidth * 20 / 100.0);

    const int chartWidth = chartRect.width();
    const int perColumn = legend.symbolWidth + legend.textWidth + kColumnExtra;
    const int room = chartWidth - 2 * kLegendFrameWidth - 8;
    legend.columns = perColumn > 0 ? std::min(room / perColumn, itemCount) : 0;
    if (legend.columns < 1) {
        legend.columns = 0;
        return legend;
    }
    const int maxRows = itemCount > kLegendUsualItems ? kLegendMaxRowsCrowded : kLegendMaxRows;
    legend.rows = std::min((itemCount + legend.columns - 1) / legend.columns, maxRows);

    const int columns = legend.columns;
    int width = (legend.textWidth + legend.symbolWidth) * columns + 8 + (columns - 1) * 6 + 4 +
                2 * columns + 15 * columns + 4;
    width = std::min(width, chartWidth);
    const int half = width / 2;
    const int centreX = (chartRect.left + chartRect.right) / 2;
    legend.rect.left =
        centreX - half + roundToInt(kLegendTopPos * (panelWidth - 2.0 * half) / 100.0);
    legend.rect.right = legend.rect.left + 2 * half;

    const int itemHeight = legend.itemHeight;
    const int height = itemHeight * legend.rows + 2 + 2 * roundToInt(itemHeight * 0.1) +
                       std::max(0, 3 - itemHeight / 6);
    legend.rect.bottom = chartRect.bottom - (kLegendFrameWidth + 1 + kLegendShadowSize);
    legend.rect.top = legend.rect.bottom - height;
    legend.visible = true;
    return legend;
}

int chartBottomAboveLegend(const LegendLayout& legend, const PixelRect& chartRect) {
    if (!legend.visible) return chartRect.bottom;
    return legend.rect.top - chartRect.height() * 4 / 100;
}

}  // namespace zp::chart
