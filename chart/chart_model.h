// The state of the chart that the rest of the viewer reads and writes: its series list
// (chart order), its four axes and the print enlargement. Drawing, layout and mouse
// handling live in the engine files beside this one.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "chart/series.h"

namespace zp::chart {

// The stored properties of one axis. While `automatic` is on, every repaint writes the
// automatic range into minimum and maximum.
struct AxisState {
    bool visible = true;
    bool automatic = true;
    bool automaticMinimum = true;
    bool automaticMaximum = true;
    double minimum = 0.0;
    double maximum = 0.0;
    QString dateTimeFormat;  // label format of a date-time axis; empty: default by range
    QString title;           // axis title; empty: no title
};

inline AxisState hiddenAxis() {
    AxisState axis;
    axis.visible = false;
    return axis;
}

class Chart {
  public:
    std::vector<LineSeries> series;  // chart order: legend order and drawing order
    AxisState leftAxis;
    AxisState bottomAxis;
    AxisState topAxis = hiddenAxis();
    AxisState rightAxis = hiddenAxis();
    int printEnlargement = 0;  // per cent; negative lays the chart out on a larger area
    // The measurement cursors: X values drawn as vertical lines across the plot area
    // with an "A hh:nn:ss" / "B hh:nn:ss" label; none drawn while unset.
    std::optional<double> cursorA;
    std::optional<double> cursorB;

    // Marks the chart for repainting; the owner connects it to its widget's update().
    std::function<void()> onInvalidate;
    void invalidate() const {
        if (onInvalidate) onInvalidate();
    }
};

}  // namespace zp::chart
