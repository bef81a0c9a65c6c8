// SIGINT and SIGTERM end a running command cleanly: the handler only writes a byte to a
// socket pair; the event loop reads it and leaves, so the command closes its files with
// every line taken already on disk.
#pragma once

namespace lp::platform {

// Installs the handlers (once); false when the system refuses. Needs a
// QCoreApplication, whose event loops the signals end (QCoreApplication::exit(0)).
[[nodiscard]] bool installStopSignals();

}  // namespace lp::platform
