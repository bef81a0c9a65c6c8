// A reading as machine fields, the names and texts that `levelpanel-cli live --json` and
// the MQTT sample message both write (consumers' configurations rely on them):
// "weighting" "A" or "C", "response" "FAST" or "SLOW", "range" "30-80", and "flags"
// the lit marks among REC FULL MAX BAT UNDER OVER, in that order.
#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include "link/reading.h"

namespace lp::live {

struct ReadingFields {
    QString weighting;
    QString response;
    QString range;
    QStringList flags;
};

[[nodiscard]] ReadingFields readingFields(const link::Reading& reading);

// The four fields into a JSON object under their names; null each without a reading.
void insertReadingFields(QJsonObject& object, const link::Reading* reading);

}  // namespace lp::live
