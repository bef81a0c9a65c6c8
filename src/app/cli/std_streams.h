// The standard streams of a command that must outlive its readers: a logger whose
// stdout reader ended (a finished `head`, a closed terminal) goes on recording.
#pragma once

#include <QString>
#include <QTextStream>

namespace lp::app::cli {

// Opens /dev/null on a standard stream the program was started without (`>&-`), so
// that no file the command opens later takes its number and receives its messages.
void guardStandardStreams();

// A write to a pipe without a reader fails with EPIPE instead of ending the process.
void ignoreBrokenPipes();

// Lines of talk on stdout that may fail without harm: the first failed write marks
// stdout as gone, says so once on the error stream and drops every later line.
class Talk {
public:
    Talk(QTextStream& out, QTextStream& err) : out_(out), err_(err) {}

    void line(const QString& text);

private:
    QTextStream& out_;
    QTextStream& err_;
    bool gone_ = false;
};

}  // namespace lp::app::cli
