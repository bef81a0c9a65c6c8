// Two days of demo records for the user guide's pictures: one a second, as `record
// --rotate daily` writes them, quiet nights, busier days, and a few loud minutes.
#pragma once

#include <QString>
#include <QStringList>

namespace lp::tools {

// The files in `dir` (made if missing), in day order; empty when one cannot be written.
QStringList writeDemoDays(const QString& dir);

}  // namespace lp::tools
