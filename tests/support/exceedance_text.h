// Runs beyond limits as one short text, so a test compares a whole list at once.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "analysis/series_analysis.h"

namespace zp::test {

// "H1-3:9 L5-5:-2" (side, start X, end X, peak per run).
inline QString exceedanceText(const std::vector<analysis::Exceedance>& runs) {
    QStringList parts;
    for (const analysis::Exceedance& r : runs)
        parts << QStringLiteral("%1%2-%3:%4")
                     .arg(r.side == analysis::ExceedSide::High ? QStringLiteral("H")
                                                               : QStringLiteral("L"))
                     .arg(r.startX)
                     .arg(r.endX)
                     .arg(r.peak);
    return parts.join(u' ');
}

}  // namespace zp::test
