#include "cli/assess_limits_options.h"

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

// "laeq,15min,23-07,45" as a rule, or the mistake naming the part that is wrong.
Outcome<assess::LimitRule> limitRuleOf(const QString& text) {
    const QStringList parts = text.split(u',');
    if (parts.size() != 4) {
        return usageMistake(QStringLiteral("--limit takes FIGURE,T,FROM-TO,DB (like "
                                           "laeq,15min,23-07,45), not '%1'")
                                .arg(text));
    }
    const auto wrong = [&text](const QString& what) {
        return usageMistake(QStringLiteral("--limit %1: %2").arg(text, what));
    };
    assess::LimitRule rule;
    rule.text = text;
    const std::optional<assess::LimitFigure> figure = limitFigureOf(parts[0]);
    if (!figure) {
        return wrong(
            QStringLiteral("the figure is laeq, lmax, l10 or l90, not '%1'").arg(parts[0]));
    }
    rule.figure = *figure;
    const std::optional<qint64> length = periodLengthOf(parts[1]);
    if (!length) {
        return wrong(QStringLiteral("the interval T is Nmin or Nh from 1min to 24h that divides "
                                    "a day into whole intervals (like 15min or 1h), not '%1'")
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
    // Compared with figures shown to 0.1 dB: a limit of more decimals would pass a
    // figure shown above it.
    const std::optional<double> db = decimalOf(parts[3]);
    if (!db || parts[3].section(u'.', 1).size() > 1) {
        return wrong(QStringLiteral("the limit DB is a level in dB of at most one decimal (like "
                                    "45 or 42.5), not '%1'")
                         .arg(parts[3]));
    }
    rule.db = *db;
    return rule;
}

}  // namespace

std::vector<OptionRow> limitMethodRows(LimitMethodFlags& o) {
    return {texts(QStringLiteral("limit"), QStringLiteral("FIGURE,T,FROM-TO,DB"), o.limits,
                  QStringLiteral("A limit: FIGURE laeq, lmax, l10 or l90 of every interval of T "
                                 "(like 15min or 1h, aligned to local midnight) that starts from "
                                 "FROM to TO h (23-07 runs over midnight) at most DB dB; "
                                 "repeatable."))
                .needing(QStringLiteral("FIGURE,T,FROM-TO,DB")),
            text(QStringLiteral("guideline"), QStringLiteral("SOURCE"), o.guideline,
                 QStringLiteral("Also the survey's Lden and Lnight against the WHO 2018 guideline "
                                "values of who-road, who-rail, who-aircraft or who-wind."))};
}

Outcome<assess::LimitOptions> limitOptionsOf(const LimitMethodFlags& flags,
                                             const QString& command) {
    assess::LimitOptions options;
    for (const QString& text : flags.limits) {
        const Outcome<assess::LimitRule> rule = limitRuleOf(text);
        if (!rule) {
            return rule.refusal();
        }
        options.rules.push_back(*rule);
    }
    if (flags.guideline) {
        for (const assess::Guideline guideline :
             {assess::Guideline::Road, assess::Guideline::Rail, assess::Guideline::Aircraft,
              assess::Guideline::Wind}) {
            if (assess::guidelineName(guideline) == *flags.guideline) {
                options.guideline = guideline;
            }
        }
        if (!options.guideline) {
            return usageMistake(QStringLiteral("--guideline takes who-road, who-rail, "
                                               "who-aircraft or who-wind, not '%1'")
                                    .arg(*flags.guideline));
        }
    }
    if (options.rules.empty() && !options.guideline) {
        return usageMistake(QStringLiteral("%1 needs a --limit or a --guideline").arg(command));
    }
    return options;
}

}  // namespace lp::cli
