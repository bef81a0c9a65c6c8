#include "cli/survey_arguments.h"

#include <QDateTime>
#include <QRegularExpression>

#include "cli/kit/numbers.h"

namespace lp::cli {
namespace {

// A bound of --exclude: a local time with or without seconds, and a UTC offset ("Z",
// "+01:00") where the local time alone could mean two instants.
const QRegularExpression& boundForm() {
    static const QRegularExpression form(QStringLiteral(
        "^(\\d{4})-(\\d{2})-(\\d{2})T(\\d{2}):(\\d{2})(?::(\\d{2}))?(Z|[+-]\\d{2}:\\d{2})?$"));
    return form;
}

// The instant a bound names, or why it names none.
std::variant<qint64, QString> boundInstant(const QString& text, const QTimeZone& zone) {
    const QRegularExpressionMatch match = boundForm().match(text);
    const auto number = [&match](int i) { return match.captured(i).toInt(); };
    const QDate date = match.hasMatch() ? QDate(number(1), number(2), number(3)) : QDate();
    const QTime time = match.hasMatch() ? QTime(number(4), number(5), number(6)) : QTime();
    if (!date.isValid() || !time.isValid()) {
        return QString();
    }
    const int second = time.msecsSinceStartOfDay() / 1000;
    if (const QString offset = match.captured(7); !offset.isEmpty()) {
        const bool utc = offset == QStringLiteral("Z");
        const int hours = utc ? 0 : offset.mid(1, 2).toInt();
        const int minutes = utc ? 0 : offset.mid(4, 2).toInt();
        if (hours > 14 || minutes > 59) {
            return QString();
        }
        const int ahead = (offset[0] == u'-' ? -1 : 1) * (hours * 3600 + minutes * 60);
        return QDateTime(date, QTime(0, 0), QTimeZone::utc()).toSecsSinceEpoch() + second - ahead;
    }
    // The zone's own rule of wall clock to instants: none in the hour skipped when the
    // clocks go forward, two in the one repeated when they go back (the first is meant).
    qint64 instants[2];
    if (stats::LocalDays(zone).day(date.toJulianDay()).instantsOf(second, instants) == 0) {
        return QStringLiteral(
                   "%1 is no local time: the clocks went forward over it on %2. Give a time "
                   "before or after the skipped hour")
            .arg(text, date.toString(Qt::ISODate));
    }
    return instants[0];
}

// "07-19": the hours a part of the day begins and ends at, 0..24 each.
std::optional<std::pair<int, int>> hoursOf(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^(\\d{1,2})-(\\d{1,2})$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const int from = match.captured(1).toInt();
    const int to = match.captured(2).toInt();
    if (from > 24 || to > 24) {
        return std::nullopt;
    }
    return std::pair{from, to};
}

// A whole number of seconds, 0 or more.
std::optional<qint64> secondsOf(const QString& text) {
    return wholeNumberOf(text);
}

std::optional<double> decibelsOf(const QString& text) {
    return decimalOf(text);
}

UsageMistake mistake(const QString& message) {
    return UsageMistake{message};
}

// --day, --evening and --night: the parts follow one another, so each begins where
// the one before ends. A part's beginning is taken from its own option, else from the
// end of the one before, else the default; every hour given must then fit.
std::optional<UsageMistake> readDayParts(const Arguments& args, stats::DayPartHours& hours) {
    const QString names[3] = {QStringLiteral("day"), QStringLiteral("evening"),
                              QStringLiteral("night")};
    std::optional<std::pair<int, int>> given[3];
    for (int i = 0; i < 3; ++i) {
        if (!args.has(names[i])) {
            continue;
        }
        given[i] = hoursOf(args.value(names[i]));
        if (!given[i]) {
            return mistake(QStringLiteral("--%1 takes the hours it runs from and to as HH-HH "
                                          "(0..24, like 07-19), not '%2'")
                               .arg(names[i], args.value(names[i])));
        }
    }
    int* starts[3] = {&hours.dayStart, &hours.eveningStart, &hours.nightStart};
    for (int i = 0; i < 3; ++i) {
        const int before = (i + 2) % 3;
        if (given[i]) {
            *starts[i] = given[i]->first;
        } else if (given[before]) {
            *starts[i] = given[before]->second;
        }
    }
    hours.dayStart %= 24;
    if (hours.nightStart == 0) {
        hours.nightStart = 24;  // a night from midnight
    }
    for (int i = 0; i < 3; ++i) {
        const int next = (i + 1) % 3;
        if (given[i] && (given[i]->first % 24 != *starts[i] % 24 ||
                         given[i]->second % 24 != *starts[next] % 24)) {
            return mistake(QStringLiteral("the day, evening and night follow one another: "
                                          "each begins where the one before ends (not --%1 %2)")
                               .arg(names[i], args.value(names[i])));
        }
    }
    if (const std::optional<QString> problem = stats::dayPartsProblem(hours)) {
        return mistake(*problem);
    }
    return std::nullopt;
}

std::optional<UsageMistake> readPenalties(const Arguments& args, stats::DayPartHours& hours) {
    if (!args.has(QStringLiteral("penalties"))) {
        return std::nullopt;
    }
    const QString text = args.value(QStringLiteral("penalties"));
    const QStringList parts = text.split(u',');
    const std::optional<double> evening = parts.size() == 2 ? decibelsOf(parts[0]) : std::nullopt;
    const std::optional<double> night = parts.size() == 2 ? decibelsOf(parts[1]) : std::nullopt;
    if (!evening || !night) {
        return mistake(QStringLiteral("--penalties takes the evening and night penalties in dB "
                                      "as E,N (like 5,10), not '%1'")
                           .arg(text));
    }
    hours.eveningPenalty = *evening;
    hours.nightPenalty = *night;
    return std::nullopt;
}

std::optional<UsageMistake> readEventRule(const Arguments& args, stats::SurveyOptions& options) {
    if (!args.has(QStringLiteral("above"))) {
        return mistake(QStringLiteral("events needs --above L, the threshold in dB"));
    }
    stats::EventRule rule;
    const QString above = args.value(QStringLiteral("above"));
    const std::optional<double> threshold = decibelsOf(above);
    if (!threshold) {
        return mistake(
            QStringLiteral("--above takes a level in dB (like 85 or 72.5), not '%1'").arg(above));
    }
    rule.threshold = *threshold;
    for (const auto& [name, field] : {std::pair{QStringLiteral("min-duration"), &rule.minDuration},
                                      std::pair{QStringLiteral("bridge"), &rule.bridge}}) {
        if (!args.has(name)) {
            continue;
        }
        const std::optional<qint64> seconds = secondsOf(args.value(name));
        if (!seconds) {
            return mistake(QStringLiteral("--%1 takes whole seconds (0 or more), not '%2'")
                               .arg(name, args.value(name)));
        }
        *field = *seconds;
    }
    options.events = rule;
    return std::nullopt;
}

}  // namespace

std::optional<qint64> periodLengthOf(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^([1-9]\\d{0,4})(min|h)$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const qint64 unit = match.captured(2) == QStringLiteral("h") ? 3600 : 60;
    const qint64 seconds = match.captured(1).toLongLong() * unit;
    return stats::isPeriodLength(seconds) ? std::optional<qint64>(seconds) : std::nullopt;
}

std::variant<stats::TimeRange, UsageMistake> excludedSpanOf(const QString& text,
                                                            const QTimeZone& zone) {
    const UsageMistake unreadable{
        QStringLiteral("--exclude takes FROM/TO, local times like "
                       "2026-12-06T22:00:00/2026-12-06T23:30 with TO after FROM (with a "
                       "UTC offset such as +01:00 for the second pass of an hour the clocks "
                       "repeat), not '%1'")
            .arg(text)};
    const QStringList ends = text.split(u'/');
    if (ends.size() != 2) {
        return unreadable;
    }
    std::variant<qint64, QString> bounds[2] = {boundInstant(ends[0], zone),
                                               boundInstant(ends[1], zone)};
    for (const std::variant<qint64, QString>& bound : bounds) {
        if (const QString* why = std::get_if<QString>(&bound)) {
            return why->isEmpty()
                       ? unreadable
                       : UsageMistake{QStringLiteral("--exclude %1: %2").arg(text, *why)};
        }
    }
    const qint64 from = std::get<qint64>(bounds[0]);
    const qint64 to = std::get<qint64>(bounds[1]);
    if (to <= from) {
        return unreadable;
    }
    return stats::TimeRange{from, to};
}

std::variant<stats::SurveyOptions, UsageMistake> readSurveyOptions(const Arguments& args,
                                                                   bool events,
                                                                   const QTimeZone& zone) {
    stats::SurveyOptions options;
    if (args.has(QStringLiteral("every"))) {
        const QString every = args.value(QStringLiteral("every"));
        const std::optional<qint64> length = periodLengthOf(every);
        if (!length) {
            return mistake(QStringLiteral("--every takes Nmin or Nh from 1min to 24h that "
                                          "divides a day into whole periods (like 15min or "
                                          "1h), not '%1'")
                               .arg(every));
        }
        options.periodLength = *length;
    }
    for (const QString& span : args.values.value(QStringLiteral("exclude"))) {
        const std::variant<stats::TimeRange, UsageMistake> range = excludedSpanOf(span, zone);
        if (const auto* wrong = std::get_if<UsageMistake>(&range)) {
            return *wrong;
        }
        options.exclusions.push_back(std::get<stats::TimeRange>(range));
    }
    if (std::optional<UsageMistake> wrong = readDayParts(args, options.dayParts)) {
        return *wrong;
    }
    if (std::optional<UsageMistake> wrong = readPenalties(args, options.dayParts)) {
        return *wrong;
    }
    if (events) {
        if (std::optional<UsageMistake> wrong = readEventRule(args, options)) {
            return *wrong;
        }
    }
    return options;
}

}  // namespace lp::cli
