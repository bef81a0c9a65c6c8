#include "platform/terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace lp::platform {

bool isTerminal(int fd) {
    return ::isatty(fd) == 1;
}

std::optional<TerminalSize> terminalSize(int fd) {
    winsize ws{};
    if (::ioctl(fd, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0 && ws.ws_row > 0) {
        return TerminalSize{ws.ws_col, ws.ws_row};
    }
    return std::nullopt;
}

}  // namespace lp::platform
