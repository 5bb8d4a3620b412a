// An import sink for the tests: keeps what the import wrote (the points of every
// channel, the legend flags, the labels and the axis texts) and counts the calls.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <array>
#include <vector>

#include "import/date_time_text.h"
#include "import/import_sink.h"
#include "import/log_loader.h"

struct Point {
    double x;
    double y;
    bool operator==(const Point& o) const { return x == o.x && y == o.y; }
};

class RecordingSink : public zp::ImportSink {
  public:
    RecordingSink() {
        legend.fill(true);
        // A previous load left points behind.
        for (auto& p : points) p.push_back(Point{-1, -1});
    }

    void setBottomAxisDateTimeFormat(const QString& format) override { axisFormat = format; }
    void setBottomAxisTitle(const QString& caption) override { axisTitle = caption; }
    void setXDateTime(zp::Channel channel, bool on) override { xDateTime[channel] = on; }
    void clearSeries(zp::Channel channel) override { points[channel].clear(); }
    void setShowInLegend(zp::Channel channel, bool on) override { legend[channel] = on; }
    void addXY(zp::Channel channel, double x, double y) override {
        points[channel].push_back(Point{x, y});
        ++pointCount;
    }
    void setModelText(const QString& text) override { model = text; }
    void setCountersVisible(bool visible) override { countersVisible = visible; }
    void setHobbsStart(const QString& text) override { hobbsStart = text; }
    void setHobbsStop(const QString& text) override { hobbsStop = text; }
    void setMaintenanceStart(const QString& text) override { maintenanceStart = text; }
    void setMaintenanceStop(const QString& text) override { maintenanceStop = text; }

    std::vector<zp::Channel> legendChannels() const {
        std::vector<zp::Channel> list;
        for (int c = 0; c < zp::kChannelCount; ++c)
            if (legend[c]) list.push_back(static_cast<zp::Channel>(c));
        return list;
    }
    std::vector<double> ys(zp::Channel channel) const {
        std::vector<double> v;
        for (const Point& p : points[channel]) v.push_back(p.y);
        return v;
    }

    std::array<std::vector<Point>, zp::kChannelCount> points;
    std::array<bool, zp::kChannelCount> legend{};
    std::array<bool, zp::kChannelCount> xDateTime{};
    long pointCount = 0;
    QString axisFormat;
    QString axisTitle = QStringLiteral("Date");
    QString model = QStringLiteral("x");
    bool countersVisible = true;
    QString hobbsStart = QStringLiteral("0");
    QString hobbsStop = QStringLiteral("0");
    QString maintenanceStart = QStringLiteral("0");
    QString maintenanceStop = QStringLiteral("0");
};

// English regional settings with the colon as time separator.
inline zp::DateTimeLocale testLocale() {
    zp::DateTimeLocale locale;
    locale.currentYear = 2024;
    return locale;
}

// Writes `content` to a file in `dir` and imports it into `sink`.
inline zp::ImportResult importText(const QTemporaryDir& dir, const QByteArray& content,
                                   RecordingSink& sink, const zp::UnitSelectors& units = {},
                                   const zp::DateTimeLocale& locale = testLocale()) {
    static int counter = 0;
    const QString path = dir.filePath(QStringLiteral("log%1.csv").arg(++counter));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(content);
    file.close();
    return zp::importLogFile(path, units, sink, locale);
}

// x of a time of day.
inline double at(int h, int m, int s) {
    return (h * 3600 + m * 60 + s) * 1000 / 86400000.0;
}
