// The names of the files an unattended recording writes. OUT itself, or, with daily
// rotation, OUT's stem, "-" and the date of the samples, then OUT's suffix:
// log.sdm -> log-2026-12-06.sdm. When a file reaches the line limit the recording goes
// on in part 2, 3, ... of the same name: log-2.sdm, log-2026-12-06-2.sdm.
#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace lp::cli {

[[nodiscard]] QString recordFileName(const QString& out, std::optional<QDate> day, int part);

}  // namespace lp::cli
