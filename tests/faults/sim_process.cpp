#include "sim_process.h"

#include <signal.h>

#include <QDeadlineTimer>

namespace lp::test {

SimProcess::~SimProcess() {
    endChild(process_);
}

bool SimProcess::start(const QStringList& options) {
    endChild(process_);
    path_.clear();
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QStringLiteral(LP_SIM_PROGRAM), options);
    if (!process_.waitForStarted(5000)) {
        error_ = process_.errorString();
        return false;
    }
    const QDeadlineTimer deadline(5000);
    while (!process_.canReadLine() && !deadline.hasExpired()) {
        if (!process_.waitForReadyRead(int(deadline.remainingTime()))) {
            break;
        }
    }
    if (!process_.canReadLine()) {
        error_ = QStringLiteral("the simulator printed no path");
        endChild(process_);
        return false;
    }
    path_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
    return true;
}

bool SimProcess::stop() {
    process_.terminate();
    const bool ended = process_.waitForFinished(5000);
    endChild(process_);
    return ended && process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
}

void SimProcess::pressPower() {
    ::kill(static_cast<pid_t>(process_.processId()), SIGUSR1);
}

void SimProcess::toggleLoud() {
    ::kill(static_cast<pid_t>(process_.processId()), SIGUSR2);
}

void endChild(QProcess& process) {
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
    }
}

}  // namespace lp::test
