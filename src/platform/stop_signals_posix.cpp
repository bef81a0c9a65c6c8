#include "platform/stop_signals.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>

namespace lp::platform {
namespace {

int stopPipe[2] = {-1, -1};

void onStopSignal(int) {
    const char byte = 1;
    // Only async-signal-safe calls here; the event loop does the rest.
    [[maybe_unused]] const ssize_t n = ::write(stopPipe[1], &byte, 1);
}

}  // namespace

bool installStopSignals() {
    if (stopPipe[0] >= 0) {
        return true;
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, stopPipe) != 0) {
        return false;
    }
    auto* notifier =
        new QSocketNotifier(stopPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(stopPipe[0], &byte, 1);
        // Leaves every running event loop: the command's own loop returns.
        QCoreApplication::exit(0);
    });
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : {SIGINT, SIGTERM}) {
        if (sigaction(sig, &action, nullptr) != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace lp::platform
