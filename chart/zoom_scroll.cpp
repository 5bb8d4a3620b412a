#include "chart/zoom_scroll.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace zp::chart {

namespace {

bool anyActive(const Chart& chart) {
    return std::any_of(chart.series.begin(), chart.series.end(),
                       [](const LineSeries& s) { return s.active; });
}

// Index of each axis in the saved scales, in the order their ranges are set.
enum AxisSlot { kLeft = 0, kRight = 1, kTop = 2, kBottom = 3 };

AxisState& axisAt(Chart& chart, int slot) {
    switch (slot) {
        case kLeft:
            return chart.leftAxis;
        case kRight:
            return chart.rightAxis;
        case kTop:
            return chart.topAxis;
        default:
            return chart.bottomAxis;
    }
}

// Inclusive pixel test.
bool within(int value, int low, int high) {
    return value >= low && value <= high;
}

}  // namespace

void setMinMax(AxisState& axis, double minimum, double maximum) {
    axis.automatic = false;
    axis.automaticMinimum = false;
    axis.automaticMaximum = false;
    if (minimum > maximum) std::swap(minimum, maximum);
    axis.minimum = minimum;
    axis.maximum = maximum;
    if (axis.maximum - axis.minimum < kMinimumAxisRange)
        axis.maximum = axis.minimum + kMinimumAxisRange;
}

PressTarget pressTarget(const ChartLayout& layout, const Chart& chart, int x, int y) {
    const PixelRect& plot = layout.plot;
    if (layout.bottom.visible && within(x, plot.left, plot.right) &&
        within(y, plot.bottom - kAxisPressInset, plot.bottom + kAxisTickSpace))
        return PressTarget::BottomAxis;
    if (layout.left.visible && within(y, plot.top, plot.bottom) &&
        within(x, plot.left - kAxisTickSpace, plot.left + kAxisPressInset))
        return PressTarget::LeftAxis;
    if (plot.contains(x, y) && anyActive(chart)) return PressTarget::PlotArea;
    return PressTarget::None;
}

QRect ZoomScroll::zoomRectangle() const {
    if (!zoomDrag_) return QRect();
    const int left = std::min(x0_, x1_);
    const int top = std::min(y0_, y1_);
    return QRect(left, top, std::abs(x1_ - x0_), std::abs(y1_ - y0_));
}

bool ZoomScroll::press(Qt::MouseButton button, int x, int y, const ChartLayout& layout) {
    if (dragActive()) return false;
    if (button != Qt::LeftButton && button != Qt::RightButton) return false;
    if (pressTarget(layout, chart_, x, y) == PressTarget::None) return false;
    x0_ = x1_ = x;
    y0_ = y1_ = y;
    scrollStepRecorded_ = false;
    if (button == Qt::LeftButton)
        zoomDrag_ = true;
    else
        scrollDrag_ = true;
    return true;
}

ZoomScroll::Effect ZoomScroll::move(int x, int y, const ChartLayout& layout) {
    if (zoomDrag_) {
        if (x == x1_ && y == y1_) return Effect::None;
        x1_ = x;
        y1_ = y;
        return Effect::Overlay;
    }
    if (!scrollDrag_) return Effect::None;
    if (!layout.plot.contains(x, y)) {
        // Leaving the plot area ends the drag; coming back does not resume it.
        scrollDrag_ = false;
        return Effect::None;
    }
    if (x == x1_ && y == y1_) return Effect::None;
    if (!scrollStepRecorded_) {
        recordStep();
        scrollStepRecorded_ = true;
    }
    if (!scalesSaved_) saveScales();
    // The content follows the mouse: each axis moves by the value distance between the
    // previous and the current pointer position.
    auto shift = [&](int slot, const AxisLayout& painted, bool visible, int from, int to) {
        AxisState& state = axisAt(chart_, slot);
        const AxisScale scale = currentScale(state, painted, visible);
        const double delta = scale.calcPosPoint(from) - scale.calcPosPoint(to);
        setMinMax(state, scale.minimum + delta, scale.maximum + delta);
    };
    if (x != x1_) {
        shift(kBottom, layout.bottom, true, x1_, x);
        shift(kTop, layout.bottom, false, x1_, x);
    }
    if (y != y1_) {
        shift(kLeft, layout.left, true, y1_, y);
        shift(kRight, layout.left, false, y1_, y);
    }
    x1_ = x;
    y1_ = y;
    chart_.invalidate();
    return Effect::Invalidated;
}

ZoomScroll::Effect ZoomScroll::release(Qt::MouseButton button, int x, int y,
                                       const ChartLayout& layout) {
    if (scrollDrag_) {
        scrollDrag_ = false;
        return Effect::None;
    }
    if (!zoomDrag_ || button != Qt::LeftButton) return Effect::None;
    zoomDrag_ = false;
    x1_ = x;
    y1_ = y;
    if (std::abs(x1_ - x0_) > kZoomMinimumPixels && std::abs(y1_ - y0_) > kZoomMinimumPixels) {
        // Dragged to the right zooms in; any other direction returns to the full view.
        recordStep();
        if (x1_ > x0_)
            zoomTo(x0_, y0_, x1_, y1_, layout);
        else
            undoZoom();
        return Effect::Invalidated;
    }
    return Effect::Overlay;  // only the rectangle goes away
}

ZoomScroll::Effect ZoomScroll::abandonDrag() {
    if (scrollDrag_) {
        scrollDrag_ = false;
        return Effect::None;
    }
    return cancelZoomDrag();
}

ZoomScroll::Effect ZoomScroll::cancelZoomDrag() {
    if (!zoomDrag_) return Effect::None;
    zoomDrag_ = false;
    return Effect::Overlay;  // only the rectangle goes away
}

ZoomScroll::Effect ZoomScroll::wheel(int notches, const ChartLayout& layout) {
    if (notches == 0) return Effect::None;
    recordStep();
    // Each notch moves the value axes by 3 % of their range: up lowers the range,
    // down raises it. Saved scales are left alone.
    const double sign = notches > 0 ? -1.0 : 1.0;
    for (int i = 0; i < std::abs(notches); ++i) {
        for (int slot : {kLeft, kRight}) {
            AxisState& state = axisAt(chart_, slot);
            const AxisScale scale = currentScale(state, layout.left, slot == kLeft);
            const double delta = sign * scale.range() * kWheelScrollPercent * 0.01;
            state.automatic = false;
            state.automaticMinimum = false;
            state.automaticMaximum = false;
            state.minimum = scale.minimum + delta;
            state.maximum = scale.maximum + delta;
        }
    }
    chart_.invalidate();
    return Effect::Invalidated;
}

void ZoomScroll::zoomRect(const QRect& pixels, const ChartLayout& layout) {
    zoomTo(pixels.left(), pixels.top(), pixels.left() + pixels.width(),
           pixels.top() + pixels.height(), layout);
}

void ZoomScroll::undoZoom() {
    if (scalesSaved_) {
        for (int slot = 0; slot < 4; ++slot) {
            AxisState& state = axisAt(chart_, slot);
            const SavedScale& s = saved_[static_cast<std::size_t>(slot)];
            state.automatic = s.automatic;
            state.automaticMinimum = s.automaticMinimum;
            state.automaticMaximum = s.automaticMaximum;
            state.minimum = s.minimum;
            state.maximum = s.maximum;
        }
        scalesSaved_ = false;
    }
    chart_.invalidate();
    zoomed_ = false;
}

ZoomScroll::Effect ZoomScroll::zoomTime(double factor, std::optional<double> centre,
                                        const ChartLayout& layout) {
    if (!(factor > 0.0)) return Effect::None;
    const AxisScale bottom = currentScale(chart_.bottomAxis, layout.bottom, true);
    const double span = bottom.maximum - bottom.minimum;
    double middle = 0.5;
    if (centre && span != 0.0) middle = std::clamp((*centre - bottom.minimum) / span, 0.0, 1.0);
    recordStep();
    setTimeFractions(middle - middle * factor, middle + (1.0 - middle) * factor, layout);
    zoomed_ = true;
    return Effect::Invalidated;
}

ZoomScroll::Effect ZoomScroll::showTimeRange(double from, double to, const ChartLayout& layout) {
    const AxisScale bottom = currentScale(chart_.bottomAxis, layout.bottom, true);
    const double span = bottom.maximum - bottom.minimum;
    if (span == 0.0 || !std::isfinite(from) || !std::isfinite(to)) return Effect::None;
    recordStep();
    setTimeFractions((from - bottom.minimum) / span, (to - bottom.minimum) / span, layout);
    zoomed_ = true;
    return Effect::Invalidated;
}

ZoomScroll::Effect ZoomScroll::returnHome() {
    recordStep();
    undoZoom();
    return Effect::Invalidated;
}

ZoomScroll::Effect ZoomScroll::scrollTime(double spans, const ChartLayout& layout) {
    recordStep();
    setTimeFractions(spans, 1.0 + spans, layout);
    return Effect::Invalidated;
}

void ZoomScroll::setTimeFractions(double from, double to, const ChartLayout& layout) {
    // Both time axes, the drawn one and its hidden twin, read before either changes.
    const AxisScale bottom = currentScale(chart_.bottomAxis, layout.bottom, true);
    const AxisScale top = currentScale(chart_.topAxis, layout.bottom, false);
    if (!scalesSaved_) saveScales();
    const auto set = [from, to](AxisState& axis, const AxisScale& scale) {
        const double span = scale.maximum - scale.minimum;
        setMinMax(axis, scale.minimum + from * span, scale.minimum + to * span);
    };
    set(chart_.bottomAxis, bottom);
    set(chart_.topAxis, top);
    chart_.invalidate();
}

ZoomScroll::View ZoomScroll::currentView() const {
    View view{};
    for (int slot = 0; slot < 4; ++slot) {
        const AxisState& state = axisAt(chart_, slot);
        view.axes[static_cast<std::size_t>(slot)] =
            SavedScale{state.automatic, state.automaticMinimum, state.automaticMaximum,
                       state.minimum, state.maximum};
    }
    view.scalesSaved = scalesSaved_;
    view.saved = saved_;
    view.zoomed = zoomed_;
    return view;
}

void ZoomScroll::showView(const View& view) {
    for (int slot = 0; slot < 4; ++slot) {
        AxisState& state = axisAt(chart_, slot);
        const SavedScale& s = view.axes[static_cast<std::size_t>(slot)];
        state.automatic = s.automatic;
        state.automaticMinimum = s.automaticMinimum;
        state.automaticMaximum = s.automaticMaximum;
        state.minimum = s.minimum;
        state.maximum = s.maximum;
    }
    scalesSaved_ = view.scalesSaved;
    saved_ = view.saved;
    zoomed_ = view.zoomed;
    chart_.invalidate();
}

void ZoomScroll::recordStep() {
    // A long session keeps the latest steps only.
    constexpr std::size_t kMaximumSteps = 200;
    if (backViews_.size() == kMaximumSteps) backViews_.erase(backViews_.begin());
    backViews_.push_back(currentView());
    forwardViews_.clear();
}

bool ZoomScroll::back() {
    if (backViews_.empty() || dragActive()) return false;
    forwardViews_.push_back(currentView());
    showView(backViews_.back());
    backViews_.pop_back();
    return true;
}

bool ZoomScroll::forward() {
    if (forwardViews_.empty() || dragActive()) return false;
    backViews_.push_back(currentView());
    showView(forwardViews_.back());
    forwardViews_.pop_back();
    return true;
}

void ZoomScroll::clearHistory() {
    backViews_.clear();
    forwardViews_.clear();
}

void ZoomScroll::saveScales() {
    for (int slot = 0; slot < 4; ++slot) {
        const AxisState& state = axisAt(chart_, slot);
        saved_[static_cast<std::size_t>(slot)] =
            SavedScale{state.automatic, state.automaticMinimum, state.automaticMaximum,
                       state.minimum, state.maximum};
    }
    scalesSaved_ = true;
}

void ZoomScroll::zoomTo(int x0, int y0, int x1, int y1, const ChartLayout& layout) {
    if (x0 > x1) std::swap(x0, x1);
    if (y0 > y1) std::swap(y0, y1);
    // Every range is read before any axis changes; the lower pixel edge of the
    // rectangle is the smaller value of a vertical axis.
    struct Range {
        double minimum;
        double maximum;
    };
    auto horizontal = [&](int slot, bool visible) {
        const AxisScale s = currentScale(axisAt(chart_, slot), layout.bottom, visible);
        return Range{s.calcPosPoint(x0), s.calcPosPoint(x1)};
    };
    auto vertical = [&](int slot, bool visible) {
        const AxisScale s = currentScale(axisAt(chart_, slot), layout.left, visible);
        return Range{s.calcPosPoint(y1), s.calcPosPoint(y0)};
    };
    std::array<Range, 4> ranges{};
    ranges[kLeft] = vertical(kLeft, true);
    ranges[kRight] = vertical(kRight, false);
    ranges[kTop] = horizontal(kTop, false);
    ranges[kBottom] = horizontal(kBottom, true);

    if (!scalesSaved_) saveScales();
    for (int slot : {kLeft, kRight, kTop, kBottom})
        setMinMax(axisAt(chart_, slot), ranges[static_cast<std::size_t>(slot)].minimum,
                  ranges[static_cast<std::size_t>(slot)].maximum);
    zoomed_ = true;
    chart_.invalidate();
}

AxisScale ZoomScroll::currentScale(const AxisState& state, const AxisLayout& painted,
                                   bool paintedAxis) const {
    // A drawn axis that is still automatic has the range of the last repaint; a fixed
    // axis, or a hidden one that shares the pixels of its drawn twin, has its stored
    // range, which zoom and scroll may have changed since that repaint.
    AxisScale scale = painted.scale;
    if (!paintedAxis || !state.automatic) {
        scale.minimum = state.minimum;
        scale.maximum = state.maximum;
    }
    return scale;
}

}  // namespace zp::chart
