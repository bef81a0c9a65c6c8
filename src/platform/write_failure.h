// How a failed write is told to the user, the same for every file the program writes.
#pragma once

#include <QString>

namespace lp::platform {

// The reason to tell for a failed write: "the disk is full (...)" where the system's
// reason says so or gives none, else the system's reason.
[[nodiscard]] QString writeFailureText(const QString& systemReason);

}  // namespace lp::platform
