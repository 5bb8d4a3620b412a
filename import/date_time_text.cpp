#include "import/date_time_text.h"

#include <QDate>
#include <cmath>
#include <cstdlib>

namespace zp {

namespace {

constexpr double kMillisecondsPerDay = 86400000.0;

// Reads the text left to right; every Scan... first skips blanks (spaces only).
class Scanner {
  public:
    Scanner(std::string_view text, const DateTimeLocale& locale) : s_(text), locale_(locale) {}

    std::size_t pos = 0;

    bool atEnd() const { return pos >= s_.size(); }

    void scanBlanks() {
        while (pos < s_.size() && s_[pos] == ' ') ++pos;
    }

    // A run of decimal digits; the run stops once its value has reached 1000.
    bool scanNumber(int& value, int& digits) {
        scanBlanks();
        std::size_t i = pos;
        int n = 0;
        while (i < s_.size() && s_[i] >= '0' && s_[i] <= '9' && n < 1000) {
            n = n * 10 + (s_[i] - '0');
            ++i;
        }
        if (i == pos) return false;
        digits = static_cast<int>(i - pos);
        pos = i;
        value = n;
        return true;
    }

    // An exact separator text.
    bool scanSeparator(std::string_view separator) {
        scanBlanks();
        if (separator.empty() || s_.substr(pos, separator.size()) != separator) return false;
        pos += separator.size();
        return true;
    }

    // The time separator: the colon, or the locale's own where it differs.
    bool scanTimeSeparator() {
        if (scanSeparator(":")) return true;
        return locale_.timeSeparator != ":" && scanSeparator(locale_.timeSeparator);
    }

    // A designator text, compared without regard to the case of ASCII letters.
    bool scanDesignator(std::string_view word) {
        if (word.empty()) return false;
        scanBlanks();
        if (s_.size() - pos < word.size()) return false;
        for (std::size_t i = 0; i < word.size(); ++i) {
            char a = s_[pos + i];
            char b = word[i];
            if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 'a' + 'A');
            if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 'a' + 'A');
            if (a != b) return false;
        }
        pos += word.size();
        return true;
    }

    // The AM or PM designator: 0 for AM, 12 for PM, -1 for none.
    int scanAmPm() {
        if (scanDesignator(locale_.amText) || scanDesignator("AM")) return 0;
        if (scanDesignator(locale_.pmText) || scanDesignator("PM")) return 12;
        return -1;
    }

    const DateTimeLocale& locale() const { return locale_; }

  private:
    std::string_view s_;
    const DateTimeLocale& locale_;
};

bool isLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

// Days since 30 December 1899 of a valid calendar date; false for an invalid one.
bool encodeDate(int year, int month, int day, double& days) {
    static constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    const int monthDays = kMonthDays[month - 1] + (month == 2 && isLeapYear(year) ? 1 : 0);
    if (day > monthDays) return false;
    long dayOfYear = day;
    for (int m = 1; m < month; ++m)
        dayOfYear += kMonthDays[m - 1] + (m == 2 && isLeapYear(year) ? 1 : 0);
    const long y = year - 1;
    constexpr long kDaysTo18991230 = 693594;
    days = static_cast<double>(y * 365 + y / 4 - y / 100 + y / 400 + dayOfYear - kDaysTo18991230);
    return true;
}

// Date first: number, date separator, number, optionally date separator and number.
bool scanDate(Scanner& sc, double& date) {
    int n1 = 0, n2 = 0, n3 = 0, l1 = 0, l2 = 0, l3 = 0;
    const std::string& sep = sc.locale().dateSeparator;
    if (!(sc.scanNumber(n1, l1) && sc.scanSeparator(sep) && sc.scanNumber(n2, l2))) return false;
    int year, month, day;
    using Order = DateTimeLocale::DateOrder;
    const Order order = sc.locale().dateOrder;
    if (sc.scanSeparator(sep)) {
        if (!sc.scanNumber(n3, l3)) return false;
        int yearLength;
        switch (order) {
            case Order::MonthDayYear:
                year = n3, yearLength = l3, month = n1, day = n2;
                break;
            case Order::DayMonthYear:
                year = n3, yearLength = l3, month = n2, day = n1;
                break;
            case Order::YearMonthDay:
            default:
                year = n1, yearLength = l1, month = n2, day = n3;
                break;
        }
        if (yearLength <= 2) {
            const int window = sc.locale().twoDigitYearWindow;
            const int centuryBase = sc.locale().currentYear - window;
            year += centuryBase / 100 * 100;
            if (window > 0 && year < centuryBase) year += 100;
        }
    } else {
        year = sc.locale().currentYear;
        if (order == Order::MonthDayYear)
            month = n1, day = n2;
        else
            month = n2, day = n1;
    }
    sc.scanSeparator(sep);  // a trailing date separator is allowed
    sc.scanBlanks();
    return encodeDate(year, month, day, date);
}

// A time of day; the text must end after it.
bool scanTime(Scanner& sc, double& time) {
    int base = sc.scanAmPm();
    int hour = 0, minute = 0, second = 0, millisecond = 0, digits = 0;
    if (!sc.scanNumber(hour, digits)) return false;
    if (sc.scanTimeSeparator()) {
        if (!sc.scanNumber(minute, digits)) return false;
        if (sc.scanTimeSeparator()) {
            if (!sc.scanNumber(second, digits)) return false;
            if (sc.scanSeparator(sc.locale().decimalSeparator) &&
                !sc.scanNumber(millisecond, digits))
                return false;
        }
    }
    if (base < 0) base = sc.scanAmPm();
    if (base >= 0) {
        if (hour == 0 || hour > 12) return false;
        if (hour == 12) hour = 0;
        hour += base;
    }
    sc.scanBlanks();
    if (!sc.atEnd()) return false;
    if (hour > 23 || minute > 59 || second > 59 || millisecond > 999) return false;
    time = static_cast<double>(((hour * 60 + minute) * 60 + second) * 1000 + millisecond) /
           kMillisecondsPerDay;
    return true;
}

// The separator between the first two fields of a format such as "dd.MM.yy" or
// "HH:mm": the characters after the first run of letters up to the next letter,
// quotes and surrounding spaces removed.
std::string separatorOf(const QString& format, const std::string& fallback) {
    qsizetype i = 0;
    while (i < format.size() && !format[i].isLetter()) ++i;
    while (i < format.size() && format[i].isLetter()) ++i;
    QString separator;
    bool quoted = false;
    for (; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'\'') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && c.isLetter()) break;
        separator += c;
    }
    separator = separator.trimmed();
    return separator.isEmpty() ? fallback : separator.toStdString();
}

}  // namespace

DateTimeLocale DateTimeLocale::fromQLocale(const QLocale& locale) {
    DateTimeLocale facts;
    const QString dateFormat = locale.dateFormat(QLocale::ShortFormat);
    for (const QChar c : dateFormat) {
        if (c == u'd') {
            facts.dateOrder = DateOrder::DayMonthYear;
            break;
        }
        if (c == u'M') {
            facts.dateOrder = DateOrder::MonthDayYear;
            break;
        }
        if (c == u'y') {
            facts.dateOrder = DateOrder::YearMonthDay;
            break;
        }
    }
    facts.dateSeparator = separatorOf(dateFormat, std::string());
    // A short date with the month as a word ("d MMM yyyy" of the C locale) gives no
    // numeric date separator, and no date in a time field could ever convert. Such
    // locales read dates as month/day/year with "/", the English default.
    if (facts.dateSeparator.empty() || dateFormat.contains(QLatin1String("MMM"))) {
        facts.dateOrder = DateOrder::MonthDayYear;
        facts.dateSeparator.assign(1, '/');
    }
    facts.timeSeparator = separatorOf(locale.timeFormat(QLocale::ShortFormat), ":");
    facts.decimalSeparator = locale.decimalPoint().toStdString();
    facts.amText = locale.amText().toStdString();
    facts.pmText = locale.pmText().toStdString();
    facts.currentYear = QDate::currentDate().year();
    return facts;
}

bool textToDateTime(std::string_view text, const DateTimeLocale& locale, double& result) {
    {
        Scanner sc(text, locale);
        double date = 0.0;
        if (scanDate(sc, date)) {
            double time = 0.0;
            if (sc.atEnd() || scanTime(sc, time)) {
                result = date >= 0 ? date + time : date - time;
                return true;
            }
        }
    }
    Scanner sc(text, locale);
    return scanTime(sc, result);
}

bool textToDate(std::string_view text, const DateTimeLocale& locale, double& days) {
    Scanner sc(text, locale);
    double date = 0.0;
    double time = 0.0;
    if (!scanDate(sc, date) || !(sc.atEnd() || scanTime(sc, time))) return false;
    days = date;
    return true;
}

QString invalidDateTimeMessage(const QString& text) {
    return QStringLiteral("'") + text + QStringLiteral("' is not a valid date and time");
}

TimeOfDay decodeTime(double dateTime) {
    // The time of day in whole milliseconds, rounded to nearest (ties to even) from
    // the extended-precision product, as the framework's date-time decoding does.
    const long double product = static_cast<long double>(dateTime) * 86400000.0L;
    if (!(std::fabs(product) < 9.0e18L)) return TimeOfDay{};
    long long total = std::llrint(product);
    if (total < 0) total = -total;
    const long long ms = total % 86400000LL;
    const long long minutes = ms / 60000;
    const long long rest = ms % 60000;
    TimeOfDay t;
    t.hour = static_cast<std::uint16_t>(minutes / 60);
    t.minute = static_cast<std::uint16_t>(minutes % 60);
    t.second = static_cast<std::uint16_t>(rest / 1000);
    t.millisecond = static_cast<std::uint16_t>(rest % 1000);
    return t;
}

}  // namespace zp
