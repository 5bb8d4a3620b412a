// The legend of the chart: one item per series listed in the legend, laid out in rows
// and columns along the bottom of the chart rectangle, and the hit test that finds
// the item under a mouse press.
#pragma once

#include <QRect>
#include <vector>

#include "chart/axis_scale.h"
#include "chart/chart_model.h"
#include "chart/text_measurer.h"

namespace zp::chart {

inline constexpr int kLegendMaxRows = 10;
// A legend of more items than the 50 its ten rows take in five columns (a second log laid
// over the first, or series derived from the channels) grows to as many rows as it needs,
// up to this many.
inline constexpr int kLegendUsualItems = 50;
inline constexpr int kLegendMaxRowsCrowded = 20;
inline constexpr int kLegendTopPos = 10;  // per cent: shifts the box right of centre
inline constexpr int kLegendFrameWidth = 1;
inline constexpr int kLegendShadowSize = 3;
inline constexpr int kLegendCheckBoxSize = 13;

// Geometry of the legend for one repaint. `visible` is false when there is no item or
// the chart is too narrow for one column; then the legend takes no room.
struct LegendLayout {
    bool visible = false;
    PixelRect rect;  // the box, without its shadow
    int columns = 0;
    int rows = 0;
    int itemHeight = 0;
    int textWidth = 0;       // width of the title column
    int symbolWidth = 0;     // length of the line sample
    std::vector<int> items;  // series indexes of every legend item, in item order

    // Items beyond rows x columns are not shown and cannot be pressed.
    int shownCount() const;
    int columnOffset(int item) const;
    int itemTop(int item) const;
    QRect checkBoxRect(int item) const;
    // The line sample: from (x1, y) to (x2, y).
    int symbolLeft(int item) const;
    int symbolY(int item) const;
    // Top-left corner of the title text.
    int textLeft(int item) const;
    int textTop(int item) const;

    // The item (index into `items`) under a press at (x, y), or -1. Rows and columns
    // are tested in order and each includes both of its edge pixels, so a press on
    // the seam between two rows belongs to the upper one.
    int hitTest(int x, int y) const;
    // The series index under a press, or -1.
    int seriesAt(int x, int y) const;
};

// Lays the legend out along the bottom of `chartRect` (the chart rectangle after the
// margins and the foot band); `panelWidth` is the width of the whole client area.
LegendLayout layoutLegend(const Chart& chart, const PixelRect& chartRect, int panelWidth,
                          const TextMeasurer& measurer);

// The bottom of the chart rectangle once a visible legend has taken its room: the
// legend top less a gap of 4% of the chart height.
int chartBottomAboveLegend(const LegendLayout& legend, const PixelRect& chartRect);

}  // namespace zp::chart
