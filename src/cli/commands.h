// The commands of levelpanel-cli, one file each (NAME_command.cpp: its options struct,
// its rows, its texts and its run function); cli.cpp lists them in this order.
#pragma once

#include "cli/command.h"

namespace lp::cli {

[[nodiscard]] Command statsCommand();             // stats_command.cpp
[[nodiscard]] Command exportCommand();            // export_command.cpp
[[nodiscard]] Command periodsCommand();           // periods_command.cpp
[[nodiscard]] Command ldenCommand();              // lden_command.cpp
[[nodiscard]] Command eventsCommand();            // events_command.cpp
[[nodiscard]] Command assessBackgroundCommand();  // assess_background_command.cpp
[[nodiscard]] Command assessRatingCommand();      // assess_rating_command.cpp
[[nodiscard]] Command assessExposureCommand();    // assess_exposure_command.cpp
[[nodiscard]] Command assessEventsCommand();      // assess_events_command.cpp
[[nodiscard]] Command assessLimitsCommand();      // assess_limits_command.cpp
[[nodiscard]] Command reportCommand();    // report_launch.cpp (painted by report_command.cpp)
[[nodiscard]] Command verifyCommand();    // verify_command.cpp
[[nodiscard]] Command portsCommand();     // ports_command.cpp
[[nodiscard]] Command liveCommand();      // live_command.cpp
[[nodiscard]] Command recordCommand();    // record_command.cpp
[[nodiscard]] Command setsCommand();      // sets_command.cpp
[[nodiscard]] Command downloadCommand();  // download_command.cpp
[[nodiscard]] Command watchCommand();     // watch_command.cpp
[[nodiscard]] Command collectCommand();   // collect_command.cpp

}  // namespace lp::cli
