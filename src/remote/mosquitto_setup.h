// A libmosquitto client made as the options say: MQTT 3.1.1, the in-flight window, the
// account, the last will and TLS. The MQTT client sets its callbacks and connects it.
#pragma once

#include <QString>
#include <variant>

#include "remote/mqtt_options.h"

struct mosquitto;

namespace lp::remote {

// The client, its callbacks' user data `owner`; or why it cannot be made, for the user.
// The caller destroys it (mosquitto_destroy, then platform::occupyStandardDescriptors).
[[nodiscard]] std::variant<mosquitto*, QString> newMosquitto(const MqttOptions& options,
                                                             void* owner);

}  // namespace lp::remote
