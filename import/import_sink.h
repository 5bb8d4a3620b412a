// What the import writes into: the channel series. Everything else a load changes (the
// information panel, the axis title) comes back as a value in the load's result.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "channels/catalogue.h"
#include "import/record_models.h"

namespace zp {

// One record of a known model as the import handled it: after its parse and the
// conversion of its time field, before the plot gate. Valid during the call only.
struct RecordEvent {
    const RecordModel* model = nullptr;
    std::uint32_t second = 0;   // hour x 3600 + minute x 60 + second, as the plot gate sees it
    std::int64_t line = 0;      // 1-based line piece of the record
    const char* dateText = "";  // the date field (NUL-terminated, carried over when missing)
    std::int32_t hobbs = 0;
    std::int32_t maintenance = 0;
    // The value store after the parse, indexed by value slot (a Channel for the channels);
    // values a line did not supply are carried over from the lines before.
    const float* values = nullptr;
};

class ImportSink {
  public:
    virtual ~ImportSink() = default;

    // Removes every point of the channel's series.
    virtual void clearSeries(Channel channel) = 0;
    // Whether the channel's series has an item in the legend.
    virtual void setShowInLegend(Channel channel, bool on) = 0;
    // Appends one point; no repaint per point.
    virtual void addXY(Channel channel, double x, double y) = 0;
    // Appends the readings of `count` data steps: step k, at X xs[k], gives channels[c]
    // the value columns[c][k * stride]. The same as addXY for each step in turn and
    // each of its channels in turn; a sink may take them faster at once.
    virtual void addSteps(std::span<const Channel> channels, const double* xs,
                          const float* const* columns, std::size_t stride, std::size_t count) {
        for (std::size_t k = 0; k < count; ++k)
            for (std::size_t c = 0; c < channels.size(); ++c)
                addXY(channels[c], xs[k], static_cast<double>(columns[c][k * stride]));
    }
    // Appends one zero point of a gap fill: a placeholder for a second without a
    // record, not a reading. A sink that does not tell them apart keeps a plain zero.
    virtual void addGapFill(Channel channel, double x) { addXY(channel, x, 0.0); }

    // Called once for every record of a known model whose time field converted, before
    // the points of its data step or gap fill. The series' sinks ignore it.
    virtual void record(const RecordEvent& event) { (void)event; }
    // False for a sink that keeps no points at all (it reads the records): the import
    // then counts data steps and gap fills without handing out their points.
    virtual bool keepsPoints() const { return true; }
    // Whether addXY, addGapFill and reservePoints may be called for distinct channels
    // at once from different threads (and beside setShowInLegend on the loading thread),
    // each channel's calls still coming in order. A sink that says so gets its points
    // appended by several threads when a log is read by several; any other gets every
    // call in the one order of a one-thread load, from the loading thread.
    virtual bool appendsChannelsApart() const { return false; }
    // A hint that the channel's series will hold about `points` points in all, so that
    // room for them is made at once (by the thread that appends to that channel).
    virtual void reservePoints(Channel channel, std::size_t points) {
        (void)channel;
        (void)points;
    }
};

}  // namespace zp
