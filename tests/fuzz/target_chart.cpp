// Whatever an import of any bytes produced, laid out and drawn at a small size, before
// and after a few mouse zoom, scroll, wheel and legend steps.
#include <QImage>
#include <QPainter>

#include "chart/chart_render.h"
#include "chart/chart_report.h"
#include "chart/text_measurer.h"
#include "chart/zoom_scroll.h"
#include "loading/log_loading.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/fuzz_targets.h"

namespace zp::fuzz {

namespace {

// As in the import target: the budget bounds the work of a load. A series of up to
// 4,096 points still spans many blocks of the reduced line drawing.
constexpr std::int64_t kBudget = std::int64_t{1} << 12;

constexpr int kMaxWidth = 160;
constexpr int kMaxHeight = 120;

struct Step {
    std::uint8_t kind, x, y, extra;
};

// One image for the process, drawn into at the input's size from its top left corner:
// it keeps its paint engine from one input to the next.
QImage& canvas() {
    static QImage image(kMaxWidth, kMaxHeight, QImage::Format_RGB32);
    return image;
}

chart::ChartLayout draw(const QRect& area, chart::Chart& chart) {
    QImage& image = canvas();
    QPainter painter(&image);
    painter.fillRect(area, Qt::white);
    painter.setClipRect(area);
    return chart::render(painter, area, chart);
}

}  // namespace

int chartTarget(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    const int width = in.byte() % kMaxWidth;
    const int height = in.byte() % kMaxHeight;
    const SettingsRecord record = takeSettings(in);
    Step steps[8];
    const int stepCount = in.byte() % 9;
    for (int i = 0; i < stepCount; ++i) steps[i] = {in.byte(), in.byte(), in.byte(), in.byte()};
    const QString path = writeScratchFile("chart.csv", in.rest());

    // The widths of texts measured for this input are forgotten when it ends, whichever
    // way: an input then frees what it allocated for them, so the leak check does not run
    // it a second time, and a second run would start from the same nothing.
    struct ForgetWidths {
        ~ForgetWidths() { chart::forgetRememberedWidths(); }
    } forgetWidths;

    // One chart for the process, set up afresh for each input (it keeps its blocks).
    static chart::Chart chart;
    setUpChart(chart, record);
    prepareChartForLoad(chart);
    loadLogIntoChart(path, unitSelectorsOf(record), chart, fuzzImportOptions(kBudget));

    (void)chart::layoutReportJson(chart, width + 1, height + 1);
    if (width == 0 || height == 0) return 0;
    const QRect area(0, 0, width, height);
    chart::ChartLayout layout = draw(area, chart);

    chart::ZoomScroll zoom(chart);
    bool drawn = true;
    for (int i = 0; i < stepCount; ++i) {
        const Step& s = steps[i];
        const int x = s.x % (width + 20) - 10;
        const int y = s.y % (height + 20) - 10;
        const Qt::MouseButton button = (s.extra & 1) ? Qt::RightButton : Qt::LeftButton;
        chart::ZoomScroll::Effect effect = chart::ZoomScroll::Effect::None;
        switch (s.kind % 7) {
            case 0:
                zoom.press(button, x, y, layout);
                break;
            case 1:
                effect = zoom.move(x, y, layout);
                break;
            case 2:
                effect = zoom.release(button, x, y, layout);
                break;
            case 3:
                effect = zoom.wheel(static_cast<std::int8_t>(s.extra), layout);
                break;
            case 4:
                zoom.undoZoom();
                effect = chart::ZoomScroll::Effect::Invalidated;
                break;
            case 5:
                zoom.zoomRect(
                    QRect(QPoint(x, y), QPoint(s.extra % (width + 1), s.x % (height + 1))), layout);
                effect = chart::ZoomScroll::Effect::Invalidated;
                break;
            default: {
                chart::LineSeries& series = chart.series[s.extra % chart.series.size()];
                series.active = !series.active;
                effect = chart::ZoomScroll::Effect::Invalidated;
                break;
            }
        }
        drawn = effect == chart::ZoomScroll::Effect::Invalidated;
        if (drawn) layout = draw(area, chart);
    }
    // Once more after the steps, unless the picture of the chart as it is now was just
    // drawn (a second drawing of the same state finds nothing the first did not).
    if (!drawn) draw(area, chart);
    (void)chart::layoutReportJson(chart, width, height);
    return 0;
}

}  // namespace zp::fuzz
