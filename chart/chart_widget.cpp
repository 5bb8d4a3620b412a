#include "chart/chart_widget.h"

#include <QCursor>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWheelEvent>
#include <algorithm>

namespace zp::chart {

namespace {

// One wheel notch: the angle delta of one message of a classic wheel.
constexpr int kWheelNotch = 120;

// The zoom rectangle: the zoom pen (black, one pixel, solid), no fill.
void drawZoomRectangle(QPainter& painter, const QRect& rect) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(0, 0, 0), 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect);
}

}  // namespace

ChartWidget::ChartWidget(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A click or Tab gives the chart the keyboard (Escape ends a zoom drag).
    setFocusPolicy(Qt::StrongFocus);
    chart_.onInvalidate = [this] {
        pictureStale_ = true;
        update();
    };
}

const ChartLayout& ChartWidget::layout() const {
    if (!painted_) layout_ = layoutChart(chart_, PixelRect{0, 0, width(), height()});
    return layout_;
}

double ChartWidget::calcPosPoint(AxisId axis, int pixel) const {
    return layout().axis(axis).calcPosPoint(pixel);
}

QString ChartWidget::labelValue(AxisId axis, double value) const {
    return layout().axis(axis).labelValue(value);
}

RenderOptions ChartWidget::renderOptions() const {
    RenderOptions options;
    // The legend's check boxes as the platform draws them.
    options.checkBox = [this](QPainter& painter, const QRect& box, bool checked) {
        QStyleOptionButton option;
        option.rect = box;
        option.state = QStyle::State_Enabled | (checked ? QStyle::State_On : QStyle::State_Off);
        option.palette = palette();
        style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter, this);
    };
    options.background = palette().color(QPalette::Button);
    return options;
}

ChartLayout ChartWidget::renderTo(QPainter& painter, const QRect& target) {
    return chart::render(painter, target, chart_, renderOptions());
}

QPoint ChartWidget::cursorPosition() const {
    if (cursorSource_) return cursorSource_();
    return mapFromGlobal(QCursor::pos());
}

ChartWidget::CursorValues ChartWidget::cursorValues() const {
    const QPoint pos = cursorPosition();
    return CursorValues{calcPosPoint(AxisId::Bottom, pos.x()), calcPosPoint(AxisId::Left, pos.y())};
}

void ChartWidget::paintEvent(QPaintEvent*) {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    // A full repaint lays the chart out again; a repaint for the zoom rectangle alone
    // reuses the last picture.
    if (pictureStale_ || !overlayOnly_ || picture_.size() != pixels) {
        picture_ = QPixmap(pixels);
        picture_.setDevicePixelRatio(ratio);
        QPainter onPicture(&picture_);
        layout_ = renderTo(onPicture, rect());
        painted_ = true;
        pictureStale_ = false;
        emit repainted();
    }
    overlayOnly_ = false;
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
    // The rectangle of a zoom drag is the last thing drawn, so it stays visible.
    if (zoomScroll_.zoomDragActive()) drawZoomRectangle(painter, zoomScroll_.zoomRectangle());
}

void ChartWidget::resizeEvent(QResizeEvent* event) {
    pictureStale_ = true;
    QWidget::resizeEvent(event);
}

void ChartWidget::changeEvent(QEvent* event) {
    // Palette, style and font changes alter the picture.
    pictureStale_ = true;
    QWidget::changeEvent(event);
}

void ChartWidget::keyPressEvent(QKeyEvent* event) {
    for (const ChartKey& key : chartKeys()) {
        if (key.matches(event->key(), event->modifiers()) && performKey(key.action)) {
            event->accept();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

bool ChartWidget::performKey(KeyAction action) {
    // During a drag the keys wait, except Escape, which ends a zoom drag.
    if (action == KeyAction::CancelZoomDrag) {
        if (!zoomScroll_.zoomDragActive()) return false;
        apply(zoomScroll_.cancelZoomDrag());
        return true;
    }
    if (zoomScroll_.dragActive()) return false;
    const ChartLayout& painted = layout();
    switch (action) {
        case KeyAction::ZoomIn:
        case KeyAction::ZoomOut:
            apply(zoomScroll_.zoomTime(action == KeyAction::ZoomIn ? 0.5 : 2.0,
                                       zoomCentre_ ? zoomCentre_() : std::nullopt, painted));
            return true;
        case KeyAction::CursorALeft:
        case KeyAction::CursorARight:
        case KeyAction::CursorBLeft:
        case KeyAction::CursorBRight:
            return moveCursorByPixel(action);
        case KeyAction::ScrollTenthEarlier:
            apply(zoomScroll_.scrollTime(-0.1, painted));
            return true;
        case KeyAction::ScrollTenthLater:
            apply(zoomScroll_.scrollTime(0.1, painted));
            return true;
        case KeyAction::ScrollSpanEarlier:
            apply(zoomScroll_.scrollTime(-1.0, painted));
            return true;
        case KeyAction::ScrollSpanLater:
            apply(zoomScroll_.scrollTime(1.0, painted));
            return true;
        case KeyAction::WholeLog:
            apply(zoomScroll_.returnHome());
            return true;
        case KeyAction::PreviousView:
            return zoomScroll_.back();
        case KeyAction::NextView:
            return zoomScroll_.forward();
        case KeyAction::CancelZoomDrag:
            break;
    }
    return false;
}

bool ChartWidget::moveCursorByPixel(KeyAction action) {
    const bool b = action == KeyAction::CursorBLeft || action == KeyAction::CursorBRight;
    const std::optional<double>& cursor = b ? chart_.cursorB : chart_.cursorA;
    // Without the cursor placed the key is left to the entries after it.
    if (!cursor) return false;
    const AxisScale& scale = layout().bottom.scale;
    const double perPixel = scale.size() > 0 ? scale.range() / scale.size() : 0.0;
    const bool left = action == KeyAction::CursorALeft || action == KeyAction::CursorBLeft;
    placeCursor(b ? Cursor::B : Cursor::A, *cursor + (left ? -perPixel : perPixel));
    return true;
}

void ChartWidget::placeCursor(Cursor which, std::optional<double> x) {
    (which == Cursor::A ? chart_.cursorA : chart_.cursorB) = x;
    chart_.invalidate();
    emit cursorsChanged();
}

void ChartWidget::clearCursors() {
    cursorDrag_.reset();
    if (!chart_.cursorA && !chart_.cursorB) return;
    chart_.cursorA.reset();
    chart_.cursorB.reset();
    chart_.invalidate();
    emit cursorsChanged();
}

double ChartWidget::plotX(int pixel) const {
    const PixelRect& plot = layout().plot;
    return calcPosPoint(AxisId::Bottom, std::clamp(pixel, plot.left, plot.right));
}

bool ChartWidget::event(QEvent* event) {
    // A drag's release never arrives once another window has taken the mouse or this
    // window has lost the focus; the drag ends there instead of waiting for it.
    switch (event->type()) {
        case QEvent::UngrabMouse:
        case QEvent::WindowDeactivate:
        case QEvent::FocusOut:
        case QEvent::Hide:
            cursorDrag_.reset();
            if (timeDragFrom_) {
                timeDragFrom_.reset();
                if (timeDrag_.moved) timeDrag_.moved(0.0, true);
            }
            if (zoomScroll_.dragActive()) apply(zoomScroll_.abandonDrag());
            break;
        case QEvent::ActivationChange:
            if (!isActiveWindow() && zoomScroll_.dragActive()) apply(zoomScroll_.abandonDrag());
            break;
        default:
            break;
    }
    return QWidget::event(event);
}

void ChartWidget::apply(ZoomScroll::Effect effect) {
    switch (effect) {
        case ZoomScroll::Effect::None:
            break;
        case ZoomScroll::Effect::Overlay:
            overlayOnly_ = true;
            update();
            break;
        case ZoomScroll::Effect::Invalidated:
            break;  // the chart invalidated itself
    }
}

void ChartWidget::mousePressEvent(QMouseEvent* event) {
    if (pressTimeDrag(*event) || pressCursor(*event) ||
        handlePress(event->button(), event->position().toPoint()))
        event->accept();
}

void ChartWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click is a press like any other.
    if (pressTimeDrag(*event) || pressCursor(*event) ||
        handlePress(event->button(), event->position().toPoint()))
        event->accept();
}

bool ChartWidget::pressCursor(const QMouseEvent& event) {
    // Ctrl with a press over the plot area places a measurement cursor; every other
    // press goes on as it does without cursors.
    const QPoint p = event.position().toPoint();
    if (!(event.modifiers() & Qt::ControlModifier) || zoomScroll_.dragActive() ||
        (event.button() != Qt::LeftButton && event.button() != Qt::RightButton) ||
        !layout().plot.contains(p.x(), p.y()))
        return false;
    cursorDrag_ = event.button() == Qt::LeftButton ? Cursor::A : Cursor::B;
    placeCursor(*cursorDrag_, plotX(p.x()));
    return true;
}

bool ChartWidget::pressTimeDrag(const QMouseEvent& event) {
    const QPoint p = event.position().toPoint();
    if (timeDragFrom_) return true;  // a second button during the drag is ignored
    if (!timeDrag_.starts || !timeDrag_.moved || event.button() != Qt::LeftButton ||
        (event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) != Qt::ShiftModifier ||
        zoomScroll_.dragActive() || !layout().plot.contains(p.x(), p.y()) || !timeDrag_.starts())
        return false;
    const AxisScale& scale = layout().bottom.scale;
    timeDragPerPixel_ = scale.size() > 0 ? scale.range() / scale.size() : 0.0;
    timeDragFrom_ = p.x();
    return true;
}

void ChartWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    // The window's readout hook sees every movement before zoom and scroll act on it.
    emit mouseMoved(event->modifiers(), p.x(), p.y());
    if (timeDragFrom_) {
        timeDrag_.moved((p.x() - *timeDragFrom_) * timeDragPerPixel_, false);
        return;
    }
    if (cursorDrag_) {
        placeCursor(*cursorDrag_, plotX(p.x()));
        return;
    }
    apply(zoomScroll_.move(p.x(), p.y(), layout()));
}

void ChartWidget::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (timeDragFrom_) {
        if (event->button() == Qt::LeftButton) {
            const int from = *timeDragFrom_;
            timeDragFrom_.reset();
            timeDrag_.moved((p.x() - from) * timeDragPerPixel_, true);
        }
        event->accept();
        return;
    }
    if (cursorDrag_) {
        cursorDrag_.reset();
        event->accept();
        return;
    }
    apply(zoomScroll_.release(event->button(), p.x(), p.y(), layout()));
    event->accept();
}

void ChartWidget::wheelEvent(QWheelEvent* event) {
    // Fine-grained wheels deliver parts of a notch; each whole notch is one step.
    wheelRemainder_ += event->angleDelta().y();
    const int notches = wheelRemainder_ / kWheelNotch;
    wheelRemainder_ -= notches * kWheelNotch;
    apply(zoomScroll_.wheel(notches, layout()));
    event->accept();
}

bool ChartWidget::handlePress(Qt::MouseButton button, const QPoint& pos) {
    // While a drag is active every other press is ignored, legend items included.
    if (zoomScroll_.dragActive()) return true;
    if (pressLegend(pos)) return true;
    if (!zoomScroll_.press(button, pos.x(), pos.y(), layout())) return false;
    // The degenerate rectangle of a new zoom drag.
    if (zoomScroll_.zoomDragActive()) apply(ZoomScroll::Effect::Overlay);
    return true;
}

bool ChartWidget::pressLegend(const QPoint& pos) {
    const int series = layout().legend.seriesAt(pos.x(), pos.y());
    if (series < 0) return false;
    LineSeries& s = chart_.series[static_cast<std::size_t>(series)];
    s.active = !s.active;
    chart_.invalidate();
    emit seriesToggled(series);
    return true;
}

}  // namespace zp::chart
