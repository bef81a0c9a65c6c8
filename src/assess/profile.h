// A profile: a named set of the survey's and the assessments' options (the period
// length, the parts of the day and their penalties, the events looked for, the level
// correction, the least coverage, and each method's own options), kept as a small
// JSON file in the profiles folder. The Survey window saves and chooses them;
// `levelpanel-cli ... --profile NAME|FILE` takes the same files, so both give the same
// figures. What belongs to one survey (its files, its exclusions, a residual or
// background measured, the corrections judged) is no part of a profile.
//
// The file is JSON: the manifest that says which profile made a report is JSON too and
// carries it as it is, a list or a number has one spelling only, and any text editor
// shows it. Every key may be left out (its default holds); keys not known are passed
// over; a value out of its range is refused with the key and the file named.
#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

#include "assess/assess_input.h"
#include "assess/background.h"
#include "assess/exposure.h"
#include "stats/survey.h"

namespace lp::assess {

struct Profile {
    // The survey: periods, parts of the day with their penalties, events, correction.
    qint64 periodLength = 3600;
    stats::DayPartHours dayParts;
    std::optional<stats::EventRule> events = stats::EventRule{85.0, 0, 0};  // none: not looked for
    double adjust = 0.0;
    // Every assessment: the least share of an interval its records must cover.
    double minCoverage = kMinCoverage;
    // The background level.
    qint64 backgroundInterval = 900;
    int backgroundDayFrom = 7;
    int backgroundNightFrom = 23;
    Typical typical = Typical::Mode;
    bool rbl = false;
    // The rating level.
    int ratingDayFrom = 7;
    int ratingNightFrom = 23;
    qint64 trDay = 3600;
    qint64 trNight = 900;
    // Noise at work.
    std::optional<Shift> shift;
    std::optional<double> teHours;
    // Loud events: their own threshold, the window of the night's maxima, the nth.
    double loudAbove = 65.0;
    qint64 window = 120;
    int nth = 10;

    // The survey's options of the profile (no exclusions, nothing declared).
    [[nodiscard]] stats::SurveyOptions surveyOptions() const;
    // The survey's options taken into the profile.
    void setSurveyOptions(const stats::SurveyOptions& options);
};

[[nodiscard]] bool operator==(const Profile& a, const Profile& b);

// "mode", "median", "p10": a typical value as the files and the command line write it.
[[nodiscard]] QString typicalKey(Typical typical);
// "07:00-15:30".
[[nodiscard]] QString shiftText(const Shift& shift);

// The profile as its file holds it (every key written).
[[nodiscard]] QJsonObject profileJson(const Profile& profile);
// The profile a file's JSON holds; `source` names the file in the refusal (the key,
// what it takes and what it holds).
[[nodiscard]] std::variant<Profile, QString> profileOfJson(const QJsonObject& json,
                                                           const QString& source);

// A profile file read; why not, naming the file, when it cannot be read or used.
struct ReadProfile {
    Profile profile;
    QByteArray bytes;  // the file as read
};
[[nodiscard]] std::variant<ReadProfile, QString> readProfile(const QString& path);
// Writes the profile to `path` whole or not at all, making its folder; why not.
[[nodiscard]] std::optional<QString> writeProfile(const QString& path, const Profile& profile);

// Why `name` is no profile's name (empty, with a '/', beginning with '.'); none when it
// is one. A named profile is always a file of the profiles folder, never outside it.
[[nodiscard]] std::optional<QString> profileNameProblem(const QString& name);
// The file of a profile's name or file: an argument with a '/' or ending in ".json" is
// a file; any other is the name of one in `folder`.
[[nodiscard]] QString profilePath(const QString& nameOrFile, const QString& folder);
// The names of the profiles in `folder`, in order.
[[nodiscard]] QStringList profileNames(const QString& folder);

}  // namespace lp::assess
