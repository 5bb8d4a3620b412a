// The chart's key table against its key handler: every entry, pressed with its own
// modifiers in a state where it can act, is taken by the chart and changes what it
// shows; the Keyboard and Mouse window's side of the table is tested with the window.
#include <QApplication>
#include <QKeyEvent>
#include <QtTest>

#include "chart/chart_keys.h"
#include "chart/chart_widget.h"

using namespace zp::chart;

namespace {

constexpr double kDay = 45000.0;

void fill(Chart& chart) {
    LineSeries s;
    s.title = QStringLiteral("Volts");
    s.color = QColor(255, 0, 0);
    s.active = true;
    s.xDateTime = true;
    for (int i = 0; i <= 600; ++i) s.points.append(kDay + i / 86400.0, 10.0 + (i % 7));
    chart.series.push_back(std::move(s));
}

// What the keys change: the time axis range, the cursors and a zoom drag.
struct Shown {
    QString range;
    QString cursors;
    bool zoomDrag = false;
};

Shown shown(ChartWidget& w) {
    w.grab();
    const ChartLayout& l = w.layout();
    const Chart& c = w.chart();
    return {QStringLiteral("%1..%2")
                .arg(l.bottom.minimum(), 0, 'g', 15)
                .arg(l.bottom.maximum(), 0, 'g', 15),
            QStringLiteral("A=%1 B=%2")
                .arg(c.cursorA.value_or(-1), 0, 'g', 15)
                .arg(c.cursorB.value_or(-1), 0, 'g', 15),
            w.zoomScroll().zoomDragActive()};
}

}  // namespace

class TestChartKeys : public QObject {
    Q_OBJECT
  private slots:
    void everyEntryIsHandled_data() {
        QTest::addColumn<int>("entry");
        const auto keys = chartKeys();
        for (std::size_t i = 0; i < keys.size(); ++i)
            QTest::newRow(keys[i].keyText) << static_cast<int>(i);
    }
    void everyEntryIsHandled() {
        QFETCH(int, entry);
        const ChartKey& key = chartKeys()[static_cast<std::size_t>(entry)];
        ChartWidget w;
        fill(w.chart());
        w.resize(600, 400);
        w.grab();
        // A state in which every key can act: zoomed in once (a view to go back to, and
        // room to zoom out), both cursors placed, and for going forward a step back.
        const double middle = kDay + 300 / 86400.0;
        w.zoomScroll().zoomTime(0.5, std::nullopt, w.layout());
        w.placeCursor(ChartWidget::Cursor::A, middle - 60 / 86400.0);
        w.placeCursor(ChartWidget::Cursor::B, middle + 60 / 86400.0);
        if (key.action == KeyAction::NextView) QVERIFY(w.zoomScroll().back());
        if (key.action == KeyAction::CancelZoomDrag) {
            w.grab();
            const PixelRect& plot = w.layout().plot;
            const QPoint from(plot.left + 40, plot.top + 40);
            QTest::mousePress(&w, Qt::LeftButton, {}, from);
            QTest::mouseMove(&w, from + QPoint(50, 30));
            QVERIFY(w.zoomScroll().zoomDragActive());
        }
        const Shown before = shown(w);

        QKeyEvent press(QEvent::KeyPress, key.key, key.modifiers);
        press.ignore();
        QApplication::sendEvent(&w, &press);
        QVERIFY2(press.isAccepted(), key.keyText);
        // Each key does its own entry's work: a cursor key moves a cursor and leaves the
        // view, Escape ends the drag, every other key moves the view.
        const Shown after = shown(w);
        switch (key.action) {
            case KeyAction::CursorALeft:
            case KeyAction::CursorARight:
            case KeyAction::CursorBLeft:
            case KeyAction::CursorBRight:
                QVERIFY(after.cursors != before.cursors);
                QCOMPARE(after.range, before.range);
                break;
            case KeyAction::CancelZoomDrag:
                QVERIFY(!after.zoomDrag);
                QCOMPARE(after.range, before.range);
                break;
            default:
                QVERIFY2(after.range != before.range, qPrintable(before.range));
                QCOMPARE(after.cursors, before.cursors);
                break;
        }
    }
};

QTEST_MAIN(TestChartKeys)
#include "test_chart_keys.moc"
