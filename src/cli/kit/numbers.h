// Numbers on the command line, read strictly: what is typed is the number, or it is a
// mistake (no blanks, no sign where none fits, no thousands separator, no rounding).
#pragma once

#include <QString>
#include <QStringView>
#include <optional>
#include <variant>

#include "cli/kit/cli_arguments.h"

namespace lp::cli {

// ASCII digits only, at most 18 of them: "0", "86400".
[[nodiscard]] std::optional<qint64> wholeNumberOf(QStringView text);
// An optional '-', digits, and optionally '.' and digits: "85", "72.5", "-3".
[[nodiscard]] std::optional<double> decimalOf(QStringView text);

// The first and the last sampling time `record --every` takes.
inline constexpr int kFewestSamplingSeconds = 1;
inline constexpr int kMostSamplingSeconds = 86400;

// record --every S: whole seconds 1..86400, or the usage message saying why not.
[[nodiscard]] std::variant<int, QString> samplingSecondsOf(const QString& text);

// --count N and --duration S of live and record: stop after N readings or samples, or
// S seconds (whichever comes first); none when not given.
struct StopAfter {
    std::optional<qint64> count;
    std::optional<qint64> seconds;
};
[[nodiscard]] std::variant<StopAfter, QString> stopAfterOf(const Arguments& args);

}  // namespace lp::cli
