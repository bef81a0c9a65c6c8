// The percentile levels of timed levels (a survey's counted records): the same 0.1 dB
// classes and figures as computeLn gives for the level texts they were read from, but
// the survey's Ln: entry n of `levels` is the level exceeded for n % of the time
// (ExceedanceLevels), to 0.1 dB, not the Ln table's class.
#pragma once

#include <span>

#include "stats/level_sample.h"
#include "stats/ln_result.h"

namespace lp::stats {

// Every sample counts in a class; as in the tally, a reading out of range counts in the
// 25 or 145 dB class and is left out of the figures (Leq, Lmax, Lmin).
[[nodiscard]] LnResult lnOfSamples(std::span<const LevelSample> samples);

}  // namespace lp::stats
