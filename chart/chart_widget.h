// Chart1: the widget that shows a Chart, lays it out and draws it on every repaint,
// and turns mouse input into legend toggles, zoom and scroll.
#pragma once

#include <QWidget>

#include "chart_model.h"

namespace zp::chart {

class ChartWidget : public QWidget {
    Q_OBJECT
public:
    explicit ChartWidget(QWidget* parent = nullptr);

    Chart& chart() { return chart_; }
    const Chart& chart() const { return chart_; }

signals:
    // Emitted for every mouse movement over the chart, before the zoom and scroll
    // processing of that movement (the form's OnMouseMove hook).
    void mouseMoved(Qt::KeyboardModifiers modifiers, int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    Chart chart_;
};

}  // namespace zp::chart
