#include "assess/profile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <cmath>

#include "assess/loud_events.h"

namespace lp::assess {
namespace {

const QString kExtension = QStringLiteral(".json");

// A value as the refusal quotes it.
QString valueText(const QJsonValue& value) {
    if (value.isString()) {
        return QStringLiteral("'%1'").arg(value.toString());
    }
    if (value.isDouble()) {
        return QString::number(value.toDouble());
    }
    if (value.isBool()) {
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    }
    return value.isNull() ? QStringLiteral("null") : QStringLiteral("a list or an object");
}

// Reads the keys of one object of the file into the profile; the first value that
// cannot be used is the problem, named by its key (with its object's) and the file.
class KeyReader {
public:
    KeyReader(const QJsonObject& object, QString prefix, const QString& source,
              std::optional<QString>& problem)
        : object_(object), prefix_(std::move(prefix)), source_(source), problem_(problem) {}

    // A number from `low` to `high`; `whole` when it must be a whole number.
    template <class T>
    void number(const char* key, T& field, double low, double high, const QString& takes) {
        const QJsonValue value = object_.value(QLatin1String(key));
        if (value.isUndefined() || problem_) {
            return;
        }
        const double n = value.toDouble(std::nan(""));
        const bool whole = std::is_integral_v<T>;
        if (!value.isDouble() || !(n >= low && n <= high) || (whole && n != std::floor(n))) {
            refuse(key, value, takes);
            return;
        }
        field = static_cast<T>(n);
    }
    [[nodiscard]] bool has(const char* key) const { return object_.contains(QLatin1String(key)); }
    [[nodiscard]] bool isNull(const char* key) const {
        return object_.value(QLatin1String(key)).isNull();
    }
    void flag(const char* key, bool& field) {
        const QJsonValue value = object_.value(QLatin1String(key));
        if (value.isUndefined() || problem_) {
            return;
        }
        if (!value.isBool()) {
            refuse(key, value, QStringLiteral("true or false"));
            return;
        }
        field = value.toBool();
    }
    // A text; `read` gives the field or false when it cannot.
    template <class Read>
    void text(const char* key, const QString& takes, Read read) {
        const QJsonValue value = object_.value(QLatin1String(key));
        if (value.isUndefined() || problem_) {
            return;
        }
        if (!value.isString() || !read(value.toString())) {
            refuse(key, value, takes);
        }
    }
    // An object of further keys, null for none (`none` is then called), or left out.
    template <class Read, class None>
    void object(const char* key, Read read, None none) {
        const QJsonValue value = object_.value(QLatin1String(key));
        if (value.isUndefined() || problem_) {
            return;
        }
        if (value.isNull()) {
            none();
            return;
        }
        if (!value.isObject()) {
            refuse(key, value, QStringLiteral("an object of keys"));
            return;
        }
        KeyReader inner(value.toObject(), prefix_ + QLatin1String(key) + u'.', source_, problem_);
        read(inner);
    }
    void refuse(const char* key, const QJsonValue& value, const QString& takes) {
        problem_ = QStringLiteral("%1 in %2 takes %3, not %4")
                       .arg(prefix_ + QLatin1String(key), source_, takes, valueText(value));
    }

private:
    QJsonObject object_;
    QString prefix_;
    const QString& source_;
    std::optional<QString>& problem_;
};

const QString kHours = QStringLiteral("a whole hour from 0 to 23");
const QString kLength = QStringLiteral(
    "seconds from 60 to 86400 that divide a day into whole periods (like 900 or 3600)");

void readLength(KeyReader& keys, const char* key, qint64& field) {
    qint64 length = field;
    keys.number(key, length, 60, 86400, kLength);
    if (!stats::isPeriodLength(length)) {
        keys.refuse(key, QJsonValue(double(length)), kLength);
        return;
    }
    field = length;
}

}  // namespace

QString typicalKey(Typical typical) {
    switch (typical) {
        case Typical::Median:
            return QStringLiteral("median");
        case Typical::P10:
            return QStringLiteral("p10");
        case Typical::Mode:
            break;
    }
    return QStringLiteral("mode");
}

QString shiftText(const Shift& shift) {
    const auto clockText = [](int minute) {
        return QStringLiteral("%1:%2")
            .arg(minute / 60, 2, 10, QLatin1Char('0'))
            .arg(minute % 60, 2, 10, QLatin1Char('0'));
    };
    return clockText(shift.fromMinute) + u'-' + clockText(shift.toMinute);
}

stats::SurveyOptions Profile::surveyOptions() const {
    stats::SurveyOptions options;
    options.periodLength = periodLength;
    options.dayParts = dayParts;
    options.events = events;
    options.adjust = adjust;
    return options;
}

void Profile::setSurveyOptions(const stats::SurveyOptions& options) {
    periodLength = options.periodLength;
    dayParts = options.dayParts;
    events = options.events;
    adjust = options.adjust;
}

bool operator==(const Profile& a, const Profile& b) {
    return profileJson(a) == profileJson(b);
}

QJsonObject profileJson(const Profile& p) {
    const stats::DayPartHours& h = p.dayParts;
    const QJsonValue events =
        p.events ? QJsonValue(QJsonObject{{QStringLiteral("above_db"), p.events->threshold},
                                          {QStringLiteral("min_duration_s"), p.events->minDuration},
                                          {QStringLiteral("bridge_s"), p.events->bridge}})
                 : QJsonValue(QJsonValue::Null);
    const auto optional = [](const auto& value, auto text) {
        return value ? QJsonValue(text(*value)) : QJsonValue(QJsonValue::Null);
    };
    return {
        {QStringLiteral("period_s"), p.periodLength},
        {QStringLiteral("day_from_h"), h.dayStart},
        {QStringLiteral("evening_from_h"), h.eveningStart},
        {QStringLiteral("night_from_h"), h.nightStart},
        {QStringLiteral("evening_penalty_db"), h.eveningPenalty},
        {QStringLiteral("night_penalty_db"), h.nightPenalty},
        {QStringLiteral("events"), events},
        {QStringLiteral("adjust_db"), p.adjust},
        {QStringLiteral("min_coverage"), p.minCoverage},
        {QStringLiteral("background"),
         QJsonObject{{QStringLiteral("interval_s"), p.backgroundInterval},
                     {QStringLiteral("day_from_h"), p.backgroundDayFrom},
                     {QStringLiteral("night_from_h"), p.backgroundNightFrom},
                     {QStringLiteral("typical"), typicalKey(p.typical)},
                     {QStringLiteral("rbl"), p.rbl}}},
        {QStringLiteral("rating"), QJsonObject{{QStringLiteral("day_from_h"), p.ratingDayFrom},
                                               {QStringLiteral("night_from_h"), p.ratingNightFrom},
                                               {QStringLiteral("tr_day_s"), p.trDay},
                                               {QStringLiteral("tr_night_s"), p.trNight}}},
        {QStringLiteral("exposure"),
         QJsonObject{
             {QStringLiteral("shift"), optional(p.shift, shiftText)},
             {QStringLiteral("te_h"), optional(p.teHours, [](double hours) { return hours; })}}},
        {QStringLiteral("loud_events"), QJsonObject{{QStringLiteral("above_db"), p.loudAbove},
                                                    {QStringLiteral("window_s"), p.window},
                                                    {QStringLiteral("nth"), p.nth}}},
    };
}

std::variant<Profile, QString> profileOfJson(const QJsonObject& json, const QString& source) {
    Profile p;
    std::optional<QString> problem;
    KeyReader keys(json, QString(), source, problem);
    const QString decibels = QStringLiteral("a level in dB from 0 to 145");
    const QString seconds = QStringLiteral("whole seconds from 0 to 86400");
    readLength(keys, "period_s", p.periodLength);
    stats::DayPartHours& h = p.dayParts;
    keys.number("day_from_h", h.dayStart, 0, 23, kHours);
    keys.number("evening_from_h", h.eveningStart, 1, 24, QStringLiteral("a whole hour, 1 to 24"));
    keys.number("night_from_h", h.nightStart, 1, 24, QStringLiteral("a whole hour, 1 to 24"));
    const QString penalty = QStringLiteral("dB from 0 to %1").arg(stats::kMostPenalty);
    keys.number("evening_penalty_db", h.eveningPenalty, 0, stats::kMostPenalty, penalty);
    keys.number("night_penalty_db", h.nightPenalty, 0, stats::kMostPenalty, penalty);
    if (const std::optional<QString> parts = stats::dayPartsProblem(h); parts && !problem) {
        problem = QStringLiteral("%1: %2").arg(source, *parts);
    }
    keys.object(
        "events",
        [&](KeyReader& inner) {
            stats::EventRule rule = p.events.value_or(stats::EventRule{85.0, 0, 0});
            inner.number("above_db", rule.threshold, 0, 145, decibels);
            inner.number("min_duration_s", rule.minDuration, 0, 86400, seconds);
            inner.number("bridge_s", rule.bridge, 0, 86400, seconds);
            p.events = rule;
        },
        [&] { p.events.reset(); });
    keys.number("adjust_db", p.adjust, -stats::kMostAdjust, stats::kMostAdjust,
                QStringLiteral("dB from -%1 to %1").arg(stats::kMostAdjust));
    keys.number("min_coverage", p.minCoverage, 0, 1, QStringLiteral("a share from 0 to 1"));
    const auto noObject = [] {};
    keys.object(
        "background",
        [&](KeyReader& inner) {
            readLength(inner, "interval_s", p.backgroundInterval);
            inner.number("day_from_h", p.backgroundDayFrom, 0, 23, kHours);
            inner.number("night_from_h", p.backgroundNightFrom, 0, 23, kHours);
            inner.text("typical", QStringLiteral("mode, median or p10"), [&](const QString& t) {
                for (const Typical typical : {Typical::Mode, Typical::Median, Typical::P10}) {
                    if (t == typicalKey(typical)) {
                        p.typical = typical;
                        return true;
                    }
                }
                return false;
            });
            inner.flag("rbl", p.rbl);
        },
        noObject);
    keys.object(
        "rating",
        [&](KeyReader& inner) {
            inner.number("day_from_h", p.ratingDayFrom, 0, 23, kHours);
            inner.number("night_from_h", p.ratingNightFrom, 0, 23, kHours);
            readLength(inner, "tr_day_s", p.trDay);
            readLength(inner, "tr_night_s", p.trNight);
        },
        noObject);
    keys.object(
        "exposure",
        [&](KeyReader& inner) {
            if (inner.isNull("shift")) {
                p.shift.reset();
            } else {
                inner.text("shift", QStringLiteral("HH:MM-HH:MM (like 07:00-15:30) or null"),
                           [&](const QString& t) { return (p.shift = shiftOf(t)).has_value(); });
            }
            if (inner.isNull("te_h")) {
                p.teHours.reset();
            } else if (inner.has("te_h")) {
                double te = 0;
                inner.number("te_h", te, 0.01, 24, QStringLiteral("hours from 0.01 to 24 or null"));
                p.teHours = te;
            }
        },
        noObject);
    keys.object(
        "loud_events",
        [&](KeyReader& inner) {
            inner.number("above_db", p.loudAbove, 0, 145, decibels);
            inner.number("window_s", p.window, 1, 3600,
                         QStringLiteral("whole seconds that divide an hour (like 120)"));
            if (windowProblem(p.window)) {
                inner.refuse("window_s", QJsonValue(double(p.window)),
                             QStringLiteral("whole seconds that divide an hour (like 120)"));
            }
            inner.number("nth", p.nth, 1, 1000, QStringLiteral("a whole number from 1 to 1000"));
        },
        noObject);
    if (!problem &&
        (p.backgroundDayFrom == p.backgroundNightFrom || p.ratingDayFrom == p.ratingNightFrom)) {
        problem = QStringLiteral(
                      "%1: the day and the night of an assessment cannot begin at "
                      "the same hour")
                      .arg(source);
    }
    if (problem) {
        return *problem;
    }
    return p;
}

std::variant<ReadProfile, QString> readProfile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("the profile %1 cannot be read: %2").arg(path, file.errorString());
    }
    ReadProfile read;
    read.bytes = file.readAll();
    QJsonParseError error{};
    const QJsonDocument json = QJsonDocument::fromJson(read.bytes, &error);
    if (error.error != QJsonParseError::NoError || !json.isObject()) {
        return QStringLiteral("the profile %1 is no JSON object of options (%2 at byte %3)")
            .arg(path, json.isNull() ? error.errorString() : QStringLiteral("not an object"))
            .arg(error.offset);
    }
    std::variant<Profile, QString> profile = profileOfJson(json.object(), path);
    if (const QString* problem = std::get_if<QString>(&profile)) {
        return *problem;
    }
    read.profile = std::get<Profile>(profile);
    return read;
}

std::optional<QString> writeProfile(const QString& path, const Profile& profile) {
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath())) {
        return QStringLiteral("the folder %1 cannot be made").arg(info.absolutePath());
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QJsonDocument(profileJson(profile)).toJson(QJsonDocument::Indented)) < 0 ||
        !file.commit()) {
        return QStringLiteral("the profile %1 cannot be written: %2").arg(path, file.errorString());
    }
    return std::nullopt;
}

std::optional<QString> profileNameProblem(const QString& name) {
    if (name.trimmed().isEmpty()) {
        return QStringLiteral("a profile needs a name");
    }
    if (name.contains(u'/') || name.startsWith(u'.')) {
        return QStringLiteral("a profile's name has no '/' and does not begin with '.', not '%1'")
            .arg(name);
    }
    return std::nullopt;
}

QString profilePath(const QString& nameOrFile, const QString& folder) {
    if (nameOrFile.contains(u'/') || nameOrFile.endsWith(kExtension)) {
        return nameOrFile;
    }
    return QDir(folder).filePath(nameOrFile + kExtension);
}

QStringList profileNames(const QString& folder) {
    QStringList names;
    for (const QFileInfo& file :
         QDir(folder).entryInfoList({QStringLiteral("*") + kExtension}, QDir::Files, QDir::Name)) {
        if (!profileNameProblem(file.completeBaseName())) {
            names << file.completeBaseName();
        }
    }
    return names;
}

}  // namespace lp::assess
