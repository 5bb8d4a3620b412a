#include "import/log_parts.h"

#include <array>
#include <cstring>
#include <utility>

namespace zp {

void ParsedPart::clear() {
    lines.clear();
    values.clear();
    texts.clear();
}

namespace {

// Each model's value fields in line order: where the first of them is and their slots.
// Every model's fields end in a run of value fields, so a line that stored n fields
// stored the values of the first n - first of them.
struct ValueRun {
    int first = 0;
    std::array<int, kValueSlotCount> slotOf{};
};
const std::array<ValueRun, kModelCount + 1>& valueRuns() {
    static const std::array<ValueRun, kModelCount + 1> runs = [] {
        std::array<ValueRun, kModelCount + 1> made{};
        for (int id = 1; id <= kModelCount; ++id) {
            const RecordModel& model = *recordModel(id);
            ValueRun& run = made[static_cast<std::size_t>(id)];
            run.first = valueRunStart(model);
            for (std::size_t i = static_cast<std::size_t>(run.first); i < model.fields.size(); ++i)
                run.slotOf[i - static_cast<std::size_t>(run.first)] = model.fields[i].slot;
        }
        return made;
    }();
    return runs;
}

}  // namespace

void ParsedPart::add(std::string_view piece) {
    ParsedLine& line = lines.emplace_back();
    line.endsLine = !piece.empty() && piece.back() == '\n';
    const std::string_view text = cString(piece);
    if (!scanModelId(text, line.modelId)) return;
    line.idRead = true;
    const RecordModel* model = recordModel(line.modelId);
    if (!model) return;
    const ValueRun& run = valueRuns()[static_cast<std::size_t>(model->id)];
    // The values go straight to their place; the room of those not stored is given back.
    line.values = static_cast<std::uint32_t>(values.size());
    values.resize(values.size() + model->fields.size() - static_cast<std::size_t>(run.first));
    const int stored = parseRecordIntoRun(text, *model, scratch_, values.data() + line.values);
    values.resize(line.values +
                  static_cast<std::size_t>(stored > run.first ? stored - run.first : 0));
    line.stored = static_cast<std::uint8_t>(stored);
    line.text = static_cast<std::uint32_t>(texts.size());
    const int leading = stored < run.first ? stored : run.first;
    for (int i = 0; i < leading; ++i) {
        switch (model->fields[static_cast<std::size_t>(i)].kind) {
            case FieldKind::ModelId:
            case FieldKind::Value:  // not before the run of values
                break;
            case FieldKind::DateText: {
                const std::size_t length = std::strlen(scratch_.date);
                texts.insert(texts.end(), scratch_.date, scratch_.date + length);
                line.dateLength = static_cast<std::uint8_t>(length);
                break;
            }
            case FieldKind::TimeText: {
                const std::size_t length = std::strlen(scratch_.time);
                texts.insert(texts.end(), scratch_.time, scratch_.time + length);
                line.timeLength = static_cast<std::uint8_t>(length);
                break;
            }
            case FieldKind::Hobbs:
                line.hobbs = scratch_.hobbs;
                break;
            case FieldKind::Maintenance:
                line.maintenance = scratch_.maintenance;
                break;
        }
    }
}

void ParsedPart::store(const ParsedLine& line, const RecordModel& model,
                       RecordFields& fields) const {
    const ValueRun& run = valueRuns()[static_cast<std::size_t>(model.id)];
    const char* text = texts.data() + line.text;
    const int leading = line.stored < run.first ? line.stored : run.first;
    for (int i = 0; i < leading; ++i) {
        switch (model.fields[static_cast<std::size_t>(i)].kind) {
            case FieldKind::ModelId:
                fields.modelId = line.modelId;
                break;
            case FieldKind::DateText:
                std::memcpy(fields.date, text, line.dateLength);
                fields.date[line.dateLength] = '\0';
                text += line.dateLength;
                break;
            case FieldKind::TimeText:
                std::memcpy(fields.time, text, line.timeLength);
                fields.time[line.timeLength] = '\0';
                text += line.timeLength;
                break;
            case FieldKind::Hobbs:
                fields.hobbs = line.hobbs;
                break;
            case FieldKind::Maintenance:
                fields.maintenance = line.maintenance;
                break;
            case FieldKind::Value:  // not before the run of values
                break;
        }
    }
    const float* value = values.data() + line.values;
    for (int k = 0; k < line.stored - run.first; ++k)
        fields.values[run.slotOf[static_cast<std::size_t>(k)]] = value[k];
}

bool parsePart(LineReader& reader, std::int64_t index, std::int64_t partBytes, bool last,
               ParsedPart& part) {
    part.clear();
    const std::int64_t from = index * partBytes;
    // The first line that starts at or after `from` follows the first line feed at or
    // after from - 1.
    if (!reader.seek(from > 0 ? from - 1 : 0)) return false;
    std::string_view piece;
    if (from > 0) {
        do {
            if (!reader.next(piece)) return true;  // no line starts in the part
        } while (piece.back() != '\n');
    }
    const std::int64_t to = from + partBytes;
    bool lineStart = true;
    while ((!lineStart || last || reader.position() < to) && reader.next(piece)) {
        part.add(piece);
        lineStart = piece.back() == '\n';
    }
    return true;
}

WorkCrew::WorkCrew(int threads) {
    for (int i = 1; i < threads; ++i) helpers_.emplace_back([this, i] { serve(i); });
}

WorkCrew::~WorkCrew() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& helper : helpers_) helper.join();
}

void WorkCrew::run(const std::function<void(int)>& job) {
    {
        std::lock_guard lock(mutex_);
        job_ = &job;
        busy_ = size();
        ++generation_;
    }
    wake_.notify_all();
    perform(0);
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return busy_ == 0; });
    job_ = nullptr;
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

void WorkCrew::serve(int index) {
    std::uint64_t seen = 0;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
            if (stopping_) return;
            seen = generation_;
        }
        perform(index);
    }
}

void WorkCrew::perform(int index) {
    try {
        (*job_)(index);
    } catch (...) {
        std::lock_guard lock(mutex_);
        if (!failure_) failure_ = std::current_exception();
    }
    std::lock_guard lock(mutex_);
    if (--busy_ == 0) done_.notify_all();
}

}  // namespace zp
