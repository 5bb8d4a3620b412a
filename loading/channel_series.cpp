#include "loading/channel_series.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

#include "channels/channel_units.h"
#include "chart/channel_colour.h"

namespace zp {

void createChannelSeries(chart::Chart& chart, const QPalette& palette) {
    chart.series.clear();
    chart.series.reserve(kChannelCount);
    for (const ChannelInfo& info : kChannels) {
        chart::LineSeries series;
        series.name = QString::fromLatin1(info.name);
        series.title = QString::fromLatin1(info.title);
        series.color = chart::channelColour(info, palette);
        series.penWidth = 2;
        series.active = false;
        series.showInLegend = true;
        series.xDateTime = false;
        chart.series.push_back(std::move(series));
    }
    chart::LineSeries& rpm1 = channelSeries(chart, RPM1Series);
    rpm1.xDateTime = true;
    for (std::size_t i = 0; i < kRpm1SampleValues.size(); ++i)
        rpm1.points.append(static_cast<double>(i), kRpm1SampleValues[i]);
    chart.bottomAxis.title = QStringLiteral("Date");
}

void ChartImportSink::addSteps(std::span<const Channel> channels, const double* xs,
                               const float* const* columns, std::size_t stride, std::size_t count) {
    // Each time decoded once for every series it goes to; records of one second share
    // their time.
    constexpr std::size_t kChunk = 256;
    std::array<std::uint64_t, kChunk> times;
    for (std::size_t first = 0; first < count; first += kChunk) {
        const std::size_t n = std::min(kChunk, count - first);
        const double* x = xs + first;
        for (std::size_t k = 0; k < n; ++k)
            times[k] = k > 0 && std::bit_cast<std::uint64_t>(x[k]) ==
                                    std::bit_cast<std::uint64_t>(x[k - 1])
                           ? times[k - 1]
                           : chart::millisecondsOf(x[k]);
        for (std::size_t c = 0; c < channels.size(); ++c)
            channelSeries(chart_, channels[c])
                .points.appendColumn(x, times.data(), columns[c] + first * stride, stride, n);
    }
}

std::vector<QString> channelUnitTexts(const UnitSelectors& units) {
    std::vector<QString> texts;
    texts.reserve(kChannelCount);
    for (int c = 0; c < kChannelCount; ++c)
        texts.push_back(QString::fromUtf8(unitText(static_cast<Channel>(c), units)));
    return texts;
}

}  // namespace zp
