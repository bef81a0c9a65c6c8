#include "remote/broker_url.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include "remote/topic_rules.h"

namespace lp::remote {
namespace {

QString mistake(const QString& text, const QString& why) {
    return QStringLiteral("'%1' is no broker address (mqtt://[USER@]HOST[:PORT]/PREFIX): %2")
        .arg(text, why);
}

}  // namespace

std::variant<BrokerUrl, QString> parseBrokerUrl(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid()) {
        return mistake(text, url.errorString());
    }
    BrokerUrl broker;
    if (url.scheme() == QStringLiteral("mqtts")) {
        broker.tls = true;
    } else if (url.scheme() != QStringLiteral("mqtt")) {
        return mistake(text, QStringLiteral("it starts with mqtt:// or mqtts://"));
    }
    if (!url.password().isEmpty()) {
        return mistake(text, QStringLiteral("the password goes in a file given with "
                                            "--password-file, not in the address"));
    }
    broker.user = url.userName(QUrl::FullyDecoded);
    broker.host = url.host(QUrl::FullyDecoded);
    if (broker.host.isEmpty()) {
        return mistake(text, QStringLiteral("the broker's host is missing"));
    }
    broker.port = url.port(broker.tls ? kMqttsPort : kMqttPort);
    if (broker.port == 0) {
        return mistake(text, QStringLiteral("the port is 1..65535"));
    }
    // A '#' or '?' would start the address's fragment or query: topics do without them.
    if (url.hasQuery() || url.hasFragment()) {
        return mistake(text, QStringLiteral("the prefix may not hold '?' or '#'"));
    }
    const QString path = url.path(QUrl::FullyDecoded);
    broker.prefix = path.mid(1);
    if (broker.prefix.isEmpty()) {
        return mistake(text, QStringLiteral("the topic prefix after the host is missing"));
    }
    // Also what a %-escape decodes to: "%23" is a '#', "%09" a tab.
    if (const std::optional<QString> unfit = topicCharacterProblem(broker.prefix)) {
        return mistake(text, QStringLiteral("the prefix may not hold %1 (MQTT topics cannot "
                                            "carry it)")
                                 .arg(*unfit));
    }
    if (broker.prefix.split(u'/').contains(QString())) {
        return mistake(text, QStringLiteral("the prefix has an empty topic level"));
    }
    return broker;
}

std::variant<QByteArray, QString> readPasswordFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("the password file %1 cannot be read (%2)")
            .arg(path, file.errorString());
    }
    QByteArray line = file.readLine(64 * 1024);
    while (line.endsWith('\n') || line.endsWith('\r')) {
        line.chop(1);
    }
    if (line.isEmpty()) {
        return QStringLiteral("the password file %1 holds no password in its first line").arg(path);
    }
    return line;
}

std::optional<QString> passwordFileExposure(const QString& path) {
    const QFileInfo info(path);
    const QFileDevice::Permissions p = info.permissions();
    const bool read = p.testFlag(QFileDevice::ReadOther);
    const bool write = p.testFlag(QFileDevice::WriteOther);
    if (!info.exists() || (!read && !write)) {
        return std::nullopt;
    }
    return QStringLiteral(
               "the password file %1 can be %2 by other users: make it the owner's "
               "alone (chmod 600 %1)")
        .arg(path, read && write ? QStringLiteral("read and written")
                   : read        ? QStringLiteral("read")
                                 : QStringLiteral("written"));
}

}  // namespace lp::remote
