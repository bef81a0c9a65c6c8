// watch: the fleet console. Subscribes to PREFIX/+/status, sample and event on the
// broker and shows one line per logger (name, state, last level and its age, backlog,
// events today): a table redrawn in place on a terminal, or one JSON line per change
// when stdout is no terminal or with --json. Runs until SIGINT or SIGTERM (status 0)
// or until stdout's reader goes away; a broker that goes away is said once on stderr
// and tried again (1 s, 2 s, ... 60 s apart).
#pragma once

#include "cli/command.h"
#include "cli/kit/cli_arguments.h"

namespace lp::cli {

[[nodiscard]] int runWatch(const Arguments& args, CommandIo& io);

}  // namespace lp::cli
