#include "live/sampling_time.h"

#include <QLocale>
#include <cmath>

#include "platform/numeric_text.h"

namespace lp::live {

SamplingAnswer readSamplingAnswer(const std::optional<QString>& answer) {
    if (!answer || answer->isEmpty()) {
        return {};
    }
    QString text = *answer;
    const qsizetype comma = text.indexOf(u',');
    if (comma >= 0) {
        text.remove(comma, 1);
    }
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = c.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value)) {
        return {SamplingAnswer::Kind::Refused, 0};
    }
    double t = platform::roundHalfEven(value);
    if (t > kMaxSamplingSeconds) {
        t = kMaxSamplingSeconds;
    }
    if (t < kMinSamplingSeconds) {
        t = kMinSamplingSeconds;
    }
    return {SamplingAnswer::Kind::Set, static_cast<int>(t)};
}

}  // namespace lp::live
