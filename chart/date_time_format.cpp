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

QString formatDateTime(double value, const QString& format) {
    const std::optional<SplitDateTime> dt = split(value);
    if (!dt) return {};
    const QLocale locale;
    const QString timeSeparator = localeTimeSeparator();
    const QString dateSeparator =
        separatorIn(locale.dateFormat(QLocale::ShortFormat), u'd', QStringLiteral("/"));
    const bool twelveHour = format.contains(QLatin1String("am/pm"), Qt::CaseInsensitive) ||
                            format.contains(QLatin1String("a/p"), Qt::CaseInsensitive);
    const QDate& date = dt->date;
    const QTime& time = dt->time;

    QString out;
    bool afterHour = false;  // an "m" right after an hour token means minutes
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format.at(i);
        const QChar lower = c.toLower();
        if (c == u'"' || c == u'\'') {
            const qsizetype end = format.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? format.size() : end;
            out += format.mid(i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        if (format.mid(i, 5).compare(QLatin1String("am/pm"), Qt::CaseInsensitive) == 0) {
            out += time.hour() < 12 ? QStringLiteral("am") : QStringLiteral("pm");
            i += 5;
            continue;
        }
        if (format.mid(i, 3).compare(QLatin1String("a/p"), Qt::CaseInsensitive) == 0) {
            out += time.hour() < 12 ? QStringLiteral("a") : QStringLiteral("p");
            i += 3;
            continue;
        }
        const qsizetype n = runLength(format, i, lower);
        if (lower == u'h') {
            int hour = time.hour();
            if (twelveHour) hour = hour % 12 == 0 ? 12 : hour % 12;
            out += n >= 2 ? twoDigits(hour) : QString::number(hour);
            i += qMin<qsizetype>(n, 2);
            afterHour = true;
            continue;
        }
        if (lower == u'n' || (lower == u'm' && afterHour && n <= 2)) {
            out += n >= 2 ? twoDigits(time.minute()) : QString::number(time.minute());
            i += qMin<qsizetype>(n, 2);
            afterHour = false;
            continue;
        }
        if (lower == u's') {
            out += n >= 2 ? twoDigits(time.second()) : QString::number(time.second());
            i += qMin<qsizetype>(n, 2);
            continue;
        }
        if (lower == u'z') {
            const qsizetype used = n >= 3 ? 3 : 1;
            out += used == 3 ? QStringLiteral("%1").arg(time.msec(), 3, 10, QLatin1Char('0'))
                             : QString::number(time.msec());
            i += used;
            continue;
        }
        if (lower == u'd') {
            const qsizetype used = qMin<qsizetype>(n, 4);
            if (used == 1) out += QString::number(date.day());
            if (used == 2) out += twoDigits(date.day());
            if (used == 3) out += locale.dayName(date.dayOfWeek(), QLocale::ShortFormat);
            if (used == 4) out += locale.dayName(date.dayOfWeek(), QLocale::LongFormat);
            i += used;
            continue;
        }
        if (lower == u'm') {
            const qsizetype used = qMin<qsizetype>(n, 4);
            if (used == 1) out += QString::number(date.month());
            if (used == 2) out += twoDigits(date.month());
            if (used == 3) out += locale.monthName(date.month(), QLocale::ShortFormat);
            if (used == 4) out += locale.monthName(date.month(), QLocale::LongFormat);
            i += used;
            continue;
        }
        if (lower == u'y') {
            out += n >= 3 ? QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'))
                          : twoDigits(date.year() % 100);
            i += n;
            continue;
        }
        if (c == u':') {
            out += timeSeparator;
        } else if (c == u'/') {
            out += dateSeparator;
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
