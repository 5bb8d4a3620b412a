// The figures of an engine's derived channels per flight, read record by record as the
// flight sink reads the channels: the EGT and CHT spread and the hottest CHT of each
// record that has a reading of every assigned channel, and each cylinder's CHT rate over
// the readings of the 60 s before (none in the first 60 s of a flight or after a second
// without a reading of it, where the chart has a gap fill).
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "channels/channel_units.h"
#include "import/import_sink.h"

namespace zp::library {

struct Limits;
struct ChannelFigures;

// The engine profile's channels: per cylinder its EGT and CHT thermocouple, or none.
struct EngineChannels {
    int cylinders = 0;
    std::array<std::optional<Channel>, 8> egt{};
    std::array<std::optional<Channel>, 8> cht{};
    bool operator==(const EngineChannels&) const = default;
    // "egt=TC1Series,...;cht=..." for the options' key.
    QString key() const;
};

// Puts derived series' figures in series order: EGT spread, CHT spread, hottest CHT,
// then the rates by cylinder.
void sortDerivedFigures(std::vector<std::pair<QString, ChannelFigures>>& figures);

class DerivedFiguresSink {
  public:
    DerivedFiguresSink(const EngineChannels& engine, const std::map<QString, Limits>& limits,
                       const std::array<ToShownFn, kChannelCount>& toShown);

    void startFlight();
    // One record, `elapsed` seconds after the flight's first.
    void record(const RecordEvent& event, std::int64_t elapsed);
    // The figures of the flight so far, by series name in series order; series without
    // a reading are left out.
    std::vector<std::pair<QString, ChannelFigures>> figures() const;

  private:
    struct Sum {
        std::int64_t count = 0;
        double minimum = 0.0, maximum = 0.0, sum = 0.0;
        std::int64_t highRuns = 0, lowRuns = 0;
        bool inHigh = false, inLow = false;
        const Limits* limits = nullptr;
        void add(double value);
    };
    struct Rate {
        std::deque<std::pair<std::int64_t, double>> window;  // (elapsed second, value)
        std::int64_t runStart = 0;
        std::int64_t last = -2;
    };

    double shown(const RecordEvent& event, Channel channel) const;
    // Whether every channel of `list` is among the model's plotted channels.
    bool hasAll(const RecordModel& model, const std::vector<Channel>& list);

    std::vector<Channel> egt_, cht_;
    std::vector<int> chtCylinder_;  // cylinder number of each of cht_
    const std::array<ToShownFn, kChannelCount>& toShown_;
    std::vector<QString> names_;
    std::vector<Sum> sums_;  // EGT spread, CHT spread, hottest CHT, then the rates
    std::vector<Rate> rates_;
};

}  // namespace zp::library
