// The percentile-level computation over a whole list of level texts.
#pragma once

#include <QByteArrayView>
#include <QStringList>
#include <functional>

#include "stats/ln_result.h"
#include "stats/resolution.h"

namespace lp::stats {

// The level text of record i, 0 <= i < count, as Latin-1 bytes read in place (no copy
// is kept), e.g. the level field of the record store.
using LevelTextAt = std::function<QByteArrayView(qsizetype)>;

[[nodiscard]] LnResult computeLn(Resolution resolution, qsizetype count,
                                 const LevelTextAt& levelTextAt);

[[nodiscard]] LnResult computeLn(Resolution resolution, const QStringList& levelTexts);

}  // namespace lp::stats
