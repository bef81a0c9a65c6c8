// The percentile-level computation over a whole list of level texts.
#pragma once

#include <QLatin1StringView>
#include <QStringList>
#include <functional>

#include "lists/stats/ln_result.h"
#include "lists/stats/resolution.h"

namespace lp::lists {

// The level text of record i, 0 <= i < count, read in place (no copy is kept).
using LevelTextAt = std::function<QLatin1StringView(qsizetype)>;

[[nodiscard]] LnResult computeLn(Resolution resolution, qsizetype count,
                                 const LevelTextAt& levelTextAt);

[[nodiscard]] LnResult computeLn(Resolution resolution, const QStringList& levelTexts);

}  // namespace lp::lists
