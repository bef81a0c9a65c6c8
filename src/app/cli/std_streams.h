// The standard streams of a command that must outlive its readers: a logger whose
// stdout reader ended (a finished `head`, a closed terminal) goes on recording.
#pragma once

#include <QString>
#include <QTextStream>

namespace lp::app::cli {

// A write to a pipe without a reader fails with EPIPE instead of ending the process.
void ignoreBrokenPipes();

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

}  // namespace lp::app::cli
