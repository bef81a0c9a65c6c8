// How the survey commands write their figures: the stats layer owns the forms
// (stats/survey_json.h), which a logger's period messages share.
#pragma once

#include "stats/survey_json.h"

namespace lp::cli {

using stats::coverageJson;
using stats::kCoverageDecimals;
using stats::kLevelDecimals;
using stats::levelJson;
using stats::LocalTimeText;
using stats::periodJson;

}  // namespace lp::cli
