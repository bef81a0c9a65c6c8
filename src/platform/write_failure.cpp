#include "platform/write_failure.h"

namespace lp::platform {

QString writeFailureText(const QString& systemReason) {
    if (systemReason.contains(QLatin1String("No space left")) ||
        systemReason.contains(QLatin1String("Disk quota")) ||
        systemReason.contains(QLatin1String("File too large"))) {
        return QStringLiteral("the disk is full (%1)").arg(systemReason);
    }
    if (systemReason.isEmpty() || systemReason == QLatin1String("Unknown error")) {
        // A write that stopped part way without a reason: the medium took no more.
        return QStringLiteral("the disk is full or the file may grow no larger");
    }
    return systemReason;
}

}  // namespace lp::platform
