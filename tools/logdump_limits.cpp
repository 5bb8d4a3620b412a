#include "tools/logdump_limits.h"

#include <QStringList>
#include <cmath>

namespace zp::logdump {

namespace {

bool parseLimitValue(const QString& text, double& value) {
    bool ok = false;
    value = text.toDouble(&ok);
    return ok && std::isfinite(value);
}

}  // namespace

std::optional<LimitOption> parseLimitOption(const QString& text,
                                            const std::function<bool(Channel)>& alreadyGiven,
                                            QString& problem) {
    const QStringList parts = text.split(u':');
    if (parts.size() != 3) {
        problem = QStringLiteral("bad --limit (NAME:LOW:HIGH): ") + text;
        return std::nullopt;
    }
    const std::optional<Channel> channel = channelNamed(parts[0].toStdString());
    if (!channel) {
        problem = QStringLiteral("unknown series name for --limit: ") + parts[0];
        return std::nullopt;
    }
    if (alreadyGiven(*channel)) {
        problem = QStringLiteral("--limit given twice for ") + parts[0];
        return std::nullopt;
    }
    LimitOption limit;
    limit.channel = *channel;
    if (!parts[1].isEmpty() && !parseLimitValue(parts[1], limit.low)) {
        problem = QStringLiteral("bad low limit for --limit: ") + text;
        return std::nullopt;
    }
    if (!parts[2].isEmpty() && !parseLimitValue(parts[2], limit.high)) {
        problem = QStringLiteral("bad high limit for --limit: ") + text;
        return std::nullopt;
    }
    if (limit.low > limit.high) {
        problem = QStringLiteral("low limit above high limit for --limit: ") + text;
        return std::nullopt;
    }
    return limit;
}

}  // namespace zp::logdump
