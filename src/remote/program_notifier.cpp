#include "remote/program_notifier.h"

#include <QTimer>

#include "platform/process_group.h"

namespace lp::remote {
namespace {

const QString kOnce = QStringLiteral(" (said once, not for each notification)");

}  // namespace

ProgramNotifier::ProgramNotifier(QString name, QString program, Limits limits)
    : Notifier(std::move(name)), program_(std::move(program)), limits_(limits) {}

ProgramNotifier::~ProgramNotifier() {
    for (QProcess* process : std::as_const(running_)) {
        platform::killGroup(process->processId());
    }
}

void ProgramNotifier::notify(const QByteArray& json) {
    if (running_.size() < limits_.running) {
        run(json);
    } else if (std::ssize(waiting_) < limits_.waiting) {
        waiting_.push_back(json);
    } else {
        tellOnce(Full, QStringLiteral("%1 notification(s) wait for the program already: later "
                                      "ones are dropped%2.")
                           .arg(limits_.waiting)
                           .arg(kOnce));
    }
}

bool ProgramNotifier::busy() const {
    return !running_.isEmpty() || !waiting_.empty();
}

void ProgramNotifier::abandon() {
    const qsizetype lost = running_.size() + std::ssize(waiting_);
    waiting_.clear();
    for (QProcess* process : std::as_const(running_)) {
        stopped_.insert(process);
        platform::killGroup(process->processId());
    }
    if (lost > 0) {
        tell(QStringLiteral("%1 notification(s) not delivered: the logger stopped.").arg(lost));
    }
}

void ProgramNotifier::run(const QByteArray& json) {
    auto* process = new QProcess(this);
    running_.insert(process);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->setStandardOutputFile(QProcess::nullDevice());
    platform::startInOwnGroup(*process);
    auto* bound = new QTimer(process);
    bound->setSingleShot(true);
    connect(bound, &QTimer::timeout, this, [this, process] {
        stopped_.insert(process);
        tellOnce(TooLong, QStringLiteral("the program did not end within %1 s and was stopped%2.")
                              .arg(std::chrono::duration<double>(limits_.timeout).count())
                              .arg(kOnce));
        platform::killGroup(process->processId());
    });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {  // no finished() follows
            tellOnce(CannotStart, QStringLiteral("the program cannot be started: %1%2.")
                                      .arg(process->errorString(), kOnce));
            ended(process);
        }
    });
    connect(process, &QProcess::finished, this,
            [this, process](int status, QProcess::ExitStatus how) {
                if (!stopped_.contains(process)) {
                    if (how == QProcess::CrashExit) {
                        tellOnce(Failed,
                                 QStringLiteral("the program was ended by a signal%1.").arg(kOnce));
                    } else if (status != 0) {
                        tellOnce(Failed, QStringLiteral("the program ended with exit status %1%2.")
                                             .arg(status)
                                             .arg(kOnce));
                    }
                }
                ended(process);
            });
    process->start(program_, {});
    if (!running_.contains(process)) {  // it could not start, and has ended already
        return;
    }
    process->write(json);
    process->closeWriteChannel();
    bound->start(limits_.timeout);
}

void ProgramNotifier::ended(QProcess* process) {
    running_.remove(process);
    stopped_.remove(process);
    process->deleteLater();
    if (!waiting_.empty() && running_.size() < limits_.running) {
        const QByteArray next = waiting_.front();
        waiting_.pop_front();
        run(next);
    }
}

}  // namespace lp::remote
