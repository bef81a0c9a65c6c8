// The figures `stats` writes for one record file.
#pragma once

#include <QJsonObject>
#include <QString>

#include "stats/ln_result.h"

namespace lp::cli {

// The figures of one file as text: counts, Leq, Lmax, Lmin, L10, L50, L90 and the Ln
// table, the values in the texts the histogram window shows.
[[nodiscard]] QString statsText(const QString& fileName, const stats::LnResult& result);
// The same as a JSON object: levels as numbers in dB, null where there is none.
[[nodiscard]] QJsonObject statsJson(const QString& fileName, const stats::LnResult& result);

}  // namespace lp::cli
