// Whether a standard stream is a terminal, and how large that terminal is: a command
// draws a table in place on a terminal and writes lines for a program elsewhere.
#pragma once

#include <optional>

namespace lp::platform {

// True when descriptor `fd` is a terminal (not a file, a pipe or a closed descriptor).
[[nodiscard]] bool isTerminal(int fd);

struct TerminalSize {
    int columns = 0;
    int rows = 0;
};

// The size in characters of the terminal on descriptor `fd`; none when `fd` is no
// terminal or the terminal does not tell (a size of 0).
[[nodiscard]] std::optional<TerminalSize> terminalSize(int fd);

}  // namespace lp::platform
