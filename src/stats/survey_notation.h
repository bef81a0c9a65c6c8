// What the levels of a survey are: the weighting and response of its counted records,
// from the files' metadata (FILE.meta) or, for files without, as the user declares
// them. A figure's label names a weighting or response only when every counted record
// was taken under it; a survey that mixes them is told in words.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <span>

#include "stats/figure_notation.h"
#include "stats/survey.h"

namespace lp::stats {

struct SurveyStates {
    Notation notation;
    // "The survey mixes meter states: A weighting in day1.sdm, C weighting in day2.sdm
    // lines 7-2410; ...": which states, which files; none when they agree.
    std::optional<QString> mixed;
    // Where a file's metadata says otherwise than the declaration: it holds, said in
    // words, one line a file.
    QStringList overruled;
};

// The states of the records of `survey` that count: in stretches (StateStretch) not
// wholly inside an exclusion. A value the metadata leaves out, or all of it for a file
// without metadata, is `declared`. Without counted records, the declaration.
[[nodiscard]] SurveyStates surveyStates(const SurveyRecords& survey, const Notation& declared,
                                        std::span<const TimeRange> exclusions);

}  // namespace lp::stats
