#include "tests/fuzz/fuzz_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QPalette>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "loading/channel_series.h"
#include "settings/settings_file.h"

namespace zp::fuzz {

std::string_view ByteReader::take(std::size_t n) {
    const std::size_t count = std::min(n, size_ - pos_);
    const std::string_view part(reinterpret_cast<const char*>(data_ + pos_), count);
    pos_ += count;
    return part;
}

void require(bool condition, const char* what) {
    if (!condition) throw InvariantBroken(what);
}

QString scratchFolder() {
    static const std::unique_ptr<QTemporaryDir> dir = [] {
        const QString shm = QStringLiteral("/dev/shm");
        const QString base = QFileInfo(shm).isWritable() ? shm : QDir::tempPath();
        auto made = std::make_unique<QTemporaryDir>(base + QStringLiteral("/zp-fuzz-XXXXXX"));
        require(made->isValid(), "scratch folder");
        return made;
    }();
    return dir->path();
}

QString writeScratchFile(const char* name, std::string_view bytes) {
    // The paths of the few scratch names, made once; the file is written with plain
    // system calls, which cost far less than a QFile per input.
    struct Scratch {
        std::string name;
        QString path;
        QByteArray nativePath;
    };
    static std::vector<Scratch> known;
    auto it = std::find_if(known.begin(), known.end(),
                           [name](const Scratch& s) { return s.name == name; });
    if (it == known.end()) {
        const QString path = QDir(scratchFolder()).filePath(QString::fromLatin1(name));
        known.push_back({name, path, QFile::encodeName(path)});
        it = known.end() - 1;
    }
    const int fd =
        ::open(it->nativePath.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    require(fd >= 0, "open scratch file");
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    require(done == bytes.size(), "write scratch file");
    return it->path;
}

SettingsRecord takeSettings(ByteReader& in) {
    const std::size_t length = in.byte();
    if (length > 60) return defaultSettingsRecord();
    const std::string_view content = in.take(length);
    static std::string lastContent;
    static SettingsRecord lastRecord{};
    static bool read = false;
    if (read && content == lastContent) return lastRecord;
    const QString path = writeScratchFile("Settings.bin", content);
    SettingsRecord record{};
    require(readSettingsFile(path, record), "read settings");
    lastContent.assign(content);
    lastRecord = record;
    read = true;
    return record;
}

void setUpChart(chart::Chart& chart, const SettingsRecord& record) {
    static const chart::Chart made = [] {
        chart::Chart fresh;
        createChannelSeries(fresh, QPalette());
        return fresh;
    }();
    chart = made;
    for (const Channel channel : activeFlagOrder())
        channelSeries(chart, channel).active = isActive(record, channel);
}

ImportOptions fuzzImportOptions(std::int64_t pointBudget) {
    ImportOptions options;
    options.pointBudget = pointBudget;
    options.locale.currentYear = 2024;
    options.threads = 1;  // the one-thread load, which a load cut into parts must match
    return options;
}

std::int64_t pointsHeld(const chart::Chart& chart) {
    std::int64_t n = 0;
    for (const chart::LineSeries& series : chart.series)
        n += static_cast<std::int64_t>(series.points.size());
    return n;
}

void LoadRecord::take(const chart::Chart& chart, const ImportResult& result) {
    series_.resize(chart.series.size());
    for (std::size_t i = 0; i < chart.series.size(); ++i) {
        const chart::LineSeries& from = chart.series[i];
        Series& to = series_[i];
        const auto points = from.points.points();
        to.points.assign(points.begin(), points.end());
        to.name = from.name;
        to.title = from.title;
        to.color = from.color.rgba();
        to.active = from.active;
        to.showInLegend = from.showInLegend;
        to.xDateTime = from.xDateTime;
    }
    axisTitle_ = chart.bottomAxis.title;
    result_ = result;
}

namespace {
bool sameReport(const LogReport& a, const LogReport& b) {
    return a.lines == b.lines && a.records == b.records && a.unknownLines == b.unknownLines &&
           a.incompleteRecords == b.incompleteRecords && a.dataSteps == b.dataSteps &&
           a.gapFills == b.gapFills && a.filledSeconds == b.filledSeconds &&
           a.longestGap == b.longestGap && a.timeWentBack == b.timeWentBack &&
           a.firstTime == b.firstTime && a.lastTime == b.lastTime &&
           a.stoppedAtLine == b.stoppedAtLine;
}
}  // namespace

bool LoadRecord::matches(const chart::Chart& chart, const ImportResult& result,
                         const char*& what) const {
    what = nullptr;
    if (chart.series.size() != series_.size()) what = "the number of series";
    for (std::size_t i = 0; !what && i < series_.size(); ++i) {
        const chart::LineSeries& now = chart.series[i];
        const Series& then = series_[i];
        const auto points = now.points.points();
        const auto sameBits = [](const chart::ChartPoint& a, const chart::ChartPoint& b) {
            return std::memcmp(&a, &b, sizeof a) == 0;
        };
        if (points.size() != then.points.size() ||
            !std::equal(points.begin(), points.end(), then.points.begin(), sameBits))
            what = "series points";
        else if (now.name != then.name || now.title != then.title || now.color.rgba() != then.color)
            what = "series look";
        else if (now.active != then.active || now.showInLegend != then.showInLegend ||
                 now.xDateTime != then.xDateTime)
            what = "series flags (active, legend, date-time)";
    }
    if (what) return false;
    const PanelUpdate& a = result.panel;
    const PanelUpdate& b = result_.panel;
    if (chart.bottomAxis.title != axisTitle_)
        what = "bottom axis title";
    else if (result.status != result_.status || result.message != result_.message)
        what = "status and message";
    else if (a.modelText != b.modelText)
        what = "panel model text";
    else if (a.countersVisible != b.countersVisible || a.hobbsStart != b.hobbsStart ||
             a.hobbsStop != b.hobbsStop || a.maintenanceStart != b.maintenanceStart ||
             a.maintenanceStop != b.maintenanceStop)
        what = "panel counters";
    else if (a.axisTitle != b.axisTitle)
        what = "panel axis title";
    else if (!sameReport(result.report, result_.report))
        what = "report";
    return what == nullptr;
}

}  // namespace zp::fuzz
