// The clock of the device commands: the PC clock, or, when the environment variable
// LP_CLI_FAKE_START holds a local date and time ("2026-12-06T23:59:57.500", or with its
// offset, "2026-10-25T02:59:58+02:00", for the hour shown twice in autumn), a clock
// whose wall time starts there and runs at the real pace. Timers are real either
// way; the fake start lets a check cross midnight in seconds.
#pragma once

#include <memory>

#include "platform/clock.h"

namespace lp::cli {

inline constexpr char kFakeStartVariable[] = "LP_CLI_FAKE_START";

[[nodiscard]] std::unique_ptr<platform::Clock> commandClock();

}  // namespace lp::cli
