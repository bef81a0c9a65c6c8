// A child program and whatever it starts in turn, as one group: ended together, so that
// a script stopped for taking too long leaves none of its own children behind.
#pragma once

#include <QProcess>

namespace lp::platform {

// Before start(): the program runs as the leader of a process group of its own.
void startInOwnGroup(QProcess& process);
// Ends the group that process `leader` leads (SIGKILL), also its members that outlive
// the leader; nothing for a pid of 0 or less.
void killGroup(qint64 leader);

}  // namespace lp::platform
