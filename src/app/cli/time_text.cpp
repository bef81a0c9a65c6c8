#include "app/cli/time_text.h"

#include "platform/iso_time.h"

namespace lp::app::cli {

QString isoTimeText(const QDateTime& when) {
    return platform::isoTimeText(when);
}

}  // namespace lp::app::cli
