// Ln over a whole list of level texts, from the store or from texts.
#include "stats/ln_computation.h"

#include "stats/level_tally.h"

namespace lp::stats {

LnResult computeLn(Resolution resolution, qsizetype count, const LevelTextAt& levelTextAt) {
    LevelTally tally(resolution);
    for (qsizetype i = 0; i < count; ++i) {
        tally.add(levelTextAt(i));
    }
    return tally.result();
}

LnResult computeLn(Resolution resolution, const QStringList& levelTexts) {
    LevelTally tally(resolution);
    for (const QString& text : levelTexts) {
        tally.add(QStringView(text));
    }
    return tally.result();
}

}  // namespace lp::stats
