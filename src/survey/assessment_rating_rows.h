// The rating level's rows: per part the residual, background and corrections with the
// highest LAr,T_r, D and the estimate, then every reference interval; a line per part
// states the estimate, "depending on the context".
#pragma once

#include "assess/rating.h"
#include "survey/assessment_rows.h"

namespace lp::survey {

[[nodiscard]] AssessmentShown ratingShown(const assess::RatingResult& result,
                                          const QTimeZone& zone);

}  // namespace lp::survey
