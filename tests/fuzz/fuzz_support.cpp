#include "tests/fuzz/fuzz_support.h"

#include <QDir>
#include <QFile>
#include <QPalette>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>

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
    const QString path = QDir(scratchFolder()).filePath(QString::fromLatin1(name));
    QFile file(path);
    require(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "open scratch file");
    require(file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                static_cast<qint64>(bytes.size()),
            "write scratch file");
    return path;
}

SettingsRecord takeSettings(ByteReader& in) {
    const std::size_t length = in.byte();
    if (length > 60) return defaultSettingsRecord();
    const QString path = writeScratchFile("Settings.bin", in.take(length));
    SettingsRecord record{};
    require(readSettingsFile(path, record), "read settings");
    return record;
}

void setUpChart(chart::Chart& chart, const SettingsRecord& record) {
    createChannelSeries(chart, QPalette());
    for (const Channel channel : activeFlagOrder())
        channelSeries(chart, channel).active = isActive(record, channel);
}

ImportOptions fuzzImportOptions(std::int64_t pointBudget) {
    ImportOptions options;
    options.pointBudget = pointBudget;
    options.locale.currentYear = 2024;
    return options;
}

std::int64_t pointsHeld(const chart::Chart& chart) {
    std::int64_t n = 0;
    for (const chart::LineSeries& series : chart.series)
        n += static_cast<std::int64_t>(series.points.size());
    return n;
}

}  // namespace zp::fuzz
