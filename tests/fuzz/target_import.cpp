// Any bytes as a log file, with a settings record from the front of the input.
#include <algorithm>
#include <array>
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

// Small, so that an execution costs little: a gap fill converts a time text per second
// and appends a point per second and channel, so the budget bounds the work of a load.
// Gap fills over an hour of a one-channel model fit; longer ones stop at the budget
// (the import tests fill whole days).
constexpr std::int64_t kBudget = std::int64_t{1} << 12;

// The pieces that fgets(buffer, 1000, file) returns for a file opened in text mode:
// "\r\n" reads as "\n", and each piece ends after a line feed or at 999 characters.
// The pieces point into `text`, which holds the bytes with "\r\n" made "\n".
void referencePieces(std::string_view bytes, std::string& text,
                     std::vector<std::string_view>& pieces) {
    text.clear();
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t cr = bytes.find("\r\n", i);
        if (cr == std::string_view::npos) cr = bytes.size();
        text.append(bytes.substr(i, cr - i));
        i = cr + 1;  // past the carriage return; the line feed is copied next
    }
    pieces.clear();
    const std::string_view all = text;
    std::size_t pos = 0;
    while (pos < all.size()) {
        const std::size_t window =
            std::min(all.size() - pos, static_cast<std::size_t>(LineReader::kMaxPiece));
        const std::size_t lf = all.substr(pos, window).find('\n');
        const std::size_t length = lf == std::string_view::npos ? window : lf + 1;
        pieces.push_back(all.substr(pos, length));
        pos += length;
    }
}

// True when the reader delivers exactly `expected`.
bool readerMatches(const QString& path, std::size_t blockSize,
                   const std::vector<std::string_view>& expected) {
    LineReader reader(blockSize);
    require(reader.open(path), "line reader opens the log");
    std::string_view piece;
    std::size_t i = 0;
    while (reader.next(piece)) {
        if (i == expected.size() || piece != expected[i]) return false;
        ++i;
    }
    return i == expected.size();
}

// The field scanner against the C library on the C string [begin, end), the text of a
// field start up to the end of its line (and the first NUL, where a C string ends): "%d"
// against sscanf, "%f" against strtof, both in the C locale.
void checkScanners(const char* const begin, const char* const end) {
    static const bool cNumbers = std::setlocale(LC_NUMERIC, "C") != nullptr;
    require(cNumbers, "C locale for numbers");

    std::int32_t scanned = 0;
    const char* const intStop = cscan::scanInt(begin, end, scanned);
    int expectedInt = 0;
    int intLength = 0;
    const bool intMatched = std::sscanf(begin, "%d%n", &expectedInt, &intLength) == 1;
    require(intMatched == (intStop != nullptr), "%d matches where sscanf matches");
    if (intMatched)
        require(intStop - begin == intLength && scanned == expectedInt, "%d reads as sscanf");

    // The common number forms read as the general path reads them, where they read.
    float common = 0.0f;
    float general = 0.0f;
    if (const char* commonStop = cscan::scanCommonDecimal(begin, end, common)) {
        require(commonStop == cscan::scanFloatGeneral(begin, end, general),
                "the common forms stop where the general path stops");
        require(std::memcmp(&common, &general, sizeof common) == 0,
                "the common forms read the float the general path reads");
    }

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

// A sink that takes the points one call at a time, in the one order of a one-thread
// load, into point lists of its own: what the chart's sink, which takes the readings
// of many records at once, must hold as well.
class PointByPointSink : public ImportSink {
  public:
    std::array<chart::PointList, kChannelCount> lists;

    void clearSeries(Channel channel) override { lists[channel].clear(); }
    void setShowInLegend(Channel, bool) override {}
    void addXY(Channel channel, double x, double y) override { lists[channel].append(x, y); }
    void addGapFill(Channel channel, double x) override { lists[channel].appendGapFill(x); }
};

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Whether the chart's channel series hold what the sink's lists hold, bit for bit.
bool sameAsPointByPoint(const chart::Chart& chart, const PointByPointSink& sink) {
    for (int c = 0; c < kChannelCount; ++c) {
        const chart::PointList& held = chart.series[static_cast<std::size_t>(c)].points;
        const chart::PointList& one = sink.lists[static_cast<std::size_t>(c)];
        const chart::PointView a = held.points();
        const chart::PointView b = one.points();
        if (a.size() != b.size() || held.gapFillCount() != one.gapFillCount()) return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (!sameBits(a.x(i), b.x(i)) || !sameBits(a.y(i), b.y(i)) ||
                held.isGapFill(i) != one.isGapFill(i))
                return false;
    }
    return true;
}

}  // namespace

int importTarget(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    const SettingsRecord record = takeSettings(in);
    const std::size_t blockSize = 1000 + in.byte() * 7u;
    const std::string_view log = in.rest();
    const QString path = writeScratchFile("log.csv", log);

    // The reader delivers the same pieces as fgets in text mode, whatever its block size.
    static std::string referenceText;
    static std::vector<std::string_view> expected;
    referencePieces(log, referenceText, expected);
    require(readerMatches(path, std::size_t{1} << 20, expected), "line pieces, large blocks");
    require(readerMatches(path, blockSize, expected), "line pieces, small blocks");

    // Every field start of the first lines, as the record parser meets them. Each line
    // is copied once as a C string; a field's text runs to the line's end or first NUL.
    const char* const text = log.data();
    const char* const textEnd = text + std::min<std::size_t>(log.size(), 4096);
    const char* lineEnd = text;
    const char* lineStart = text;
    static std::string line;
    // The first NUL of `line` at or after the last field start (npos: not looked for).
    std::size_t nul = std::string::npos;
    for (const char* p = text; p < textEnd; ++p) {
        if (p == text || p[-1] == ',' || p[-1] == '\n') {
            if (lineEnd <= p) {
                lineEnd = std::find(p, textEnd, '\n');
                lineStart = p;
                line.assign(p, lineEnd);
                nul = std::string::npos;
            }
            const std::size_t offset = static_cast<std::size_t>(p - lineStart);
            if (nul == std::string::npos || nul < offset)
                nul = std::min(line.find('\0', offset), line.size());
            checkScanners(line.c_str() + offset, line.c_str() + nul);
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

    // The same points as a sink given them one at a time.
    static PointByPointSink plain;
    (void)importLogFile(path, units, plain, options);
    require(sameAsPointByPoint(chart, plain), "the same points as appended one at a time");

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

    // The log cut into parts at every line end and read by two threads: the very same
    // load as the one-thread one.
    ImportOptions split = options;
    split.threads = 2;
    split.minPartBytes = 1;
    prepareChartForLoad(chart);
    const ImportResult parted = loadLogIntoChart(path, units, chart, split);
    if (!first.matches(chart, parted, difference))
        throw InvariantBroken(std::string("a load cut into parts differs: ") + difference);
    return 0;
}

}  // namespace zp::fuzz
