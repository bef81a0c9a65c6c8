#include "panel/limit_texts.h"

#include "assess/limits.h"
#include "stats/figure_notation.h"

namespace lp::panel {
namespace {

// A limit as given: "45", "42.5".
QString limitText(double db) {
    return QString::number(db);
}

}  // namespace

QString limitHoursText(const live::LiveLimitRule& rule) {
    return QStringLiteral("%1-%2")
        .arg(rule.from, 2, 10, QLatin1Char('0'))
        .arg(rule.to, 2, 10, QLatin1Char('0'));
}

QString limitPendingText(const live::LiveLimitRule& rule) {
    return rule.text + QStringLiteral(": no sample yet");
}

QString limitRuleText(const live::LiveLimitRule& rule) {
    QString text = assess::limitFigureName(rule.figure) + (rule.rolling ? u'~' : u',') +
                   stats::intervalLabel(rule.length) + u',' + limitHoursText(rule) + u',' +
                   limitText(rule.db);
    if (rule.warn) {
        text += QStringLiteral(",warn=") + limitText(*rule.warn);
    }
    return text;
}

QString limitLampText(const live::LimitStatus& status) {
    if (!status.active) {
        return QStringLiteral("off");
    }
    return status.level == live::LimitLevel::Quiet ? QStringLiteral("quiet")
                                                   : live::limitLevelText(status.level);
}

}  // namespace lp::panel
