#include "chart/date_time_format.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>
#include <cmath>
#include <optional>

namespace zp::chart {

namespace {

constexpr double kMsPerDay = 86400000.0;
// 1 January 10000, the first day the calendar cannot show.
constexpr double kEndOfCalendar = 2958466.0;

struct SplitDateTime {
    QDate date;
    QTime time;
};

// Rounds to the millisecond and splits into a calendar date and a time of day.
std::optional<SplitDateTime> split(double value) {
    if (!std::isfinite(value) || value < 0.0 || value >= kEndOfCalendar) return std::nullopt;
    const double ms = std::nearbyint(value * kMsPerDay);
    const double days = std::floor(ms / kMsPerDay);
    const double msOfDay = ms - days * kMsPerDay;
    SplitDateTime result;
    result.date = QDate(1899, 12, 30).addDays(static_cast<qint64>(days));
    result.time = QTime::fromMSecsSinceStartOfDay(static_cast<int>(msOfDay));
    if (!result.date.isValid() || !result.time.isValid()) return std::nullopt;
    return result;
}

// The first character of a locale pattern that is neither a letter nor a space nor a
// quote, looked for after the first occurrence of `after`.
QString separatorIn(const QString& pattern, QChar after, const QString& fallback) {
    const qsizetype from = pattern.indexOf(after, 0, Qt::CaseInsensitive);
    if (from < 0) return fallback;
    for (qsizetype i = from; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (!c.isLetter() && !c.isSpace() && c != u'\'') return QString(c);
    }
    return fallback;
}

QString twoDigits(int n) {
    if (n >= 0 && n < 100) {
        const QChar digits[2] = {QChar(u'0' + n / 10), QChar(u'0' + n % 10)};
        return QString(digits, 2);
    }
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// Length of the run of `c` (case-insensitive) starting at i.
qsizetype runLength(const QString& s, qsizetype i, QChar c) {
    qsizetype n = 0;
    while (i + n < s.size() && s.at(i + n).toLower() == c) ++n;
    return n;
}

}  // namespace

double nextDateTimeStep(double step) {
    for (int t = 25; t >= 0; --t) {
        if (step >= kDateTimeSteps[static_cast<std::size_t>(t)].days)
            return kDateTimeSteps[static_cast<std::size_t>(t) + 1].days;
    }
    return kDateTimeSteps[26].days;
}

QString localeTimeSeparator() {
    return separatorIn(QLocale().timeFormat(QLocale::ShortFormat), u'h', QStringLiteral(":"));
}

namespace {

// What one formatting of a date-time needs besides the format text.
struct FormatFacts {
    QDate date;
    QTime time;
    QLocale locale;
    QString timeSeparator;
    QString dateSeparator;
    bool twelveHour = false;
};

// Appends the time token of letter `lower` run `n` times at the start; returns the
// letters used, 0 when the letter is no time token here. `afterHour` is true right
// after an hour token, where "m" means minutes.
qsizetype appendTimeToken(QString& out, QChar lower, qsizetype n, const FormatFacts& f,
                          bool& afterHour) {
    const QTime& time = f.time;
    if (lower == u'h') {
        int hour = time.hour();
        if (f.twelveHour) hour = hour % 12 == 0 ? 12 : hour % 12;
        out += n >= 2 ? twoDigits(hour) : QString::number(hour);
        afterHour = true;
        return qMin<qsizetype>(n, 2);
    }
    if (lower == u'n' || (lower == u'm' && afterHour && n <= 2)) {
        out += n >= 2 ? twoDigits(time.minute()) : QString::number(time.minute());
        afterHour = false;
        return qMin<qsizetype>(n, 2);
    }
    if (lower == u's') {
        out += n >= 2 ? twoDigits(time.second()) : QString::number(time.second());
        return qMin<qsizetype>(n, 2);
    }
    if (lower == u'z') {
        const qsizetype used = n >= 3 ? 3 : 1;
        out += used == 3 ? QStringLiteral("%1").arg(time.msec(), 3, 10, QLatin1Char('0'))
                         : QString::number(time.msec());
        return used;
    }
    return 0;
}

// Appends the date token of letter `lower` run `n` times; returns the letters used, 0
// when the letter is no date token.
qsizetype appendDateToken(QString& out, QChar lower, qsizetype n, const FormatFacts& f) {
    const QDate& date = f.date;
    if (lower == u'd') {
        const qsizetype used = qMin<qsizetype>(n, 4);
        if (used == 1) out += QString::number(date.day());
        if (used == 2) out += twoDigits(date.day());
        if (used == 3) out += f.locale.dayName(date.dayOfWeek(), QLocale::ShortFormat);
        if (used == 4) out += f.locale.dayName(date.dayOfWeek(), QLocale::LongFormat);
        return used;
    }
    if (lower == u'm') {
        const qsizetype used = qMin<qsizetype>(n, 4);
        if (used == 1) out += QString::number(date.month());
        if (used == 2) out += twoDigits(date.month());
        if (used == 3) out += f.locale.monthName(date.month(), QLocale::ShortFormat);
        if (used == 4) out += f.locale.monthName(date.month(), QLocale::LongFormat);
        return used;
    }
    if (lower == u'y') {
        out += n >= 3 ? QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'))
                      : twoDigits(date.year() % 100);
        return n;
    }
    return 0;
}

// Appends a quoted literal or an am/pm designator at `i`; returns the characters used,
// 0 when neither starts there.
qsizetype appendLiteralOrDesignator(QString& out, const QString& format, qsizetype i,
                                    const FormatFacts& f) {
    const QChar c = format.at(i);
    if (c == u'"' || c == u'\'') {
        const qsizetype end = format.indexOf(c, i + 1);
        const qsizetype stop = end < 0 ? format.size() : end;
        out += format.mid(i + 1, stop - i - 1);
        return stop + 1 - i;
    }
    const QStringView rest = QStringView(format).mid(i);
    if (rest.left(5).compare(QLatin1String("am/pm"), Qt::CaseInsensitive) == 0) {
        out += f.time.hour() < 12 ? QStringLiteral("am") : QStringLiteral("pm");
        return 5;
    }
    if (rest.left(3).compare(QLatin1String("a/p"), Qt::CaseInsensitive) == 0) {
        out += f.time.hour() < 12 ? QStringLiteral("a") : QStringLiteral("p");
        return 3;
    }
    return 0;
}

}  // namespace

QString formatDateTime(double value, const QString& format) {
    const std::optional<SplitDateTime> dt = split(value);
    if (!dt) return {};
    FormatFacts facts;
    facts.date = dt->date;
    facts.time = dt->time;
    // The separators come from the locale's patterns: looked up only when the format
    // has a place for them.
    if (format.contains(u':')) facts.timeSeparator = localeTimeSeparator();
    if (format.contains(u'/'))
        facts.dateSeparator =
            separatorIn(facts.locale.dateFormat(QLocale::ShortFormat), u'd', QStringLiteral("/"));
    facts.twelveHour = format.contains(QLatin1String("am/pm"), Qt::CaseInsensitive) ||
                       format.contains(QLatin1String("a/p"), Qt::CaseInsensitive);

    QString out;
    out.reserve(format.size() + 8);
    bool afterHour = false;  // an "m" right after an hour token means minutes
    qsizetype i = 0;
    while (i < format.size()) {
        if (const qsizetype used = appendLiteralOrDesignator(out, format, i, facts)) {
            i += used;
            continue;
        }
        const QChar c = format.at(i);
        const QChar lower = c.toLower();
        const qsizetype n = runLength(format, i, lower);
        if (const qsizetype used = appendTimeToken(out, lower, n, facts, afterHour)) {
            i += used;
            continue;
        }
        if (const qsizetype used = appendDateToken(out, lower, n, facts)) {
            i += used;
            continue;
        }
        if (c == u':') {
            out += facts.timeSeparator;
        } else if (c == u'/') {
            out += facts.dateSeparator;
        } else {
            out += c;
        }
        ++i;
    }
    return out;
}

QString formatDateTimeQt(double value, const QString& qtPattern) {
    const std::optional<SplitDateTime> dt = split(value);
    if (!dt) return {};
    return QLocale().toString(QDateTime(dt->date, dt->time), qtPattern);
}

QString defaultDateTimePattern(double range) {
    const QLocale locale;
    if (range > 1.0) return locale.dateFormat(QLocale::ShortFormat);
    QString pattern = locale.timeFormat(QLocale::ShortFormat);
    // Some locales put seconds in their short time format; the axis shows hours and
    // minutes only, so the seconds and the separator before them are cut.
    const qsizetype secondsAt = pattern.indexOf(u's');
    if (secondsAt > 0) {
        qsizetype cut = secondsAt;
        while (cut > 0 && !pattern.at(cut - 1).isLetter()) --cut;
        qsizetype end = secondsAt;
        while (end < pattern.size() && pattern.at(end) == u's') ++end;
        pattern.remove(cut, end - cut);
    }
    return pattern;
}

}  // namespace zp::chart
