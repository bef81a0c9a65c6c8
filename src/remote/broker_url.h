// A broker's address as the command line takes it: mqtt://[USER@]HOST[:PORT]/PREFIX,
// or mqtts:// for TLS. The password never goes in the address (it would show in the
// process list): it is read from a file of its own.
#pragma once

#include <QByteArray>
#include <QString>
#include <variant>

namespace lp::remote {

struct BrokerUrl {
    bool tls = false;
    QString user;  // empty: anonymous
    QString host;  // a name or an address (IPv6 without its brackets)
    int port = 1883;
    // The topic levels the loggers publish under ("site/north"): no wildcard, no empty
    // level, without a '/' at either end.
    QString prefix;
};

inline constexpr int kMqttPort = 1883;
inline constexpr int kMqttsPort = 8883;

// The address in `text`, the port defaulting to 1883 (8883 for mqtts); the mistake in
// words when it is none.
[[nodiscard]] std::variant<BrokerUrl, QString> parseBrokerUrl(const QString& text);

// The password in the first line of the file at `path` (its line end left out), as
// UTF-8; the reason in words when the file cannot be read or holds none.
[[nodiscard]] std::variant<QByteArray, QString> readPasswordFile(const QString& path);

// Why the password file `path` is not the account's secret alone: other users (not the
// owner, not its group, which the logger service reads it through) can read or write
// it. Nothing when they cannot, or when it cannot be looked at (reading it says why).
[[nodiscard]] std::optional<QString> passwordFileExposure(const QString& path);

}  // namespace lp::remote
