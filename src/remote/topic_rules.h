// What a topic name and a client id may hold, as MQTT 3.1.1 and libmosquitto take them:
// UTF-8 of at most 65,535 bytes without a control character (U+0000..U+001F,
// U+007F..U+009F) or a noncharacter (U+FDD0..U+FDEF, and U+FFFE, U+FFFF in each plane),
// which libmosquitto refuses in both; in a topic a logger publishes to, no wildcard
// ('+', '#') either.
#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace lp::remote {

// The bytes an MQTT string (a topic name, a client id) holds at most.
inline constexpr qsizetype kMqttStringLimit = 65535;

// The first character of `text` that no client id may hold, named for the user ("the
// control character U+0009"); nothing when all fit.
[[nodiscard]] std::optional<QString> clientIdCharacterProblem(QStringView text);
// The same for a topic a logger publishes to: also the wildcards.
[[nodiscard]] std::optional<QString> topicCharacterProblem(QStringView text);

}  // namespace lp::remote
