// Reading one log file into its flights with the viewer's own import, in one pass that
// keeps no points: a summarising sink takes each record as the import handles it and
// adds its readings to the figures of the flight it belongs to.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "channels/channel_units.h"
#include "import/import_sink.h"
#include "library/flight.h"

namespace zp::library {

// The sink: splits the records into flights and sums their readings. Its memory is the
// figures of the flights, whatever the length of the file.
class FlightSink : public ImportSink {
  public:
    explicit FlightSink(const FlightOptions& options);

    void clearSeries(Channel) override {}
    void setShowInLegend(Channel, bool) override {}
    void addXY(Channel, double, double) override {}
    void addGapFill(Channel, double) override {}
    bool keepsPoints() const override { return false; }
    void record(const RecordEvent& event) override;

    // Ends the flight in progress and hands out every flight read, in file order. Each
    // flight whose date field does not read as a date gets `fileDate`.
    std::vector<Flight> takeFlights(QDate fileDate);

  private:
    struct Accumulator {
        std::int64_t count = 0;
        double minimum = 0.0;
        double maximum = 0.0;
        double sum = 0.0;
        std::int64_t highRuns = 0;
        std::int64_t lowRuns = 0;
        bool inHigh = false;
        bool inLow = false;
    };

    void startFlight(const RecordEvent& event);
    void finishFlight();

    const FlightOptions& options_;
    // The conversion of each channel under the options' units (nullptr: as recorded).
    std::array<ToShownFn, kChannelCount> toShown_{};
    std::vector<Flight> flights_;
    bool inFlight_ = false;
    Flight current_;
    std::array<Accumulator, kChannelCount> channels_{};
    std::uint32_t lastSecond_ = 0;
    // The derived series' figures, with an engine profile.
    std::optional<DerivedFiguresSink> derived_;
};

// Reads the file at `path` (absolute) into its flights: status Indexed, NotALog (no
// record), Stopped (a time field stopped the import; the flights before it stay) or
// Unreadable (it did not open).
FileFlights readFlights(const QString& path, const FlightOptions& options);

}  // namespace zp::library
