// Store and forward: every record the recorder writes is published to
// PREFIX/NAME/sample (QoS 1) once the broker can take it, and until then it waits in its
// record file. The record file stays the record of truth.
//
// Order and delivery. Records go out in the order they were written, the backlog
// before anything newer; at most `window` are with the broker unacknowledged, so newer
// records wait (on disk, or in memory with their reading) and the backlog never holds
// the event loop longer than one chunk. The cursor file (publish_state.h) holds the last
// record the broker acknowledged with all before it; it is written at most once per
// `cursorInterval`, when publishing catches up and at stop(), and when a new file is
// started. A restart resumes after it, so a record may arrive twice but never not at
// all: consumers drop repeats by (logger, file, line). A lost connection sends again
// everything after the cursor.
//
// What the file holds. A record read back from its file has no reading (the file holds
// number, time and level only), so its weighting, response, range and flags are null;
// a record published as it is written, or told while the broker was away and still in
// memory (`memoryLimit` records), carries them.
//
// Status. PREFIX/NAME/status is retained: "online" on every connection and when a new
// file is started, "offline" as the last will, "stopped" at stop(). The publisher
// listens there too: an "online" of another host or process (a second logger given the
// same name) is told once as a problem(). Its own client id keeps it on the broker all
// the same; the retained status is then the last one's to speak.
//
// Alarm events go to PREFIX/NAME/event (QoS 1, not retained), through the tracked
// messages: any message besides the samples (events, period figures, the run's
// metadata, discovery configs) that must reach the broker at least once. They wait in
// memory while the broker is away (the newest kTrackedLimit), one not acknowledged when
// a connection ends goes out again on the next, and trackedAcknowledged() tells its
// sender when the broker has it, so a sender that keeps a cursor of its own (periods,
// metadata) moves it only then.
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <map>
#include <optional>
#include <unordered_map>

#include "live/recording.h"
#include "remote/messages.h"
#include "remote/mqtt_client.h"
#include "remote/mqtt_options.h"
#include "remote/record_queue.h"

namespace lp::remote {

struct PublisherOptions {
    QByteArray topic;   // "PREFIX/NAME"; messages go to .../sample and .../status
    QString statePath;  // the cursor file, see publishStatePath()
    // port, every_s, version, and the file until the first record names one; the state
    // is filled in
    LoggerStatus status;
    int window = 256;
    qsizetype memoryLimit = 4096;
    qsizetype linesPerTurn = 4096;  // lines of a record file read back per event-loop turn
    std::chrono::milliseconds cursorInterval{1000};
    std::chrono::milliseconds stopTimeout{3000};
};

class SamplePublisher : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype kTrackedLimit = 10000;
    static constexpr int kTrackedInFlight = 4;  // within the room left besides the window

    SamplePublisher(MqttOptions mqtt, PublisherOptions options, QObject* parent = nullptr);
    ~SamplePublisher() override;

    // Loads the cursor and starts connecting. A cursor that cannot be read, or that
    // cannot prove its line, is told as a problem(); publishing then goes from the start
    // of the file concerned (see publish_state.h).
    void start();
    // The recorder has written `line` to its file (connect it to the recording's
    // lineWritten(): after each record line is on disk, in writing order).
    void recordWritten(const lp::live::RecordedLine& line);
    // An alarm event's message (eventMessage()) for PREFIX/NAME/event.
    void publishEvent(QByteArray message);
    // A message for `topic` (QoS 1) that goes out once the broker can take it, after
    // those given before it; its ticket, which trackedAcknowledged() carries once the
    // broker acknowledged it. A ticket is never 0. Nothing before start() or after stop().
    qint64 publishTracked(QByteArray topic, QByteArray payload, bool retained = false);
    // "PREFIX/NAME", the logger's topics' root.
    [[nodiscard]] const QByteArray& loggerTopic() const { return options_.topic; }
    // Publishes "stopped", lets what is in flight be acknowledged (for stopTimeout at
    // most), writes the cursor and disconnects; then finished().
    void stop();

    [[nodiscard]] const MqttClient& client() const { return client_; }
    [[nodiscard]] bool isCaughtUp() const;

signals:
    // Publishing stopped: the connection was lost or refused (once until it catches up).
    void publishingStopped(const QString& reason);
    // Everything written so far is acknowledged again; `backlog` records went out since
    // publishing stopped (or since start, after a restart).
    void caughtUp(qint64 backlog);
    // Something that does not stop publishing went wrong (the cursor cannot be read or
    // written, a record file cannot be read back).
    void problem(const QString& reason);
    void finished();
    // The broker acknowledged the tracked message of this ticket.
    void trackedAcknowledged(qint64 ticket);
    // A connection was accepted (a sender of retained configs publishes them again here).
    void connectedToBroker();

private:
    enum class State { NotStarted, Running, Stopping, Finished };
    // How far publishing is behind what the recorder wrote, for the two lines the user
    // reads: "stopped" once when publishing stops, "caught up" once it has.
    enum class Lag {
        CaughtUp,
        Behind,       // since start: records from before it wait (after a cursor, or a lost one)
        Interrupted,  // publishing stopped (and was told) since
    };
    // A message the broker has not acknowledged yet.
    struct Unacked {
        enum class Kind { Sample, Status, Tracked } kind = Kind::Sample;
        RecordKey key{};    // a sample's record,
        RecordKey after{};  // the record sent before it on this connection,
        qint64 order = 0;   // and its place among the samples sent on it (from 1)
        qint64 ticket = 0;  // a tracked message's ticket in tracked_
    };
    struct PendingMessage {
        QByteArray topic;
        QByteArray payload;
        bool retained = false;
        std::optional<int> mid;  // while with the broker unacknowledged
    };
    void sendTracked();
    void dropOldestTracked();
    void sampleAcknowledged(const Unacked& sample);
    void connected();
    void connectionFailed(const QString& reason);
    void acknowledged(int mid);
    void statusReceived(const QByteArray& topic, const QByteArray& payload);
    void schedulePump();
    void pump();
    void publishStatus(LoggerState state);
    void updateWill();
    void saveCursor();
    void checkCaughtUp();
    void finishStop();
    [[nodiscard]] QByteArray statusPayload(LoggerState state) const;

    PublisherOptions options_;
    State state_ = State::NotStarted;
    MqttClient client_;
    RecordQueue queue_;
    QByteArray sampleTopic_;
    QByteArray statusTopic_;
    QByteArray eventTopic_;
    QString currentFile_;
    std::unordered_map<int, Unacked> unacked_;  // by message id
    // The cursor: the last record the broker acknowledged with all sent before it.
    RecordKey acknowledged_;
    RecordKey lastSent_;         // the last record sent on this connection (or the cursor)
    qint64 samplesSent_ = 0;     // on this connection,
    qint64 samplesCovered_ = 0;  // and of them those up to the cursor
    // Tracked messages by ticket, oldest first, until the broker acknowledges them.
    std::map<qint64, PendingMessage> tracked_;
    qint64 nextTicket_ = 1;
    bool trackedDropped_ = false;  // told; told again once all waiting went out
    bool wholeFirstFile_ = false;  // the cursor was lost: the first file from its start
    bool stalled_ = false;         // a publish failed on this connection: wait for the next one
    Lag lag_ = Lag::Behind;
    qint64 backlogSent_ = 0;  // records acknowledged since Behind or Interrupted
    QTimer pumpTimer_;        // the next pump, once this turn's acknowledgements are in
    QTimer cursorTimer_;      // runs while the cursor has moved since it was written
    QTimer stopTimer_;
    QStringList clashes_;  // "HOST PID" of each other logger told of under this name
};

}  // namespace lp::remote
