#include "chart/text_measurer.h"

namespace zp::chart {

QFont chartLabelFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    return font;
}

QFont chartFootFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(8);
    return font;
}

}  // namespace zp::chart
