// A bottom axis of dates over days to years: its labels read as the step the axis
// chooses needs them, so that no two labels read alike and none says more than it must
// (a time of day for steps under a day, day and month for steps under a month, the
// month for steps under a year, else the year).
#pragma once

#include <QString>

#include "chart/axis_scale.h"
#include "chart/chart_model.h"

namespace zp::chart {

// The label format for labels `increment` days apart: "d mmm hh:nn" under a day,
// "d mmm yyyy" under 32 days, "mmm yyyy" under a year, else "yyyy".
QString calendarLabelFormat(double increment);

// Sets the bottom axis' label format of `chart` to the one its step needs when the chart
// is laid out on `client`, laying it out again while the format changes the step (at
// most three times; of two formats that each lead to the other, the one that says more).
void fitCalendarLabels(Chart& chart, const PixelRect& client);

}  // namespace zp::chart
