// One sample of the live level, taken once per sampling time: what the recording, the
// live list, the analog needle and any other subscriber of the live cycle receive.
#pragma once

#include <QDateTime>
#include <QString>

#include "link/reading.h"

namespace lp::live {

struct Sample {
    QDateTime when;     // the PC clock at the sample
    QString dateTime;   // "YYYY/MM/DD hh:nn:ss"
    QString levelText;  // the level as the panel shows it: "65.3", "60.0"
    link::Reading reading;
};

}  // namespace lp::live
