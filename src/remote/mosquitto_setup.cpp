#include "remote/mosquitto_setup.h"

#include <mosquitto.h>

#include <QFile>
#include <mutex>

#include "platform/standard_descriptors.h"

namespace lp::remote {

std::variant<mosquitto*, QString> newMosquitto(const MqttOptions& options, void* owner) {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
    mosquitto* mosq =
        mosquitto_new(options.clientId.toUtf8().constData(), options.cleanSession, owner);
    // A refused client closes descriptor 0 on its way out: /dev/null goes there again
    // before anything else can take the number.
    platform::occupyStandardDescriptors();
    if (!mosq) {
        return QStringLiteral("the MQTT library cannot make a client (client id \"%1\")")
            .arg(options.clientId);
    }
    mosquitto_int_option(mosq, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_int_option(mosq, MOSQ_OPT_TCP_NODELAY, 1);
    mosquitto_max_inflight_messages_set(mosq, static_cast<unsigned>(options.maxInFlight));
    if (!options.username.isEmpty()) {
        mosquitto_username_pw_set(mosq, options.username.toUtf8().constData(),
                                  options.password.toUtf8().constData());
    }
    if (options.will) {
        mosquitto_will_set(mosq, options.will->topic.constData(),
                           static_cast<int>(options.will->payload.size()),
                           options.will->payload.constData(), 1, options.will->retained);
    }
    if (options.tls && mosquitto_tls_set(mosq, QFile::encodeName(options.caFile).constData(),
                                         nullptr, nullptr, nullptr, nullptr) != MOSQ_ERR_SUCCESS) {
        mosquitto_destroy(mosq);
        platform::occupyStandardDescriptors();
        return QStringLiteral("the CA file %1 cannot be read").arg(options.caFile);
    }
    return mosq;
}

}  // namespace lp::remote
