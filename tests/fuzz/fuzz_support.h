// Shared pieces of the fuzz targets: values read off the front of the fuzzer's bytes,
// scratch files for the code that opens files, and the chart and import options of
// the loads.
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "chart/chart_model.h"
#include "import/import_options.h"
#include "loading/channel_series.h"
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

// A broken invariant of a target. Under the fuzzer it escapes the target and ends the
// process, which the fuzzer reports with the input; the replay test catches it and
// names the input that broke it.
class InvariantBroken : public std::logic_error {
  public:
    using std::logic_error::logic_error;
};

// Throws InvariantBroken with `what` when `condition` does not hold.
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

// Import options of the fuzz targets: a small budget and English regional settings.
ImportOptions fuzzImportOptions(std::int64_t pointBudget);

// The points held by all series of the chart.
std::int64_t pointsHeld(const chart::Chart& chart);

}  // namespace zp::fuzz
