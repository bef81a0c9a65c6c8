// The records of one span of a survey's time, read again from its files: what the
// record plot of a period or an event shows.
#pragma once

#include <QStringList>
#include <optional>

#include "records/file_error.h"
#include "records/record_store.h"
#include "stats/local_days.h"
#include "stats/survey.h"

namespace lp::survey {

struct SpanRecords {
    // Every record stamped within the span (those without a level or excluded too),
    // each file's in its order, the files in the order of their earliest record; of
    // records at one instant only the first, as the survey counts them.
    records::RecordStore store;
    // Why a file could not be read to its end; then the store is empty.
    std::optional<records::FileError> error;
};

// The stamps are taken as readSurvey takes them, in `days`' zone.
[[nodiscard]] SpanRecords spanRecords(const QStringList& files, const stats::LocalDays& days,
                                      const stats::TimeRange& span);
// Of a survey read before: from its files, or from the records it holds in memory.
[[nodiscard]] SpanRecords spanRecords(const stats::SurveyRecords& survey,
                                      const stats::TimeRange& span);

}  // namespace lp::survey
