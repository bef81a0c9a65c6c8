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
        if (stopping_) {
            emit finished();
        }
    });
    queue_.onUnreadable = [this](const QString& reason) { emit problem(reason); };
    cursorTimer_.setSingleShot(true);
    connect(&cursorTimer_, &QTimer::timeout, this, &SamplePublisher::saveCursor);
    stopTimer_.setSingleShot(true);
    connect(&stopTimer_, &QTimer::timeout, this, &SamplePublisher::finishStop);
}

SamplePublisher::~SamplePublisher() {
    if (cursorDirty_) {
        saveCursor();
    }
}

void SamplePublisher::start() {
    if (started_) {
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
    } else {
        behind_ = wholeFirstFile_;  // nothing can wait from before, unless the cursor is lost
    }
    started_ = true;
    updateWill();
    client_.start();
}

void SamplePublisher::recordWritten(WrittenRecord record) {
    if (!started_ || stopping_) {
        return;
    }
    bool newFile = false;
    if (!queue_.hasJournal()) {
        // Publishing starts with this record; what the file held before is not sent,
        // unless a lost cursor leaves no telling what of it the broker has.
        queue_.begin(record.filePath, wholeFirstFile_ ? 0 : record.line - 1);
        acknowledged_ = queue_.startKey();
        newFile = true;
    }
    bool added = false;
    const RecordKey key = queue_.keyOf(record.filePath, record.line, added);
    if (newFile || added) {
        // Before anything of the new file can be acknowledged, the cursor knows the file.
        currentFile_ = record.filePath;
        saveCursor();
        updateWill();
        publishStatus(LoggerState::Online);
    }
    if (queue_.add(key, std::move(record))) {
        pump();
    }
}

void SamplePublisher::publishEvent(QByteArray message) {
    if (!started_ || stopping_) {
        return;
    }
    if (events_.size() >= static_cast<size_t>(kEventLimit)) {
        events_.pop_front();
        if (!eventsDropped_) {
            eventsDropped_ = true;
            emit problem(QStringLiteral("more than %1 alarm events wait for the broker: the "
                                        "oldest are not published")
                             .arg(kEventLimit));
        }
    }
    events_.push_back(PendingEvent{std::move(message), std::nullopt});
    sendEvents();
}

void SamplePublisher::sendEvents() {
    if (!client_.isConnected()) {
        return;
    }
    int inFlight = 0;
    for (PendingEvent& event : events_) {
        if (!event.mid) {
            if (inFlight >= kEventsInFlight ||
                !(event.mid = client_.publish(eventTopic_, event.message, false))) {
                return;  // after the next acknowledgement, or on the next connection
            }
        }
        ++inFlight;
    }
}

bool SamplePublisher::eventAcknowledged(int mid) {
    for (auto it = events_.begin(); it != events_.end(); ++it) {
        if (it->mid == mid) {
            events_.erase(it);
            eventsDropped_ = eventsDropped_ && !events_.empty();
            sendEvents();
            return true;
        }
    }
    return false;
}

bool SamplePublisher::settled() const {
    return inFlight_.empty() && statusMids_.empty() &&
           std::none_of(events_.cbegin(), events_.cend(),
                        [](const PendingEvent& e) { return e.mid.has_value(); });
}

void SamplePublisher::stop() {
    if (!started_ || stopping_) {
        return;
    }
    stopping_ = true;
    if (client_.isConnected()) {
        publishStatus(LoggerState::Stopped);
    }
    if (settled()) {
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
    return client_.isConnected() && !stalled_ && inFlight_.empty() && queue_.isEmpty();
}

void SamplePublisher::connected() {
    stalled_ = false;
    // Another logger under the same name shows in the status it publishes.
    (void)client_.subscribe({statusTopic_});
    publishStatus(LoggerState::Online);
    sendEvents();
    pump();
}

void SamplePublisher::connectionFailed(const QString& reason) {
    // Whatever was in flight goes out again, from the files.
    inFlight_.clear();
    statusMids_.clear();
    for (PendingEvent& event : events_) {
        event.mid.reset();
    }
    queue_.rewind(acknowledged_);
    if (stopping_) {
        finishStop();
        return;
    }
    if (!stopAnnounced_) {
        stopAnnounced_ = true;
        behind_ = true;
        backlogSent_ = 0;
        emit publishingStopped(reason);
    }
}

void SamplePublisher::acknowledged(int mid) {
    if (statusMids_.erase(mid) == 0 && !eventAcknowledged(mid)) {
        for (InFlight& sent : inFlight_) {
            if (sent.mid == mid) {
                sent.acknowledged = true;
                break;
            }
        }
        while (!inFlight_.empty() && inFlight_.front().acknowledged) {
            acknowledged_ = inFlight_.front().key;
            inFlight_.pop_front();
            cursorDirty_ = true;
            backlogSent_ += behind_ ? 1 : 0;
        }
        if (cursorDirty_ && !cursorTimer_.isActive()) {
            cursorTimer_.start(options_.cursorInterval);
        }
    }
    if (stopping_) {
        if (settled()) {
            finishStop();
        }
        return;
    }
    schedulePump();
}

void SamplePublisher::schedulePump() {
    if (!pumpScheduled_) {
        pumpScheduled_ = true;
        // After the rest of this batch of acknowledgements: one pass fills the window.
        QTimer::singleShot(0, this, &SamplePublisher::pump);
    }
}

void SamplePublisher::pump() {
    pumpScheduled_ = false;
    if (!client_.isConnected() || stalled_ || stopping_) {
        return;
    }
    while (static_cast<int>(inFlight_.size()) < options_.window) {
        RecordKey key;
        WrittenRecord record;
        const RecordQueue::Next got = queue_.next(key, record);
        if (got == RecordQueue::Next::Later) {
            schedulePump();
            break;
        }
        if (got == RecordQueue::Next::None) {
            break;
        }
        const std::optional<int> mid = client_.publish(sampleTopic_, sampleMessage(record), false);
        if (!mid) {
            // The connection is failing; its end sends everything again.
            stalled_ = true;
            inFlight_.clear();
            queue_.rewind(acknowledged_);
            return;
        }
        inFlight_.push_back(InFlight{key, *mid});
    }
    checkCaughtUp();
}

void SamplePublisher::checkCaughtUp() {
    if (!behind_ || !isCaughtUp()) {
        return;
    }
    behind_ = false;
    saveCursor();
    if (stopAnnounced_ || backlogSent_ > 0) {
        emit caughtUp(backlogSent_);
    }
    stopAnnounced_ = false;
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
        statusMids_.insert(*mid);
    }
}

void SamplePublisher::updateWill() {
    client_.setWill(LastWill{statusTopic_, statusPayload(LoggerState::Offline), true});
}

void SamplePublisher::saveCursor() {
    cursorDirty_ = false;
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
