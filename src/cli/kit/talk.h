// The one way a command talks to its user: every line on stderr goes through Talk.
// Data goes to stdout; talk is progress and summary lines (none with -q) and errors
// (always), each error prefixed with the program's name and nothing else.
#pragma once

#include <QString>
#include <QTextStream>

#include "cli/kit/outcome.h"

namespace lp::cli {

class Talk {
public:
    explicit Talk(QTextStream& err) : err_(err) {}
    Talk(const Talk&) = delete;
    Talk& operator=(const Talk&) = delete;

    // -q: no more progress or summary lines.
    void setQuiet(bool quiet) { quiet_ = quiet; }
    [[nodiscard]] bool quiet() const { return quiet_; }
    // The command whose help a usage error points to; none for the program's own.
    void setCommand(const QString& name) { command_ = name; }

    // A line of progress or summary; none with -q.
    void say(const QString& line);
    // An error: "levelpanel-cli: message", also with -q.
    void error(const QString& message);
    // A usage error: the message, then where to look ("levelpanel-cli CMD --help").
    // Returns kUsageError.
    int usage(const QString& message);
    // A refusal as a usage error or an error by its status; returns that status.
    int refused(const Refusal& refusal);

    // Whether stderr went away (a closed pipe): nothing is written after that.
    [[nodiscard]] bool gone() const { return gone_; }

private:
    void write(const QString& text);

    QTextStream& err_;
    QString command_;
    bool quiet_ = false;
    bool gone_ = false;
};

}  // namespace lp::cli
