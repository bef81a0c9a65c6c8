#include "live/sample_schedule.h"

namespace lp::live {

QString samplingCaption(int seconds) {
    return QString::number(seconds) + QStringLiteral(" sec");
}

bool sampleDue(int sampleTick, int seconds) {
    return sampleTick == 0 || sampleTick >= seconds;
}

QString timeText(const QDateTime& when) {
    return when.time().toString(QStringLiteral("HH:mm:ss"));
}

QString dateTimeText(const QDateTime& when) {
    return when.date().toString(QStringLiteral("yyyy/MM/dd")) + QLatin1Char(' ') + timeText(when);
}

}  // namespace lp::live
