#include "library/flight.h"

#include <QStringList>
#include <cstdio>

namespace zp::library {

namespace {

// Shortest text that reads back as the same double.
QString numberText(double value) {
    return QString::number(value, 'g', 17);
}

}  // namespace

QString FlightOptions::key() const {
    QStringList unitTexts;
    for (const std::uint8_t code : units) unitTexts << QString::number(code);
    QStringList limitTexts;
    for (int c = 0; c < kChannelCount; ++c) {
        const std::optional<Limits>& l = limits[static_cast<std::size_t>(c)];
        if (l)
            limitTexts << QStringLiteral("%1:%2:%3")
                              .arg(QLatin1String(kChannels[c].name), numberText(l->low),
                                   numberText(l->high));
    }
    const QString localeText =
        QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8")
            .arg(static_cast<int>(locale.dateOrder))
            .arg(QString::fromStdString(locale.dateSeparator),
                 QString::fromStdString(locale.timeSeparator),
                 QString::fromStdString(locale.decimalSeparator),
                 QString::fromStdString(locale.amText), QString::fromStdString(locale.pmText))
            .arg(locale.currentYear)
            .arg(locale.twoDigitYearWindow);
    QString text = QStringLiteral("gap=%1;units=%2;limits=%3;locale=%4")
                       .arg(splitGap)
                       .arg(unitTexts.join(u','), limitTexts.join(u','), localeText);
    // Without an engine profile the key is as it always was.
    if (engine) {
        QStringList derived;
        for (const auto& [name, l] : derivedLimits)
            derived << QStringLiteral("%1:%2:%3").arg(name, numberText(l.low), numberText(l.high));
        text +=
            QStringLiteral(";engine=%1;derivedLimits=%2").arg(engine->key(), derived.join(u','));
    }
    return text;
}

const char* statusText(FileStatus status) {
    switch (status) {
        case FileStatus::Indexed:
            return "indexed";
        case FileStatus::NotALog:
            return "not a log";
        case FileStatus::Stopped:
            return "stopped";
        case FileStatus::Unreadable:
            break;
    }
    return "unreadable";
}

std::optional<FileStatus> statusFromText(const QString& text) {
    for (const FileStatus status :
         {FileStatus::Indexed, FileStatus::NotALog, FileStatus::Stopped, FileStatus::Unreadable})
        if (text == QLatin1String(statusText(status))) return status;
    return std::nullopt;
}

QString secondText(std::uint32_t second) {
    char text[16];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", second / 3600u, second / 60u % 60u,
                  second % 60u);
    return QString::fromLatin1(text);
}

}  // namespace zp::library
