#include "remote/connect_reason.h"

#include <mosquitto.h>

#include <cerrno>
#include <cstring>

namespace lp::remote {

QString refusalReason(int connackCode) {
    switch (connackCode) {
        case 1:
            return QStringLiteral("the broker does not accept MQTT version 3.1.1");
        case 2:
            return QStringLiteral("the broker refused the client id");
        case 3:
            return QStringLiteral("the broker is up but cannot serve clients at the moment");
        case 4:
        case 5:
            // Mosquitto answers a wrong password with "not authorised" (5).
            return QStringLiteral("the broker refused the user name or password");
        default:
            return QStringLiteral("the broker refused the connection (code %1)").arg(connackCode);
    }
}

namespace {

QString systemReason(const EndOfConnection& end) {
    const QString text = QString::fromLocal8Bit(std::strerror(end.errorNumber));
    switch (end.errorNumber) {
        case ECONNREFUSED:
            return QStringLiteral(
                       "nothing answers at %1 (connection refused): is the broker running?")
                .arg(end.address);
        case ETIMEDOUT:
        case EHOSTUNREACH:
        case ENETUNREACH:
        case ENETDOWN:
            return QStringLiteral("%1 cannot be reached (%2)").arg(end.address, text);
        case ECONNRESET:
        case EPIPE:
            return QStringLiteral("the connection to %1 was cut (%2)").arg(end.address, text);
        default:
            return QStringLiteral("the connection to %1 failed (%2)").arg(end.address, text);
    }
}

}  // namespace

QString endReason(const EndOfConnection& end) {
    if (!end.refusal.isEmpty()) {
        return end.refusal;
    }
    const QString detail =
        end.detail.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(end.detail);
    switch (end.mosquittoCode) {
        case MOSQ_ERR_ERRNO:
            return systemReason(end);
        case MOSQ_ERR_CONN_LOST:
            return end.wasConnected
                       ? QStringLiteral("the broker at %1 closed the connection").arg(end.address)
                       : QStringLiteral(
                             "the broker at %1 closed the connection before accepting it%2")
                             .arg(end.address,
                                  end.tls ? QStringLiteral(": does it speak TLS on this port?")
                                          : QString());
        case MOSQ_ERR_TLS:
        case MOSQ_ERR_TLS_HANDSHAKE:
            return QStringLiteral(
                       "the TLS connection to %1 failed: the broker's certificate cannot be "
                       "verified with the CA file %2, or the broker does not speak TLS on "
                       "this port%3")
                .arg(end.address, end.caFile, detail);
        case MOSQ_ERR_KEEPALIVE:
            return QStringLiteral("the broker at %1 stopped answering").arg(end.address);
        case MOSQ_ERR_PROTOCOL:
        case MOSQ_ERR_MALFORMED_PACKET:
            return QStringLiteral("%1 answered with something that is not MQTT").arg(end.address);
        default:
            return QStringLiteral("the connection to %1 ended (%2)%3")
                .arg(end.address, QString::fromUtf8(mosquitto_strerror(end.mosquittoCode)), detail);
    }
}

}  // namespace lp::remote
