// watch: the fleet console. Subscribes to PREFIX/+/status, sample and event on the
// broker and shows one line per logger (name, state, last level and its age, backlog,
// events today): a table redrawn in place on a terminal, or one JSON line per change
// when stdout is no terminal or with --json. Runs until SIGINT or SIGTERM (status 0)
// or until stdout's reader goes away; a broker that goes away is said once on stderr
// and tried again (1 s, 2 s, ... 60 s apart).
#include "cli/commands.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSet>
#include <QSysInfo>
#include <QTimer>
#include <memory>

#include "cli/broker_arguments.h"
#include "cli/kit/std_streams.h"
#include "cli/watch_output.h"
#include "cli/watch_screen.h"
#include "platform/standard_descriptors.h"
#include "platform/stop_signals.h"
#include "platform/stream_output.h"
#include "platform/terminal.h"
#include "remote/fleet_model.h"
#include "remote/messages.h"
#include "remote/mqtt_client.h"

namespace lp::cli {
namespace {

QString said(const QString& text) {
    return QStringLiteral("watch: ") + text;
}

// The client's id on the broker: one per console.
QString clientId() {
    return QStringLiteral("levelpanel-watch-%1-%2")
        .arg(QSysInfo::machineHostName())
        .arg(QCoreApplication::applicationPid());
}

// The console: the client on the broker, the fleet it hears of and what it shows of
// it, until a stop signal (or the output's reader) ends it.
class WatchConsole {
public:
    WatchConsole(const Broker& broker, bool json, CommandIo& io)
        : prefix_(broker.prefix),
          mqtt_(broker.mqtt),
          client_(withClientId(mqtt_)),
          fleet_(broker.prefix) {
        if (json) {
            output_ = std::make_unique<JsonLines>(fleet_, io.out, io.talk, loop_);
        } else {
            output_ = std::make_unique<ScreenTable>(fleet_, clock_, where(), io.out, io.talk);
        }
        QObject::connect(&client_, &remote::MqttClient::connected, &loop_,
                         [this] { onConnected(); });
        QObject::connect(&client_, &remote::MqttClient::connectionFailed, &loop_,
                         [this](const QString& reason) { onConnectionFailed(reason); });
        QObject::connect(&client_, &remote::MqttClient::messageReceived, &loop_,
                         [this](const QByteArray& topic, const QByteArray& payload) {
                             onMessage(topic, payload);
                         });
        ticks_.setInterval(1000);
        QObject::connect(&ticks_, &QTimer::timeout, &loop_,
                         [this] { output_->tick(clock_.now()); });
    }

    // Watches until the loop ends; its status.
    [[nodiscard]] int run() {
        ticks_.start();
        output_->begin();
        client_.start();
        const int status = loop_.exec();

        // A clean goodbye to the broker, for a moment at most.
        QEventLoop closing;
        QObject::connect(&client_, &remote::MqttClient::stopped, &closing, &QEventLoop::quit);
        QTimer::singleShot(2000, &closing, &QEventLoop::quit);
        client_.stop();
        if (client_.isConnected()) {
            closing.exec();
        }
        output_->end();
        return status;
    }

private:
    static const remote::MqttOptions& withClientId(remote::MqttOptions& mqtt) {
        mqtt.clientId = clientId();
        return mqtt;
    }
    [[nodiscard]] QString where() const {
        return QStringLiteral("%1://%2:%3/%4")
            .arg(mqtt_.tls ? QStringLiteral("mqtts") : QStringLiteral("mqtt"), mqtt_.host)
            .arg(mqtt_.port)
            .arg(prefix_);
    }
    void say(const QString& text) { output_->say(said(text)); }

    void onConnected() {
        const QByteArray prefix = prefix_.toUtf8();
        // The samples without an acknowledgement each (a lost one is followed by the
        // next); the statuses and the alarms' events at least once.
        const QByteArray all = prefix + "/+";
        if (!client_.subscribe({remote::topicUnder(all, remote::Topic::Status),
                                remote::topicUnder(all, remote::Topic::Event)}) ||
            !client_.subscribe({remote::topicUnder(all, remote::Topic::Sample)}, 0)) {
            say(QStringLiteral("the broker took no subscription to %1/+/..").arg(prefix_));
        }
        if (!away_.isEmpty()) {
            away_.clear();
            say(QStringLiteral("connected to %1 again").arg(where()));
        }
        output_->connection(QStringLiteral("connected"));
    }
    void onConnectionFailed(const QString& reason) {
        // Said once until the broker is back; the attempts go on quietly.
        if (away_.isEmpty()) {
            away_ = reason;
            say(reason + QStringLiteral(" (trying again, 1 s to 60 s apart)"));
            // What the loggers do meanwhile is unknown until the broker sends their
            // statuses again.
            fleet_.brokerLost();
            output_->brokerLost(clock_.now());
        }
        output_->connection(QStringLiteral("broker away"));
    }
    void onMessage(const QByteArray& topic, const QByteArray& payload) {
        const QDateTime now = clock_.now();
        const remote::FleetModel::Taken taken = fleet_.take(topic, payload, now);
        if (!taken.problem.isEmpty()) {
            if (!passedOver_.contains(QString::fromUtf8(topic))) {
                passedOver_.insert(QString::fromUtf8(topic));
                say(taken.problem + QStringLiteral(" (passed over)"));
            }
        } else if (!taken.logger.isEmpty()) {
            output_->loggerChanged(taken.logger, taken.removed, now);
        }
    }

    QString prefix_;
    remote::MqttOptions mqtt_;
    QEventLoop loop_;
    const WatchClock clock_;
    remote::MqttClient client_;
    remote::FleetModel fleet_;
    std::unique_ptr<WatchOutput> output_;
    QString away_;              // why the broker cannot be reached, once said
    QSet<QString> passedOver_;  // topics whose message was said to be passed over
    QTimer ticks_;
};

struct WatchOptions {
    BrokerFlags broker;
    bool json = false;
};

std::vector<OptionRow> watchRows(WatchOptions& o) {
    std::vector<OptionRow> rows = brokerRows(o.broker);
    rows.push_back(flag(QStringLiteral("json"), o.json,
                        QStringLiteral("One JSON line per change, also on a terminal.")));
    return rows;
}

int runWatch(const WatchOptions& options, const ReadArguments& args, CommandIo& io) {
    if (args.files.size() != 1) {
        return io.talk.usage(args.files.isEmpty()
                                 ? QStringLiteral("watch needs the broker: mqtt://HOST/PREFIX")
                                 : QStringLiteral("watch takes one broker, not '%1'")
                                       .arg(args.files.mid(1).join(u' ')));
    }
    const Outcome<Broker> read = readBroker(args.files.first(), options.broker, io.talk);
    if (!read) {
        return io.talk.refused(read.refusal());
    }
    const Broker& broker = *read;
    if (!platform::installStopSignals()) {
        io.talk.error(QStringLiteral("SIGINT and SIGTERM cannot be caught"));
        return kFileFailure;
    }
    platform::ignoreBrokenPipes();
    const bool json = options.json || !platform::isTerminal(platform::kStandardOutput);
    WatchConsole console(broker, json, io);
    return console.run();
}

}  // namespace

Command watchCommand() {
    return commandOf<WatchOptions>(
        {QStringLiteral("watch"), QStringLiteral("mqtt://[USER@]HOST[:PORT]/PREFIX"),
         QStringLiteral("The fleet console: the loggers publishing to a broker."),
         QStringLiteral("The loggers publishing under PREFIX, one line each: state, last\n"
                        "level and its age, backlog, events today (ALARM while one is on).\n"
                        "Redrawn in place on a terminal; one JSON line per change with\n"
                        "--json or when stdout is no terminal. mqtts:// is TLS. A broker\n"
                        "away is tried again, 1 s to 60 s apart. Ends on SIGINT or SIGTERM."),
         QStringLiteral("watch mqtts://ops@broker.example/noise --password-file ~/.mqtt-pw")},
        Operands::Files, watchRows, runWatch);
}

}  // namespace lp::cli
