// Shared pieces of the fuzz targets: values read off the front of the fuzzer's bytes,
// scratch files for the code that opens files, and the chart and import options of
// the loads.
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "chart/chart_model.h"
#include "import/import_options.h"
#include "import/log_import.h"
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
// the defaults apply. The file is written and read only when its content differs from
// the previous call's (the settings target checks the reading itself).
SettingsRecord takeSettings(ByteReader& in);

// Makes `chart` hold the 41 channel series of the viewer, as createChannelSeries makes
// them, with the record's active flags. The series are copied from a chart made once per
// process; a chart used before keeps its point blocks, so a load into it allocates
// only where it holds more points than ever before.
void setUpChart(chart::Chart& chart, const SettingsRecord& record);

// Import options of the fuzz targets: a small budget and English regional settings.
ImportOptions fuzzImportOptions(std::int64_t pointBudget);

// The points held by all series of the chart.
std::int64_t pointsHeld(const chart::Chart& chart);

// What a load left in a chart and returned, kept to compare with another load of the
// same log: every series' points bit for bit, its look and flags, the axis title, and
// the status, message and panel update. The storage is kept from one use to the next.
class LoadRecord {
  public:
    void take(const chart::Chart& chart, const ImportResult& result);
    // True when the chart and result hold exactly what was taken; `what` names the
    // first difference otherwise.
    bool matches(const chart::Chart& chart, const ImportResult& result, const char*& what) const;

  private:
    struct Series {
        std::vector<chart::ChartPoint> points;
        QString name, title;
        QRgb color = 0;
        bool active = false, showInLegend = false, xDateTime = false;
    };
    std::vector<Series> series_;
    QString axisTitle_;
    ImportResult result_;
};

}  // namespace zp::fuzz
