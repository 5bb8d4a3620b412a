// logdump's --limit NAME:LOW:HIGH, read the same way for a log and for --flights.
#pragma once

#include <QString>
#include <functional>
#include <limits>
#include <optional>

#include "channels/catalogue.h"

namespace zp::logdump {

// A series and its limits in the display unit; an empty LOW or HIGH is no limit there.
struct LimitOption {
    Channel channel = VoltsSeries;
    double low = -std::numeric_limits<double>::infinity();
    double high = std::numeric_limits<double>::infinity();
};

// Reads NAME:LOW:HIGH (LOW and HIGH finite numbers in the C locale, or empty). None, with
// `problem` saying why, for a bad text, an unknown name, a series `alreadyGiven` says has
// limits already, or LOW above HIGH.
std::optional<LimitOption> parseLimitOption(const QString& text,
                                            const std::function<bool(Channel)>& alreadyGiven,
                                            QString& problem);

}  // namespace zp::logdump
