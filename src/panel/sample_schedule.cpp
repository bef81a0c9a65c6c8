#include "panel/sample_schedule.h"

#include "platform/numeric_text.h"

namespace lp::panel {

double samplingSeconds(const QString& sampleCaption) {
    return platform::leadingNumber(sampleCaption);
}

QString samplingCaption(int seconds) {
    return QString::number(seconds) + QStringLiteral(" sec");
}

bool sampleDue(int sampleTick, double seconds) {
    return sampleTick == 0 || sampleTick >= seconds;
}

QString timeText(const QDateTime& when) {
    return when.time().toString(QStringLiteral("HH:mm:ss"));
}

QString dateTimeText(const QDateTime& when) {
    return when.date().toString(QStringLiteral("yyyy/MM/dd")) + QLatin1Char(' ') + timeText(when);
}

QString sampleTail(const QString& dateTime, const QString& levelText) {
    return dateTime + QLatin1Char('\t') + levelText + QLatin1Char('\t');
}

}  // namespace lp::panel
