#include "cli/kit/time_text.h"

#include "platform/iso_time.h"

namespace lp::cli {

QString isoTimeText(const QDateTime& when) {
    return platform::isoTimeText(when);
}

}  // namespace lp::cli
