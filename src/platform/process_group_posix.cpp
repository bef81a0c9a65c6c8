#include "platform/process_group.h"

#include <signal.h>
#include <unistd.h>

namespace lp::platform {

void startInOwnGroup(QProcess& process) {
    // In the child, between fork and exec: setpgid is safe there.
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
}

void killGroup(qint64 leader) {
    if (leader <= 0 || leader != static_cast<pid_t>(leader)) {
        return;
    }
    ::kill(-static_cast<pid_t>(leader), SIGKILL);
}

}  // namespace lp::platform
