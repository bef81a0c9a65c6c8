#include "cli/record_notify.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "remote/messages.h"
#include "remote/program_notifier.h"
#include "remote/webhook_notifier.h"

namespace lp::cli {
namespace {

const QString kExec = QStringLiteral("exec:");

// A program's time bound: a run under way ends by itself (or is stopped) by then.
constexpr std::chrono::seconds kFinishLimit{10};

// The program `text` names after exec:, as an absolute path; or why it cannot run.
Outcome<QString> programOf(const QString& text) {
    const QString given = text.mid(kExec.size());
    if (given.isEmpty()) {
        return usageMistake(QStringLiteral("--notify exec: needs the program's path"));
    }
    const QString found = given.contains(u'/') ? QFileInfo(given).absoluteFilePath()
                                               : QStandardPaths::findExecutable(given);
    const QFileInfo program(found);
    if (found.isEmpty() || !program.exists()) {
        return failed(QStringLiteral("--notify %1: no such program (give its path, or the name "
                                     "of a program on PATH)")
                          .arg(text));
    }
    if (!program.isFile() || !program.isExecutable()) {
        return failed(
            QStringLiteral("--notify %1: %2 is not a program this user may run").arg(text, found));
    }
    return found;
}

Outcome<std::unique_ptr<remote::Notifier>> notifierOf(const QString& text) {
    if (text.startsWith(kExec)) {
        const Outcome<QString> program = programOf(text);
        if (!program) {
            return program.refusal();
        }
        return std::unique_ptr<remote::Notifier>(std::make_unique<remote::ProgramNotifier>(
            text, *program, remote::ProgramNotifier::Limits{}));
    }
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QStringLiteral("http") && scheme != QStringLiteral("https"))) {
        return usageMistake(QStringLiteral("--notify takes exec:PROGRAM or an http:// or "
                                           "https:// URL, not '%1'")
                                .arg(text));
    }
    return std::unique_ptr<remote::Notifier>(std::make_unique<remote::WebhookNotifier>(
        url.toDisplayString(QUrl::RemovePassword), url, remote::WebhookNotifier::Limits{}));
}

}  // namespace

OptionRow RecordNotify::row(Flags& flags) {
    return texts(QStringLiteral("notify"), QStringLiteral("exec:PROGRAM|URL"), flags.notify,
                 QStringLiteral("Tells each event (of --alarm and --limit) as JSON: runs "
                                "PROGRAM with it on stdin (10 s at most, 4 at once), or POSTs "
                                "it to an http(s) URL (tried again 1 to 60 s apart for up to "
                                "an hour); repeatable."))
        .needing(QStringLiteral("exec:PROGRAM or a URL"));
}

Outcome<std::unique_ptr<RecordNotify>> RecordNotify::read(const Flags& flags, Talk& talk) {
    std::vector<std::unique_ptr<remote::Notifier>> notifiers;
    for (const QString& text : flags.notify) {
        Outcome<std::unique_ptr<remote::Notifier>> notifier = notifierOf(text);
        if (!notifier) {
            return notifier.refusal();
        }
        notifiers.push_back(std::move(*notifier));
    }
    if (notifiers.empty()) {
        return std::unique_ptr<RecordNotify>();
    }
    return std::make_unique<RecordNotify>(std::move(notifiers), talk);
}

RecordNotify::RecordNotify(std::vector<std::unique_ptr<remote::Notifier>> notifiers, Talk& talk)
    : notifiers_(std::move(notifiers)) {
    for (const std::unique_ptr<remote::Notifier>& notifier : notifiers_) {
        connect(notifier.get(), &remote::Notifier::problem, this,
                [&talk](const QString& text) { talk.error(text); });
    }
}

RecordNotify::~RecordNotify() = default;

void RecordNotify::notify(const QByteArray& json) {
    for (const std::unique_ptr<remote::Notifier>& notifier : notifiers_) {
        notifier->notify(json);
    }
}

void RecordNotify::takeAlarmEvent(const live::AlarmEvent& event) {
    notify(remote::eventMessage(event));
}

void RecordNotify::takeLimitEvent(const live::LimitEvent& event) {
    notify(remote::limitEventMessage(event));
}

void RecordNotify::finish() {
    const auto busy = [this] {
        return std::any_of(notifiers_.cbegin(), notifiers_.cend(),
                           [](const auto& notifier) { return notifier->busy(); });
    };
    // Events are handled by hand, as the publishing's end does: after a stop signal a
    // new event loop would return at once.
    const QDeadlineTimer deadline(kFinishLimit);
    QTimer wake;  // so that the wait ends at the deadline, whatever else happens
    wake.start(kFinishLimit);
    while (busy() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    for (const std::unique_ptr<remote::Notifier>& notifier : notifiers_) {
        notifier->abandon();
    }
}

}  // namespace lp::cli
