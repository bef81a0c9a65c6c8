// The command line's times, a QDateTime written by platform::isoTimeText: ISO 8601 local
// time with its offset from UTC, "2026-12-06T21:46:24+01:00".
#pragma once

#include <QDateTime>
#include <QString>

namespace lp::cli {

[[nodiscard]] QString isoTimeText(const QDateTime& when);

}  // namespace lp::cli
