// Whether a process of this machine is still there.
#pragma once

#include <QtGlobal>

namespace lp::platform {

// True while process `pid` exists (also one of another user's); false for none or for
// a pid of 0 or less.
[[nodiscard]] bool isProcessRunning(qint64 pid);

}  // namespace lp::platform
