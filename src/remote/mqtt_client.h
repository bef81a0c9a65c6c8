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
//
// Its life is one State; every change goes through moveTo(), which does what entering
// a state takes (timers, the connection torn down). The changes:
//   Idle       -> LookingUp (start; an address goes straight to Connecting)
//   LookingUp  -> Connecting (the name found)
//   Connecting -> Connected (the broker accepted)
//   Connected  -> Stopping (stop)
//   Stopping   -> Idle (the DISCONNECT written, or 2 s gone)
//   Waiting    -> LookingUp, Connecting (the next attempt)
//   LookingUp, Connecting, Waiting -> Idle (stop)
//   LookingUp, Connecting, Connected -> Waiting (the attempt failed, the connection ended)
#pragma once

#include <QList>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <deque>
#include <optional>
#include <variant>

#include "remote/mqtt_options.h"

struct mosquitto;
class QSocketNotifier;

namespace lp::remote {

class MqttClient : public QObject {
    Q_OBJECT
public:
    enum class State {
        Idle,        // not started, or stopped
        LookingUp,   // the broker's host name is being looked up
        Connecting,  // the socket is open; the broker has not accepted yet
        Connected,
        Waiting,   // for the next attempt, after a failed one or a lost connection
        Stopping,  // the DISCONNECT is on its way
    };
    Q_ENUM(State)

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

    [[nodiscard]] State state() const { return state_; }
    // The broker accepted the connection and it is open, also while the DISCONNECT is on
    // its way (a caller of stop() waits for stopped() then).
    [[nodiscard]] bool isConnected() const {
        return state_ == State::Connected || state_ == State::Stopping;
    }
    [[nodiscard]] const MqttOptions& options() const { return options_; }
    // Publishes with QoS 1; the message id that acknowledged() will carry, or nothing
    // when there is no connection or libmosquitto cannot take the message.
    std::optional<int> publish(const QByteArray& topic, const QByteArray& payload, bool retained);
    // Subscribes to the topic filters with QoS 1 (or 0: no acknowledgement of each
    // message, and a message the broker cannot hand on at once may be dropped); false
    // when there is no connection or libmosquitto refuses a filter. A clean session
    // (MqttOptions::cleanSession) starts every new connection without them, so subscribe
    // again on each connected(); a lasting one keeps them, and subscribing again does no
    // harm.
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
    // What libmosquitto's callbacks noted during a call into it, in the order it
    // happened; handled once the call has returned.
    struct Accepted {};
    struct Acknowledged {
        int mid = 0;
    };
    struct Received {
        QByteArray topic;
        QByteArray payload;
    };
    struct Ended {
        int code = 0;  // libmosquitto's
        int errorNumber = 0;
    };
    using Noted = std::variant<Accepted, Acknowledged, Received, Ended>;

    void moveTo(State next);
    void attempt();
    void connectTo(const QString& host);
    void readReady();
    void writeReady();
    void runMisc();
    void connectTimedOut();
    void noteResult(int code);
    void noteEnd(Ended end, bool replace);
    [[nodiscard]] bool endNoted() const;
    void afterLoop();
    void connectionEnded(const Ended& end);
    void updateWriteWatch();
    void endConnection(const QString& reason);
    void forgetLookup();
    void teardown();

    MqttOptions options_;
    State state_ = State::Idle;
    mosquitto* mosq_ = nullptr;             // from Connecting on, until the connection ends
    QSocketNotifier* readWatch_ = nullptr;  // children; dropped with deleteLater()
    QSocketNotifier* writeWatch_ = nullptr;
    QTimer miscTimer_;
    QTimer connectTimer_;  // the broker's answer to CONNECT, or the DISCONNECT's way out
    QTimer retryTimer_;
    int lookups_ = 0;   // host lookups started: only the answer to the last one is wanted
    int failures_ = 0;  // attempts failed since the last accepted one
    std::deque<Noted> noted_;
    QString refusal_;    // why the broker refused the connection, from its CONNACK
    QString lastError_;  // libmosquitto's last error line (TLS details)
};

}  // namespace lp::remote
