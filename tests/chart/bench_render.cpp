// Repaint cost at the design size (794 x 499): one dense series, and all 41 channel
// series of about 20,000 points each. Benchmarks report times; they assert nothing
// about them.
#include <QImage>
#include <QPainter>
#include <QtTest>
#include <cmath>

#include "chart/chart_render.h"

using namespace zp::chart;

namespace {

// `count` series of `points` one-second samples from 10:00, each a noisy wave.
Chart denseChart(int count, int points) {
    Chart chart;
    for (int i = 0; i < count; ++i) {
        LineSeries s;
        s.name = QStringLiteral("S%1").arg(i);
        s.title = QStringLiteral("Channel %1").arg(i);
        s.color = QColor::fromHsv((i * 37) % 360, 255, 200);
        s.active = true;
        s.xDateTime = true;
        s.points.reserve(static_cast<std::size_t>(points));
        for (int k = 0; k < points; ++k)
            s.points.append(10.0 / 24.0 + k / 86400.0,
                            50.0 * i + 40.0 * std::sin(k * 0.01 * (i + 1)) + k % 7);
        chart.series.push_back(std::move(s));
    }
    chart.bottomAxis.dateTimeFormat = QStringLiteral("hh:nn:ss");
    chart.bottomAxis.title = QStringLiteral("01/02/2024");
    return chart;
}

}  // namespace

class RenderBench : public QObject {
    Q_OBJECT
  private slots:
    void render_data();
    void render();
};

void RenderBench::render_data() {
    QTest::addColumn<int>("series");
    QTest::addColumn<int>("points");
    QTest::newRow("one dense series") << 1 << 20000;
    QTest::newRow("41 series") << 41 << 20000;
}

void RenderBench::render() {
    QFETCH(int, series);
    QFETCH(int, points);
    Chart chart = denseChart(series, points);
    QImage image(794, 499, QImage::Format_RGB32);
    QBENCHMARK {
        QPainter painter(&image);
        zp::chart::render(painter, image.rect(), chart);
    }
}

QTEST_MAIN(RenderBench)
#include "bench_render.moc"
