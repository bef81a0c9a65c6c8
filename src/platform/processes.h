// Processes of this machine: whether one is still there, and this one handed over to
// another program.
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace lp::platform {

// True while process `pid` exists (also one of another user's); false for none or for
// a pid of 0 or less.
[[nodiscard]] bool isProcessRunning(qint64 pid);

// Runs `program` with `arguments` in place of this process: it takes over the standard
// streams, and its exit status is this process's. What the C streams hold is written
// out first. Returns only when the program cannot be started, with the system's
// reason.
[[nodiscard]] QString replaceProcess(const QString& program, const QStringList& arguments);

}  // namespace lp::platform
