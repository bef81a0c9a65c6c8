// The levelpanel-sim program as a child of a test: started with its options, its
// terminal's path read from its first line, and always gone when the object goes.
#pragma once

#include <QProcess>
#include <QStringList>

namespace lp::test {

class SimProcess {
public:
    SimProcess() = default;
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Starts the simulator; false (see error()) when it does not come up in time.
    [[nodiscard]] bool start(const QStringList& options);
    // Ends it with SIGTERM (it closes its terminal); false when it does not end cleanly.
    [[nodiscard]] bool stop();
    // The meter's power switch (SIGUSR1): off, or on again, with the terminal left open.
    void pressPower();
    // Loud (its --loud level), or quiet again (SIGUSR2).
    void toggleLoud();

    // The terminal's path, as printed.
    [[nodiscard]] const QString& path() const { return path_; }
    [[nodiscard]] const QString& error() const { return error_; }

private:
    QProcess process_;
    QString path_;
    QString error_;
};

// Ends a child process that is still running (SIGKILL) and waits for it.
void endChild(QProcess& process);

}  // namespace lp::test
