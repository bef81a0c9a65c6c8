#include "live/reading_fields.h"

#include <QJsonArray>

namespace lp::live {

ReadingFields readingFields(const link::Reading& r) {
    ReadingFields f;
    f.weighting = r.weightingA ? QStringLiteral("A") : QStringLiteral("C");
    f.response = r.slowResponse ? QStringLiteral("SLOW") : QStringLiteral("FAST");
    f.range = QStringLiteral("%1-%2").arg(r.rangeLow).arg(r.rangeHigh);
    const std::pair<bool, const char*> lit[] = {
        {r.meterRecording, "REC"}, {r.memoryFull, "FULL"},  {r.maxHold, "MAX"},
        {r.batteryLow, "BAT"},     {r.underRange, "UNDER"}, {r.overRange, "OVER"},
    };
    for (const auto& [on, name] : lit) {
        if (on) {
            f.flags << QString::fromLatin1(name);
        }
    }
    return f;
}

void insertReadingFields(QJsonObject& object, const link::Reading* reading) {
    const QString keys[] = {QStringLiteral("weighting"), QStringLiteral("response"),
                            QStringLiteral("range"), QStringLiteral("flags")};
    if (reading == nullptr) {
        for (const QString& key : keys) {
            object.insert(key, QJsonValue(QJsonValue::Null));
        }
        return;
    }
    const ReadingFields f = readingFields(*reading);
    object.insert(keys[0], f.weighting);
    object.insert(keys[1], f.response);
    object.insert(keys[2], f.range);
    object.insert(keys[3], QJsonArray::fromStringList(f.flags));
}

}  // namespace lp::live
