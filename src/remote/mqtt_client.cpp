#include "remote/mqtt_client.h"

#include <mosquitto.h>

#include <QHostAddress>
#include <QHostInfo>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>

#include "platform/standard_descriptors.h"
#include "remote/connect_reason.h"
#include "remote/mosquitto_setup.h"

namespace lp::remote {
namespace {

constexpr std::chrono::seconds kFirstRetry{1};
constexpr std::chrono::seconds kLastRetry{60};
constexpr std::chrono::seconds kConnectTimeout{10};
constexpr std::chrono::seconds kDisconnectTimeout{2};

}  // namespace

// libmosquitto's callbacks: each only notes what happened on the client.
struct MqttClient::Callbacks {
    static MqttClient* client(void* obj) { return static_cast<MqttClient*>(obj); }
    static void onConnect(mosquitto*, void* obj, int code) {
        MqttClient* c = client(obj);
        if (code == 0) {
            c->noted_.emplace_back(Accepted{});
        } else {
            c->refusal_ = refusalReason(code);
        }
    }
    static void onDisconnect(mosquitto*, void* obj, int code) {
        client(obj)->noteEnd(Ended{code, errno}, true);
    }
    static void onPublish(mosquitto*, void* obj, int mid) {
        client(obj)->noted_.emplace_back(Acknowledged{mid});
    }
    static void onMessage(mosquitto*, void* obj, const mosquitto_message* m) {
        // The message is libmosquitto's only during this call.
        client(obj)->noted_.emplace_back(Received{
            QByteArray(m->topic), QByteArray(static_cast<const char*>(m->payload), m->payloadlen)});
    }
    static void onLog(mosquitto*, void* obj, int level, const char* text) {
        if (level == MOSQ_LOG_ERR) {
            client(obj)->lastError_ = QString::fromUtf8(text);
        }
    }
};

MqttClient::MqttClient(MqttOptions options, QObject* parent)
    : QObject(parent), options_(std::move(options)) {
    miscTimer_.setInterval(std::chrono::seconds(1));
    connect(&miscTimer_, &QTimer::timeout, this, &MqttClient::runMisc);
    connectTimer_.setSingleShot(true);
    connect(&connectTimer_, &QTimer::timeout, this, &MqttClient::connectTimedOut);
    retryTimer_.setSingleShot(true);
    connect(&retryTimer_, &QTimer::timeout, this, &MqttClient::attempt);
}

MqttClient::~MqttClient() {
    forgetLookup();
    teardown();
}

std::chrono::seconds MqttClient::retryDelay(int failures) {
    std::chrono::seconds delay = kFirstRetry;
    for (int i = 1; i < failures && delay < kLastRetry; ++i) {
        delay *= 2;
    }
    return std::min(delay, kLastRetry);
}

namespace {

constexpr bool canMove(MqttClient::State from, MqttClient::State to) {
    using S = MqttClient::State;
    switch (to) {
        case S::Idle:
            return from != S::Idle && from != S::Connected;
        case S::LookingUp:
            return from == S::Idle || from == S::Waiting;
        case S::Connecting:
            return from == S::Idle || from == S::LookingUp || from == S::Waiting;
        case S::Connected:
            return from == S::Connecting;
        case S::Waiting:
            return from == S::LookingUp || from == S::Connecting || from == S::Connected;
        case S::Stopping:
            return from == S::Connected;
    }
    return false;
}

}  // namespace

void MqttClient::moveTo(State next) {
    Q_ASSERT(canMove(state_, next));
    state_ = next;
    switch (next) {
        case State::Idle:
            retryTimer_.stop();
            forgetLookup();
            teardown();
            return;
        case State::LookingUp:
            return;
        case State::Connecting:
            connectTimer_.start(kConnectTimeout);
            miscTimer_.start();
            return;
        case State::Connected:
            failures_ = 0;
            connectTimer_.stop();
            return;
        case State::Waiting:
            teardown();
            ++failures_;
            retryTimer_.start(retryDelay(failures_));
            return;
        case State::Stopping:
            connectTimer_.start(kDisconnectTimeout);
            return;
    }
}

void MqttClient::start() {
    if (state_ != State::Idle) {
        return;
    }
    failures_ = 0;
    attempt();
}

void MqttClient::stop() {
    switch (state_) {
        case State::Idle:
        case State::Stopping:
            return;
        case State::Connected:
            // The DISCONNECT goes out; the connection ends in the callback.
            moveTo(State::Stopping);
            mosquitto_disconnect(mosq_);
            afterLoop();
            return;
        case State::LookingUp:
        case State::Connecting:
        case State::Waiting:
            moveTo(State::Idle);
            emit stopped();
            return;
    }
}

void MqttClient::attempt() {
    if (state_ != State::Idle && state_ != State::Waiting) {
        return;
    }
    const QHostAddress address(options_.host);
    if (!address.isNull()) {
        connectTo(address.toString());
        return;
    }
    moveTo(State::LookingUp);
    const int lookup = ++lookups_;
    QHostInfo::lookupHost(options_.host, this, [this, lookup](const QHostInfo& info) {
        if (lookup != lookups_ || state_ != State::LookingUp) {
            return;  // stopped, or started again, meanwhile: nobody waits for this answer
        }
        if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
            endConnection(QStringLiteral("the broker's host name %1 cannot be found (%2)")
                              .arg(options_.host, info.errorString()));
            return;
        }
        connectTo(options_.tls ? options_.host : info.addresses().first().toString());
    });
}

void MqttClient::connectTo(const QString& host) {
    moveTo(State::Connecting);
    refusal_.clear();
    lastError_.clear();
    noted_.clear();
    std::variant<mosquitto*, QString> made = newMosquitto(options_, this);
    if (const QString* error = std::get_if<QString>(&made)) {
        endConnection(*error);
        return;
    }
    mosq_ = std::get<mosquitto*>(made);
    mosquitto_connect_callback_set(mosq_, &Callbacks::onConnect);
    mosquitto_disconnect_callback_set(mosq_, &Callbacks::onDisconnect);
    mosquitto_publish_callback_set(mosq_, &Callbacks::onPublish);
    mosquitto_message_callback_set(mosq_, &Callbacks::onMessage);
    mosquitto_log_callback_set(mosq_, &Callbacks::onLog);
    errno = 0;
    const int code = mosquitto_connect_async(mosq_, host.toUtf8().constData(), options_.port,
                                             options_.keepAliveSeconds);
    if (code != MOSQ_ERR_SUCCESS) {
        noteEnd(Ended{code, errno}, false);
        afterLoop();
        return;
    }
    const int socket = mosquitto_socket(mosq_);
    readWatch_ = new QSocketNotifier(socket, QSocketNotifier::Read, this);
    writeWatch_ = new QSocketNotifier(socket, QSocketNotifier::Write, this);
    connect(readWatch_, &QSocketNotifier::activated, this, &MqttClient::readReady);
    connect(writeWatch_, &QSocketNotifier::activated, this, &MqttClient::writeReady);
    afterLoop();
}

void MqttClient::readReady() {
    if (!mosq_) {
        return;
    }
    // mosquitto_loop_read takes one packet a call. While messages keep coming (a fleet's
    // samples) the next is read at once: a return to the event loop for each costs more
    // than the message. A call that brought none (nothing more waiting, or another kind
    // of packet) ends the round. A round that ended at its limit (MqttOptions::
    // packetsPerRead) goes on in the next turn: what TLS has decrypted already waits in
    // its buffer, where the socket's notifier does not see it.
    bool more = false;
    for (int i = 0; i < options_.packetsPerRead && !endNoted(); ++i) {
        const size_t before = noted_.size();
        noteResult(mosquitto_loop_read(mosq_, 1));
        if (noted_.size() == before || !(std::holds_alternative<Acknowledged>(noted_.back()) ||
                                         std::holds_alternative<Received>(noted_.back()))) {
            break;
        }
        more = i + 1 == options_.packetsPerRead;
    }
    afterLoop();
    if (more && mosq_ && isConnected()) {
        QMetaObject::invokeMethod(this, &MqttClient::readReady, Qt::QueuedConnection);
    }
}

void MqttClient::writeReady() {
    if (mosq_) {
        noteResult(mosquitto_loop_write(mosq_, 1));
        afterLoop();
    }
}

void MqttClient::runMisc() {
    if (mosq_) {
        noteResult(mosquitto_loop_misc(mosq_));
        afterLoop();
    }
}

// A call that failed without a disconnect callback (libmosquitto does so when the
// connection broke inside an earlier call) ends the connection all the same.
void MqttClient::noteResult(int code) {
    if (code != MOSQ_ERR_SUCCESS) {
        noteEnd(Ended{code, errno}, false);
    }
}

// The disconnect callback's end replaces one noted before it; a failed call's does not.
void MqttClient::noteEnd(Ended end, bool replace) {
    for (Noted& noted : noted_) {
        if (std::holds_alternative<Ended>(noted)) {
            if (replace) {
                noted = end;
            }
            return;
        }
    }
    noted_.emplace_back(end);
}

bool MqttClient::endNoted() const {
    return std::any_of(noted_.cbegin(), noted_.cend(),
                       [](const Noted& n) { return std::holds_alternative<Ended>(n); });
}

void MqttClient::connectTimedOut() {
    switch (state_) {
        case State::Stopping:  // the DISCONNECT did not get out in time
            moveTo(State::Idle);
            emit stopped();
            return;
        case State::Connecting:
            endConnection(QStringLiteral("the broker at %1:%2 did not answer within %3 s")
                              .arg(options_.host)
                              .arg(options_.port)
                              .arg(kConnectTimeout.count()));
            return;
        case State::Idle:
        case State::LookingUp:
        case State::Connected:
        case State::Waiting:
            return;  // the timer runs in neither
    }
}

std::optional<int> MqttClient::publish(const QByteArray& topic, const QByteArray& payload,
                                       bool retained) {
    if (!isConnected()) {
        return std::nullopt;
    }
    int mid = 0;
    const int code =
        mosquitto_publish(mosq_, &mid, topic.constData(), static_cast<int>(payload.size()),
                          payload.constData(), 1, retained);
    updateWriteWatch();
    if (code != MOSQ_ERR_SUCCESS) {
        return std::nullopt;
    }
    return mid;
}

bool MqttClient::subscribe(const QList<QByteArray>& filters, int qos) {
    if (!isConnected() || filters.isEmpty()) {
        return false;
    }
    std::vector<char*> texts;
    for (const QByteArray& filter : filters) {
        // libmosquitto only reads them; its signature wants them writable.
        texts.push_back(const_cast<char*>(filter.constData()));
    }
    const int code = mosquitto_subscribe_multiple(mosq_, nullptr, static_cast<int>(texts.size()),
                                                  texts.data(), qos, 0, nullptr);
    updateWriteWatch();
    return code == MOSQ_ERR_SUCCESS;
}

void MqttClient::updateWriteWatch() {
    if (writeWatch_ && mosq_) {
        writeWatch_->setEnabled(mosquitto_want_write(mosq_));
    }
}

// Handles what the callbacks noted during the last call into libmosquitto, in order. A
// slot may call in again (stop() does): the rest is then handled there.
void MqttClient::afterLoop() {
    while (!noted_.empty()) {
        Noted next = std::move(noted_.front());
        noted_.pop_front();
        if (std::holds_alternative<Accepted>(next)) {
            if (state_ == State::Connecting) {
                moveTo(State::Connected);
                emit connected();
            }
        } else if (const auto* ack = std::get_if<Acknowledged>(&next)) {
            emit acknowledged(ack->mid);
        } else if (const auto* message = std::get_if<Received>(&next)) {
            emit messageReceived(message->topic, message->payload);
        } else {
            connectionEnded(std::get<Ended>(next));
        }
    }
    updateWriteWatch();
}

void MqttClient::connectionEnded(const Ended& ended) {
    switch (state_) {
        case State::Stopping:
            moveTo(State::Idle);
            emit stopped();
            return;
        case State::Connecting:
        case State::Connected: {
            EndOfConnection end;
            end.address = QStringLiteral("%1:%2").arg(options_.host).arg(options_.port);
            end.mosquittoCode = ended.code;
            end.errorNumber = ended.errorNumber;
            end.refusal = refusal_;
            end.detail = lastError_;
            end.tls = options_.tls;
            end.caFile = options_.caFile;
            end.wasConnected = state_ == State::Connected;
            endConnection(endReason(end));
            return;
        }
        case State::Idle:
        case State::LookingUp:
        case State::Waiting:
            return;  // there is no connection to end
    }
}

void MqttClient::endConnection(const QString& reason) {
    moveTo(State::Waiting);
    emit connectionFailed(reason, retryDelay(failures_));
}

// The lookup runs on to its end and its answer is passed over. (Aborting it instead
// leaves Qt's copy of the answer's function behind, a leak for every stop while the
// broker's name is looked up.)
void MqttClient::forgetLookup() {
    ++lookups_;
}

void MqttClient::teardown() {
    miscTimer_.stop();
    connectTimer_.stop();
    // A notifier may be the one whose signal is being handled: it goes once that is over.
    for (QSocketNotifier* watch :
         {std::exchange(readWatch_, nullptr), std::exchange(writeWatch_, nullptr)}) {
        if (watch) {
            watch->setEnabled(false);
            watch->deleteLater();
        }
    }
    noted_.clear();
    if (mosq_) {
        mosquitto_destroy(mosq_);
        mosq_ = nullptr;
        platform::occupyStandardDescriptors();
    }
}

}  // namespace lp::remote
