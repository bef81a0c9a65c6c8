// The command line that writes the report the Survey window writes: `levelpanel-cli
// report` with the window's options spelled as the command line spells them, and the
// manifest of a report made in the window.
#pragma once

#include <QString>
#include <QStringList>
#include <QTimeZone>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

#include "assess/manifest.h"
#include "stats/survey.h"

namespace lp::survey {

// Every option of `options` as `report` takes it (names without "--", in the order of
// its help): --every, --above, --min-duration and --bridge when events are looked for,
// --day, --evening, --night, --penalties, each --exclude (bounds as local times with
// their UTC offset, so a repeated hour is no question) and --adjust when not 0.
[[nodiscard]] std::vector<std::pair<QString, std::optional<QString>>> reportOptionWords(
    const stats::SurveyOptions& options, const QTimeZone& zone);

// The manifest of the report of `survey` with `options` into `pdf`, made by `program`
// (the Survey window's: the application's name): the equivalent command line, every
// option, the files hashed, and the profile the options are (when they are one's).
// Records held in memory (a downloaded set not saved) are listed by their name, with no
// size and no hash, their name standing in the command line where a file's would. Why
// not, when a file cannot be read.
[[nodiscard]] std::variant<assess::Manifest, QString> windowReportManifest(
    const QString& program, const stats::SurveyRecords& survey, const stats::SurveyOptions& options,
    const QString& pdf, std::optional<assess::ManifestProfile> profile = std::nullopt);

}  // namespace lp::survey
