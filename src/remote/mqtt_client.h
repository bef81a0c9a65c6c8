// An MQTT client over libmosquitto, driven from the Qt event loop of the thread it
// lives in: the broker's socket is watched with QSocketNotifier (the write side only
// while libmosquitto has bytes to send), a one-second timer runs its keep-alive, and
// its callbacks only note what happened; the signals are emitted once libmosquitto has
// returned, so a slot may publish, stop or reconnect freely.
//
// Why not libmosquitto's own thread: the publisher behind this client keeps its cursor,
// its in-flight window and its record-file reader in one thread, the thread of the
// recorder that tells it of each record; with the event loop driving the socket, acks
// arrive there too, and nothing needs a lock.
//
// Nothing here waits on the network: the host name is looked up with QHostInfo (in Qt's
// lookup thread) and a plain connection is made to the address found, without blocking.
// For TLS the name itself goes to libmosquitto, which checks it against the broker's
// certificate and resolves it once more, synchronously; right after a lookup that
// succeeded this is answered at once (a lookup that fails stops the attempt first).
//
// After a failed attempt or a lost connection the client tries again after 1 s, then
// 2, 4, ... up to 60 s between attempts; a connection the broker accepts starts the
// series again at 1 s.
#pragma once

#include <QList>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <optional>
#include <vector>

#include "remote/mqtt_options.h"

struct mosquitto;
class QSocketNotifier;

namespace lp::remote {

class MqttClient : public QObject {
    Q_OBJECT
public:
    explicit MqttClient(MqttOptions options, QObject* parent = nullptr);
    ~MqttClient() override;

    // The wait before attempt number `failures` + 1, after `failures` failed ones.
    [[nodiscard]] static std::chrono::seconds retryDelay(int failures);

    // Connects, and after every loss connects again, until stop().
    void start();
    // Ends the connection cleanly (the broker then drops the last will); emits
    // stopped() once it is closed, or at once when there is none.
    void stop();
    // The last will of the next connection.
    void setWill(std::optional<LastWill> will) { options_.will = std::move(will); }

    [[nodiscard]] bool isConnected() const { return connected_; }
    [[nodiscard]] const MqttOptions& options() const { return options_; }
    // Publishes with QoS 1; the message id that acknowledged() will carry, or nothing
    // when there is no connection or libmosquitto cannot take the message.
    std::optional<int> publish(const QByteArray& topic, const QByteArray& payload, bool retained);
    // Subscribes to the topic filters with QoS 1 (or 0: no acknowledgement of each
    // message, and a message the broker cannot hand on at once may be dropped); false
    // when there is no connection or libmosquitto refuses a filter. The session is
    // clean: every new connection starts without them, so subscribe again on each
    // connected().
    bool subscribe(const QList<QByteArray>& filters, int qos = 1);

signals:
    void connected();
    // An attempt failed or the connection ended; the reason is in the user's words.
    // Another attempt follows after `retryIn`.
    void connectionFailed(const QString& reason, std::chrono::seconds retryIn);
    // The broker acknowledged the message (PUBACK).
    void acknowledged(int messageId);
    // A message on a subscribed topic (the retained ones first after subscribing).
    void messageReceived(const QByteArray& topic, const QByteArray& payload);
    void stopped();

private:
    struct Callbacks;
    void attempt();
    void connectTo(const QString& host);
    void readReady();
    void writeReady();
    void runMisc();
    void connectTimedOut();
    void noteResult(int code);
    void afterLoop();
    void updateWriteWatch();
    void endConnection(const QString& reason);
    void teardown();

    MqttOptions options_;
    mosquitto* mosq_ = nullptr;
    QSocketNotifier* readWatch_ = nullptr;  // children; dropped with deleteLater()
    QSocketNotifier* writeWatch_ = nullptr;
    QTimer miscTimer_;
    QTimer connectTimer_;
    QTimer retryTimer_;
    int lookupId_ = -1;
    int failures_ = 0;
    bool running_ = false;
    bool stopping_ = false;
    bool connected_ = false;
    // What libmosquitto's callbacks noted during the last call into it.
    bool justConnected_ = false;
    std::optional<int> ended_;  // the code the connection ended with
    int endedErrno_ = 0;
    QString refusal_;    // why the broker refused the connection, from its CONNACK
    QString lastError_;  // libmosquitto's last error line (TLS details)
    std::vector<int> acks_;
    struct Message {
        QByteArray topic;
        QByteArray payload;
    };
    std::vector<Message> messages_;
};

}  // namespace lp::remote
