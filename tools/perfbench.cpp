// perfbench: the import and repaint measurements behind scripts/bench. Each mode
// prints one line of name=value pairs.
//
//   perfbench import LOGFILE [REPEAT [THREADS]]
//                                       best import time (every series put in time
//                                       order), the points held, the resident size
//                                       (all, and allocated) right after the first
//                                       import and the peak;
//                                       THREADS: the import's threads (default: one
//                                       per core)
//   perfbench render LOGFILE [REPEAT]   repaint times of a 794 x 499 chart of the log:
//                                       reduced lines, every point drawn, and one minute
//                                       zoomed in; the pixels where the two ways differ
//   perfbench repaint LOGFILE [REPEAT]  the reduced repaint time only (for profiling)
//   perfbench analysis LOGFILE [REPEAT] statistics and limit exceedances of every
//                                       series, over the whole axis and over one
//                                       minute from the middle point
//   perfbench overlay LOGFILE [REPEAT]  the reduced repaint time of the log alone and
//                                       with the log overlaid on itself
//   perfbench trend DATABASE [REPEAT]   the trend of four channels' maxima over every
//                                       flight of a library database: the flights read
//                                       from it, the chart made and drawn at 794 x 499
//   perfbench engine LOGFILE [REPEAT]   the derived channels of six cylinders and the
//                                       lean test over one hour (perfbench_engine.cpp)
//   perfbench fleet-trend DATABASE [REPEAT]
//                                       the fleet trend of one channel (RPM1Series): its
//                                       figures per flight of every aircraft, queried
//                                       from the flight store at DATABASE (a file or a
//                                       postgresql:// location) opened once
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#if defined(__unix__)
#include <sys/resource.h>
#endif

#include "analysis/series_analysis.h"
#include "channels/unit_selectors.h"
#include "chart/chart_model.h"
#include "chart/chart_render.h"
#include "chart/date_axis.h"
#include "library/sql_flight_store.h"
#include "library/trend.h"
#include "library/trend_chart.h"
#include "loading/channel_series.h"
#include "loading/log_loading.h"
#include "loading/overlay_log.h"
#include "tools/perfbench_engine.h"

namespace {

using zp::chart::Chart;
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

long peakResidentKb() {
#if defined(__unix__)
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
#else
    return -1;
#endif
}

// A size of the process now from /proc/self/status, e.g. "VmRSS:" (all resident pages)
// or "RssAnon:" (the resident pages it allocated, without the mapped code and data of
// the program and its libraries); -1 where there is none.
long statusKb(const char* field) {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return -1;
    const std::size_t length = std::strlen(field);
    long kb = -1;
    char line[256];
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, field, length) == 0 && std::sscanf(line + length, " %ld", &kb) == 1)
            break;
    std::fclose(status);
    return kb;
}

std::unique_ptr<Chart> newChart(const QPalette& palette) {
    auto chart = std::make_unique<Chart>();
    zp::createChannelSeries(*chart, palette);
    for (zp::chart::LineSeries& series : chart->series) series.active = true;
    return chart;
}

// Loads the file into `chart` and puts every series in time order, as the first
// repaint after a load does. False when the load did not end with "File Loaded!".
bool load(Chart& chart, const QString& path, int threads = 0) {
    zp::prepareChartForLoad(chart);
    zp::ImportOptions options = zp::ImportOptions::forThisMachine();
    options.threads = threads;
    const zp::ImportResult result = zp::loadLogIntoChart(path, zp::UnitSelectors{}, chart, options);
    for (const zp::chart::LineSeries& series : chart.series) (void)series.points.points();
    if (result.status != zp::ImportResult::Status::Loaded) {
        std::fprintf(stderr, "perfbench: %s\n", qPrintable(result.message));
        return false;
    }
    return true;
}

std::size_t pointsHeld(const Chart& chart) {
    std::size_t n = 0;
    for (const zp::chart::LineSeries& series : chart.series) n += series.points.size();
    return n;
}

int importMode(const QString& path, int repeat, int threads) {
    double best = 0.0;
    std::size_t points = 0;
    // After the first import: later ones also hold what earlier ones freed.
    long heldKb = -1;
    long allocatedKb = -1;
    for (int run = 0; run < repeat; ++run) {
        const auto start = Clock::now();
        std::unique_ptr<Chart> chart = newChart(QPalette());
        if (!load(*chart, path, threads)) return 1;
        const double seconds = secondsSince(start);
        if (run == 0) {
            heldKb = statusKb("VmRSS:");
            allocatedKb = statusKb("RssAnon:");
        }
        if (run == 0 || seconds < best) best = seconds;
        points = pointsHeld(*chart);
    }
    std::printf("seconds=%.6f points=%zu rss_kb=%ld anon_kb=%ld peak_kb=%ld\n", best, points,
                heldKb, allocatedKb, peakResidentKb());
    return 0;
}

// The best time of `repeat` runs of `work`, in milliseconds.
double bestMs(int repeat, const std::function<void()>& work) {
    double best = 0.0;
    for (int run = 0; run < repeat; ++run) {
        const auto start = Clock::now();
        work();
        const double ms = secondsSince(start) * 1000.0;
        if (run == 0 || ms < best) best = ms;
    }
    return best;
}

long differingPixels(const QImage& a, const QImage& b) {
    long n = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) n += ra[x] != rb[x];
    }
    return n;
}

int renderMode(const QString& path, int repeat, bool reducedOnly) {
    std::unique_ptr<Chart> chart = newChart(QGuiApplication::palette());
    if (!load(*chart, path)) return 1;
    QImage reduced(794, 499, QImage::Format_RGB32);
    QImage every(794, 499, QImage::Format_RGB32);
    auto paint = [&](QImage& image, zp::chart::LineDrawing drawing) {
        zp::chart::RenderOptions options;
        options.background = QColor(240, 240, 240);
        options.lineDrawing = drawing;
        QPainter painter(&image);
        zp::chart::render(painter, image.rect(), *chart, options);
    };
    using zp::chart::LineDrawing;
    const int slowRepeat = std::max(1, repeat / 4);
    const double reducedMs = bestMs(repeat, [&] { paint(reduced, LineDrawing::Reduced); });
    if (reducedOnly) {
        std::printf("reduced_ms=%.3f\n", reducedMs);
        return 0;
    }
    const double everyMs = bestMs(slowRepeat, [&] { paint(every, LineDrawing::EveryPoint); });
    const long diff = differingPixels(reduced, every);

    // One minute zoomed in, an hour after the first record, as a zoom drag leaves the
    // axes: both fixed, the value axis at the range the whole log showed.
    double first = 0.0;
    for (const zp::chart::LineSeries& series : chart->series)
        if (!series.points.empty()) first = series.points.points()[0].x;
    const double hour = 1.0 / 24.0;
    for (zp::chart::AxisState* axis : {&chart->bottomAxis, &chart->leftAxis})
        axis->automatic = axis->automaticMinimum = axis->automaticMaximum = false;
    chart->bottomAxis.minimum = first + hour;
    chart->bottomAxis.maximum = first + hour + 60.0 / 86400.0;
    const double zoomMs = bestMs(repeat, [&] { paint(reduced, LineDrawing::Reduced); });
    paint(every, LineDrawing::EveryPoint);
    const long zoomDiff = differingPixels(reduced, every);
    std::printf("reduced_ms=%.3f every_ms=%.3f diff=%ld zoom_ms=%.3f zoom_diff=%ld\n", reducedMs,
                everyMs, diff, zoomMs, zoomDiff);
    return 0;
}

// Statistics and exceedances of every series over `range`; the limits lie a tenth of
// each series' span inside its extremes, so that there are runs on both sides.
std::size_t analyseAll(const Chart& chart, zp::analysis::XRange range) {
    std::vector<const zp::chart::PointList*> lists;
    std::vector<zp::analysis::Limits> limits;
    for (const zp::chart::LineSeries& series : chart.series) {
        lists.push_back(&series.points);
        const zp::chart::FiniteRange& y = series.points.yRange();
        const double margin = (y.maximum - y.minimum) / 10.0;
        limits.push_back({y.minimum + margin, y.maximum - margin});
    }
    std::size_t found = 0;
    for (const auto& stats : zp::analysis::seriesStatsOfEach(lists, range))
        if (stats) found += stats->count;
    for (const auto& runs : zp::analysis::exceedancesOfEach(lists, limits, range))
        found += runs.size();
    return found;
}

int analysisMode(const QString& path, int repeat) {
    std::unique_ptr<Chart> chart = newChart(QPalette());
    if (!load(*chart, path)) return 1;
    std::size_t found = 0;
    const double wholeMs = bestMs(repeat, [&] { found = analyseAll(*chart, {}); });
    // The minute from the middle point of the longest series, which has data in it.
    const zp::chart::PointList* longest = &chart->series.front().points;
    for (const zp::chart::LineSeries& series : chart->series)
        if (series.points.size() > longest->size()) longest = &series.points;
    const double middle = longest->empty() ? 0.0 : (*longest)[longest->size() / 2].x;
    const zp::analysis::XRange minute{middle, middle + 60.0 / 86400.0};
    std::size_t zoomFound = 0;
    const double zoomMs = bestMs(repeat * 20, [&] { zoomFound = analyseAll(*chart, minute); });
    std::printf("whole_ms=%.3f zoom_ms=%.4f found=%zu zoom_found=%zu\n", wholeMs, zoomMs, found,
                zoomFound);
    return 0;
}

// The reduced repaint of the log alone, then with the same log read again and laid over
// it as File > Overlay Log does (its first record on the first record: no shift).
int overlayMode(const QString& path, int repeat) {
    std::unique_ptr<Chart> chart = newChart(QGuiApplication::palette());
    if (!load(*chart, path)) return 1;
    QImage image(794, 499, QImage::Format_RGB32);
    auto paint = [&] {
        zp::chart::RenderOptions options;
        options.background = QColor(240, 240, 240);
        QPainter painter(&image);
        zp::chart::render(painter, image.rect(), *chart, options);
    };
    const double aloneMs = bestMs(repeat, paint);
    zp::OverlayRead read =
        zp::readOverlay(path, zp::UnitSelectors{}, zp::ImportOptions::forThisMachine());
    if (read.result.status != zp::ImportResult::Status::Loaded) return 1;
    zp::showOverlay(*chart, std::move(read.series), 0);
    for (const zp::chart::LineSeries& series : chart->series) (void)series.points.points();
    const double overlayMs = bestMs(repeat, paint);
    std::printf("alone_ms=%.3f overlay_ms=%.3f\n", aloneMs, overlayMs);
    return 0;
}

// The flight store at `database`, or none (with the reason on standard error).
std::unique_ptr<zp::library::SqlFlightStore> openStore(const QString& database) {
    QString notice, error;
    std::unique_ptr<zp::library::SqlFlightStore> store =
        zp::library::SqlFlightStore::open(database, notice, error);
    if (!store) std::fprintf(stderr, "perfbench: %s\n", qPrintable(error));
    return store;
}

int trendMode(const QString& database, int repeat) {
    const std::unique_ptr<zp::library::SqlFlightStore> store = openStore(database);
    if (!store) return 1;
    using zp::library::TrendStatistic;
    const std::vector<zp::library::TrendRequest> requests = {
        {zp::TC5Series, TrendStatistic::Maximum},
        {zp::TC6Series, TrendStatistic::Maximum},
        {zp::TC7Series, TrendStatistic::Maximum},
        {zp::TC8Series, TrendStatistic::Maximum}};
    QImage image(794, 499, QImage::Format_RGB32);
    std::size_t flights = 0, points = 0;
    double queryMs = 0.0, drawMs = 0.0;
    const double ms = bestMs(repeat, [&] {
        const auto start = Clock::now();
        const std::vector<zp::library::StoredFlight> stored =
            store->flightsWith(zp::library::FlightFilter{},
                               {zp::TC5Series, zp::TC6Series, zp::TC7Series, zp::TC8Series});
        const double read = secondsSince(start) * 1000.0;
        std::vector<const zp::library::Flight*> list;
        list.reserve(stored.size());
        for (const zp::library::StoredFlight& f : stored) list.push_back(&f.flight);
        const std::vector<zp::library::TrendLine> lines = zp::library::trendLines(list, requests);
        Chart chart = zp::library::trendChart(lines, {}, QGuiApplication::palette());
        zp::chart::fitCalendarLabels(chart, zp::chart::PixelRect{0, 0, 794, 499});
        zp::chart::RenderOptions options;
        options.background = QColor(240, 240, 240);
        QPainter painter(&image);
        zp::chart::render(painter, image.rect(), chart, options);
        painter.end();
        const double total = secondsSince(start) * 1000.0;
        if (queryMs == 0.0 || total < queryMs + drawMs) {
            queryMs = read;
            drawMs = total - read;
        }
        flights = stored.size();
        points = 0;
        for (const auto& line : lines) points += line.points.size();
    });
    std::printf("trend_ms=%.3f read_ms=%.3f draw_ms=%.3f flights=%zu points=%zu\n", ms, queryMs,
                drawMs, flights, points);
    return 0;
}

// The fleet trend of one channel (RPM1Series): its figures per flight of every aircraft,
// queried from the flight store at DATABASE (a file or a postgresql:// location).
int fleetTrendMode(const QString& database, int repeat) {
    const std::unique_ptr<zp::library::SqlFlightStore> store = openStore(database);
    if (!store) return 1;
    std::size_t rows = 0;
    const double queryMs =
        bestMs(repeat, [&] { rows = store->channelTrend(zp::RPM1Series, {}).size(); });
    std::printf("query_ms=%.3f rows=%zu\n", queryMs, rows);
    return rows > 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc >= 3 ? argv[1] : "";
    if (mode != "import" && mode != "render" && mode != "repaint" && mode != "analysis" &&
        mode != "overlay" && mode != "trend" && mode != "engine" && mode != "fleet-trend") {
        std::fprintf(stderr,
                     "usage: perfbench import|render|repaint|analysis|overlay|engine LOGFILE "
                     "[REPEAT [THREADS]]\n"
                     "       perfbench trend|fleet-trend DATABASE [REPEAT]\n");
        return 2;
    }
    const bool render =
        mode == "render" || mode == "repaint" || mode == "overlay" || mode == "trend";
    const int repeat = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    std::unique_ptr<QCoreApplication> app;
    if (render) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    const QString path = QString::fromLocal8Bit(argv[2]);
    if (mode == "analysis") return analysisMode(path, repeat);
    if (mode == "overlay") return overlayMode(path, repeat);
    if (mode == "trend") return trendMode(path, repeat);
    if (mode == "engine") return zp::perfbench::engineMode(path, repeat);
    if (mode == "fleet-trend") return fleetTrendMode(path, repeat);
    const int threads = argc > 4 ? std::max(0, std::atoi(argv[4])) : 0;
    return render ? renderMode(path, repeat, mode == "repaint") : importMode(path, repeat, threads);
}
