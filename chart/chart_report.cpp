#include "chart_report.h"

namespace zp::chart {

// Placeholder until the layout engine lands.
QString layoutReportJson(Chart&, int width, int height) {
    return QStringLiteral("{\"width\": %1, \"height\": %2}").arg(width).arg(height);
}

bool renderToBmp(Chart&, int, int, const QString&) { return false; }

}  // namespace zp::chart
