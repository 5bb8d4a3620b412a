// The colour a channel's series is drawn in: its own, or one of the desktop's for the
// channels that take the selection colour or the dark 3-D shadow.
#pragma once

#include <QColor>
#include <QPalette>

#include "channels/catalogue.h"

namespace zp::chart {

inline QColor channelColour(const ChannelInfo& info, const QPalette& palette) {
    switch (info.colourSource) {
        case ColourSource::Highlight:
            return palette.color(QPalette::Active, QPalette::Highlight);
        case ColourSource::DarkShadow:
            return palette.color(QPalette::Active, QPalette::Shadow);
        case ColourSource::Fixed:
            break;
    }
    return QColor::fromRgb(info.rgb);
}

}  // namespace zp::chart
