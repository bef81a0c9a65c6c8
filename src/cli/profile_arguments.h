// --profile NAME|FILE on the commands that take the survey's and the assessments'
// options: the profile's options come first, as if typed before the command line's
// own, so an option typed wins over the profile's (a repeatable one replaces it). The
// words of the profile are kept in the arguments as typed, so the equivalent command
// line of a manifest gives the same figures with or without the profile file.
#pragma once

#include <QStringList>
#include <optional>
#include <vector>

#include "assess/manifest.h"
#include "assess/profile.h"
#include "cli/kit/options.h"

namespace lp::cli {

// The row of --profile, whose value is the name or file given.
[[nodiscard]] OptionRow profileRow(std::optional<QString>& field);

// The profile of a name (a file of the profiles folder of this user's settings) or a
// file, read; a usage mistake naming it when there is no such profile or it cannot be
// used.
struct ChosenProfile {
    QString given;  // as typed
    QString path;   // the file read
    assess::ReadProfile read;
};
[[nodiscard]] Outcome<ChosenProfile> chosenProfile(const QString& nameOrFile);

// The options of `profile` as `command` ("periods", "assess background", "report")
// takes them, as words of a command line ("--every", "15min", "--rbl"): only the options
// among `rows`, and none that `typed` gives (names without "--").
[[nodiscard]] QStringList profileWords(
    const assess::Profile& profile, const QString& command, const std::vector<OptionRow>& rows,
    const std::vector<std::pair<QString, std::optional<QString>>>& typed);

// The manifest's entry of the profile `typed` names (the "profile" option), read
// again; none without one.
[[nodiscard]] Outcome<std::optional<assess::ManifestProfile>> manifestProfileOf(
    const std::vector<std::pair<QString, std::optional<QString>>>& typed);

// `args` with the words of the profile of --profile first, when one is given (and the
// arguments can be read: when they cannot, the reading of the command tells why).
// `rows` are the command's rows with --profile's, which this reads into.
[[nodiscard]] Outcome<QStringList> argumentsWithProfile(const QString& command,
                                                        std::vector<OptionRow> rows,
                                                        const std::optional<QString>& profile,
                                                        Operands operands, const QStringList& args);

}  // namespace lp::cli
