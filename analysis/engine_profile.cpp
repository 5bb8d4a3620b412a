#include "analysis/engine_profile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace zp::analysis {

namespace {

// A channel named in a profile: "TC1", "tc1series", "FuelFlow1" ...
std::optional<Channel> channelOfName(const QString& text) {
    QString name = text.trimmed();
    if (!name.endsWith(QStringLiteral("series"), Qt::CaseInsensitive))
        name += QStringLiteral("Series");
    for (int c = 0; c < kChannelCount; ++c)
        if (name.compare(QLatin1String(kChannels[c].name), Qt::CaseInsensitive) == 0)
            return static_cast<Channel>(c);
    return std::nullopt;
}

bool isThermocouple(Channel c) {
    return c >= TC1Series && c <= TC12Series;
}

}  // namespace

QString profileChannelName(Channel channel) {
    QString name = QLatin1String(kChannels[channel].name);
    name.chop(6);  // "Series"
    return name;
}

ProfileReading parseEngineProfile(const QString& text) {
    ProfileReading out;
    const auto fail = [&out](int line, const QString& message) {
        out.profile.reset();
        out.errorLine = line;
        out.error = QStringLiteral("line %1: %2").arg(line).arg(message);
        return out;
    };
    EngineProfile p;
    p.egt.fill(std::nullopt);
    p.cht.fill(std::nullopt);
    bool header = false;
    QStringList seen;
    // The egt and cht lists are checked against the cylinder count at the end, with
    // the line they came from.
    QStringList lists[2];
    int listLines[2] = {0, 0};
    int cylindersLine = 0;
    const QStringList lines = text.split(u'\n');
    for (int n = 0; n < lines.size(); ++n) {
        const int lineNo = n + 1;
        const QString line = lines[n].trimmed();
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';')) continue;
        if (!header) {
            if (line.compare(QStringLiteral("[engine]"), Qt::CaseInsensitive) != 0)
                return fail(lineNo, QStringLiteral("the profile starts with [engine]"));
            header = true;
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0) return fail(lineNo, QStringLiteral("expected key=value: %1").arg(line));
        const QString key = line.left(eq).trimmed().toLower();
        const QString value = line.mid(eq + 1).trimmed();
        if (seen.contains(key)) return fail(lineNo, QStringLiteral("%1 given twice").arg(key));
        seen << key;
        if (key == u"name") {
            p.name = value;
        } else if (key == u"cylinders") {
            bool ok = false;
            const int n2 = value.toInt(&ok);
            if (!ok || n2 < 1 || n2 > kMaxCylinders)
                return fail(lineNo, QStringLiteral("cylinders takes 1 to 8, not %1").arg(value));
            p.cylinders = n2;
            cylindersLine = lineNo;
        } else if (key == u"egt" || key == u"cht") {
            const int k = key == u"egt" ? 0 : 1;
            lists[k] = value.split(u',');
            listLines[k] = lineNo;
        } else if (key == u"fuelflow") {
            if (value.compare(QStringLiteral("none"), Qt::CaseInsensitive) == 0) {
                p.fuelFlow.reset();
            } else {
                p.fuelFlow = channelOfName(value);
                if (!p.fuelFlow)
                    return fail(lineNo, QStringLiteral("unknown channel %1").arg(value));
            }
        } else {
            return fail(lineNo, QStringLiteral("unknown key %1").arg(key));
        }
    }
    if (!header) return fail(std::max(1, int(lines.size())), QStringLiteral("no [engine] section"));
    (void)cylindersLine;
    for (int k = 0; k < 2; ++k) {
        if (listLines[k] == 0) continue;
        const char* key = k == 0 ? "egt" : "cht";
        if (lists[k].size() != p.cylinders)
            return fail(listLines[k], QStringLiteral("%1 lists %2 channels for %3 cylinders")
                                          .arg(QLatin1String(key))
                                          .arg(lists[k].size())
                                          .arg(p.cylinders));
        for (int c = 0; c < p.cylinders; ++c) {
            const QString entry = lists[k][c].trimmed();
            if (entry.compare(QStringLiteral("none"), Qt::CaseInsensitive) == 0 || entry.isEmpty())
                continue;
            const std::optional<Channel> channel = channelOfName(entry);
            if (!channel || !isThermocouple(*channel))
                return fail(listLines[k], QStringLiteral("%1 takes TC1 to TC12 or none, not %2")
                                              .arg(QLatin1String(key), entry));
            (k == 0 ? p.egt : p.cht)[static_cast<std::size_t>(c)] = channel;
        }
    }
    // A thermocouple measures one thing: the one given twice is named at the later line.
    for (int a = 0; a < 2 * p.cylinders; ++a) {
        const auto& first = (a < p.cylinders ? p.egt : p.cht)[a % p.cylinders];
        if (!first) continue;
        for (int b = a + 1; b < 2 * p.cylinders; ++b) {
            const auto& second = (b < p.cylinders ? p.egt : p.cht)[b % p.cylinders];
            if (second == first)
                return fail(listLines[b < p.cylinders ? 0 : 1],
                            QStringLiteral("%1 is assigned twice").arg(profileChannelName(*first)));
        }
    }
    out.profile = p;
    return out;
}

QString engineProfileText(const EngineProfile& p) {
    const auto list = [&p](const std::array<std::optional<Channel>, kMaxCylinders>& channels) {
        QStringList names;
        for (int c = 0; c < p.cylinders; ++c)
            names << (channels[c] ? profileChannelName(*channels[c]) : QStringLiteral("none"));
        return names.join(u',');
    };
    QString text = QStringLiteral("[engine]\n");
    text += QStringLiteral("name=%1\n").arg(p.name);
    text += QStringLiteral("cylinders=%1\n").arg(p.cylinders);
    text += QStringLiteral("egt=%1\n").arg(list(p.egt));
    text += QStringLiteral("cht=%1\n").arg(list(p.cht));
    text += QStringLiteral("fuelflow=%1\n")
                .arg(p.fuelFlow ? profileChannelName(*p.fuelFlow) : QStringLiteral("none"));
    return text;
}

ProfileReading readEngineProfileFile(const QString& path) {
    QFile file(path);
    if (!file.exists()) return {};
    ProfileReading out;
    if (!file.open(QIODevice::ReadOnly)) {
        out.error = QStringLiteral("%1: cannot be read: %2").arg(path, file.errorString());
        return out;
    }
    out = parseEngineProfile(QString::fromUtf8(file.readAll()));
    if (!out.error.isEmpty()) out.error = path + QStringLiteral(", ") + out.error;
    return out;
}

QString writeEngineProfileFile(const QString& path, const EngineProfile& profile) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    file.write(engineProfileText(profile).toUtf8());
    if (!file.commit()) return file.errorString();
    return {};
}

}  // namespace zp::analysis
