// collect: the fleet's archive. Subscribes with QoS 1, in a lasting session of its own
// (client id levelpanel-collect-ID), to the samples, metadata, events and period figures
// of every logger under PREFIX, and keeps them as files under DIR (remote/archive.h):
// each logger's record files and their .meta as the logger has them, its events and
// periods as CSV per day. A message is on disk before the next is read. Killed at any
// moment, it goes on where its files end: the broker kept what came meanwhile.
// Runs until SIGINT or SIGTERM (status 0); a broker away is said once and tried again.
#include "cli/commands.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSet>
#include <QSysInfo>
#include <QTimer>

#include "cli/broker_arguments.h"
#include "platform/stop_signals.h"
#include "platform/writer_lock.h"
#include "remote/archive.h"
#include "remote/messages.h"
#include "remote/mqtt_client.h"

namespace lp::cli {
namespace {

struct CollectOptions {
    BrokerFlags broker;
    std::optional<QString> dir;
    std::optional<QString> share;
    std::optional<QString> id;
};

std::vector<OptionRow> collectRows(CollectOptions& o) {
    std::vector<OptionRow> rows = brokerRows(o.broker);
    rows.push_back(text(QStringLiteral("dir"), QStringLiteral("DIR"), o.dir,
                        QStringLiteral("The archive: a folder per logger (made when missing)."))
                       .orRequired()
                       .completing(Completes::File));
    rows.push_back(text(QStringLiteral("share"), QStringLiteral("GROUP"), o.share,
                        QStringLiteral("Subscribe through $share/GROUP/...: the broker deals "
                                       "each message to one collector of the group.")));
    rows.push_back(text(QStringLiteral("id"), QStringLiteral("NAME"), o.id,
                        QStringLiteral("This collector's lasting name on the broker (default: "
                                       "the host name); keep it for good to miss nothing.")));
    return rows;
}

// The collector: its client on the broker and the archive it writes, until a stop
// signal ends the loop.
class Collector {
public:
    Collector(remote::MqttOptions mqtt, const QString& prefix, const QString& dir,
              std::optional<QString> share, Talk& talk)
        : prefix_(prefix.toUtf8()),
          share_(std::move(share)),
          client_(std::move(mqtt)),
          archive_(dir, prefix_),
          talk_(talk) {
        clock_.start();
        QObject::connect(&client_, &remote::MqttClient::connected, &loop_,
                         [this] { onConnected(); });
        QObject::connect(&client_, &remote::MqttClient::connectionFailed, &loop_,
                         [this](const QString& reason) { onConnectionFailed(reason); });
        QObject::connect(&client_, &remote::MqttClient::messageReceived, &loop_,
                         [this](const QByteArray& topic, const QByteArray& payload) {
                             tell(archive_.take(topic, payload, clock_.elapsed()));
                         });
        overdue_.setInterval(1000);
        QObject::connect(&overdue_, &QTimer::timeout, &loop_,
                         [this] { tell(archive_.overdue(clock_.elapsed())); });
    }

    [[nodiscard]] int run() {
        overdue_.start();
        client_.start();
        const int status = loop_.exec();
        QEventLoop closing;
        QObject::connect(&client_, &remote::MqttClient::stopped, &closing, &QEventLoop::quit);
        QTimer::singleShot(2000, &closing, &QEventLoop::quit);
        client_.stop();
        if (client_.isConnected()) {
            closing.exec();
        }
        return status;
    }

private:
    void onConnected() {
        const QByteArray all = prefix_ + "/+";
        QList<QByteArray> filters{remote::topicUnder(all, remote::Topic::Sample),
                                  remote::topicUnder(all, remote::Topic::Meta),
                                  remote::topicUnder(all, remote::Topic::Event),
                                  remote::topicUnder(all, remote::Topic::Period) + "/+"};
        if (share_) {
            for (QByteArray& filter : filters) {
                filter = "$share/" + share_->toUtf8() + '/' + filter;
            }
        }
        if (!client_.subscribe(filters)) {
            talk_.error(QStringLiteral("collect: the broker took no subscription to %1/+/..")
                            .arg(QString::fromUtf8(prefix_)));
        }
        // Said on every connection: from the first on, the broker keeps all for it.
        talk_.say(QStringLiteral("collect: collecting %1/+/...%2")
                      .arg(QString::fromUtf8(prefix_),
                           share_ ? QStringLiteral(" in the group %1").arg(*share_) : QString()));
        away_.clear();
    }
    void onConnectionFailed(const QString& reason) {
        if (away_.isEmpty()) {
            away_ = reason;
            talk_.error(QStringLiteral("collect: ") + reason +
                        QStringLiteral(" (trying again, 1 s to 60 s apart)"));
        }
    }
    // Each text once: a logger that keeps sending what cannot be filed is said once.
    void tell(const QStringList& texts) {
        for (const QString& text : texts) {
            if (!told_.contains(text)) {
                told_.insert(text);
                talk_.error(QStringLiteral("collect: ") + text);
            }
        }
    }

    QByteArray prefix_;
    std::optional<QString> share_;
    QEventLoop loop_;
    QElapsedTimer clock_;
    remote::MqttClient client_;
    remote::Archive archive_;
    Talk& talk_;
    QTimer overdue_;
    QString away_;
    QSet<QString> told_;
};

int runCollect(const CollectOptions& options, const ReadArguments& args, CommandIo& io) {
    if (args.files.size() != 1) {
        return io.talk.usage(args.files.isEmpty()
                                 ? QStringLiteral("collect needs the broker: mqtt://HOST/PREFIX")
                                 : QStringLiteral("collect takes one broker, not '%1'")
                                       .arg(args.files.mid(1).join(u' ')));
    }
    for (const auto& [name, value] : {std::pair{QStringLiteral("share"), options.share},
                                      std::pair{QStringLiteral("id"), options.id}}) {
        if (value && (value->isEmpty() || value->contains(u'/') || value->contains(u'+') ||
                      value->contains(u'#'))) {
            return io.talk.usage(
                QStringLiteral("--%1 takes a name without '/', '+' or '#', not '%2'")
                    .arg(name, *value));
        }
    }
    const Outcome<Broker> read = readBroker(args.files.first(), options.broker, io.talk);
    if (!read) {
        return io.talk.refused(read.refusal());
    }
    remote::MqttOptions mqtt = read->mqtt;
    mqtt.clientId =
        QStringLiteral("levelpanel-collect-") + options.id.value_or(QSysInfo::machineHostName());
    mqtt.cleanSession = false;
    // Each message on disk before the next is read (and acknowledged by libmosquitto).
    mqtt.packetsPerRead = 1;

    const QString dir = *options.dir;
    // One collector a folder: a second one would write the same files.
    QFile lock(QDir(dir).filePath(QStringLiteral(".collect.lock")));
    if (!QDir().mkpath(dir) || !lock.open(QIODevice::ReadWrite)) {
        io.talk.error(QStringLiteral("collect: cannot make the archive folder \"%1\"").arg(dir));
        return kFileFailure;
    }
    if (platform::lockForWriting(lock) == platform::WriteLock::HeldByAnother) {
        io.talk.error(
            QStringLiteral("collect: another collector writes to \"%1\"; give each its own "
                           "folder")
                .arg(dir));
        return kFileFailure;
    }
    if (!platform::installStopSignals()) {
        io.talk.error(QStringLiteral("SIGINT and SIGTERM cannot be caught"));
        return kFileFailure;
    }
    io.talk.say(QStringLiteral("collect: %1 into %2 as %3")
                    .arg(args.files.first(), QDir(dir).absolutePath(), mqtt.clientId));
    Collector collector(std::move(mqtt), read->prefix, dir, options.share, io.talk);
    return collector.run();
}

}  // namespace

Command collectCommand() {
    return commandOf<CollectOptions>(
        {QStringLiteral("collect"), QStringLiteral("mqtt://[USER@]HOST[:PORT]/PREFIX"),
         QStringLiteral("The fleet's archive: the loggers' files, kept from a broker."),
         QStringLiteral("Keeps under DIR/NAME/ each logger's record files as the logger has\n"
                        "them (same names, byte for byte) with their .meta, and its events\n"
                        "and period figures as CSV per day. A lasting session (QoS 1):\n"
                        "stopped or killed, it misses nothing the broker keeps meanwhile.\n"
                        "A line missing 60 s after later ones is said on stderr. Ends on\n"
                        "SIGINT or SIGTERM."),
         QStringLiteral("collect mqtt://broker.example/noise --dir /srv/noise --id archive1")},
        Operands::Files, collectRows, runCollect);
}

}  // namespace lp::cli
