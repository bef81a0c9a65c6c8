// The report's last page: its manifest (what made the report, the equivalent command
// line, every option, the profile when one was used, and every input file's path, size and
// SHA-256), the same as the PDF carries in its metadata for `levelpanel-cli verify`.
#pragma once

#include "assess/manifest.h"
#include "survey/report_flow.h"

namespace lp::survey {

// Lays the manifest out from a new page on. False when the report stopped.
bool layOutManifest(ReportFlow& flow, const assess::Manifest& manifest);

}  // namespace lp::survey
