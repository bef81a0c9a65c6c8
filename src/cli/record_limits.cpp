#include "cli/record_limits.h"

#include "cli/kit/numbers.h"
#include "cli/limit_rule_arguments.h"
#include "platform/iso_time.h"
#include "stats/figure_text.h"

namespace lp::cli {

Outcome<std::unique_ptr<RecordLimits>> RecordLimits::read(const Flags& flags,
                                                          const std::optional<QString>& events,
                                                          int seconds, Talk& talk) {
    live::LiveLimitOptions options;
    for (const QString& text : flags.limit) {
        const Outcome<live::LiveLimitRule> rule = limitRuleOf(text, LimitSyntax::Live);
        if (!rule) {
            return rule.refusal();
        }
        options.rules.push_back(*rule);
    }
    for (const auto& [name, given] :
         {std::pair{QStringLiteral("hysteresis"), flags.hysteresis.has_value()},
          std::pair{QStringLiteral("repeat"), flags.repeat.has_value()}}) {
        if (options.rules.empty() && given) {
            return usageMistake(QStringLiteral("--%1 needs --limit").arg(name));
        }
    }
    if (options.rules.empty()) {
        return std::unique_ptr<RecordLimits>();
    }
    if (flags.hysteresis) {
        const std::optional<double> db = decimalOf(*flags.hysteresis);
        if (!db || *db < 0.0 || *db > 20.0) {
            return usageMistake(
                QStringLiteral("--hysteresis takes a level difference in dB, 0 to 20 (like 1 "
                               "or 0.5), not '%1'")
                    .arg(*flags.hysteresis));
        }
        options.hysteresis = *db;
    }
    if (flags.repeat) {
        const std::optional<qint64> repeat = wholeNumberOf(*flags.repeat);
        if (!repeat || *repeat < 1) {
            return usageMistake(QStringLiteral("--repeat takes whole seconds (1 or more), not '%1'")
                                    .arg(*flags.repeat));
        }
        options.repeat = *repeat;
    }
    return std::make_unique<RecordLimits>(std::move(options), seconds, events, talk);
}

RecordLimits::RecordLimits(live::LiveLimitOptions options, int seconds,
                           const std::optional<QString>& events, Talk& talk)
    : talk_(talk) {
    watch_.setInterval(seconds);
    watch_.setOptions(std::move(options));
    if (events) {
        log_.emplace(*events);
    }
    connect(&watch_, &live::LimitWatch::eventOccurred, this, &RecordLimits::tell);
}

void RecordLimits::tell(const live::LimitEvent& event) {
    static const QString kDone[] = {QStringLiteral("started"), QStringLiteral("goes on"),
                                    QStringLiteral("ended")};
    QString status;
    for (const live::LimitStatus& s : watch_.statuses()) {
        if (s.rule == event.rule) {
            status = live::limitStatusText(s);
            break;
        }
    }
    talk_.error(QStringLiteral("limit %1: %2 %3 at %4 (%5 dB): %6")
                    .arg(event.rule, live::limitLevelText(event.level),
                         kDone[static_cast<int>(event.kind)], platform::localIsoTime(event.instant),
                         stats::levelText(event.limit), status));
    if (log_) {
        if (const std::optional<QString> error = log_->write(event)) {
            talk_.error(*error);
        }
    }
}

}  // namespace lp::cli
