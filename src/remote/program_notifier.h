// A notifier that runs a program for each event, the event's JSON on its stdin: no
// shell and no arguments (a script takes them itself), its stdout thrown away, its
// stderr the logger's. A run longer than the time bound is stopped with everything it
// started; at most a few run at once and the rest wait their turn, up to a bound beyond
// which new ones are dropped. A program that cannot be started, fails (an exit status
// other than 0, a signal) or takes too long is said once for each of the three.
#pragma once

#include <QProcess>
#include <QSet>
#include <chrono>
#include <deque>

#include "remote/notifier.h"

namespace lp::remote {

class ProgramNotifier : public Notifier {
    Q_OBJECT
public:
    struct Limits {
        std::chrono::milliseconds timeout{std::chrono::seconds(10)};
        int running = 4;   // at once
        int waiting = 64;  // for a place, beyond the running ones
    };

    ProgramNotifier(QString name, QString program, Limits limits);
    // Stops the runs still going.
    ~ProgramNotifier() override;

    void notify(const QByteArray& json) override;
    [[nodiscard]] bool busy() const override;
    void abandon() override;

private:
    enum Trouble { CannotStart, Failed, TooLong, Full };

    void run(const QByteArray& json);
    void ended(QProcess* process);

    QString program_;
    Limits limits_;
    QSet<QProcess*> running_;
    QSet<QProcess*> stopped_;  // by the time bound
    std::deque<QByteArray> waiting_;
};

}  // namespace lp::remote
