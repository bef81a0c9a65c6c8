#include "cli/assess_limits_options.h"

#include "cli/limit_rule_arguments.h"

namespace lp::cli {

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
        const Outcome<live::LiveLimitRule> rule = limitRuleOf(text, LimitSyntax::Assessed);
        if (!rule) {
            return rule.refusal();
        }
        options.rules.push_back(
            {rule->figure, rule->length, rule->from, rule->to, rule->db, rule->text});
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
