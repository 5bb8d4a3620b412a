// The widget that shows a Chart. It draws through render() on every repaint,
// keeps that repaint's layout for mouse handling, turns presses on legend items into
// series toggles and feeds every other press, move, release and wheel notch to the
// zoom and scroll state machine. Event handlers never paint; they change chart state
// and invalidate.
#pragma once

#include <QPixmap>
#include <QWidget>
#include <functional>
#include <optional>

#include "chart/chart_keys.h"
#include "chart/chart_layout.h"
#include "chart/chart_model.h"
#include "chart/chart_render.h"
#include "chart/zoom_scroll.h"

namespace zp::chart {

class ChartWidget : public QWidget {
    Q_OBJECT
  public:
    explicit ChartWidget(QWidget* parent = nullptr);

    Chart& chart() { return chart_; }
    const Chart& chart() const { return chart_; }

    // The layout of the last repaint: plot area, axis ranges and pixels, legend. Before
    // the first repaint it is computed for the current size (ranges are not stored).
    const ChartLayout& layout() const;

    // The value of an axis at a pixel by the last repaint's range.
    double calcPosPoint(AxisId axis, int pixel) const;
    // The label text of a value on an axis.
    QString labelValue(AxisId axis, double value) const;

    // Draws the chart as the screen shows it onto another painter within `target`
    // (bitmap export, printing); the widget's own layout is not changed.
    ChartLayout renderTo(QPainter& painter, const QRect& target);
    // The look the screen uses: the platform check boxes and the panel colour.
    RenderOptions renderOptions() const;

    // Mouse zoom and scroll (drag state, saved scales, zoom to a rectangle and undo).
    ZoomScroll& zoomScroll() { return zoomScroll_; }
    const ZoomScroll& zoomScroll() const { return zoomScroll_; }

    // The mouse pointer in client coordinates, read from the system now (not from the
    // last event). Tests replace the source with setCursorSource().
    QPoint cursorPosition() const;
    void setCursorSource(std::function<QPoint()> source) { cursorSource_ = std::move(source); }

    // The bottom axis value and the left axis value at the pointer's
    // current position.
    struct CursorValues {
        double x = 0.0;
        double y = 0.0;
    };
    CursorValues cursorValues() const;

    // Where + and - zoom the time axis: an X value, or none for the middle of the span
    // (the owner points it at a measurement cursor).
    void setZoomCentre(std::function<std::optional<double>()> centre) {
        zoomCentre_ = std::move(centre);
    }

    QSize sizeHint() const override { return QSize(794, 499); }

    // The measurement cursors. With Ctrl held, a left press over the plot area places
    // cursor A there and a right press cursor B, and dragging moves it; Ctrl+Left and
    // Ctrl+Right move cursor A by one pixel's worth of time, with Shift as well cursor B.
    enum class Cursor { A, B };
    void placeCursor(Cursor which, std::optional<double> x);
    void clearCursors();

    // A drag that moves something along the time axis (an overlaid log): with Shift held
    // and no Ctrl, a left press over the plot area starts it when `starts` says so; each
    // move, and the release (`done`), passes the X distance from the press, counted at
    // the X per pixel of the press, so a repaint that rescales the axis does not feed
    // back into the drag. Without a handler such a press goes on as any other.
    struct TimeDrag {
        std::function<bool()> starts;
        std::function<void(double deltaX, bool done)> moved;
    };
    void setTimeDrag(TimeDrag drag) { timeDrag_ = std::move(drag); }
    bool timeDragActive() const { return timeDragFrom_.has_value(); }

  signals:
    // Emitted for every mouse movement over the chart, before the zoom and scroll
    // processing of that movement (the readout hook of the window).
    void mouseMoved(Qt::KeyboardModifiers modifiers, int x, int y);
    // A press on a legend item switched the series at `seriesIndex` on or off.
    void seriesToggled(int seriesIndex);
    // A measurement cursor was placed, moved or removed.
    void cursorsChanged();
    // A full repaint laid the chart out again (zoom, scroll, toggles, loads, resizes).
    void repainted();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

  private:
    // A press of any button: the legend is tested first; a press on an item toggles
    // its series and is consumed. Returns true when the press was consumed.
    bool handlePress(Qt::MouseButton button, const QPoint& pos);
    bool pressLegend(const QPoint& pos);
    // A Ctrl press of the left or right button over the plot area: places cursor A or B
    // and starts moving it. Returns true when the press was taken.
    bool pressCursor(const QMouseEvent& event);
    // A Shift press of the left button over the plot area that starts a time drag.
    bool pressTimeDrag(const QMouseEvent& event);

    void apply(ZoomScroll::Effect effect);
    // Does what a key of the chart's key table does (chart_keys.h); false when it cannot
    // act now, which leaves the key to the table's later entries.
    bool performKey(KeyAction action);
    // Moves a placed cursor by one pixel's worth of time; false without that cursor.
    bool moveCursorByPixel(KeyAction action);
    // The X of a pixel column clamped into the plot area.
    double plotX(int pixel) const;

    Chart chart_;
    ZoomScroll zoomScroll_{chart_};
    mutable ChartLayout layout_;
    mutable bool painted_ = false;
    // The picture of the last full repaint. While only the zoom rectangle changes, a
    // repaint copies it and draws the rectangle over it instead of laying out again.
    QPixmap picture_;
    bool pictureStale_ = true;
    bool overlayOnly_ = false;
    int wheelRemainder_ = 0;  // angle delta short of a whole notch
    std::function<QPoint()> cursorSource_;
    std::function<std::optional<double>()> zoomCentre_;
    std::optional<Cursor> cursorDrag_;  // the cursor a Ctrl drag moves
    TimeDrag timeDrag_;
    // The pixel column where the time drag began and the X per pixel then.
    std::optional<int> timeDragFrom_;
    double timeDragPerPixel_ = 0.0;
};

}  // namespace zp::chart
