#include "cli/limit_rule_arguments.h"

#include <QRegularExpression>

#include "cli/kit/numbers.h"
#include "cli/survey_arguments.h"

namespace lp::cli {
namespace {

std::optional<assess::LimitFigure> limitFigureOf(const QString& name) {
    for (const assess::LimitFigure figure : {assess::LimitFigure::Laeq, assess::LimitFigure::Lmax,
                                             assess::LimitFigure::L10, assess::LimitFigure::L90}) {
        if (assess::limitFigureName(figure) == name) {
            return figure;
        }
    }
    return std::nullopt;
}

// A rolling span: Ns, Nmin or Nh, from 1 s to 24 h.
std::optional<qint64> spanOf(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^([1-9]\\d{0,4})(s|min|h)$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const QString unit = match.captured(2);
    const qint64 seconds = match.captured(1).toLongLong() * (unit == QStringLiteral("h")   ? 3600
                                                             : unit == QStringLiteral("s") ? 1
                                                                                           : 60);
    return seconds <= stats::kSecondsPerDay ? std::optional(seconds) : std::nullopt;
}

// Compared with figures shown to 0.1 dB: a limit of more decimals would pass a figure
// shown above it.
std::optional<double> limitLevelOf(const QString& text) {
    const std::optional<double> db = decimalOf(text);
    if (!db || text.section(u'.', 1).size() > 1) {
        return std::nullopt;
    }
    return db;
}

}  // namespace

Outcome<live::LiveLimitRule> limitRuleOf(const QString& text, LimitSyntax syntax) {
    const bool live = syntax == LimitSyntax::Live;
    QStringList parts = text.split(u',');
    live::LiveLimitRule rule;
    rule.text = text;
    // laeq~5min: the rolling span joined to the figure, or laeq~ and the span apart.
    if (live && !parts.isEmpty() && parts[0].startsWith(QStringLiteral("laeq~"))) {
        rule.rolling = true;
        const QString joined = parts[0].mid(5);
        parts[0] = QStringLiteral("laeq");
        if (!joined.isEmpty()) {
            parts.insert(1, joined);
        }
    }
    if (live && parts.size() == 5 && parts[4].startsWith(QStringLiteral("warn="))) {
        const std::optional<double> warn = limitLevelOf(parts[4].mid(5));
        if (!warn) {
            return usageMistake(QStringLiteral("--limit %1: the warning is warn=DB, a level in "
                                               "dB of at most one decimal (like warn=42), not "
                                               "'%2'")
                                    .arg(text, parts[4]));
        }
        rule.warn = warn;
        parts.removeLast();
    }
    if (parts.size() != 4) {
        return usageMistake(
            live ? QStringLiteral("--limit takes FIGURE,T,FROM-TO,DB[,warn=DB] (like "
                                  "laeq,15min,23-07,45,warn=42) or laeq~T,FROM-TO,DB[,warn=DB] "
                                  "for a rolling LAeq (like laeq~5min,00-24,85), not '%1'")
                       .arg(text)
                 : QStringLiteral("--limit takes FIGURE,T,FROM-TO,DB (like "
                                  "laeq,15min,23-07,45), not '%1'")
                       .arg(text));
    }
    const auto wrong = [&text](const QString& what) {
        return usageMistake(QStringLiteral("--limit %1: %2").arg(text, what));
    };
    const std::optional<assess::LimitFigure> figure = limitFigureOf(parts[0]);
    if (!figure) {
        return wrong(
            QStringLiteral("the figure is laeq, lmax, l10 or l90, not '%1'").arg(parts[0]));
    }
    rule.figure = *figure;
    const std::optional<qint64> length = rule.rolling ? spanOf(parts[1]) : periodLengthOf(parts[1]);
    if (!length) {
        return wrong(rule.rolling
                         ? QStringLiteral("the rolling span T is Ns, Nmin or Nh up to 24h (like "
                                          "30s or 5min), not '%1'")
                               .arg(parts[1])
                         : QStringLiteral("the interval T is Nmin or Nh from 1min to 24h that "
                                          "divides a day into whole intervals (like 15min or "
                                          "1h), not '%1'")
                               .arg(parts[1]));
    }
    rule.length = *length;
    const std::optional<std::pair<int, int>> hours = partHoursOf(parts[2]);
    if (!hours) {
        return wrong(QStringLiteral("the hours are FROM-TO, local hours 0..24 (like 23-07), "
                                    "not '%1'")
                         .arg(parts[2]));
    }
    rule.from = hours->first;
    rule.to = hours->second;
    const std::optional<double> db = limitLevelOf(parts[3]);
    if (!db) {
        return wrong(QStringLiteral("the limit DB is a level in dB of at most one decimal (like "
                                    "45 or 42.5), not '%1'")
                         .arg(parts[3]));
    }
    rule.db = *db;
    if (rule.warn && *rule.warn >= rule.db) {
        return wrong(QStringLiteral("the warning lies below the limit"));
    }
    return rule;
}

}  // namespace lp::cli
