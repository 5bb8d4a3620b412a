// The engine profile: which thermocouple channel is the exhaust gas (EGT) and which the
// cylinder head (CHT) temperature of each cylinder, and which channel measures the fuel
// flow. One profile per user, kept as plain text that a user can also write by hand:
//
//     [engine]
//     name=N123AB
//     cylinders=4
//     egt=TC1,TC2,TC3,TC4
//     cht=TC5,TC6,TC7,TC8
//     fuelflow=FuelFlow1
#pragma once

#include <QString>
#include <array>
#include <optional>

#include "channels/catalogue.h"

namespace zp::analysis {

inline constexpr int kMaxCylinders = 8;

struct EngineProfile {
    QString name;
    int cylinders = 4;
    // Per cylinder (0 = cylinder 1): its EGT and CHT channel, any of TC1-TC12, or none.
    std::array<std::optional<Channel>, kMaxCylinders> egt{};
    std::array<std::optional<Channel>, kMaxCylinders> cht{};
    // The channel whose readings the lean test takes as the fuel flow; none: no lean test.
    std::optional<Channel> fuelFlow = FuelFlow1Series;

    bool operator==(const EngineProfile&) const = default;
};

// A profile read from text, or the first error in it with its line number (from 1).
struct ProfileReading {
    std::optional<EngineProfile> profile;
    int errorLine = 0;
    QString error;  // "line 3: cylinders takes 1 to 8, not 9"; empty when read
};

// Reads the text of a profile. Blank lines and lines starting with '#' or ';' are
// comments; the first other line is "[engine]", then key=value lines: name, cylinders
// (1-8), egt and cht (one entry per cylinder, TC1-TC12 or "none"; left out: none),
// fuelflow (a channel, e.g. FuelFlow1, or "none"; left out: FuelFlow1). Channel names
// may carry their "Series" ending and are read in any case. A key given twice, an
// unknown key, an entry count other than the cylinders and a channel assigned twice
// are errors.
ProfileReading parseEngineProfile(const QString& text);

// The text parseEngineProfile reads back as `profile`.
QString engineProfileText(const EngineProfile& profile);

// Reads the profile file at `path`: none without error when it does not exist; an error
// naming the file and line otherwise.
ProfileReading readEngineProfileFile(const QString& path);
// Writes the profile to `path`, replacing it only once complete; empty on success,
// else the reason.
QString writeEngineProfileFile(const QString& path, const EngineProfile& profile);

// The short name of a channel in a profile ("TC1", "FuelFlow1").
QString profileChannelName(Channel channel);

}  // namespace zp::analysis
