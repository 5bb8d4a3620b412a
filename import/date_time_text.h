// The conversion of a record's time field into a date-time value (days since
// 30 December 1899, the fraction being the time of day) with the user's regional
// settings, and the decoding of a date-time into hours, minutes and seconds.
#pragma once

#include <QLocale>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

namespace zp {

// The regional settings the conversion reads. Texts are UTF-8.
struct DateTimeLocale {
    enum class DateOrder { MonthDayYear, DayMonthYear, YearMonthDay };
    DateOrder dateOrder = DateOrder::MonthDayYear;
    std::string dateSeparator = "/";
    std::string timeSeparator = ":";
    std::string decimalSeparator = ".";
    std::string amText = "AM";
    std::string pmText = "PM";
    int currentYear = 2000;
    // Two-digit years fall into the hundred years that end this many years after
    // the current year.
    int twoDigitYearWindow = 50;

    // The settings of a Qt locale (separators taken from its short formats) with the
    // current year of the system clock.
    static DateTimeLocale fromQLocale(const QLocale& locale);
};

// Converts the time field text. Accepts a time ("10:00:05", "10:00", "10", with
// optional milliseconds and AM/PM) or a date followed by an optional time. The
// colon is always accepted as the time separator, besides the locale's own. Only
// the space counts as a blank. False when the text is not a date and time.
bool textToDateTime(std::string_view text, const DateTimeLocale& locale, double& result);

// The date a date field means, read as textToDateTime reads the date of a time field:
// a date with the locale's order and separator, optionally followed by a time. `days`
// counts from 30 December 1899. False when the text is no such date.
bool textToDate(std::string_view text, const DateTimeLocale& locale, double& days);

// The error text for a time field that does not convert.
QString invalidDateTimeMessage(const QString& text);

// Hours, minutes, seconds and milliseconds of a date-time, the time of day rounded
// to the nearest millisecond.
struct TimeOfDay {
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t millisecond = 0;
};
TimeOfDay decodeTime(double dateTime);

}  // namespace zp
