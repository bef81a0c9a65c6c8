#include "cli/record_publishing.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QSysInfo>
#include <QTimer>

#include "cli/command.h"
#include "remote/messages.h"
#include "remote/publish_state.h"

namespace lp::cli {
namespace {

// Longer than the publisher's own stop timeout and the DISCONNECT after it.
constexpr std::chrono::seconds kFinishLimit{8};

// The reason as a sentence: a full stop unless it ends in a question already.
QString sentence(const QString& reason) {
    return reason.endsWith(u'?') || reason.endsWith(u'.') ? reason : reason + u'.';
}

}  // namespace

RecordPublishing::RecordPublishing(PublishSetup setup, const QString& out,
                                   remote::LoggerStatus status, Talk& talk)
    : address_(QStringLiteral("%1:%2").arg(setup.mqtt.host).arg(setup.mqtt.port)),
      topic_(setup.topic),
      talk_(talk) {
    remote::PublisherOptions options;
    options.topic = setup.topic;
    options.statePath = remote::publishStatePath(out);
    options.status = std::move(status);
    options.status.host = QSysInfo::machineHostName();
    options.status.pid = QCoreApplication::applicationPid();
    publisher_ = std::make_unique<remote::SamplePublisher>(std::move(setup.mqtt), options);
    connect(publisher_.get(), &remote::SamplePublisher::publishingStopped, this,
            [this](const QString& reason) {
                tell(QStringLiteral("publishing to %1 stopped: %2 The records wait in their "
                                    "files; trying again 1 to 60 s apart.")
                         .arg(address_, sentence(reason)));
            });
    connect(publisher_.get(), &remote::SamplePublisher::caughtUp, this, [this](qint64 backlog) {
        tell(QStringLiteral("publishing to %1 caught up: %2 waiting record(s) sent.")
                 .arg(address_)
                 .arg(backlog));
    });
    connect(publisher_.get(), &remote::SamplePublisher::problem, this, &RecordPublishing::tellOnce);
    meta_ = std::make_unique<remote::MetaPublisher>(*publisher_, remote::metaCursorPath(out));
    connect(meta_.get(), &remote::MetaPublisher::problem, this, &RecordPublishing::tellOnce);
    connect(publisher_.get(), &remote::SamplePublisher::finished, this,
            [this] { finished_ = true; });
}

RecordPublishing::~RecordPublishing() = default;

void RecordPublishing::start() {
    publisher_->start();
    meta_->start();
}

void RecordPublishing::take(const live::RecordedLine& line) {
    if (limits_) {
        live::RecordedLine withLimits = line;
        withLimits.limits = limits_->statuses();
        publisher_->recordWritten(withLimits);
    } else {
        publisher_->recordWritten(line);
    }
    meta_->recordWritten(line);
}

void RecordPublishing::takeEvent(const live::AlarmEvent& event) {
    publisher_->publishEvent(remote::eventMessage(event));
}

void RecordPublishing::takeLimitEvent(const live::LimitEvent& event) {
    publisher_->publishEvent(remote::limitEventMessage(event));
}

void RecordPublishing::finish() {
    // Events are handled by hand: after a stop signal (QCoreApplication::exit) a new
    // event loop would return at once.
    const QDeadlineTimer deadline(kFinishLimit);
    QTimer wake;  // so that the wait ends at the deadline, whatever else happens
    wake.start(kFinishLimit);
    publisher_->stop();
    while (!finished_ && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

QString RecordPublishing::destination() const {
    return QStringLiteral("%1 at %2").arg(QString::fromUtf8(topic_), address_);
}

void RecordPublishing::tell(const QString& text) {
    talk_.error(text);
}

void RecordPublishing::tellOnce(const QString& text) {
    if (!told_.contains(text)) {
        told_ << text;
        tell(text);
    }
}

}  // namespace lp::cli
