// Any bytes as a log file, with a settings record from the front of the input.
#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "import/c_scan.h"
#include "import/line_reader.h"
#include "loading/log_loading.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/fuzz_targets.h"

namespace zp::fuzz {

namespace {

// Small enough to keep a fuzzing run fast, large enough for a gap fill across a whole
// day of a one-channel model.
constexpr std::int64_t kBudget = std::int64_t{1} << 17;

// The pieces that fgets(buffer, 1000, file) returns for a file opened in text mode:
// "\r\n" reads as "\n", and each piece ends after a line feed or at 999 characters.
std::vector<std::string> referencePieces(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        text.push_back(bytes[i]);
    }
    std::vector<std::string> pieces;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = pos;
        while (end < text.size() && end - pos < static_cast<std::size_t>(LineReader::kMaxPiece)) {
            if (text[end++] == '\n') break;
        }
        pieces.emplace_back(text, pos, end - pos);
        pos = end;
    }
    return pieces;
}

std::vector<std::string> readerPieces(const QString& path, std::size_t blockSize) {
    LineReader reader(blockSize);
    require(reader.open(path), "line reader opens the log");
    std::vector<std::string> pieces;
    std::string_view piece;
    while (reader.next(piece)) pieces.emplace_back(piece);
    return pieces;
}

// The field scanner against the C library on the text from `p` up to the end of its line
// (and the first NUL, where a C string ends): "%d" against sscanf, "%f" against strtof,
// both in the C locale.
void checkScanners(const char* p, const char* lineEnd) {
    static const bool cNumbers = std::setlocale(LC_NUMERIC, "C") != nullptr;
    require(cNumbers, "C locale for numbers");
    const std::string text(p, std::find(p, lineEnd, '\0'));
    const char* const begin = text.c_str();
    const char* const end = begin + text.size();

    std::int32_t scanned = 0;
    const char* const intStop = cscan::scanInt(begin, end, scanned);
    int expectedInt = 0;
    int intLength = 0;
    const bool intMatched = std::sscanf(begin, "%d%n", &expectedInt, &intLength) == 1;
    require(intMatched == (intStop != nullptr), "%d matches where sscanf matches");
    if (intMatched)
        require(intStop - begin == intLength && scanned == expectedInt, "%d reads as sscanf");

    float value = 0.0f;
    const char* const floatStop = cscan::scanFloat(begin, end, value);
    char* stop = nullptr;
    errno = 0;
    const float expected = std::strtof(begin, &stop);
    const bool floatMatched = stop != begin;
    require(floatMatched == (floatStop != nullptr), "%f matches where strtof reads");
    if (floatMatched) {
        require(floatStop == stop, "%f stops where strtof stops");
        require(std::isnan(value) ? std::isnan(expected)
                                  : std::memcmp(&value, &expected, sizeof value) == 0,
                "%f reads the float strtof reads");
    }
}

}  // namespace

int importTarget(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    const SettingsRecord record = takeSettings(in);
    const std::size_t blockSize = 1000 + in.byte() * 7u;
    const std::string_view log = in.rest();
    const QString path = writeScratchFile("log.csv", log);

    // The reader delivers the same pieces as fgets in text mode, whatever its block size.
    const std::vector<std::string> expected = referencePieces(log);
    require(readerPieces(path, std::size_t{1} << 20) == expected, "line pieces, large blocks");
    require(readerPieces(path, blockSize) == expected, "line pieces, small blocks");

    // Every field start of the first lines, as the record parser meets them.
    const char* const text = log.data();
    const char* const textEnd = text + std::min<std::size_t>(log.size(), 4096);
    const char* lineEnd = text;
    for (const char* p = text; p < textEnd; ++p) {
        if (p == text || p[-1] == ',' || p[-1] == '\n') {
            if (lineEnd <= p) lineEnd = std::find(p, textEnd, '\n');
            checkScanners(p, lineEnd);
        }
    }

    // One chart for the process, set up afresh for each input (it keeps its blocks).
    static chart::Chart chart;
    setUpChart(chart, record);
    prepareChartForLoad(chart);
    const UnitSelectors units = unitSelectorsOf(record);
    const ImportOptions options = fuzzImportOptions(kBudget);
    const ImportResult result = loadLogIntoChart(path, units, chart, options);

    require(result.status != ImportResult::Status::OpenFailed, "the log opens");
    require(result.status != ImportResult::Status::Loaded ||
                result.message == QLatin1String("File Loaded!"),
            "loaded message");
    require(pointsHeld(chart) <= kBudget, "points within the budget");
    for (const chart::LineSeries& series : chart.series) {
        const auto points = series.points.points();
        for (std::size_t i = 0; i < points.size(); ++i) {
            require(std::isfinite(points[i].x), "point times are finite");
            require(i == 0 || points[i - 1].x <= points[i].x, "points in time order");
        }
    }

    // The same log loaded again into the same chart, as the viewer's load button does:
    // the chart now holds the first load's points instead of the start-up series, and
    // the process ran one load more. Nothing of that may show in the second load.
    static LoadRecord first;
    first.take(chart, result);
    prepareChartForLoad(chart);
    const ImportResult again = loadLogIntoChart(path, units, chart, options);
    const char* difference = nullptr;
    if (!first.matches(chart, again, difference))
        throw InvariantBroken(std::string("a second load of the same log differs: ") + difference);
    return 0;
}

}  // namespace zp::fuzz
