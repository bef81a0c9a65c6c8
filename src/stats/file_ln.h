// The percentile levels of a record file straight from the file: read a piece at a
// time and counted as it comes, so no list of the whole file is built. The figures
// are those of computeLn over the same file loaded into a list.
#pragma once

#include <QString>

#include "records/record_file_reader.h"
#include "stats/ln_result.h"
#include "stats/resolution.h"

namespace lp::stats {

struct FileLn {
    LnResult result;           // over the records read (all of them when load has no error)
    records::LoadResult load;  // records read and, when the file did not read to its end, why
};

[[nodiscard]] FileLn computeLnOfFile(Resolution resolution, const QString& path);

}  // namespace lp::stats
