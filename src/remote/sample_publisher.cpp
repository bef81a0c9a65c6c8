#include "remote/sample_publisher.h"

#include <QFileInfo>
#include <algorithm>

#include "platform/processes.h"
#include "remote/publish_state.h"

namespace lp::remote {
namespace {

MqttOptions withWindow(MqttOptions mqtt, int window) {
    // Room for the status messages besides the window, so libmosquitto never queues.
    mqtt.maxInFlight = window + 8;
    return mqtt;
}

}  // namespace

SamplePublisher::SamplePublisher(MqttOptions mqtt, PublisherOptions options, QObject* parent)
    : QObject(parent),
      options_(std::move(options)),
      client_(withWindow(std::move(mqtt), options_.window)),
      queue_(options_.memoryLimit, options_.linesPerTurn),
      sampleTopic_(topicUnder(options_.topic, Topic::Sample)),
      statusTopic_(topicUnder(options_.topic, Topic::Status)),
      eventTopic_(topicUnder(options_.topic, Topic::Event)) {
    connect(&client_, &MqttClient::connected, this, &SamplePublisher::connected);
    connect(&client_, &MqttClient::connectionFailed, this,
            [this](const QString& reason) { connectionFailed(reason); });
    connect(&client_, &MqttClient::acknowledged, this, &SamplePublisher::acknowledged);
    connect(&client_, &MqttClient::messageReceived, this, &SamplePublisher::statusReceived);
    connect(&client_, &MqttClient::stopped, this, [this] {
        if (state_ == State::Stopping) {
            state_ = State::Finished;
            emit finished();
        }
    });
    connect(&queue_, &RecordQueue::unreadable, this, &SamplePublisher::problem);
    // After the rest of this batch of acknowledgements: one pass fills the window.
    pumpTimer_.setSingleShot(true);
    pumpTimer_.setInterval(0);
    connect(&pumpTimer_, &QTimer::timeout, this, &SamplePublisher::pump);
    cursorTimer_.setSingleShot(true);
    connect(&cursorTimer_, &QTimer::timeout, this, &SamplePublisher::saveCursor);
    stopTimer_.setSingleShot(true);
    connect(&stopTimer_, &QTimer::timeout, this, &SamplePublisher::finishStop);
}

SamplePublisher::~SamplePublisher() {
    if (cursorTimer_.isActive()) {
        saveCursor();
    }
}

void SamplePublisher::start() {
    if (state_ != State::NotStarted) {
        return;
    }
    CursorStart cursor = loadPublishState(options_.statePath);
    if (!cursor.notice.isEmpty()) {
        emit problem(cursor.notice);
    }
    wholeFirstFile_ = cursor.wholeFirstFile;
    if (!cursor.state.files.isEmpty()) {
        queue_.resume(cursor.state);
        acknowledged_ = queue_.startKey();
        currentFile_ = cursor.state.files.last();
    } else if (!wholeFirstFile_) {
        lag_ = Lag::CaughtUp;  // nothing can wait from before, unless the cursor is lost
    }
    state_ = State::Running;
    updateWill();
    client_.start();
}

void SamplePublisher::recordWritten(const live::RecordedLine& line) {
    if (state_ != State::Running) {
        return;
    }
    bool newFile = false;
    if (!queue_.hasJournal()) {
        // Publishing starts with this record; what the file held before is not sent,
        // unless a lost cursor leaves no telling what of it the broker has.
        queue_.begin(line.file, wholeFirstFile_ ? 0 : line.line - 1);
        acknowledged_ = queue_.startKey();
        newFile = true;
    }
    const RecordQueue::Place place = queue_.place(line.file, line.line);
    if (newFile || place.newFile) {
        // Before anything of the new file can be acknowledged, the cursor knows the file.
        currentFile_ = line.file;
        saveCursor();
        updateWill();
        publishStatus(LoggerState::Online);
    }
    if (queue_.add(place.key, line)) {
        pump();
    }
}

void SamplePublisher::publishEvent(QByteArray message) {
    (void)publishTracked(eventTopic_, std::move(message));
}

qint64 SamplePublisher::publishTracked(QByteArray topic, QByteArray payload, bool retained) {
    if (state_ != State::Running) {
        return 0;
    }
    if (tracked_.size() >= static_cast<size_t>(kTrackedLimit)) {
        dropOldestTracked();
        if (!trackedDropped_) {
            trackedDropped_ = true;
            emit problem(QStringLiteral("more than %1 events, periods or metadata lines wait for "
                                        "the broker: the oldest are not published")
                             .arg(kTrackedLimit));
        }
    }
    const qint64 ticket = nextTicket_++;
    tracked_.emplace(ticket,
                     PendingMessage{std::move(topic), std::move(payload), retained, std::nullopt});
    sendTracked();
    return ticket;
}

void SamplePublisher::dropOldestTracked() {
    const auto oldest = tracked_.begin();
    if (oldest->second.mid) {
        unacked_.erase(*oldest->second.mid);
    }
    tracked_.erase(oldest);
}

void SamplePublisher::sendTracked() {
    if (!client_.isConnected()) {
        return;
    }
    int inFlight = 0;
    for (auto& [ticket, message] : tracked_) {
        if (!message.mid) {
            if (inFlight >= kTrackedInFlight ||
                !(message.mid =
                      client_.publish(message.topic, message.payload, message.retained))) {
                return;  // after the next acknowledgement, or on the next connection
            }
            unacked_.insert_or_assign(*message.mid,
                                      Unacked{.kind = Unacked::Kind::Tracked, .ticket = ticket});
        }
        ++inFlight;
    }
}

void SamplePublisher::stop() {
    if (state_ != State::Running) {
        return;
    }
    state_ = State::Stopping;
    if (client_.isConnected()) {
        publishStatus(LoggerState::Stopped);
    }
    if (unacked_.empty()) {
        finishStop();
        return;
    }
    stopTimer_.start(options_.stopTimeout);
}

void SamplePublisher::finishStop() {
    stopTimer_.stop();
    saveCursor();
    client_.stop();
}

bool SamplePublisher::isCaughtUp() const {
    return client_.isConnected() && !stalled_ && samplesSent_ == samplesCovered_ &&
           queue_.isEmpty();
}

void SamplePublisher::connected() {
    stalled_ = false;
    // Another logger under the same name shows in the status it publishes.
    (void)client_.subscribe({statusTopic_});
    publishStatus(LoggerState::Online);
    emit connectedToBroker();
    sendTracked();
    pump();
}

void SamplePublisher::connectionFailed(const QString& reason) {
    // Whatever was in flight goes out again, from the files.
    unacked_.clear();
    samplesSent_ = samplesCovered_ = 0;
    for (auto& [ticket, message] : tracked_) {
        message.mid.reset();
    }
    queue_.rewind(acknowledged_);
    if (state_ == State::Stopping) {
        finishStop();
        return;
    }
    if (lag_ != Lag::Interrupted) {
        lag_ = Lag::Interrupted;
        backlogSent_ = 0;
        emit publishingStopped(reason);
    }
}

void SamplePublisher::acknowledged(int mid) {
    if (const auto it = unacked_.find(mid); it != unacked_.end()) {
        const Unacked sent = it->second;
        unacked_.erase(it);
        switch (sent.kind) {
            case Unacked::Kind::Status:
                break;
            case Unacked::Kind::Tracked:
                tracked_.erase(sent.ticket);
                trackedDropped_ = trackedDropped_ && !tracked_.empty();
                emit trackedAcknowledged(sent.ticket);
                sendTracked();
                break;
            case Unacked::Kind::Sample:
                sampleAcknowledged(sent);
                break;
        }
    }
    if (state_ == State::Stopping) {
        if (unacked_.empty()) {
            finishStop();
        }
        return;
    }
    schedulePump();
}

// MQTT acknowledges in sending order; were a broker not to, the cursor would still move
// only over records acknowledged with every one sent before them.
void SamplePublisher::sampleAcknowledged(const Unacked& sample) {
    if (sample.order != samplesCovered_ + 1) {
        return;  // one sent before it is still out
    }
    const Unacked* oldest = nullptr;  // of the samples still out
    for (const auto& [mid, sent] : unacked_) {
        if (sent.kind == Unacked::Kind::Sample && (!oldest || sent.order < oldest->order)) {
            oldest = &sent;
        }
    }
    const qint64 covered = oldest ? oldest->order - 1 : samplesSent_;
    acknowledged_ = oldest ? oldest->after : lastSent_;
    backlogSent_ += lag_ == Lag::CaughtUp ? 0 : covered - samplesCovered_;
    samplesCovered_ = covered;
    if (!cursorTimer_.isActive()) {
        cursorTimer_.start(options_.cursorInterval);
    }
}

void SamplePublisher::schedulePump() {
    if (!pumpTimer_.isActive()) {
        pumpTimer_.start();
    }
}

void SamplePublisher::pump() {
    if (state_ != State::Running || !client_.isConnected() || stalled_) {
        return;
    }
    while (samplesSent_ - samplesCovered_ < options_.window) {
        RecordQueue::Next next = queue_.next();
        if (std::holds_alternative<RecordQueue::Later>(next)) {
            schedulePump();
            break;
        }
        const auto* record = std::get_if<RecordQueue::Record>(&next);
        if (!record) {
            break;
        }
        const std::optional<int> mid =
            client_.publish(sampleTopic_, sampleMessage(record->record), false);
        if (!mid) {
            // The connection is failing; its end sends everything again.
            stalled_ = true;
            std::erase_if(unacked_,
                          [](const auto& e) { return e.second.kind == Unacked::Kind::Sample; });
            samplesSent_ = samplesCovered_ = 0;
            queue_.rewind(acknowledged_);
            return;
        }
        const RecordKey after = samplesSent_ == samplesCovered_ ? acknowledged_ : lastSent_;
        unacked_.insert_or_assign(
            *mid, Unacked{.key = record->key, .after = after, .order = ++samplesSent_});
        lastSent_ = record->key;
    }
    checkCaughtUp();
}

void SamplePublisher::checkCaughtUp() {
    if (lag_ == Lag::CaughtUp || !isCaughtUp()) {
        return;
    }
    const bool told = lag_ == Lag::Interrupted;
    lag_ = Lag::CaughtUp;
    saveCursor();
    if (told || backlogSent_ > 0) {
        emit caughtUp(backlogSent_);
    }
    backlogSent_ = 0;
}

void SamplePublisher::statusReceived(const QByteArray& topic, const QByteArray& payload) {
    const std::optional<StatusSender> sender = statusSender(payload);
    const LoggerStatus& self = options_.status;
    if (topic != statusTopic_ || !sender || sender->state != stateText(LoggerState::Online) ||
        (sender->host == self.host && sender->pid == self.pid)) {
        return;
    }
    // A logger of this machine that is gone left its "online" behind (its last will
    // comes only when the broker has missed it for a while).
    if (sender->host == self.host && !platform::isProcessRunning(sender->pid)) {
        return;
    }
    const QString other = QStringLiteral("%1 %2").arg(sender->host).arg(sender->pid);
    if (!clashes_.contains(other)) {
        clashes_ << other;
        emit problem(QStringLiteral("another logger publishes as %1: process %2 on %3 (from its "
                                    "status); each logger needs a name of its own (--id NAME)")
                         .arg(QString::fromUtf8(options_.topic))
                         .arg(sender->pid)
                         .arg(sender->host));
    }
}

QByteArray SamplePublisher::statusPayload(LoggerState state) const {
    LoggerStatus status = options_.status;
    status.state = state;
    if (!currentFile_.isEmpty()) {
        status.file = QFileInfo(currentFile_).fileName();
    }
    return statusMessage(status);
}

void SamplePublisher::publishStatus(LoggerState state) {
    if (const std::optional<int> mid = client_.publish(statusTopic_, statusPayload(state), true)) {
        unacked_.insert_or_assign(*mid, Unacked{.kind = Unacked::Kind::Status});
    }
}

void SamplePublisher::updateWill() {
    client_.setWill(LastWill{statusTopic_, statusPayload(LoggerState::Offline), true});
}

void SamplePublisher::saveCursor() {
    cursorTimer_.stop();
    if (!queue_.hasJournal()) {
        return;
    }
    if (const std::optional<QString> error =
            savePublishState(options_.statePath, queue_.stateAt(acknowledged_))) {
        emit problem(*error);
    }
}

}  // namespace lp::remote
