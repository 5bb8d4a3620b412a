// Shared pieces of the fuzz targets: values read off the front of the fuzzer's bytes,
// scratch files for the code that opens files, and an import sink that fills a chart
// the way the main window does.
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "loading/channel_series.h"
#include "chart/chart_model.h"
#include "import/import_sink.h"
#include "settings/settings_record.h"

namespace zp::fuzz {

// Reads bytes off the front of the input; an exhausted input reads as zeros.
class ByteReader {
  public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    // Up to n bytes.
    std::string_view take(std::size_t n);
    std::string_view rest() { return take(size_ - pos_); }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Stops the process with a message when an invariant does not hold.
void require(bool condition, const char* what);

// The folder of this process's scratch files (in memory where the system offers it).
QString scratchFolder();
// Writes `bytes` to the scratch file `name`, replacing it, and returns its path.
QString writeScratchFile(const char* name, std::string_view bytes);

// The settings record as the viewer reads it at start-up, from a length byte n: for n up
// to 60 the next n bytes are the content of Settings.bin, otherwise there is no file and
// the defaults apply.
SettingsRecord takeSettings(ByteReader& in);

// A chart holding the 41 channel series of the viewer with the record's active flags.
void setUpChart(chart::Chart& chart, const SettingsRecord& record);

// The import sink of the main window, without the widgets, counting the points it adds.
class ChartSink : public ChartImportSink {
  public:
    using ChartImportSink::ChartImportSink;
    void addXY(Channel channel, double x, double y) override {
        ChartImportSink::addXY(channel, x, y);
        ++added;
    }

    std::int64_t added = 0;  // points appended
};

}  // namespace zp::fuzz
