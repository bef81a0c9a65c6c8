#include "cli/survey_arguments.h"

#include <QDateTime>
#include <QRegularExpression>
#include <cmath>
#include <tuple>

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

}  // namespace

std::optional<std::pair<int, int>> partHoursOf(const QString& text) {
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

namespace {

// A whole number of seconds, 0 or more.
std::optional<qint64> secondsOf(const QString& text) {
    return wholeNumberOf(text);
}

std::optional<double> decibelsOf(const QString& text) {
    return decimalOf(text);
}

Refusal mistake(const QString& message) {
    return usageMistake(message);
}

// --day, --evening and --night: the parts follow one another, so each begins where
// the one before ends. A part's beginning is taken from its own option, else from the
// end of the one before, else the default; every hour given must then fit.
std::optional<Refusal> readDayParts(const SurveyFlags& flags, stats::DayPartHours& hours) {
    const QString names[3] = {QStringLiteral("day"), QStringLiteral("evening"),
                              QStringLiteral("night")};
    const std::optional<QString>* texts[3] = {&flags.day, &flags.evening, &flags.night};
    std::optional<std::pair<int, int>> given[3];
    for (int i = 0; i < 3; ++i) {
        if (!*texts[i]) {
            continue;
        }
        given[i] = partHoursOf(**texts[i]);
        if (!given[i]) {
            return mistake(QStringLiteral("--%1 takes the hours it runs from and to as HH-HH "
                                          "(0..24, like 07-19), not '%2'")
                               .arg(names[i], **texts[i]));
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
                               .arg(names[i], **texts[i]));
        }
    }
    if (const std::optional<QString> problem = stats::dayPartsProblem(hours)) {
        return mistake(*problem);
    }
    return std::nullopt;
}

std::optional<Refusal> readPenalties(const SurveyFlags& flags, stats::DayPartHours& hours) {
    if (!flags.penalties) {
        return std::nullopt;
    }
    const QString text = *flags.penalties;
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

std::optional<Refusal> readEventRule(const SurveyFlags& flags, stats::SurveyOptions& options) {
    if (!flags.above) {
        return mistake(QStringLiteral("events needs --above L, the threshold in dB"));
    }
    stats::EventRule rule;
    const QString above = *flags.above;
    const std::optional<double> threshold = decibelsOf(above);
    if (!threshold) {
        return mistake(
            QStringLiteral("--above takes a level in dB (like 85 or 72.5), not '%1'").arg(above));
    }
    rule.threshold = *threshold;
    for (const auto& [name, text, field] :
         {std::tuple{QStringLiteral("min-duration"), &flags.minDuration, &rule.minDuration},
          std::tuple{QStringLiteral("bridge"), &flags.bridge, &rule.bridge}}) {
        if (!*text) {
            continue;
        }
        const std::optional<qint64> seconds = secondsOf(**text);
        if (!seconds) {
            return mistake(
                QStringLiteral("--%1 takes whole seconds (0 or more), not '%2'").arg(name, **text));
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

Outcome<stats::TimeRange> excludedSpanOf(const QString& text, const QTimeZone& zone) {
    const Refusal unreadable = usageMistake(
        QStringLiteral("--exclude takes FROM/TO, local times like "
                       "2026-12-06T22:00:00/2026-12-06T23:30 with TO after FROM (with a "
                       "UTC offset such as +01:00 for the second pass of an hour the clocks "
                       "repeat), not '%1'")
            .arg(text));
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
                       : usageMistake(QStringLiteral("--exclude %1: %2").arg(text, *why));
        }
    }
    const qint64 from = std::get<qint64>(bounds[0]);
    const qint64 to = std::get<qint64>(bounds[1]);
    if (to <= from) {
        return unreadable;
    }
    return stats::TimeRange{from, to};
}

Outcome<stats::SurveyOptions> readSurveyOptions(const SurveyFlags& flags, bool events,
                                                const QTimeZone& zone) {
    stats::SurveyOptions options;
    if (flags.every) {
        const QString every = *flags.every;
        const std::optional<qint64> length = periodLengthOf(every);
        if (!length) {
            return mistake(QStringLiteral("--every takes Nmin or Nh from 1min to 24h that "
                                          "divides a day into whole periods (like 15min or "
                                          "1h), not '%1'")
                               .arg(every));
        }
        options.periodLength = *length;
    }
    for (const QString& span : flags.exclude) {
        const Outcome<stats::TimeRange> range = excludedSpanOf(span, zone);
        if (!range) {
            return range.refusal();
        }
        options.exclusions.push_back(*range);
    }
    if (std::optional<Refusal> wrong = readDayParts(flags, options.dayParts)) {
        return *wrong;
    }
    if (std::optional<Refusal> wrong = readPenalties(flags, options.dayParts)) {
        return *wrong;
    }
    if (events) {
        if (std::optional<Refusal> wrong = readEventRule(flags, options)) {
            return *wrong;
        }
    }
    if (flags.adjust) {
        const std::optional<double> adjust = decibelsOf(*flags.adjust);
        if (!adjust || std::abs(*adjust) > stats::kMostAdjust) {
            return mistake(QStringLiteral("--adjust takes a level correction in dB from -%1 to "
                                          "+%1 (like -3 for a façade), not '%2'")
                               .arg(stats::kMostAdjust)
                               .arg(*flags.adjust));
        }
        options.adjust = *adjust;
    }
    return options;
}

Outcome<stats::Notation> readDeclaredNotation(const SurveyFlags& flags) {
    stats::Notation notation;
    if (flags.weighting) {
        notation.weighting = records::weightingOfLetter(*flags.weighting);
        if (!notation.weighting) {
            return mistake(
                QStringLiteral("--weighting takes A or C, not '%1'").arg(*flags.weighting));
        }
    }
    if (flags.response) {
        notation.response = records::responseOfLetter(*flags.response);
        if (!notation.response) {
            return mistake(QStringLiteral("--response takes F (FAST) or S (SLOW), not '%1'")
                               .arg(*flags.response));
        }
    }
    return notation;
}

OptionRow surveyRow(const QString& name, SurveyFlags& flags) {
    const auto value = [&name](const QString& valueName, std::optional<QString>& field,
                               const QString& help) { return text(name, valueName, field, help); };
    if (name == QStringLiteral("every")) {
        return value(QStringLiteral("1h"), flags.every,
                     QStringLiteral("The length of the periods, Nmin or Nh that divides a day, "
                                    "1min..24h (default 1h); they are aligned to local "
                                    "midnight."));
    }
    if (name == QStringLiteral("exclude")) {
        return texts(name, QStringLiteral("FROM/TO"), flags.exclude,
                     QStringLiteral("Leaves out local times FROM up to TO, written as "
                                    "2026-12-06T22:00:00 or 2026-12-06T22:00 (+01:00 or Z after "
                                    "it names the pass of an hour the clocks repeat); "
                                    "repeatable."))
            .needing(QStringLiteral("FROM/TO"));
    }
    if (name == QStringLiteral("day")) {
        return value(QStringLiteral("07-19"), flags.day,
                     QStringLiteral("The hours of the day, HH-HH (default 07-19)."));
    }
    if (name == QStringLiteral("evening")) {
        return value(QStringLiteral("19-23"), flags.evening,
                     QStringLiteral("The hours of the evening (default 19-23)."));
    }
    if (name == QStringLiteral("night")) {
        return value(QStringLiteral("23-07"), flags.night,
                     QStringLiteral("The hours of the night (default 23-07); the hours after "
                                    "midnight are the night of the day before."));
    }
    if (name == QStringLiteral("penalties")) {
        return value(QStringLiteral("E,N"), flags.penalties,
                     QStringLiteral("dB added to the evening and the night, 0 to 20 each "
                                    "(default 5,10)."));
    }
    if (name == QStringLiteral("above")) {
        return value(QStringLiteral("L"), flags.above,
                     QStringLiteral("The threshold in dB: an event is a run of levels at or "
                                    "above it (a gap in the records ends one)."));
    }
    if (name == QStringLiteral("min-duration")) {
        return value(QStringLiteral("S"), flags.minDuration,
                     QStringLiteral("Shorter than S seconds is no event (default 0)."));
    }
    if (name == QStringLiteral("bridge")) {
        return value(QStringLiteral("S"), flags.bridge,
                     QStringLiteral("A dip shorter than S seconds joins two events (default "
                                    "0)."));
    }
    if (name == QStringLiteral("adjust")) {
        return value(QStringLiteral("DB"), flags.adjust,
                     QStringLiteral("Adds DB to every level before any figure (like -3 for a "
                                    "measurement in front of a façade), -30..30; every output "
                                    "states it."));
    }
    if (name == QStringLiteral("weighting")) {
        return value(QStringLiteral("A|C"), flags.weighting,
                     QStringLiteral("The frequency weighting of files without metadata "
                                    "(FILE.meta)."));
    }
    if (name == QStringLiteral("response")) {
        return value(QStringLiteral("F|S"), flags.response,
                     QStringLiteral("The time weighting (FAST or SLOW) of files without "
                                    "metadata (FILE.meta)."));
    }
    if (name == QStringLiteral("json")) {
        return flag(name, flags.json, QStringLiteral("JSON instead of text."));
    }
    Q_ASSERT(name == QStringLiteral("csv"));
    return flag(name, flags.csv, QStringLiteral("CSV with a header instead of text."));
}

}  // namespace lp::cli
