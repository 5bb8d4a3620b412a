// The four fuzz targets. Each takes any bytes, runs them through the viewer's own code
// and stops the process (abort) when an invariant does not hold, so that libFuzzer
// records the input; the replay test runs the kept inputs through the same functions.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zp::fuzz {

// A settings record and a log file taken from the bytes: the line reader against a
// plain model of it, the field scanners against the C library, then the whole import
// into the 41 channel series, twice into the same chart with the same outcome.
int importTarget(const std::uint8_t* data, std::size_t size);

// The time field conversion under a locale chosen by the first byte, and the decoding
// of what it returns.
int timeFieldTarget(const std::uint8_t* data, std::size_t size);

// Settings.bin with the bytes as its content: read, applied to the series and the
// Units dialog, converted with, and written back.
int settingsTarget(const std::uint8_t* data, std::size_t size);

// A small chart size, a settings record, a few mouse zoom and scroll steps and a log:
// the import, then the chart's layout and drawing before and after the steps.
int chartTarget(const std::uint8_t* data, std::size_t size);

}  // namespace zp::fuzz
