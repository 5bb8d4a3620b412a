#include "chart_widget.h"

#include <QMouseEvent>
#include <QPainter>

#include "chart_render.h"

namespace zp::chart {

ChartWidget::ChartWidget(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    chart_.onInvalidate = [this] { update(); };
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

ChartLayout ChartWidget::renderTo(QPainter& painter, const QRect& target) {
    RenderOptions options;
    options.style = style();
    options.styleWidget = this;
    options.background = palette().color(QPalette::Button);
    return chart::render(painter, target, chart_, options);
}

void ChartWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    layout_ = renderTo(painter, rect());
    painted_ = true;
}

void ChartWidget::mousePressEvent(QMouseEvent* event) {
    if (handlePress(event->button(), event->position().toPoint())) event->accept();
}

void ChartWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click is a press like any other.
    if (handlePress(event->button(), event->position().toPoint())) event->accept();
}

void ChartWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit mouseMoved(event->modifiers(), p.x(), p.y());
}

void ChartWidget::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

bool ChartWidget::handlePress(Qt::MouseButton, const QPoint& pos) {
    if (pressLegend(pos)) return true;
    // Presses on the axis bands and the plot area start zoom and scroll drags.
    return false;
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
