#include "loading/channel_series.h"

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

std::vector<QString> channelUnitTexts(const UnitSelectors& units) {
    std::vector<QString> texts;
    texts.reserve(kChannelCount);
    for (int c = 0; c < kChannelCount; ++c)
        texts.push_back(QString::fromUtf8(unitText(static_cast<Channel>(c), units)));
    return texts;
}

}  // namespace zp
