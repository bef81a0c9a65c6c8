// The options of noise at work, shared by `assess exposure` and `report --assess
// exposure`: their rows and their reading into the core's options.
#pragma once

#include "assess/exposure.h"
#include "cli/kit/options.h"
#include "cli/kit/outcome.h"

namespace lp::cli {

struct ExposureMethodFlags {
    std::optional<QString> shift;
    std::optional<QString> te;
};

// --shift, --te.
[[nodiscard]] std::vector<OptionRow> exposureMethodRows(ExposureMethodFlags& flags);

[[nodiscard]] Outcome<assess::ExposureOptions> exposureOptionsOf(const ExposureMethodFlags& flags);

}  // namespace lp::cli
