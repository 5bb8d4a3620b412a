// Mouse zoom and scroll: the state machine over a computed layout, and the widget
// driven with real mouse and wheel events, checked by what the next repaint shows.
#include <QLocale>
#include <QSignalSpy>
#include <QWheelEvent>
#include <QtTest>
#include <cmath>

#include "chart/chart_widget.h"
#include "chart/zoom_scroll.h"
#include "tests/support/fake_measurer.h"

using namespace zp::chart;

namespace {

LineSeries makeSeries(const QString& title, const QColor& colour, bool active) {
    LineSeries s;
    s.name = title + QStringLiteral("Series");
    s.title = title;
    s.color = colour;
    s.active = active;
    return s;
}

// Volts (active) on the diagonal (i, i) for i = 0..100; Amps (inactive) level at 50.
void fillChart(Chart& chart) {
    chart.series.clear();
    chart.series.push_back(makeSeries(QStringLiteral("Volts"), QColor(255, 0, 0), true));
    chart.series.push_back(makeSeries(QStringLiteral("Amps"), QColor(0, 0, 255), false));
    for (int i = 0; i <= 100; ++i) {
        chart.series[0].points.append(i, i);
        chart.series[1].points.append(i, 50.0);
    }
    chart.bottomAxis.title = QStringLiteral("Date");
}

// A repainted widget of the design size showing fillChart().
struct Fixture {
    ChartWidget widget;
    Fixture() {
        fillChart(widget.chart());
        widget.resize(794, 499);
        repaint();
    }
    void repaint() { widget.grab(); }
    const ChartLayout& layout() const { return widget.layout(); }
    const PixelRect& plot() const { return widget.layout().plot; }
    QPoint inPlot(int dx, int dy) const { return QPoint(plot().left + dx, plot().top + dy); }
};

void drag(QWidget& widget, Qt::MouseButton button, QPoint from, QPoint to) {
    QTest::mousePress(&widget, button, {}, from);
    QTest::mouseMove(&widget, to);
    QTest::mouseRelease(&widget, button, {}, to);
}

void wheel(QWidget& widget, int angle) {
    const QPointF pos(widget.width() / 2.0, widget.height() / 2.0);
    QWheelEvent event(pos, widget.mapToGlobal(pos), QPoint(), QPoint(0, angle), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
}

struct Range {
    double minimum;
    double maximum;
};
Range shownRange(const AxisLayout& axis) {
    return Range{axis.minimum(), axis.maximum()};
}

bool automatic(const AxisState& axis) {
    return axis.automatic && axis.automaticMinimum && axis.automaticMaximum;
}

// Relative closeness for axis values that went through pixel arithmetic.
bool near(double a, double b, double tolerance = 1e-9) {
    return std::fabs(a - b) <= tolerance * std::max(1.0, std::max(std::fabs(a), std::fabs(b)));
}

}  // namespace

class ZoomScrollTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void setMinMax_swapsAndWidens_data();
    void setMinMax_swapsAndWidens();
    void pressTarget_axisBandsAndPlot_data();
    void pressTarget_axisBandsAndPlot();
    void zoomRect_twiceWithoutRepaintNests();
    void zoomRect_setsHiddenAxesAndUndoRestoresAll();

    void zoom_dragThreshold_data();
    void zoom_dragThreshold();
    void zoom_rectangleFillsPlotAfterRepaint();
    void undo_afterTwoZoomsReturnsToAutomatic_data();
    void undo_afterTwoZoomsReturnsToAutomatic();
    void undo_followsPointsLoadedWhileZoomed();
    void scroll_followsMouseAndZoomOutRestores();
    void scroll_leavingPlotEndsDrag();
    void press_emptyPlotWithoutActiveSeriesStartsNothing();
    void press_legendNeverStartsDrag();
    void press_otherButtonsDuringDrag();
    void wheel_scrollsValueAxisByNotches();
    void zoomRectangle_drawnDuringDragAndErased();
    void mouseMoved_firesBeforeScrollProcessing();
    void drag_endsWithoutItsRelease_data();
    void drag_endsWithoutItsRelease();
    void escape_cancelsOnlyAZoomDrag();
    void keys_moveTheTimeAxis_data();
    void keys_moveTheTimeAxis();
    void keys_zoomAroundGivenCentre();
    void history_backAndForwardThroughEverySteps();
};

// [SECTION] State machine on a computed layout

void ZoomScrollTest::setMinMax_swapsAndWidens_data() {
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("wantMinimum");
    QTest::addColumn<double>("wantMaximum");
    QTest::newRow("in order") << 1.0 << 5.0 << 1.0 << 5.0;
    QTest::newRow("swapped") << 5.0 << 1.0 << 1.0 << 5.0;
    QTest::newRow("equal widened") << 3.0 << 3.0 << 3.0 << 3.0 + 1e-10;
    QTest::newRow("thin widened") << 2.0 << 2.0 + 1e-12 << 2.0 << 2.0 + 1e-10;
}

void ZoomScrollTest::setMinMax_swapsAndWidens() {
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, wantMinimum);
    QFETCH(double, wantMaximum);
    AxisState axis;
    setMinMax(axis, minimum, maximum);
    QVERIFY(!axis.automatic && !axis.automaticMinimum && !axis.automaticMaximum);
    QCOMPARE(axis.minimum, wantMinimum);
    QCOMPARE(axis.maximum, wantMaximum);
}

void ZoomScrollTest::pressTarget_axisBandsAndPlot_data() {
    QTest::addColumn<bool>("anyActive");
    QTest::addColumn<int>("dx");  // from the plot's left edge
    QTest::addColumn<int>("dy");  // from the plot's bottom edge
    QTest::addColumn<int>("want");
    const int none = static_cast<int>(PressTarget::None);
    const int bottom = static_cast<int>(PressTarget::BottomAxis);
    const int left = static_cast<int>(PressTarget::LeftAxis);
    const int plot = static_cast<int>(PressTarget::PlotArea);
    // Bottom band: from 3 pixels inside the plot down to the label position.
    QTest::newRow("bottom band inner edge") << false << 50 << -3 << bottom;
    QTest::newRow("above bottom band, no series") << false << 50 << -4 << none;
    QTest::newRow("above bottom band, series") << true << 50 << -4 << plot;
    QTest::newRow("bottom band at labels") << false << 50 << 7 << bottom;
    QTest::newRow("bottom labels") << false << 50 << 8 << none;
    // Left band: from the label position to 3 pixels inside the plot.
    QTest::newRow("left band inner edge") << false << 3 << -50 << left;
    QTest::newRow("right of left band, no series") << false << 4 << -50 << none;
    QTest::newRow("right of left band, series") << true << 4 << -50 << plot;
    QTest::newRow("left band at labels") << false << -7 << -50 << left;
    QTest::newRow("left labels") << false << -8 << -50 << none;
}

void ZoomScrollTest::pressTarget_axisBandsAndPlot() {
    QFETCH(bool, anyActive);
    QFETCH(int, dx);
    QFETCH(int, dy);
    QFETCH(int, want);
    Chart chart;
    fillChart(chart);
    chart.series[0].active = anyActive;
    const FakeMeasurer measurer;
    const ChartLayout layout = layoutChart(chart, PixelRect{0, 0, 794, 499}, measurer, 9);
    const int x = layout.plot.left + dx;
    const int y = layout.plot.bottom + dy;
    QCOMPARE(static_cast<int>(pressTarget(layout, chart, x, y)), want);
}

void ZoomScrollTest::zoomRect_twiceWithoutRepaintNests() {
    // The second zoom reads the range the first one set, not the stale repaint's.
    Chart chart;
    fillChart(chart);
    const FakeMeasurer measurer;
    const ChartLayout layout = layoutChart(chart, PixelRect{0, 0, 794, 499}, measurer, 9);
    storeAutomaticRanges(chart, layout);
    ZoomScroll zoom(chart);
    const PixelRect& p = layout.plot;
    const QRect half(p.left, p.top, p.width() / 2, p.height() / 2);
    zoom.zoomRect(half, layout);
    const double firstMin = chart.bottomAxis.minimum;
    const double firstMax = chart.bottomAxis.maximum;
    zoom.zoomRect(half, layout);
    QCOMPARE(chart.bottomAxis.minimum, firstMin);
    QVERIFY(near(chart.bottomAxis.maximum - firstMin, (firstMax - firstMin) / 2, 1e-2));
}

void ZoomScrollTest::zoomRect_setsHiddenAxesAndUndoRestoresAll() {
    Chart chart;
    fillChart(chart);
    chart.topAxis.minimum = 7.0;
    chart.topAxis.maximum = 9.0;
    const FakeMeasurer measurer;
    const ChartLayout layout = layoutChart(chart, PixelRect{0, 0, 794, 499}, measurer, 9);
    storeAutomaticRanges(chart, layout);
    const Chart before = chart;
    ZoomScroll zoom(chart);
    const PixelRect& p = layout.plot;
    zoom.zoomRect(QRect(p.left, p.top, p.width() / 2, p.height() / 2), layout);
    QVERIFY(zoom.zoomed());
    for (const AxisState* axis :
         {&chart.leftAxis, &chart.rightAxis, &chart.topAxis, &chart.bottomAxis})
        QVERIFY(!automatic(*axis));
    // The hidden top axis spans the bottom axis' pixels with its own range.
    QCOMPARE(chart.topAxis.minimum, 7.0);
    QVERIFY(near(chart.topAxis.maximum, 7.0 + 2.0 * (p.width() / 2) / p.width()));

    zoom.undoZoom();
    QVERIFY(!zoom.zoomed());
    QVERIFY(!zoom.scalesSaved());
    auto same = [](const AxisState& a, const AxisState& b) {
        return a.automatic == b.automatic && a.automaticMinimum == b.automaticMinimum &&
               a.automaticMaximum == b.automaticMaximum && a.minimum == b.minimum &&
               a.maximum == b.maximum;
    };
    QVERIFY(same(chart.leftAxis, before.leftAxis));
    QVERIFY(same(chart.rightAxis, before.rightAxis));
    QVERIFY(same(chart.topAxis, before.topAxis));
    QVERIFY(same(chart.bottomAxis, before.bottomAxis));
}

// [SECTION] The widget under mouse events

void ZoomScrollTest::zoom_dragThreshold_data() {
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("dy");
    QTest::addColumn<bool>("zooms");
    QTest::newRow("17 x 17") << 17 << 17 << true;
    QTest::newRow("17 x 17 upwards") << 17 << -17 << true;
    QTest::newRow("16 wide") << 16 << 40 << false;
    QTest::newRow("16 high") << 40 << 16 << false;
    QTest::newRow("16 high upwards") << 40 << -16 << false;
    QTest::newRow("long and flat") << 200 << 10 << false;
    QTest::newRow("click") << 0 << 0 << false;
}

void ZoomScrollTest::zoom_dragThreshold() {
    QFETCH(int, dx);
    QFETCH(int, dy);
    QFETCH(bool, zooms);
    Fixture f;
    const Range bottom = shownRange(f.layout().bottom);
    const Range left = shownRange(f.layout().left);
    const QPoint from = f.inPlot(100, 100);
    drag(f.widget, Qt::LeftButton, from, from + QPoint(dx, dy));
    QVERIFY(!f.widget.zoomScroll().dragActive());
    QCOMPARE(f.widget.zoomScroll().zoomed(), zooms);
    QCOMPARE(automatic(f.widget.chart().bottomAxis), !zooms);
    QCOMPARE(automatic(f.widget.chart().leftAxis), !zooms);
    f.repaint();
    if (!zooms) {
        QCOMPARE(f.layout().bottom.minimum(), bottom.minimum);
        QCOMPARE(f.layout().left.maximum(), left.maximum);
    } else {
        QVERIFY(f.layout().bottom.maximum() - f.layout().bottom.minimum() <
                (bottom.maximum - bottom.minimum) / 10);
        QVERIFY(f.layout().left.maximum() - f.layout().left.minimum() <
                (left.maximum - left.minimum) / 10);
    }
}

void ZoomScrollTest::zoom_rectangleFillsPlotAfterRepaint() {
    // What lay under the rectangle's edges lies at the axis ends after the zoom (the
    // plot area itself may narrow or widen with the new value labels).
    Fixture f;
    const ChartLayout before = f.layout();
    const QPoint from = f.inPlot(150, 200);
    const QPoint to = f.inPlot(450, 40);  // right and up
    drag(f.widget, Qt::LeftButton, from, to);
    f.repaint();
    const ChartLayout& after = f.layout();
    QVERIFY(near(after.bottom.minimum(), before.bottom.calcPosPoint(from.x())));
    QVERIFY(near(after.bottom.maximum(), before.bottom.calcPosPoint(to.x())));
    QVERIFY(near(after.left.minimum(), before.left.calcPosPoint(from.y())));
    QVERIFY(near(after.left.maximum(), before.left.calcPosPoint(to.y())));
    QCOMPARE(after.bottom.calcPosPoint(after.plot.left), after.bottom.minimum());
    QCOMPARE(after.left.calcPosPoint(after.plot.top), after.left.maximum());
}

void ZoomScrollTest::undo_afterTwoZoomsReturnsToAutomatic_data() {
    QTest::addColumn<int>("dy");
    QTest::newRow("up and left") << -40;
    QTest::newRow("down and left") << 40;
}

void ZoomScrollTest::undo_afterTwoZoomsReturnsToAutomatic() {
    QFETCH(int, dy);
    Fixture f;
    const Range bottom = shownRange(f.layout().bottom);
    const Range left = shownRange(f.layout().left);
    drag(f.widget, Qt::LeftButton, f.inPlot(50, 50), f.inPlot(300, 250));
    f.repaint();
    drag(f.widget, Qt::LeftButton, f.inPlot(60, 60), f.inPlot(200, 150));
    f.repaint();
    QVERIFY(f.layout().bottom.maximum() < bottom.maximum / 2);

    const QPoint from = f.inPlot(300, 100);
    drag(f.widget, Qt::LeftButton, from, from + QPoint(-40, dy));
    QVERIFY(!f.widget.zoomScroll().zoomed());
    QVERIFY(automatic(f.widget.chart().bottomAxis));
    QVERIFY(automatic(f.widget.chart().leftAxis));
    f.repaint();
    QCOMPARE(f.layout().bottom.minimum(), bottom.minimum);
    QCOMPARE(f.layout().bottom.maximum(), bottom.maximum);
    QCOMPARE(f.layout().left.minimum(), left.minimum);
    QCOMPARE(f.layout().left.maximum(), left.maximum);
}

void ZoomScrollTest::undo_followsPointsLoadedWhileZoomed() {
    Fixture f;
    drag(f.widget, Qt::LeftButton, f.inPlot(100, 200), f.inPlot(300, 100));
    f.repaint();
    const Range zoomed = shownRange(f.layout().bottom);

    // A new load clears and refills the series; the axes keep the zoomed range.
    LineSeries& volts = f.widget.chart().series[0];
    volts.points.clear();
    for (int i = 0; i <= 400; ++i) volts.points.append(i, 2.0 * i);
    f.widget.chart().invalidate();
    f.repaint();
    QCOMPARE(f.layout().bottom.minimum(), zoomed.minimum);
    QCOMPARE(f.layout().bottom.maximum(), zoomed.maximum);

    drag(f.widget, Qt::LeftButton, f.inPlot(300, 200), f.inPlot(100, 100));
    f.repaint();
    QVERIFY(f.layout().bottom.maximum() > 400.0);
    QVERIFY(f.layout().left.maximum() > 800.0);
}

void ZoomScrollTest::scroll_followsMouseAndZoomOutRestores() {
    Fixture f;
    const ChartLayout before = f.layout();
    const QPoint from = f.inPlot(200, 150);
    QTest::mousePress(&f.widget, Qt::RightButton, {}, from);
    QTest::mouseMove(&f.widget, from + QPoint(10, 0));
    QTest::mouseMove(&f.widget, from + QPoint(30, 20));
    QTest::mouseRelease(&f.widget, Qt::RightButton, {}, from + QPoint(30, 20));
    QVERIFY(!f.widget.zoomScroll().dragActive());
    QVERIFY(f.widget.zoomScroll().scalesSaved());
    f.repaint();
    // Dragging right shows earlier times; dragging down shows larger values.
    const double perPixelX = before.bottom.scale.range() / before.bottom.scale.size();
    const double perPixelY = before.left.scale.range() / before.left.scale.size();
    QVERIFY(near(f.layout().bottom.minimum(), before.bottom.minimum() - 30 * perPixelX));
    QVERIFY(near(f.layout().bottom.maximum(), before.bottom.maximum() - 30 * perPixelX));
    QVERIFY(near(f.layout().left.minimum(), before.left.minimum() + 20 * perPixelY));
    QVERIFY(near(f.layout().left.maximum(), before.left.maximum() + 20 * perPixelY));

    drag(f.widget, Qt::LeftButton, f.inPlot(300, 200), f.inPlot(100, 100));
    f.repaint();
    QCOMPARE(f.layout().bottom.minimum(), before.bottom.minimum());
    QCOMPARE(f.layout().left.maximum(), before.left.maximum());
}

void ZoomScrollTest::scroll_leavingPlotEndsDrag() {
    Fixture f;
    const QPoint from = f.inPlot(200, 150);
    QTest::mousePress(&f.widget, Qt::RightButton, {}, from);
    QTest::mouseMove(&f.widget, from + QPoint(5, 5));
    const double shifted = f.widget.chart().bottomAxis.minimum;
    QTest::mouseMove(&f.widget, QPoint(f.plot().right, from.y()));  // right edge: outside
    QVERIFY(!f.widget.zoomScroll().scrollDragActive());
    QTest::mouseMove(&f.widget, from);
    QTest::mouseMove(&f.widget, from + QPoint(40, 40));
    QCOMPARE(f.widget.chart().bottomAxis.minimum, shifted);
    QTest::mouseRelease(&f.widget, Qt::RightButton, {}, from + QPoint(40, 40));
    QCOMPARE(f.widget.chart().bottomAxis.minimum, shifted);
}

void ZoomScrollTest::press_emptyPlotWithoutActiveSeriesStartsNothing() {
    Fixture f;
    f.widget.chart().series[0].active = false;
    f.widget.chart().invalidate();
    f.repaint();
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        QTest::mousePress(&f.widget, button, {}, f.inPlot(200, 100));
        QVERIFY(!f.widget.zoomScroll().dragActive());
        QTest::mouseRelease(&f.widget, button, {}, f.inPlot(200, 100));
    }
    drag(f.widget, Qt::LeftButton, f.inPlot(100, 100), f.inPlot(300, 200));
    QVERIFY(automatic(f.widget.chart().bottomAxis));
    // The axes are still drawn, and a press on an axis band does start a drag.
    QTest::mousePress(&f.widget, Qt::LeftButton, {}, QPoint(f.plot().left + 50, f.plot().bottom));
    QVERIFY(f.widget.zoomScroll().zoomDragActive());
}

void ZoomScrollTest::press_legendNeverStartsDrag() {
    Fixture f;
    const LegendLayout& legend = f.layout().legend;
    QVERIFY(legend.visible);
    const QPoint onAmps(legend.textLeft(1) + 3, legend.textTop(1) + 3);
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        QTest::mousePress(&f.widget, button, {}, onAmps);
        QVERIFY(!f.widget.zoomScroll().dragActive());
        QTest::mouseRelease(&f.widget, button, {}, onAmps);
    }
    QCOMPARE(f.widget.chart().series[1].active, false);  // toggled twice

    // While a drag is active a press on the legend is ignored too.
    QSignalSpy toggled(&f.widget, &ChartWidget::seriesToggled);
    QTest::mousePress(&f.widget, Qt::RightButton, {}, f.inPlot(100, 100));
    QVERIFY(f.widget.zoomScroll().scrollDragActive());
    QTest::mousePress(&f.widget, Qt::LeftButton, {}, onAmps);
    QCOMPARE(toggled.count(), 0);
    QCOMPARE(f.widget.chart().series[1].active, false);
}

void ZoomScrollTest::press_otherButtonsDuringDrag() {
    Fixture f;
    // A zoom drag ends only with the left button's release.
    QTest::mousePress(&f.widget, Qt::LeftButton, {}, f.inPlot(100, 200));
    QTest::mousePress(&f.widget, Qt::RightButton, {}, f.inPlot(120, 180));
    QTest::mouseMove(&f.widget, f.inPlot(300, 100));
    QTest::mouseRelease(&f.widget, Qt::RightButton, {}, f.inPlot(300, 100));
    QVERIFY(f.widget.zoomScroll().zoomDragActive());
    QVERIFY(!f.widget.zoomScroll().scrollDragActive());
    QTest::mouseRelease(&f.widget, Qt::LeftButton, {}, f.inPlot(300, 100));
    QVERIFY(!f.widget.zoomScroll().dragActive());
    QVERIFY(f.widget.zoomScroll().zoomed());
    f.repaint();

    // A scroll drag ends with any release, and a left press during it starts no zoom.
    const double minimum = f.widget.chart().bottomAxis.minimum;
    QTest::mousePress(&f.widget, Qt::RightButton, {}, f.inPlot(100, 100));
    QTest::mousePress(&f.widget, Qt::LeftButton, {}, f.inPlot(100, 100));
    QVERIFY(!f.widget.zoomScroll().zoomDragActive());
    QTest::mouseRelease(&f.widget, Qt::LeftButton, {}, f.inPlot(100, 100));
    QVERIFY(!f.widget.zoomScroll().dragActive());
    QTest::mouseMove(&f.widget, f.inPlot(150, 150));
    QCOMPARE(f.widget.chart().bottomAxis.minimum, minimum);
}

void ZoomScrollTest::wheel_scrollsValueAxisByNotches() {
    Fixture f;
    const Range left = shownRange(f.layout().left);
    const Range bottom = shownRange(f.layout().bottom);
    const double step = (left.maximum - left.minimum) * 0.03;

    wheel(f.widget, 120);  // one notch up lowers the range
    QVERIFY(!automatic(f.widget.chart().leftAxis));
    QVERIFY(near(f.widget.chart().leftAxis.minimum, left.minimum - step));
    QVERIFY(near(f.widget.chart().leftAxis.maximum, left.maximum - step));
    QVERIFY(automatic(f.widget.chart().bottomAxis));

    f.repaint();
    wheel(f.widget, -60);  // half notches add up
    QVERIFY(near(f.widget.chart().leftAxis.minimum, left.minimum - step));
    wheel(f.widget, -60);
    QVERIFY(near(f.widget.chart().leftAxis.minimum, left.minimum));
    wheel(f.widget, -240);  // two notches down
    QVERIFY(near(f.widget.chart().leftAxis.minimum, left.minimum + 2 * step));
    f.repaint();
    QVERIFY(near(f.layout().left.maximum(), left.maximum + 2 * step));
    QCOMPARE(f.layout().bottom.minimum(), bottom.minimum);

    // Wheel scrolling saves no scales, so a zoom-out drag leaves the range in place.
    QVERIFY(!f.widget.zoomScroll().scalesSaved());
    drag(f.widget, Qt::LeftButton, f.inPlot(300, 200), f.inPlot(100, 100));
    f.repaint();
    QVERIFY(near(f.layout().left.minimum(), left.minimum + 2 * step));
}

void ZoomScrollTest::zoomRectangle_drawnDuringDragAndErased() {
    Fixture f;
    // Above the diagonal line, away from it and from the grid's dots.
    const QPoint from = f.inPlot(40, 30);
    const QPoint to = f.inPlot(140, 90);
    auto isBlack = [](const QImage& image, QPoint p) {
        return image.pixelColor(p) == QColor(0, 0, 0);
    };
    const QPoint topEdge((from.x() + to.x()) / 2 + 1, from.y());
    const QPoint leftEdge(from.x(), (from.y() + to.y()) / 2 + 1);
    QImage image = f.widget.grab().toImage();
    const bool gridTop = isBlack(image, topEdge);
    QVERIFY(!gridTop && !isBlack(image, leftEdge));

    QTest::mousePress(&f.widget, Qt::LeftButton, {}, from);
    QTest::mouseMove(&f.widget, to);
    image = f.widget.grab().toImage();
    QVERIFY(isBlack(image, topEdge));
    QVERIFY(isBlack(image, leftEdge));
    QVERIFY(isBlack(image, QPoint(to.x(), leftEdge.y())));
    QVERIFY(isBlack(image, QPoint(topEdge.x(), to.y())));
    QVERIFY(!isBlack(image, QPoint(topEdge.x(), leftEdge.y())));  // not filled

    // Too small to act: the rectangle goes away and the view stays.
    QTest::mouseRelease(&f.widget, Qt::LeftButton, {}, from + QPoint(10, 10));
    image = f.widget.grab().toImage();
    QVERIFY(!isBlack(image, topEdge));
    QVERIFY(!isBlack(image, leftEdge));
}

void ZoomScrollTest::mouseMoved_firesBeforeScrollProcessing() {
    Fixture f;
    QList<double> minimumSeen;
    connect(&f.widget, &ChartWidget::mouseMoved, this, [&](Qt::KeyboardModifiers, int, int) {
        minimumSeen << f.widget.chart().bottomAxis.minimum;
    });
    const QPoint from = f.inPlot(200, 150);
    QTest::mousePress(&f.widget, Qt::RightButton, {}, from);
    QTest::mouseMove(&f.widget, from + QPoint(20, 0));
    const double afterFirst = f.widget.chart().bottomAxis.minimum;
    QTest::mouseMove(&f.widget, from + QPoint(40, 0));
    QCOMPARE(minimumSeen.size(), 2);
    // The hook of the second move still saw the range the first move left.
    QCOMPARE(minimumSeen.at(1), afterFirst);
    QVERIFY(f.widget.chart().bottomAxis.minimum != afterFirst);
}

// A drag whose release never comes (another window took the mouse, the window lost
// the focus) ends there: a zoom drag without zooming, a scroll drag where it has moved.
void ZoomScrollTest::drag_endsWithoutItsRelease_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("eventType");
    for (const auto& [name, type] : {std::pair{"mouse taken", QEvent::UngrabMouse},
                                     {"window deactivated", QEvent::WindowDeactivate},
                                     {"focus lost", QEvent::FocusOut},
                                     {"hidden", QEvent::Hide}}) {
        QTest::addRow("zoom, %s", name) << int(Qt::LeftButton) << int(type);
        QTest::addRow("scroll, %s", name) << int(Qt::RightButton) << int(type);
    }
}

void ZoomScrollTest::drag_endsWithoutItsRelease() {
    QFETCH(int, button);
    QFETCH(int, eventType);
    Fixture f;
    const ChartLayout before = f.layout();
    const QPoint from = f.inPlot(100, 100);
    QTest::mousePress(&f.widget, Qt::MouseButton(button), {}, from);
    QTest::mouseMove(&f.widget, from + QPoint(60, 40));
    QVERIFY(f.widget.zoomScroll().dragActive());

    QEvent lost(static_cast<QEvent::Type>(eventType));
    QApplication::sendEvent(&f.widget, &lost);
    QVERIFY(!f.widget.zoomScroll().dragActive());
    f.repaint();
    if (button == Qt::LeftButton) {
        // No zoom, and the rectangle is gone from the picture.
        QCOMPARE(f.layout().bottom.minimum(), before.bottom.minimum());
        QCOMPARE(f.layout().bottom.maximum(), before.bottom.maximum());
        QVERIFY(!f.widget.zoomScroll().scalesSaved());
    } else {
        QVERIFY(f.layout().bottom.minimum() < before.bottom.minimum());
    }
    // The late release does nothing, and the next drag works as usual.
    QTest::mouseRelease(&f.widget, Qt::MouseButton(button), {}, from + QPoint(60, 40));
    QCOMPARE(f.widget.zoomScroll().zoomed(), false);
    drag(f.widget, Qt::LeftButton, f.inPlot(50, 50), f.inPlot(150, 150));
    QVERIFY(f.widget.zoomScroll().zoomed());
}

void ZoomScrollTest::escape_cancelsOnlyAZoomDrag() {
    Fixture f;
    const QImage clean = f.widget.grab().toImage();
    const QPoint from = f.inPlot(100, 100);
    QTest::mousePress(&f.widget, Qt::LeftButton, {}, from);
    QTest::mouseMove(&f.widget, from + QPoint(60, 40));
    QVERIFY(f.widget.grab().toImage() != clean);  // the rectangle is drawn
    QTest::keyClick(&f.widget, Qt::Key_Escape);
    QVERIFY(!f.widget.zoomScroll().dragActive());
    QCOMPARE(f.widget.grab().toImage(), clean);  // and erased
    QTest::mouseRelease(&f.widget, Qt::LeftButton, {}, from + QPoint(60, 40));
    QVERIFY(!f.widget.zoomScroll().zoomed());

    // During a scroll drag Escape changes nothing.
    QTest::mousePress(&f.widget, Qt::RightButton, {}, from);
    QTest::keyClick(&f.widget, Qt::Key_Escape);
    QVERIFY(f.widget.zoomScroll().scrollDragActive());
    QTest::mouseRelease(&f.widget, Qt::RightButton, {}, from);
}

// The keys that move the view, from the automatic view of fillChart (X 0..100): the
// bottom axis' visible range after one press.
void ZoomScrollTest::keys_moveTheTimeAxis_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<double>("wantMinimum");  // fractions of the span before
    QTest::addColumn<double>("wantMaximum");
    QTest::newRow("+ zooms in around the middle") << int(Qt::Key_Plus) << 0.25 << 0.75;
    QTest::newRow("= as +") << int(Qt::Key_Equal) << 0.25 << 0.75;
    QTest::newRow("- zooms out") << int(Qt::Key_Minus) << -0.5 << 1.5;
    QTest::newRow("left: a tenth earlier") << int(Qt::Key_Left) << -0.1 << 0.9;
    QTest::newRow("right: a tenth later") << int(Qt::Key_Right) << 0.1 << 1.1;
    QTest::newRow("page up: a span earlier") << int(Qt::Key_PageUp) << -1.0 << 0.0;
    QTest::newRow("page down: a span later") << int(Qt::Key_PageDown) << 1.0 << 2.0;
}

void ZoomScrollTest::keys_moveTheTimeAxis() {
    QFETCH(int, key);
    QFETCH(double, wantMinimum);
    QFETCH(double, wantMaximum);
    Fixture f;
    const Range before = shownRange(f.layout().bottom);
    const Range values = shownRange(f.layout().left);
    const double span = before.maximum - before.minimum;
    QTest::keyClick(&f.widget, Qt::Key(key));
    f.repaint();
    QVERIFY(near(f.layout().bottom.minimum(), before.minimum + wantMinimum * span));
    QVERIFY(near(f.layout().bottom.maximum(), before.minimum + wantMaximum * span));
    QCOMPARE(f.layout().left.minimum(), values.minimum);  // the values stay
    QCOMPARE(f.layout().left.maximum(), values.maximum);

    // Home returns to the automatic ranges, as the undo of a zoom does.
    QTest::keyClick(&f.widget, Qt::Key_Home);
    QVERIFY(automatic(f.widget.chart().bottomAxis));
    f.repaint();
    QCOMPARE(f.layout().bottom.minimum(), before.minimum);
    QCOMPARE(f.layout().bottom.maximum(), before.maximum);
}

void ZoomScrollTest::keys_zoomAroundGivenCentre() {
    Fixture f;
    const Range before = shownRange(f.layout().bottom);
    const double at = before.minimum + 0.2 * (before.maximum - before.minimum);
    f.widget.setZoomCentre([at] { return std::optional<double>(at); });
    QTest::keyClick(&f.widget, Qt::Key_Plus);
    f.repaint();
    // The centre keeps its place on the axis: a fifth of the way along.
    const Range after = shownRange(f.layout().bottom);
    QVERIFY(near((at - after.minimum) / (after.maximum - after.minimum), 0.2));
    QVERIFY(near(after.maximum - after.minimum, 0.5 * (before.maximum - before.minimum)));
    // During a drag the keys do nothing.
    QTest::mousePress(&f.widget, Qt::LeftButton, {}, f.inPlot(50, 50));
    QTest::keyClick(&f.widget, Qt::Key_Plus);
    f.repaint();
    QCOMPARE(shownRange(f.layout().bottom).minimum, after.minimum);
    QTest::mouseRelease(&f.widget, Qt::LeftButton, {}, f.inPlot(50, 50));
}

// Mouse zoom, wheel, keyboard moves and Home are steps; Backspace and Alt+Left go back
// through them, Alt+Right forward; a new step drops the views ahead; clearing empties.
void ZoomScrollTest::history_backAndForwardThroughEverySteps() {
    Fixture f;
    ZoomScroll& zs = f.widget.zoomScroll();
    QVERIFY(!zs.canGoBack());
    std::vector<Range> views{shownRange(f.layout().bottom)};
    std::vector<Range> values{shownRange(f.layout().left)};
    const auto remember = [&] {
        f.repaint();
        views.push_back(shownRange(f.layout().bottom));
        values.push_back(shownRange(f.layout().left));
    };
    drag(f.widget, Qt::LeftButton, f.inPlot(100, 50), f.inPlot(400, 250));  // zoom
    remember();
    wheel(f.widget, 120);  // values move
    remember();
    QTest::keyClick(&f.widget, Qt::Key_Right);
    remember();
    QTest::keyClick(&f.widget, Qt::Key_Home);
    remember();

    const auto shows = [&](std::size_t i) {
        f.repaint();
        return near(f.layout().bottom.minimum(), views[i].minimum) &&
               near(f.layout().bottom.maximum(), views[i].maximum) &&
               near(f.layout().left.minimum(), values[i].minimum);
    };
    for (std::size_t i = views.size() - 1; i-- > 0;) {
        QTest::keyClick(&f.widget, i % 2 ? Qt::Key_Backspace : Qt::Key_Left,
                        i % 2 ? Qt::NoModifier : Qt::AltModifier);
        QVERIFY2(shows(i), qPrintable(QStringLiteral("back to view %1").arg(i)));
    }
    QVERIFY(!zs.canGoBack());
    QVERIFY(automatic(f.widget.chart().bottomAxis));
    QTest::keyClick(&f.widget, Qt::Key_Right, Qt::AltModifier);
    QVERIFY(shows(1));
    QTest::keyClick(&f.widget, Qt::Key_Right, Qt::AltModifier);
    QVERIFY(shows(2));
    // A new step from here drops the views ahead.
    QTest::keyClick(&f.widget, Qt::Key_Minus);
    QVERIFY(!zs.canGoForward());
    QVERIFY(zs.canGoBack());
    zs.clearHistory();
    QVERIFY(!zs.canGoBack() && !zs.canGoForward());
}

QTEST_MAIN(ZoomScrollTest)
#include "test_zoom_scroll.moc"
