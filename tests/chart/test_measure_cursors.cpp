// The measurement cursors and the limit lines on the chart: drawn only when set, by the
// one render routine; placed with Ctrl and the mouse or keys while every press without
// Ctrl still zooms and scrolls; a time range shown as one undoable view step.
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QtTest>

#include "chart/chart_render.h"
#include "chart/chart_widget.h"

using namespace zp::chart;

namespace {

Chart sampleChart() {
    Chart chart;
    LineSeries s;
    s.title = QStringLiteral("Volts");
    s.color = QColor(255, 0, 0);
    s.active = true;
    s.xDateTime = true;
    for (int i = 0; i <= 60; ++i) s.points.append(45000.0 + i / 86400.0, 10.0 + (i % 7));
    chart.series.push_back(std::move(s));
    return chart;
}

QImage renderImage(Chart& chart) {
    QImage image(600, 400, QImage::Format_RGB32);
    QPainter painter(&image);
    render(painter, image.rect(), chart, RenderOptions{nullptr, Qt::gray});
    return image;
}

void press(QWidget& w, QEvent::Type type, Qt::MouseButton button, QPoint p,
           Qt::KeyboardModifiers modifiers) {
    QMouseEvent event(type, QPointF(p), w.mapToGlobal(QPointF(p)), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : button, modifiers);
    QApplication::sendEvent(&w, &event);
}

}  // namespace

class TestMeasureCursors : public QObject {
    Q_OBJECT
  private slots:
    // Each addition changes the picture only while set; unset, the pixels are those of
    // a chart that never had it.
    void drawnOnlyWhenSet_data() {
        QTest::addColumn<int>("what");
        QTest::newRow("cursor A") << 0;
        QTest::newRow("cursor B") << 1;
        QTest::newRow("lower limit") << 2;
        QTest::newRow("upper limit") << 3;
    }
    void drawnOnlyWhenSet() {
        QFETCH(int, what);
        Chart plain = sampleChart();
        const QImage reference = renderImage(plain);
        Chart chart = sampleChart();
        const double middle = 45000.0 + 30.0 / 86400.0;
        switch (what) {
            case 0:
                chart.cursorA = middle;
                break;
            case 1:
                chart.cursorB = middle;
                break;
            case 2:
                chart.series[0].lowerLimit = 12.0;
                break;
            case 3:
                chart.series[0].upperLimit = 15.0;
                break;
        }
        QVERIFY(renderImage(chart) != reference);
        chart.cursorA.reset();
        chart.cursorB.reset();
        // A limit of an inactive series is not drawn.
        chart.series[0].active = false;
        plain.series[0].active = false;
        QCOMPARE(renderImage(chart), renderImage(plain));
        chart.series[0].lowerLimit.reset();
        chart.series[0].upperLimit.reset();
        chart.series[0].active = true;
        QCOMPARE(renderImage(chart), reference);
    }

    void cursorLabelTime() { QCOMPARE(cursorTimeText(45000.0 + 3723.0 / 86400.0), "01:02:03"); }

    void ctrlPressPlacesCursorsAndPlainPressStillZooms() {
        ChartWidget widget;
        widget.chart().series = sampleChart().series;
        widget.resize(600, 400);
        widget.grab();
        QSignalSpy changed(&widget, &ChartWidget::cursorsChanged);
        const PixelRect plot = widget.layout().plot;
        const QPoint a(plot.left + 100, plot.top + 50);
        press(widget, QEvent::MouseButtonPress, Qt::LeftButton, a, Qt::ControlModifier);
        QVERIFY(!widget.zoomScroll().dragActive());
        press(widget, QEvent::MouseButtonRelease, Qt::LeftButton, a, Qt::ControlModifier);
        QVERIFY(widget.chart().cursorA);
        QCOMPARE(*widget.chart().cursorA, widget.calcPosPoint(AxisId::Bottom, a.x()));
        // A Ctrl drag moves the cursor along.
        const QPoint b(plot.left + 200, plot.top + 50);
        press(widget, QEvent::MouseButtonPress, Qt::RightButton, b, Qt::ControlModifier);
        QMouseEvent move(QEvent::MouseMove, QPointF(b + QPoint(30, 0)),
                         widget.mapToGlobal(QPointF(b)), Qt::NoButton, Qt::RightButton,
                         Qt::ControlModifier);
        QApplication::sendEvent(&widget, &move);
        press(widget, QEvent::MouseButtonRelease, Qt::RightButton, b, Qt::ControlModifier);
        QCOMPARE(*widget.chart().cursorB, widget.calcPosPoint(AxisId::Bottom, b.x() + 30));
        // The second press of a Ctrl double click places the cursor again, not a zoom drag.
        press(widget, QEvent::MouseButtonDblClick, Qt::LeftButton, a, Qt::ControlModifier);
        QVERIFY(!widget.zoomScroll().dragActive());
        press(widget, QEvent::MouseButtonRelease, Qt::LeftButton, a, Qt::ControlModifier);
        QVERIFY(!widget.zoomScroll().zoomed());
        QVERIFY(changed.count() >= 3);

        // Ctrl+Left moves A one pixel earlier; with Shift, B.
        const double beforeA = *widget.chart().cursorA;
        const double beforeB = *widget.chart().cursorB;
        QTest::keyClick(&widget, Qt::Key_Left, Qt::ControlModifier);
        QVERIFY(*widget.chart().cursorA < beforeA);
        QTest::keyClick(&widget, Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(*widget.chart().cursorB > beforeB);
        QVERIFY(!widget.zoomScroll().canGoBack());

        // Without Ctrl a left drag to the lower right zooms as before.
        const QPoint from(plot.left + 50, plot.top + 20);
        const QPoint to(plot.left + 250, plot.top + 200);
        press(widget, QEvent::MouseButtonPress, Qt::LeftButton, from, Qt::NoModifier);
        QVERIFY(widget.zoomScroll().zoomDragActive());
        QMouseEvent drag(QEvent::MouseMove, QPointF(to), widget.mapToGlobal(QPointF(to)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&widget, &drag);
        press(widget, QEvent::MouseButtonRelease, Qt::LeftButton, to, Qt::NoModifier);
        QVERIFY(widget.zoomScroll().zoomed());

        // And a right drag without Ctrl scrolls as before.
        widget.grab();
        const double zoomedMinimum = widget.chart().bottomAxis.minimum;
        press(widget, QEvent::MouseButtonPress, Qt::RightButton, to, Qt::NoModifier);
        QVERIFY(widget.zoomScroll().scrollDragActive());
        QMouseEvent scroll(QEvent::MouseMove, QPointF(to - QPoint(40, 0)),
                           widget.mapToGlobal(QPointF(to)), Qt::NoButton, Qt::RightButton,
                           Qt::NoModifier);
        QApplication::sendEvent(&widget, &scroll);
        press(widget, QEvent::MouseButtonRelease, Qt::RightButton, to, Qt::NoModifier);
        QVERIFY(widget.chart().bottomAxis.minimum != zoomedMinimum);

        widget.clearCursors();
        QVERIFY(!widget.chart().cursorA && !widget.chart().cursorB);
        // Without a cursor Ctrl+Left scrolls the time axis as Left does.
        widget.grab();
        const double minimum = widget.chart().bottomAxis.minimum;
        QTest::keyClick(&widget, Qt::Key_Left, Qt::ControlModifier);
        QVERIFY(widget.chart().bottomAxis.minimum < minimum);
    }

    void timeRangeIsOneStep() {
        ChartWidget widget;
        widget.chart().series = sampleChart().series;
        widget.resize(600, 400);
        widget.grab();
        const double from = 45000.0 + 10.0 / 86400.0;
        const double to = 45000.0 + 20.0 / 86400.0;
        widget.zoomScroll().showTimeRange(from, to, widget.layout());
        QVERIFY(qAbs(widget.chart().bottomAxis.minimum - from) < 1e-9);
        QVERIFY(qAbs(widget.chart().bottomAxis.maximum - to) < 1e-9);
        QVERIFY(!widget.chart().bottomAxis.automatic);
        QVERIFY(widget.zoomScroll().back());
        QVERIFY(widget.chart().bottomAxis.automatic);
    }
};

QTEST_MAIN(TestMeasureCursors)
#include "test_measure_cursors.moc"
