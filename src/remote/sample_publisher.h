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
// Alarm events go to PREFIX/NAME/event (QoS 1, not retained). They are in no record
// file: while the broker is away they wait in memory (the newest kEventLimit), and one
// not acknowledged when a connection ends goes out again on the next.
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <deque>
#include <optional>
#include <set>

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
    static constexpr qsizetype kEventLimit = 10000;
    static constexpr int kEventsInFlight = 4;  // within the room left besides the window

    SamplePublisher(MqttOptions mqtt, PublisherOptions options, QObject* parent = nullptr);
    ~SamplePublisher() override;

    // Loads the cursor and starts connecting. A cursor that cannot be read, or that
    // cannot prove its line, is told as a problem(); publishing then goes from the start
    // of the file concerned (see publish_state.h).
    void start();
    // The recorder has written `record` to its file (call after each record line is on
    // disk, in writing order; the file's first record may come before start()).
    void recordWritten(WrittenRecord record);
    // An alarm event's message (eventMessage()) for PREFIX/NAME/event.
    void publishEvent(QByteArray message);
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

private:
    struct InFlight {
        RecordKey key;
        int mid = 0;
        bool acknowledged = false;
    };
    struct PendingEvent {
        QByteArray message;
        std::optional<int> mid;  // while with the broker unacknowledged
    };
    void sendEvents();
    [[nodiscard]] bool eventAcknowledged(int mid);
    [[nodiscard]] bool settled() const;
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
    MqttClient client_;
    RecordQueue queue_;
    QByteArray sampleTopic_;
    QByteArray statusTopic_;
    QString currentFile_;
    std::deque<InFlight> inFlight_;
    std::set<int> statusMids_;
    QByteArray eventTopic_;
    std::deque<PendingEvent> events_;
    bool eventsDropped_ = false;
    RecordKey acknowledged_;
    bool started_ = false;
    bool wholeFirstFile_ = false;  // the cursor was lost: the first file from its start
    bool pumpScheduled_ = false;
    bool stalled_ = false;  // a publish failed: wait for the next connection
    bool behind_ = true;    // not caught up since start or since publishing stopped
    bool stopAnnounced_ = false;
    qint64 backlogSent_ = 0;
    bool cursorDirty_ = false;
    QTimer cursorTimer_;
    bool stopping_ = false;
    QTimer stopTimer_;
    QStringList clashes_;  // "HOST PID" of each other logger told of under this name
};

}  // namespace lp::remote
