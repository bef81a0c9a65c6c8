// The surveys of the user guide's worked assessments, written into OUTDIR/assess: a
// garden's background (garden.sdm), two shifts in a workshop (workshop-mon.sdm,
// workshop-tue.sdm), a bedroom near a railway (bedroom.sdm) and a night against limits
// (night.sdm), each with its FILE.meta.
#pragma once

#include <QDir>

namespace lp::tools {

[[nodiscard]] bool writeAssessmentExamples(const QDir& out);

}  // namespace lp::tools
