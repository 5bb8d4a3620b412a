// Date-time values as the chart shows them: days since 30 December 1899 (the fraction
// is the time of day) turned into label text, and the step table of a date-time axis.
#pragma once

#include <QString>
#include <array>

namespace zp::chart {

inline constexpr double kOneSecond = 1.0 / 86400.0;
inline constexpr double kOneMillisecond = 1.0 / 86400000.0;
inline constexpr double kOneMicrosecond = kOneSecond / 1000000.0;

// One entry of the date-time step table.
struct DateTimeStep {
    const char* name;
    double days;  // step length in days
};

// The 28 date-time steps, shortest first; the last entry ("no calendar step") is one
// day long and is never reached by nextDateTimeStep().
//                           name                  length in days
inline constexpr std::array<DateTimeStep, 28> kDateTimeSteps = {{
    {"dtOneMicroSecond", kOneMicrosecond},
    {"dtOneMillisecond", kOneMillisecond},
    {"dtOneSecond", kOneSecond},
    {"dtFiveSeconds", 5.0 * kOneSecond},
    {"dtTenSeconds", 10.0 * kOneSecond},
    {"dtFifteenSeconds", 15.0 * kOneSecond},
    {"dtThirtySeconds", 30.0 * kOneSecond},
    {"dtOneMinute", 1.0 / 1440.0},
    {"dtFiveMinutes", 5.0 / 1440.0},
    {"dtTenMinutes", 10.0 / 1440.0},
    {"dtFifteenMinutes", 0.25 / 24.0},
    {"dtThirtyMinutes", 0.5 / 24.0},
    {"dtOneHour", 1.0 / 24.0},
    {"dtTwoHours", 2.0 / 24.0},
    {"dtSixHours", 0.25},
    {"dtTwelveHours", 0.5},
    {"dtOneDay", 1.0},
    {"dtTwoDays", 2.0},
    {"dtThreeDays", 3.0},
    {"dtOneWeek", 7.0},
    {"dtHalfMonth", 15.0},
    {"dtOneMonth", 30.0},
    {"dtTwoMonths", 60.0},
    {"dtThreeMonths", 90.0},
    {"dtFourMonths", 120.0},
    {"dtSixMonths", 182.0},
    {"dtOneYear", 365.0},
    {"dtNone", 1.0},
}};

// The table step after the longest entry (of the first 26) that `step` reaches;
// one year when `step` is shorter than every entry.
double nextDateTimeStep(double step);

// A date-time value as text in a format of "hh", "h", "nn", "n", "ss", "s", "zzz",
// "d", "dd", "ddd", "dddd", "m", "mm" (minutes right after an hour token), "mmm",
// "mmmm", "yy", "yyyy" and "am/pm" tokens (letters in any case), with ":" the locale's
// time separator, "/" its date separator and quoted text copied as it is. The value is
// first rounded to the millisecond (ties to even). A negative, non-finite or
// out-of-calendar value (year 10000 on) gives an empty text.
QString formatDateTime(double value, const QString& format);

// The same value in a pattern of QLocale (QDateTime::toString syntax), for the
// default formats taken from the locale.
QString formatDateTimeQt(double value, const QString& qtPattern);

// The locale's short date format when the range is more than one day, else its short
// time format cut to hours and minutes; both as QLocale patterns.
QString defaultDateTimePattern(double range);

// The time separator of QLocale() (taken from its time format; ":" when none shows).
QString localeTimeSeparator();

}  // namespace zp::chart
