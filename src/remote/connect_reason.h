// Why a connection to the broker failed or ended, in words a user understands.
#pragma once

#include <QString>

namespace lp::remote {

// The broker's answer to CONNECT, when it refuses (MQTT 3.1.1 return codes 1..5).
[[nodiscard]] QString refusalReason(int connackCode);

// A connection that ended with libmosquitto's code `mosquittoCode` (errno `errorNumber`
// where the code says a system call failed). `refusal` is the broker's refusal, if it
// sent one; `detail` libmosquitto's last error line (the TLS library's words).
struct EndOfConnection {
    QString address;  // "host:port"
    int mosquittoCode = 0;
    int errorNumber = 0;
    QString refusal;
    QString detail;
    bool tls = false;
    QString caFile;
    bool wasConnected = false;
};
[[nodiscard]] QString endReason(const EndOfConnection& end);

}  // namespace lp::remote
