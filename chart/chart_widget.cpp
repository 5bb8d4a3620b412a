#include "chart_widget.h"

#include <QMouseEvent>
#include <QPainter>

namespace zp::chart {

ChartWidget::ChartWidget(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    chart_.onInvalidate = [this] { update(); };
}

void ChartWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
}

void ChartWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit mouseMoved(event->modifiers(), p.x(), p.y());
}

}  // namespace zp::chart
