// Mouse zoom and scroll of the chart as a plain state machine over the chart's axes and
// the layout of its last repaint, so that it runs without a widget. The widget feeds it
// presses, moves, releases and wheel notches in client pixels and repaints as told.
//
// Left drag: a rectangle; released more than 16 pixels away in both directions it zooms
// into the rectangle when dragged to the right, and returns to the view before the
// first zoom or scroll otherwise. Right drag: the axes follow the mouse while it stays
// inside the plot area. Wheel: the value axes move by 3 % of their range per notch.
#pragma once

#include <QRect>
#include <Qt>
#include <array>
#include <optional>
#include <vector>

#include "chart/chart_layout.h"
#include "chart/chart_model.h"

namespace zp::chart {

// A drag's rectangle must exceed this many pixels in both directions to act.
inline constexpr int kZoomMinimumPixels = 16;
// How far the press band of an axis reaches from the axis line into the plot area.
inline constexpr int kAxisPressInset = 3;
// Per cent of the range that one wheel notch moves the value axes.
inline constexpr double kWheelScrollPercent = 3.0;
// Smallest range setMinMax leaves on an axis.
inline constexpr double kMinimumAxisRange = 1e-10;

// setMinMax: automatic flags off, the two values swapped when minimum > maximum, and a
// range below 1e-10 widened to that from the minimum.
void setMinMax(AxisState& axis, double minimum, double maximum);

// What a press hit, tested in this order after the legend.
enum class PressTarget { None, BottomAxis, LeftAxis, PlotArea };

// The part of the chart under (x, y) that starts a drag: a visible axis band (along the
// axis between its end pixels; across from the label position to 3 pixels inside the
// plot area), else the plot area while some series is active.
PressTarget pressTarget(const ChartLayout& layout, const Chart& chart, int x, int y);

class ZoomScroll {
  public:
    explicit ZoomScroll(Chart& chart) : chart_(chart) {}

    // What the owner has to do after an event.
    enum class Effect {
        None,         // nothing visible changed
        Overlay,      // only the zoom rectangle changed: redraw it over the last picture
        Invalidated,  // the axes changed; the chart was invalidated
    };

    bool zoomDragActive() const { return zoomDrag_; }
    bool scrollDragActive() const { return scrollDrag_; }
    bool dragActive() const { return zoomDrag_ || scrollDrag_; }
    bool zoomed() const { return zoomed_; }
    bool scalesSaved() const { return scalesSaved_; }
    // The zoom rectangle from the press point to the current point (normalised, both
    // corners inside) while a zoom drag is active.
    QRect zoomRectangle() const;

    // A press that the legend did not take. Ignored while a drag is active; otherwise a
    // left press on an axis band or the plot area starts a zoom drag and a right press a
    // scroll drag. Returns true when a drag started.
    bool press(Qt::MouseButton button, int x, int y, const ChartLayout& layout);
    // A movement during a drag (called after the chart's mouse-move hook).
    Effect move(int x, int y, const ChartLayout& layout);
    // A release: a left release ends a zoom drag and zooms or undoes; any release ends
    // a scroll drag.
    Effect release(Qt::MouseButton button, int x, int y, const ChartLayout& layout);
    // Ends a drag whose release will not come (the window lost the mouse or the focus):
    // a zoom drag ends without zooming and its rectangle goes away; a scroll drag keeps
    // where it has moved the axes.
    Effect abandonDrag();
    // Escape during a zoom drag: the drag ends without zooming and its rectangle goes
    // away. Any other state is left alone.
    Effect cancelZoomDrag();
    // Wheel notches: positive away from the user (up), negative towards (down).
    Effect wheel(int notches, const ChartLayout& layout);

    // Zooms the axes to a pixel rectangle of the last repaint.
    void zoomRect(const QRect& pixels, const ChartLayout& layout);
    // Restores the scales saved before the first zoom or scroll, if any.
    void undoZoom();

    // [SECTION] Keyboard moves of the time axis
    // Scales the visible time span by `factor` (below 1 zooms in) around `centre` (an X
    // value; the middle of the span when absent). The value axes stay as they are.
    Effect zoomTime(double factor, std::optional<double> centre, const ChartLayout& layout);
    // Shows the times [from, to] on the time axes as one step, as a zoom does.
    Effect showTimeRange(double from, double to, const ChartLayout& layout);
    // Back to the automatic ranges, as the undo of a zoom does, as one step.
    Effect returnHome();
    // Moves the visible time span by `spans` of its own width (negative: earlier).
    Effect scrollTime(double spans, const ChartLayout& layout);

    // [SECTION] View history
    // Every zoom, scroll, undo and keyboard move is a step: back() returns to the view
    // before the last step, forward() undoes a back(). Both return false when there is
    // no such view. A load clears the history.
    bool back();
    bool forward();
    void clearHistory();
    bool canGoBack() const { return !backViews_.empty(); }
    bool canGoForward() const { return !forwardViews_.empty(); }

  private:
    struct SavedScale {
        bool automatic;
        bool automaticMinimum;
        bool automaticMaximum;
        double minimum;
        double maximum;
    };

    // What a view step restores: the four axes and the zoom state.
    struct View {
        std::array<SavedScale, 4> axes;
        bool scalesSaved;
        std::array<SavedScale, 4> saved;
        bool zoomed;
    };
    View currentView() const;
    void showView(const View& view);
    // Remembers the view before a step; the views after it are dropped.
    void recordStep();
    // Sets the time axes to the fractions [from, to] of their visible spans.
    void setTimeFractions(double from, double to, const ChartLayout& layout);

    void saveScales();
    void zoomTo(int x0, int y0, int x1, int y1, const ChartLayout& layout);
    // The value-to-pixel map of an axis as it stands now: the pixels of the last
    // repaint (of the drawn twin for a hidden axis), with the stored range once zoom or
    // scroll has fixed it.
    AxisScale currentScale(const AxisState& state, const AxisLayout& painted,
                           bool paintedAxis) const;

    Chart& chart_;
    bool zoomDrag_ = false;
    bool scrollDrag_ = false;
    int x0_ = 0;
    int y0_ = 0;
    int x1_ = 0;
    int y1_ = 0;
    bool scalesSaved_ = false;
    bool zoomed_ = false;
    std::array<SavedScale, 4> saved_{};  // left, right, top, bottom
    bool scrollStepRecorded_ = false;    // the scroll drag under way is a step already
    std::vector<View> backViews_;
    std::vector<View> forwardViews_;
};

}  // namespace zp::chart
