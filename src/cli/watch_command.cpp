#include "cli/watch_command.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHash>
#include <QSet>
#include <QSysInfo>
#include <QTimeZone>
#include <QTimer>

#include "cli/broker_arguments.h"
#include "cli/kit/std_streams.h"
#include "cli/kit/terminal_text.h"
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
    return kProgramName + QStringLiteral(": watch: ") + text;
}

// The fleet as JSON lines: a logger's line each time what it shows changes.
class JsonFeed {
public:
    JsonFeed(QTextStream& out, QEventLoop& loop) : out_(out), loop_(loop) {}

    void changed(const remote::FleetModel& fleet, const QString& name, bool removed,
                 const QDateTime& now) {
        if (removed) {
            printed_.remove(name);
            write(removedJson(name));
        } else if (const std::optional<remote::LoggerRow> row = fleet.row(name, now)) {
            print(*row);
        }
    }
    // What changes with the clock alone: the events of the day, at local midnight.
    void tick(const remote::FleetModel& fleet, const QDateTime& now) {
        if (now.date() != day_) {
            day_ = now.date();
            all(fleet, now);
        }
    }
    // Every logger whose line changed (after the broker was lost, say).
    void all(const remote::FleetModel& fleet, const QDateTime& now) {
        for (const remote::LoggerRow& row : fleet.rows(now)) {
            print(row);
        }
    }

private:
    void print(const remote::LoggerRow& row) {
        QByteArray& last = printed_[row.name];
        QByteArray line = rowJson(row);
        if (line != last) {
            last = line;
            write(line);
        }
    }
    void write(const QByteArray& line) {
        out_ << QString::fromUtf8(terminalJson(line)) << "\n";
        out_.flush();
        if (out_.status() != QTextStream::Ok) {
            // Its reader has gone: nobody is watching any more.
            loop_.exit(kOk);
        }
    }

    QTextStream& out_;
    QEventLoop& loop_;
    QHash<QString, QByteArray> printed_;
    QDate day_ = QDate::currentDate();
};

// The fleet as a table on the terminal, drawn again a moment after a change (so a
// burst of backlog samples costs one redraw) and every second (the ages). Only the
// rows the terminal has room for are made: a fleet of thousands costs no more than a
// screenful.
class ScreenFeed {
public:
    ScreenFeed(QString where, QTextStream& out, QTextStream& err)
        : where_(std::move(where)), screen_(out, err) {
        soon_.setSingleShot(true);
        soon_.setInterval(100);
    }

    void setState(const QString& state) { state_ = state; }
    template <typename Draw>
    void onRedraw(Draw draw) {
        QObject::connect(&soon_, &QTimer::timeout, draw);
    }
    void changed() {
        if (!soon_.isActive()) {
            soon_.start();
        }
    }
    void draw(const remote::FleetModel& fleet, const QDateTime& now) {
        soon_.stop();
        const auto [width, height] = WatchScreen::size();
        const QString title =
            QStringLiteral("%1  %2  %3")
                .arg(where_, state_, now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        screen_.draw(screenLines(title, fleet.rows(now, screenRoom(height)), fleet.size(), now,
                                 width, height));
    }
    void say(const QString& text) { screen_.say(text); }

private:
    QString where_;
    QString state_ = QStringLiteral("connecting");
    WatchScreen screen_;
    QTimer soon_;
};

// The time now in the local time zone, by Qt's copy of the zone's rules: the C
// library's local time reads /etc/localtime's status again at every call, and with
// thousands of loggers a message comes every moment.
class LocalClock {
public:
    [[nodiscard]] QDateTime now() const {
        return zone_.isValid() ? QDateTime::currentDateTimeUtc().toTimeZone(zone_)
                               : QDateTime::currentDateTime();
    }

private:
    QTimeZone zone_ = QTimeZone::systemTimeZone();
};

// The client's id on the broker: one per console.
QString clientId() {
    return QStringLiteral("levelpanel-watch-%1-%2")
        .arg(QSysInfo::machineHostName())
        .arg(QCoreApplication::applicationPid());
}

}  // namespace

int runWatch(const Arguments& args, CommandIo& io) {
    if (args.files.size() != 1) {
        usageError(io.err, args.files.isEmpty()
                               ? QStringLiteral("watch needs the broker: mqtt://HOST/PREFIX")
                               : QStringLiteral("watch takes one broker, not '%1'")
                                     .arg(args.files.mid(1).join(u' ')));
        return kUsageError;
    }
    const BrokerRead read = readBroker(args.files.first(), args, io.err);
    if (!read.broker) {
        return read.status;
    }
    const Broker& broker = *read.broker;
    if (!platform::installStopSignals()) {
        failure(io.err, QStringLiteral("SIGINT and SIGTERM cannot be caught"));
        return kFileFailure;
    }
    platform::ignoreBrokenPipes();

    remote::MqttOptions mqtt = broker.mqtt;
    mqtt.clientId = clientId();
    const QString where =
        QStringLiteral("%1://%2:%3/%4")
            .arg(mqtt.tls ? QStringLiteral("mqtts") : QStringLiteral("mqtt"), mqtt.host)
            .arg(mqtt.port)
            .arg(broker.prefix);
    QEventLoop loop;
    const LocalClock clock;
    remote::MqttClient client(mqtt);
    remote::FleetModel fleet(broker.prefix);
    const bool json =
        args.has(QStringLiteral("json")) || !platform::isTerminal(platform::kStandardOutput);
    std::optional<JsonFeed> lines;
    std::optional<ScreenFeed> table;
    if (json) {
        lines.emplace(io.out, loop);
    } else {
        table.emplace(where, io.out, io.err);
        table->onRedraw([&] { table->draw(fleet, clock.now()); });
    }
    const auto say = [&](const QString& text) {
        if (table) {
            table->say(said(text));
        } else {
            io.err << said(text) << "\n";
            io.err.flush();
        }
    };

    const QByteArray prefix = broker.prefix.toUtf8();
    QString away;  // why the broker cannot be reached, once said
    QObject::connect(&client, &remote::MqttClient::connected, &loop, [&] {
        // The samples without an acknowledgement each (a lost one is followed by the
        // next); the statuses and the alarms' events at least once.
        const QByteArray all = prefix + "/+";
        if (!client.subscribe({remote::topicUnder(all, remote::Topic::Status),
                               remote::topicUnder(all, remote::Topic::Event)}) ||
            !client.subscribe({remote::topicUnder(all, remote::Topic::Sample)}, 0)) {
            say(QStringLiteral("the broker took no subscription to %1/+/..").arg(broker.prefix));
        }
        if (!away.isEmpty()) {
            away.clear();
            say(QStringLiteral("connected to %1 again").arg(where));
        }
        if (table) {
            table->setState(QStringLiteral("connected"));
            table->changed();
        }
    });
    QObject::connect(&client, &remote::MqttClient::connectionFailed, &loop,
                     [&](const QString& reason) {
                         // Said once until the broker is back; the attempts go on quietly.
                         if (away.isEmpty()) {
                             away = reason;
                             say(reason + QStringLiteral(" (trying again, 1 s to 60 s apart)"));
                             // What the loggers do meanwhile is unknown until the broker
                             // sends their statuses again.
                             fleet.brokerLost();
                             if (lines) {
                                 lines->all(fleet, clock.now());
                             }
                         }
                         if (table) {
                             table->setState(QStringLiteral("broker away"));
                             table->changed();
                         }
                     });
    QSet<QString> passedOver;  // topics whose message was said to be passed over
    QObject::connect(&client, &remote::MqttClient::messageReceived, &loop,
                     [&](const QByteArray& topic, const QByteArray& payload) {
                         const QDateTime now = clock.now();
                         const remote::FleetModel::Taken taken = fleet.take(topic, payload, now);
                         if (!taken.problem.isEmpty()) {
                             if (!passedOver.contains(QString::fromUtf8(topic))) {
                                 passedOver.insert(QString::fromUtf8(topic));
                                 say(taken.problem + QStringLiteral(" (passed over)"));
                             }
                         } else if (!taken.logger.isEmpty()) {
                             if (lines) {
                                 lines->changed(fleet, taken.logger, taken.removed, now);
                             } else {
                                 table->changed();
                             }
                         }
                     });
    QTimer ticks;
    ticks.setInterval(1000);
    QObject::connect(&ticks, &QTimer::timeout, &loop, [&] {
        const QDateTime now = clock.now();
        if (lines) {
            lines->tick(fleet, now);
        } else {
            table->draw(fleet, now);
        }
    });
    ticks.start();
    if (table) {
        table->draw(fleet, clock.now());
    }
    client.start();
    const int status = loop.exec();

    // A clean goodbye to the broker, for a moment at most.
    QEventLoop closing;
    QObject::connect(&client, &remote::MqttClient::stopped, &closing, &QEventLoop::quit);
    QTimer::singleShot(2000, &closing, &QEventLoop::quit);
    client.stop();
    if (client.isConnected()) {
        closing.exec();
    }
    if (table) {
        table->draw(fleet, clock.now());
    }
    return status;
}

}  // namespace lp::cli
