// levelpanel-cli as a child of a test that runs until it is signalled: its output
// gathered, its end read from a real signal.
#pragma once

#include <signal.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include "sim_process.h"

namespace lp::test {

struct CliOptions {
    [[nodiscard]] static CliOptions startingAt(const QString& localTime) {
        CliOptions options;
        options.fakeStart = localTime;
        return options;
    }

    QString fakeStart;          // LP_CLI_FAKE_START: the local time the command's clock starts at
    QString stderrFile;         // stderr into this file (a FIFO, say) instead of a pipe
    bool stderrClosed = false;  // started without a stderr at all (`2>&-`)
    QProcessEnvironment extraEnv;
};

class CliProcess {
public:
    explicit CliProcess(const QStringList& arguments, const CliOptions& options = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!options.fakeStart.isEmpty()) {
            env.insert(QStringLiteral("LP_CLI_FAKE_START"), options.fakeStart);
        }
        for (const QString& key : options.extraEnv.keys()) {
            env.insert(key, options.extraEnv.value(key));
        }
        process_.setProcessEnvironment(env);
        if (!options.stderrFile.isEmpty()) {
            process_.setStandardErrorFile(options.stderrFile);
        }
        if (options.stderrClosed) {
            // The shell closes stderr and becomes the command, with the same process id.
            process_.start(
                QStringLiteral("/bin/sh"),
                QStringList{QStringLiteral("-c"), QStringLiteral("exec \"$0\" \"$@\" 2>&-"),
                            QStringLiteral(LP_CLI_PROGRAM)} +
                    arguments);
        } else {
            process_.start(QStringLiteral(LP_CLI_PROGRAM), arguments);
        }
    }
    ~CliProcess() { endChild(process_); }
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    // Sends the signal; the exit status, or -1 when the program did not end cleanly
    // (a signal of its own, a hang).
    int end(int signal) {
        ::kill(static_cast<pid_t>(process_.processId()), signal);
        if (!process_.waitForFinished(10000) || process_.exitStatus() != QProcess::NormalExit) {
            return -1;
        }
        out_ += process_.readAllStandardOutput();
        err_ += process_.readAllStandardError();
        return process_.exitCode();
    }
    [[nodiscard]] bool running() const { return process_.state() == QProcess::Running; }
    [[nodiscard]] qint64 processId() const { return process_.processId(); }
    QString err() {
        err_ += process_.readAllStandardError();
        return QString::fromUtf8(err_);
    }
    QString out() const { return QString::fromUtf8(out_); }

private:
    QProcess process_;
    QByteArray out_;
    QByteArray err_;
};

}  // namespace lp::test
