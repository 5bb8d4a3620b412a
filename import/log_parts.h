// A log read by several threads: cut into parts at line ends, each part's line pieces
// parsed on its own into a record buffer (the fields each line stores, before anything
// that depends on the lines before it), which the one ordered pass then takes in file
// order. A line belongs to the part in whose byte range it starts, so the cut needs no
// look at the rest of the file and every part gives the pieces a one-thread read gives.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

#include "import/line_reader.h"
#include "import/record_parser.h"

namespace zp {

// One line piece as parsed on its own.
struct ParsedLine {
    std::int32_t modelId = 0;  // when idRead
    std::int32_t hobbs = 0;
    std::int32_t maintenance = 0;
    std::uint32_t values = 0;  // index of its first stored value in the part's values
    std::uint32_t text = 0;    // index of its date text, then its time text, in the part's texts
    std::uint8_t dateLength = 0;
    std::uint8_t timeLength = 0;
    // Fields of its model stored, from the first on: 0 when the line does not begin with
    // an integer (then it takes the model of the line before, and stores no field of it
    // either) or names no model.
    std::uint8_t stored = 0;
    bool idRead = false;    // the line begins with an integer: its model id
    bool endsLine = false;  // the piece ends with a line feed: the next starts a line
};

// The parsed pieces of one part, in file order.
struct ParsedPart {
    std::vector<ParsedLine> lines;
    std::vector<float> values;  // the stored value fields of each line, in field order
    std::vector<char> texts;    // the stored date and time texts, without NUL

    void clear();
    // Parses one piece: the model id, then the fields of its model.
    void add(std::string_view piece);
    // Stores the fields `line` stored into `fields`, as parsing the line into them would.
    void store(const ParsedLine& line, const RecordModel& model, RecordFields& fields) const;

  private:
    RecordFields scratch_{};
};

// The part `index` of a log cut into parts of `partBytes` bytes, read with `reader`
// (open on the log): the pieces of the lines that start in [index * partBytes,
// (index + 1) * partBytes), the last part also taking what the file grew by. False when
// the file cannot be read from there.
bool parsePart(LineReader& reader, std::int64_t index, std::int64_t partBytes, bool last,
               ParsedPart& part);

// Runs a job on a number of threads at once, the calling thread being number 0, and
// returns when each of them is done; the other threads wait between jobs. An exception
// a job throws is thrown again by run(), once every thread is done.
class WorkCrew {
  public:
    explicit WorkCrew(int threads);
    ~WorkCrew();
    WorkCrew(const WorkCrew&) = delete;
    WorkCrew& operator=(const WorkCrew&) = delete;

    int size() const { return static_cast<int>(helpers_.size()) + 1; }
    void run(const std::function<void(int)>& job);

  private:
    void serve(int index);
    void perform(int index);

    std::vector<std::thread> helpers_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    const std::function<void(int)>* job_ = nullptr;
    std::uint64_t generation_ = 0;
    int busy_ = 0;
    bool stopping_ = false;
    std::exception_ptr failure_;
};

}  // namespace zp
