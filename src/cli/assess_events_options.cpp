#include "cli/assess_events_options.h"

#include <QRegularExpression>
#include <algorithm>

#include "cli/kit/numbers.h"

namespace lp::cli {
namespace {

// "120s", "2min" in seconds; none for any other text.
std::optional<qint64> windowOf(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^(\\d{1,5})(s|min)$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const qint64 seconds =
        match.captured(1).toLongLong() * (match.captured(2) == QStringLiteral("min") ? 60 : 1);
    return assess::windowProblem(seconds) ? std::nullopt : std::optional(seconds);
}

}  // namespace

std::vector<OptionRow> loudEventMethodRows(LoudEventMethodFlags& o) {
    return {text(QStringLiteral("window"), QStringLiteral("Ns|Nmin"), o.window,
                 QStringLiteral("The windows of the night's maxima, aligned to local midnight, a "
                                "whole part of an hour (default 120s).")),
            text(QStringLiteral("nth"), QStringLiteral("N"), o.nth,
                 QStringLiteral("Which highest window maximum of each night is shown (default "
                                "10)."))};
}

Outcome<assess::LoudEventOptions> loudEventOptionsOf(const LoudEventMethodFlags& flags) {
    assess::LoudEventOptions options;
    if (flags.window) {
        const std::optional<qint64> window = windowOf(*flags.window);
        if (!window) {
            return usageMistake(
                QStringLiteral("--window takes Ns or Nmin, a whole part of an hour (like 120s or "
                               "5min), not '%1'")
                    .arg(*flags.window));
        }
        options.window = *window;
    }
    if (flags.nth) {
        const Outcome<qint64> nth = wholeFromOneOf(QStringLiteral("nth"), *flags.nth);
        if (!nth) {
            return nth.refusal();
        }
        options.nth = int(std::min<qint64>(*nth, 1'000'000));
    }
    return options;
}

}  // namespace lp::cli
