// The metadata beside the record file of a downloaded set (records/run_metadata.h): one
// run object from what the meter tells of the set in its header (its start, interval,
// weighting and range; not its response, which the header does not hold).
#pragma once

#include <QString>
#include <optional>

#include "memory/download_decoder.h"
#include "records/run_metadata.h"

namespace lp::memory {

// The run object of a set whose record file holds it alone (its header on line 1).
// `context` gives the program, host and port; a set without a header tells nothing more.
[[nodiscard]] records::RunStart setRunStart(const std::optional<SetHeader>& header,
                                            records::RunStart context);

// The metadata of the set as read back from the FILE.meta that writeSetMetadata writes.
[[nodiscard]] records::RecordMetadata setMetadata(const std::optional<SetHeader>& header,
                                                  const records::RunStart& context);

// Writes FILE.meta beside the record file of the set just written; the warning to give
// when it cannot (the record file stands as written).
[[nodiscard]] std::optional<QString> writeSetMetadata(const QString& recordFile,
                                                      const std::optional<SetHeader>& header,
                                                      const records::RunStart& context);

}  // namespace lp::memory
