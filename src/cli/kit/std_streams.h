// The standard streams of a command that must outlive its readers: a logger whose
// stdout reader ended (a finished `head`, a closed terminal) goes on recording.
#pragma once

#include <QFile>
#include <QString>
#include <QTextStream>

#include "cli/kit/terminal_text.h"
#include "platform/stream_output.h"

namespace lp::cli {

// The program's stdout and stderr as its commands write them: data through a device
// that checks every write (finishedOutput tells a failure), talk through one that lets
// nothing in it steer a terminal (it quotes file names and what brokers send).
class StandardStreams {
public:
    StandardStreams();
    StandardStreams(const StandardStreams&) = delete;
    StandardStreams& operator=(const StandardStreams&) = delete;

    [[nodiscard]] QTextStream& out() { return out_; }
    [[nodiscard]] QTextStream& err() { return err_; }

private:
    platform::StreamOutput output_;
    QFile errorFile_;
    TerminalSafeDevice safeError_;
    QTextStream out_;
    QTextStream err_;
};

// The end of what a command wrote on stdout (every command's, in run()): what the
// stream still holds is written out, and when a write failed (a full disk, /dev/full,
// a device error) the error stream says so and the status becomes kFileFailure. On a
// platform::StreamOutput every write is checked; on another device the stream's
// status tells. A reader that went away (a finished `head`) ended the output on
// purpose: that is said by no message and leaves the status as it was.
[[nodiscard]] int finishedOutput(QTextStream& out, QTextStream& err, int status);

// Lines of talk on the error stream that may fail without harm (a logger's stderr
// whose reader ended): the first failed write marks the stream as gone and drops every
// later line. With `quiet` (-q) it says nothing.
class Talk {
public:
    Talk(QTextStream& err, bool quiet) : err_(err), quiet_(quiet) {}

    void line(const QString& text);

private:
    QTextStream& err_;
    bool quiet_;
    bool gone_ = false;
};

}  // namespace lp::cli
