#include "remote/mqtt_client.h"

#include <mosquitto.h>

#include <QFile>
#include <QHostAddress>
#include <QHostInfo>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <mutex>

#include "platform/standard_descriptors.h"
#include "remote/connect_reason.h"

namespace lp::remote {
namespace {

constexpr std::chrono::seconds kFirstRetry{1};
constexpr std::chrono::seconds kLastRetry{60};
constexpr std::chrono::seconds kConnectTimeout{10};

void initLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

QByteArray utf8(const QString& text) {
    return text.toUtf8();
}

}  // namespace

// libmosquitto's callbacks: each only notes what happened on the client.
struct MqttClient::Callbacks {
    static MqttClient* client(void* obj) { return static_cast<MqttClient*>(obj); }
    static void onConnect(mosquitto*, void* obj, int code) {
        MqttClient* c = client(obj);
        if (code == 0) {
            c->justConnected_ = true;
        } else {
            c->refusal_ = refusalReason(code);
        }
    }
    static void onDisconnect(mosquitto*, void* obj, int code) {
        MqttClient* c = client(obj);
        c->endedErrno_ = errno;
        c->ended_ = code;
    }
    static void onPublish(mosquitto*, void* obj, int mid) { client(obj)->acks_.push_back(mid); }
    static void onMessage(mosquitto*, void* obj, const mosquitto_message* m) {
        // The message is libmosquitto's only during this call.
        client(obj)->messages_.push_back(
            {QByteArray(m->topic),
             QByteArray(static_cast<const char*>(m->payload), m->payloadlen)});
    }
    static void onLog(mosquitto*, void* obj, int level, const char* text) {
        if (level == MOSQ_LOG_ERR) {
            client(obj)->lastError_ = QString::fromUtf8(text);
        }
    }
};

MqttClient::MqttClient(MqttOptions options, QObject* parent)
    : QObject(parent), options_(std::move(options)) {
    initLibrary();
    miscTimer_.setInterval(std::chrono::seconds(1));
    connect(&miscTimer_, &QTimer::timeout, this, &MqttClient::runMisc);
    connectTimer_.setSingleShot(true);
    connectTimer_.setInterval(kConnectTimeout);
    connect(&connectTimer_, &QTimer::timeout, this, &MqttClient::connectTimedOut);
    retryTimer_.setSingleShot(true);
    connect(&retryTimer_, &QTimer::timeout, this, &MqttClient::attempt);
}

MqttClient::~MqttClient() {
    if (lookupId_ >= 0) {
        QHostInfo::abortHostLookup(lookupId_);
    }
    teardown();
}

std::chrono::seconds MqttClient::retryDelay(int failures) {
    std::chrono::seconds delay = kFirstRetry;
    for (int i = 1; i < failures && delay < kLastRetry; ++i) {
        delay *= 2;
    }
    return std::min(delay, kLastRetry);
}

void MqttClient::start() {
    if (running_) {
        return;
    }
    running_ = true;
    stopping_ = false;
    failures_ = 0;
    attempt();
}

void MqttClient::stop() {
    if (!running_) {
        return;
    }
    running_ = false;
    retryTimer_.stop();
    if (lookupId_ >= 0) {
        QHostInfo::abortHostLookup(lookupId_);
        lookupId_ = -1;
    }
    if (connected_ && mosq_) {
        stopping_ = true;
        // The DISCONNECT goes out; the connection ends in the callback.
        connectTimer_.start(std::chrono::seconds(2));
        mosquitto_disconnect(mosq_);
        afterLoop();
        return;
    }
    teardown();
    emit stopped();
}

void MqttClient::attempt() {
    if (!running_) {
        return;
    }
    const QHostAddress address(options_.host);
    if (!address.isNull()) {
        connectTo(address.toString());
        return;
    }
    lookupId_ = QHostInfo::lookupHost(options_.host, this, [this](const QHostInfo& info) {
        lookupId_ = -1;
        if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
            endConnection(QStringLiteral("the broker's host name %1 cannot be found (%2)")
                              .arg(options_.host, info.errorString()));
            return;
        }
        connectTo(options_.tls ? options_.host : info.addresses().first().toString());
    });
}

void MqttClient::connectTo(const QString& host) {
    refusal_.clear();
    lastError_.clear();
    ended_.reset();
    acks_.clear();
    messages_.clear();
    mosq_ = mosquitto_new(utf8(options_.clientId).constData(), true, this);
    // A refused client closes descriptor 0 on its way out: /dev/null goes there again
    // before anything else can take the number.
    platform::occupyStandardDescriptors();
    if (!mosq_) {
        endConnection(QStringLiteral("the MQTT library cannot make a client (client id \"%1\")")
                          .arg(options_.clientId));
        return;
    }
    mosquitto_connect_callback_set(mosq_, &Callbacks::onConnect);
    mosquitto_disconnect_callback_set(mosq_, &Callbacks::onDisconnect);
    mosquitto_publish_callback_set(mosq_, &Callbacks::onPublish);
    mosquitto_message_callback_set(mosq_, &Callbacks::onMessage);
    mosquitto_log_callback_set(mosq_, &Callbacks::onLog);
    mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_int_option(mosq_, MOSQ_OPT_TCP_NODELAY, 1);
    mosquitto_max_inflight_messages_set(mosq_, static_cast<unsigned>(options_.maxInFlight));
    if (!options_.username.isEmpty()) {
        mosquitto_username_pw_set(mosq_, utf8(options_.username).constData(),
                                  utf8(options_.password).constData());
    }
    if (options_.will) {
        mosquitto_will_set(mosq_, options_.will->topic.constData(),
                           static_cast<int>(options_.will->payload.size()),
                           options_.will->payload.constData(), 1, options_.will->retained);
    }
    if (options_.tls && mosquitto_tls_set(mosq_, QFile::encodeName(options_.caFile).constData(),
                                          nullptr, nullptr, nullptr, nullptr) != MOSQ_ERR_SUCCESS) {
        endConnection(QStringLiteral("the CA file %1 cannot be read").arg(options_.caFile));
        return;
    }
    errno = 0;
    const int code = mosquitto_connect_async(mosq_, utf8(host).constData(), options_.port,
                                             options_.keepAliveSeconds);
    if (code != MOSQ_ERR_SUCCESS) {
        ended_ = code;
        endedErrno_ = errno;
        afterLoop();
        return;
    }
    const int socket = mosquitto_socket(mosq_);
    readWatch_ = new QSocketNotifier(socket, QSocketNotifier::Read, this);
    writeWatch_ = new QSocketNotifier(socket, QSocketNotifier::Write, this);
    connect(readWatch_, &QSocketNotifier::activated, this, &MqttClient::readReady);
    connect(writeWatch_, &QSocketNotifier::activated, this, &MqttClient::writeReady);
    connectTimer_.start(kConnectTimeout);
    miscTimer_.start();
    afterLoop();
}

void MqttClient::readReady() {
    if (!mosq_) {
        return;
    }
    // mosquitto_loop_read takes one packet a call. While messages keep coming (a fleet's
    // samples) the next is read at once: a return to the event loop for each costs more
    // than the message. A call that brought none (nothing more waiting, or another kind
    // of packet) ends the round.
    constexpr int kPacketsPerRound = 64;
    for (int i = 0; i < kPacketsPerRound && !ended_; ++i) {
        const size_t before = messages_.size() + acks_.size();
        noteResult(mosquitto_loop_read(mosq_, 1));
        if (messages_.size() + acks_.size() == before) {
            break;
        }
    }
    afterLoop();
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
    if (code != MOSQ_ERR_SUCCESS && !ended_) {
        endedErrno_ = errno;
        ended_ = code;
    }
}

void MqttClient::connectTimedOut() {
    if (stopping_) {
        ended_ = MOSQ_ERR_SUCCESS;
        afterLoop();
        return;
    }
    endConnection(QStringLiteral("the broker at %1:%2 did not answer within %3 s")
                      .arg(options_.host)
                      .arg(options_.port)
                      .arg(kConnectTimeout.count()));
}

std::optional<int> MqttClient::publish(const QByteArray& topic, const QByteArray& payload,
                                       bool retained) {
    if (!connected_ || !mosq_) {
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
    if (!connected_ || !mosq_ || filters.isEmpty()) {
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

// Emits what the callbacks noted during the last call into libmosquitto.
void MqttClient::afterLoop() {
    if (justConnected_) {
        justConnected_ = false;
        connected_ = true;
        failures_ = 0;
        connectTimer_.stop();
        emit connected();
    }
    if (!acks_.empty()) {
        const std::vector<int> acks = std::exchange(acks_, {});
        for (const int mid : acks) {
            emit acknowledged(mid);
        }
    }
    if (!messages_.empty()) {
        const std::vector<Message> messages = std::exchange(messages_, {});
        for (const Message& m : messages) {
            emit messageReceived(m.topic, m.payload);
        }
    }
    if (!ended_) {
        updateWriteWatch();
        return;
    }
    if (stopping_) {
        teardown();
        stopping_ = false;
        emit stopped();
        return;
    }
    EndOfConnection end;
    end.address = QStringLiteral("%1:%2").arg(options_.host).arg(options_.port);
    end.mosquittoCode = *ended_;
    end.errorNumber = endedErrno_;
    end.refusal = refusal_;
    end.detail = lastError_;
    end.tls = options_.tls;
    end.caFile = options_.caFile;
    end.wasConnected = connected_;
    endConnection(endReason(end));
}

void MqttClient::endConnection(const QString& reason) {
    teardown();
    if (!running_) {
        return;
    }
    ++failures_;
    const std::chrono::seconds wait = retryDelay(failures_);
    retryTimer_.start(wait);
    emit connectionFailed(reason, wait);
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
    connected_ = false;
    ended_.reset();
    justConnected_ = false;
    acks_.clear();
    messages_.clear();
    if (mosq_) {
        mosquitto_destroy(mosq_);
        mosq_ = nullptr;
        platform::occupyStandardDescriptors();
    }
}

}  // namespace lp::remote
