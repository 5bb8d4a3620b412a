// An import sink for the tests: keeps what the import wrote (the points of every
// channel, which of them are gap fills, the legend flags) and counts the points; the panel texts
// and the axis title as the loads' results say.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <array>
#include <vector>

#include "import/date_time_text.h"
#include "import/import_sink.h"
#include "import/log_import.h"

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

    void clearSeries(zp::Channel channel) override {
        points[channel].clear();
        gapFills[channel].clear();
    }
    void setShowInLegend(zp::Channel channel, bool on) override { legend[channel] = on; }
    void addXY(zp::Channel channel, double x, double y) override {
        points[channel].push_back(Point{x, y});
        ++pointCount;
    }
    // A gap-fill point goes among the points as a zero; its index is kept apart.
    void addGapFill(zp::Channel channel, double x) override {
        gapFills[channel].push_back(points[channel].size());
        addXY(channel, x, 0.0);
    }
    // Takes what a load says the panel and the axis title show now.
    void show(const zp::PanelUpdate& update) {
        panel.apply(update);
        if (update.axisTitle) axisTitle = *update.axisTitle;
    }

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
    std::array<std::vector<std::size_t>, zp::kChannelCount> gapFills;  // indexes into points
    std::array<bool, zp::kChannelCount> legend{};
    long pointCount = 0;
    QString axisTitle = QStringLiteral("Date");
    zp::PanelTexts panel;
};

// English regional settings with the colon as time separator.
inline zp::DateTimeLocale testLocale() {
    zp::DateTimeLocale locale;
    locale.currentYear = 2024;
    return locale;
}

// The test locale with a point budget far above what the tests load.
inline zp::ImportOptions testOptions(const zp::DateTimeLocale& locale = testLocale(),
                                     std::int64_t pointBudget = std::int64_t{1} << 30) {
    return {pointBudget, locale};
}

// Imports `path` into `sink` and shows the result's panel update on it.
inline zp::ImportResult importInto(const QString& path, RecordingSink& sink,
                                   const zp::UnitSelectors& units = {},
                                   const zp::ImportOptions& options = testOptions()) {
    zp::ImportResult result = zp::importLogFile(path, units, sink, options);
    sink.show(result.panel);
    return result;
}

// Writes `content` to a file in `dir`; an empty path when it cannot be written.
inline QString writeLog(const QTemporaryDir& dir, const QByteArray& content) {
    static int counter = 0;
    const QString path = dir.filePath(QStringLiteral("log%1.csv").arg(++counter));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) return {};
    file.close();
    return file.error() == QFileDevice::NoError ? path : QString();
}

// Writes `content` to a file in `dir` and imports it into `sink`. A log that cannot be
// written fails the import as a file that does not exist would, so the test fails.
inline zp::ImportResult importText(const QTemporaryDir& dir, const QByteArray& content,
                                   RecordingSink& sink, const zp::UnitSelectors& units = {},
                                   const zp::DateTimeLocale& locale = testLocale()) {
    const QString path = writeLog(dir, content);
    if (path.isEmpty())
        return {zp::ImportResult::Status::OpenFailed,
                QStringLiteral("cannot write the test log"),
                {},
                {}};
    return importInto(path, sink, units, testOptions(locale));
}

// x of a time of day.
inline double at(int h, int m, int s) {
    return (h * 3600 + m * 60 + s) * 1000 / 86400000.0;
}

// Imports `content` as importText does, with a point budget of `budget` points.
inline zp::ImportResult importWithBudget(const QTemporaryDir& dir, const QByteArray& content,
                                         RecordingSink& sink, std::int64_t budget) {
    const QString path = writeLog(dir, content);
    if (path.isEmpty())
        return {zp::ImportResult::Status::OpenFailed,
                QStringLiteral("cannot write the test log"),
                {},
                {}};
    return importInto(path, sink, {}, testOptions(testLocale(), budget));
}
