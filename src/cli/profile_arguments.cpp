#include "cli/profile_arguments.h"

#include <QFileInfo>
#include <algorithm>

#include "assess/manifest.h"
#include "platform/settings_place.h"

namespace lp::cli {
namespace {

QString lengthText(qint64 seconds) {
    return seconds % 3600 == 0 ? QStringLiteral("%1h").arg(seconds / 3600)
                               : QStringLiteral("%1min").arg(seconds / 60);
}

}  // namespace

OptionRow profileRow(std::optional<QString>& field) {
    return text(QStringLiteral("profile"), QStringLiteral("NAME|FILE"), field,
                QStringLiteral("Takes the options of a profile first (a name of one saved in the "
                               "Survey window, in ~/.config/LevelPanel/profiles, or a .json "
                               "file); options typed win over the profile's."))
        .completing(Completes::File);
}

Outcome<ChosenProfile> chosenProfile(const QString& nameOrFile) {
    const QString path =
        assess::profilePath(nameOrFile, platform::profilesFolder(platform::settingsFolder()));
    if (!QFileInfo::exists(path)) {
        return usageMistake(
            QStringLiteral("--profile %1: there is no profile %2").arg(nameOrFile, path));
    }
    std::variant<assess::ReadProfile, QString> read = assess::readProfile(path);
    if (const QString* problem = std::get_if<QString>(&read)) {
        return usageMistake(QStringLiteral("--profile %1: %2").arg(nameOrFile, *problem));
    }
    return ChosenProfile{nameOrFile, path, std::get<assess::ReadProfile>(std::move(read))};
}

QStringList profileWords(const assess::Profile& p, const QString& command,
                         const std::vector<OptionRow>& rows,
                         const std::vector<std::pair<QString, std::optional<QString>>>& typed) {
    std::vector<std::pair<QString, std::optional<QString>>> words;
    const auto add = [&words](const char* name, std::optional<QString> value = {}) {
        words.emplace_back(QLatin1String(name), std::move(value));
    };
    const stats::DayPartHours& h = p.dayParts;
    add("every", lengthText(p.periodLength));
    // The day and night of a method are --day and --night of its own command, and
    // --assess-day and --assess-night of the report (the background's there).
    const bool background = command == QStringLiteral("assess background");
    const bool rating = command == QStringLiteral("assess rating");
    if (background || rating) {
        const int day = background ? p.backgroundDayFrom : p.ratingDayFrom;
        const int night = background ? p.backgroundNightFrom : p.ratingNightFrom;
        add("day", assess::hoursText(day, night));
        add("night", assess::hoursText(night, day));
    } else {
        add("day", assess::hoursText(h.dayStart, h.eveningStart));
        add("evening", assess::hoursText(h.eveningStart, h.nightStart));
        add("night", assess::hoursText(h.nightStart, h.dayStart));
        add("assess-day", assess::hoursText(p.backgroundDayFrom, p.backgroundNightFrom));
        add("assess-night", assess::hoursText(p.backgroundNightFrom, p.backgroundDayFrom));
    }
    add("penalties", QStringLiteral("%1,%2").arg(QString::number(h.eveningPenalty),
                                                 QString::number(h.nightPenalty)));
    // Loud events have a threshold of their own; their minimum duration and bridge are
    // the survey's.
    if (command == QStringLiteral("assess events")) {
        add("above", QString::number(p.loudAbove));
    } else if (p.events) {
        add("above", QString::number(p.events->threshold));
    }
    if (p.events) {
        add("min-duration", QString::number(p.events->minDuration));
        add("bridge", QString::number(p.events->bridge));
    }
    if (p.adjust != 0.0) {
        add("adjust", QString::number(p.adjust));
    }
    add("min-coverage", QString::number(p.minCoverage));
    add("interval", lengthText(p.backgroundInterval));
    add("typical", assess::typicalKey(p.typical));
    if (p.rbl) {
        add("rbl");
    }
    add("tr-day", lengthText(p.trDay));
    add("tr-night", lengthText(p.trNight));
    if (p.shift) {
        add("shift", assess::shiftText(*p.shift));
    }
    if (p.teHours) {
        add("te", QString::number(*p.teHours));
    }
    add("window", QStringLiteral("%1s").arg(p.window));
    add("nth", QString::number(p.nth));

    QStringList arguments;
    for (const auto& [name, value] : words) {
        const bool flag = !value;
        const bool taken =
            std::any_of(rows.begin(), rows.end(), [&name, flag](const OptionRow& row) {
                return row.about.name == name && row.about.isFlag() == flag;
            });
        const bool given = std::any_of(typed.begin(), typed.end(), [&name](const auto& option) {
            return option.first == name;
        });
        if (taken && !given) {
            arguments << QStringLiteral("--") + name;
            if (value) {
                arguments << *value;
            }
        }
    }
    return arguments;
}

Outcome<std::optional<assess::ManifestProfile>> manifestProfileOf(
    const std::vector<std::pair<QString, std::optional<QString>>>& typed) {
    std::optional<QString> given;
    for (const auto& [name, value] : typed) {
        if (name == QStringLiteral("profile")) {
            given = value;  // the last one holds
        }
    }
    if (!given) {
        return std::optional<assess::ManifestProfile>();
    }
    const Outcome<ChosenProfile> chosen = chosenProfile(*given);
    if (!chosen) {
        return chosen.refusal();
    }
    return std::optional(assess::manifestProfile(*given, chosen->path, chosen->read.bytes,
                                                 assess::profileJson(chosen->read.profile)));
}

Outcome<QStringList> argumentsWithProfile(const QString& command, std::vector<OptionRow> rows,
                                          const std::optional<QString>& profile, Operands operands,
                                          const QStringList& args) {
    // Read once without the required options, which the profile may give.
    for (OptionRow& row : rows) {
        row.about.required = false;
    }
    const Outcome<ReadArguments> typed = readArguments(command, rows, operands, args);
    if (!typed || typed->help || !profile) {
        return args;
    }
    const Outcome<ChosenProfile> chosen = chosenProfile(*profile);
    if (!chosen) {
        return chosen.refusal();
    }
    return profileWords(chosen->read.profile, command, rows, typed->options) + args;
}

}  // namespace lp::cli
