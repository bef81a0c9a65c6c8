// The meter's memory commands on an opened port, with the event loop they run in: what
// sets and download share.
#pragma once

#include <QEventLoop>

#include "cli/command.h"
#include "link/meter_link.h"
#include "live/open_port.h"
#include "memory/memory_commands.h"
#include "platform/clock.h"

namespace lp::cli {

// The port opened and the memory commands on it, with the event loop they run in.
// `run()` returns kFileFailure with the reason on the talk when a command fails or a
// signal cuts it short.
class MemorySession {
public:
    MemorySession(live::OpenedPort port, platform::Clock& clock, Talk& talk)
        : port_(std::move(port)), link_(*port_.transport, clock), commands_(link_), talk_(talk) {
        QObject::connect(&commands_, &memory::MemoryCommands::failed, &loop_,
                         [this](const memory::CommandFailure& f) { fail(f.message); });
    }

    [[nodiscard]] memory::MemoryCommands& commands() { return commands_; }
    void done() { loop_.exit(kOk); }
    void fail(const QString& reason) {
        talk_.error(reason);
        loop_.exit(kFileFailure);
    }

    [[nodiscard]] int run() {
        const int status = loop_.exec();
        if (status == kOk && !finished_) {
            talk_.error(QStringLiteral("stopped before the meter had answered."));
            return kFileFailure;
        }
        return status;
    }
    void markFinished() { finished_ = true; }

private:
    live::OpenedPort port_;
    link::MeterLink link_;
    memory::MemoryCommands commands_;
    Talk& talk_;
    QEventLoop loop_;
    bool finished_ = false;
};

}  // namespace lp::cli
