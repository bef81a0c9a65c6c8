// A program run to its end, its status and both outputs kept, for tests of whole processes.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace lp::test {

struct ProgramRun {
    int status = -1;  // -1 when it did not end normally in time (then killed)
    QString out;
    QString err;
};

// `input` is the program's standard input, closed after it.
inline ProgramRun runToEnd(
    const QString& program, const QStringList& arguments, int timeoutMs = 60000,
    const QByteArray& input = {},
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    ProgramRun run;
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

#ifdef LP_CLI_PROGRAM
// levelpanel-cli, in the tests that are told where it is.
inline ProgramRun runCli(const QStringList& arguments, const QByteArray& input = {}) {
    return runToEnd(QStringLiteral(LP_CLI_PROGRAM), arguments, 60000, input);
}
#endif

}  // namespace lp::test
