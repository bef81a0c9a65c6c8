#include "platform/processes.h"

#include <signal.h>

#include <cerrno>

namespace lp::platform {

bool isProcessRunning(qint64 pid) {
    if (pid <= 0 || pid != static_cast<pid_t>(pid)) {
        return false;
    }
    // Signal 0 checks only: EPERM means it is there, of another user.
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

}  // namespace lp::platform
