// Store and forward against a real mosquitto and a real subscriber: samples in order,
// nothing lost while the broker is away or the logger restarts (also killed with
// SIGKILL in the middle of a backlog), one reason for a refused password, and the last
// will of a killed logger.
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include <signal.h>

#include "files.h"
#include "record_writer.h"
#include "remote/publish_state.h"
#include "remote/sample_publisher.h"
#include "test_broker.h"

using lp::remote::SamplePublisher;
using lp::test::RecordWriter;
using lp::test::Subscriber;
using lp::test::TestBroker;
using Access = TestBroker::Access;

namespace {

QJsonObject json(const QByteArray& payload) {
    return QJsonDocument::fromJson(payload).object();
}

// The samples that arrived, as "file:line", in order of first arrival, and how many
// arrived more than once.
struct Arrivals {
    QStringList first;
    int repeats = 0;
};
Arrivals arrivals(Subscriber& subscriber) {
    Arrivals a;
    QSet<QString> seen;
    for (const QByteArray& payload : subscriber.payloads("/sample")) {
        const QJsonObject o = json(payload);
        const QString key = o["file"].toString() + ':' + QString::number(o["line"].toInteger());
        if (seen.contains(key)) {
            ++a.repeats;
        } else {
            seen.insert(key);
            a.first << key;
        }
    }
    return a;
}

// Waits until `count` different samples have arrived (counting them only once enough
// messages are there at all).
bool waitForDistinct(Subscriber& subscriber, int count, int ms) {
    return QTest::qWaitFor(
        [&] {
            return subscriber.payloads("/sample").size() >= count &&
                   arrivals(subscriber).first.size() >= count;
        },
        ms);
}

// "log.sdm:2" .. for lines `from`..`to`.
QStringList lines(const QString& file, int from, int to) {
    QStringList keys;
    for (int line = from; line <= to; ++line) {
        keys << file + ':' + QString::number(line);
    }
    return keys;
}

}  // namespace

class TestSamplePublisher : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<TestBroker> broker_;
    std::unique_ptr<Subscriber> subscriber_;

    lp::remote::MqttOptions mqtt(Access access = Access::Anonymous) const {
        lp::remote::MqttOptions o;
        o.host = "127.0.0.1";
        o.port = broker_->port();
        o.clientId = "site1";
        if (access == Access::Password) {
            o.username = TestBroker::kUser;
            o.password = "wrong";
        }
        return o;
    }
    lp::remote::PublisherOptions options() const {
        lp::remote::PublisherOptions o;
        o.topic = "lp/site1";
        o.statePath = lp::remote::publishStatePath(dir_.filePath("log.sdm"));
        o.status = {"", "sim", "", 1, "test"};
        o.cursorInterval = std::chrono::milliseconds(100);
        return o;
    }
    bool startBroker(Access access = Access::Anonymous) {
        broker_ = std::make_unique<TestBroker>(dir_.filePath("broker"), access);
        QDir().mkpath(dir_.filePath("broker"));
        if (!broker_->start()) {
            qWarning() << broker_->error();
            return false;
        }
        subscriber_ = std::make_unique<Subscriber>(*broker_, "lp/#", access);
        return subscriber_->waitSubscribed();
    }

private slots:
    void init() {
        dir_.~QTemporaryDir();
        new (&dir_) QTemporaryDir();
    }
    void cleanup() {
        subscriber_.reset();
        broker_.reset();
    }

    void samplesArriveInOrder() {
        QVERIFY(startBroker());
        SamplePublisher publisher(mqtt(), options());
        QVERIFY(!publisher.start());
        publisher.publishEvent("{\"state\":\"start\"}");  // before the connection is up
        {
            RecordWriter run(dir_.filePath("log.sdm"));  // lines 2..4
            for (int i = 0; i < 3; ++i) {
                publisher.recordWritten(run.append());
            }
        }
        RecordWriter again(dir_.filePath("log.sdm"));  // a second run: lines 6 and 7
        publisher.recordWritten(again.append());
        publisher.recordWritten(again.append());
        QVERIFY(subscriber_->waitFor("/sample", 5, 5000));
        const Arrivals a = arrivals(*subscriber_);
        QCOMPARE(a.first, lines("log.sdm", 2, 4) + lines("log.sdm", 6, 7));
        QCOMPARE(a.repeats, 0);
        // Published as it was written: with the meter's reading.
        QCOMPARE(json(subscriber_->payloads("/sample").at(3))["weighting"], "A");
        const QJsonObject status = json(subscriber_->payloads("/status").last());
        QCOMPARE(status["state"], "online");
        QCOMPARE(status["file"], "log.sdm");
        QVERIFY(subscriber_->waitFor("/event", 1, 5000));
        QCOMPARE(subscriber_->payloads("/event"), QList<QByteArray>{"{\"state\":\"start\"}"});

        QSignalSpy finished(&publisher, &SamplePublisher::finished);
        publisher.stop();
        QVERIFY(finished.wait(5000));
        QVERIFY(QTest::qWaitFor(
            [&] { return json(subscriber_->payloads("/status").last())["state"] == "stopped"; },
            5000));
    }

    void brokerAwayAndBack() {
        QVERIFY(startBroker());
        SamplePublisher publisher(mqtt(), options());
        QSignalSpy stopped(&publisher, &SamplePublisher::publishingStopped);
        QSignalSpy caughtUp(&publisher, &SamplePublisher::caughtUp);
        QVERIFY(!publisher.start());
        RecordWriter writer(dir_.filePath("log.sdm"));
        publisher.recordWritten(writer.append());
        QVERIFY(subscriber_->waitFor("/sample", 1, 5000));
        broker_->stop();
        // Five seconds away, a record every half second: the client retries meanwhile.
        for (int i = 0; i < 10; ++i) {
            QTest::qWait(500);
            publisher.recordWritten(writer.append());
        }
        publisher.publishEvent("{\"state\":\"end\"}");  // waits in memory
        QVERIFY(broker_->start());
        QVERIFY(waitForDistinct(*subscriber_, 11, 20000));
        const Arrivals a = arrivals(*subscriber_);
        QCOMPARE(a.first, lines("log.sdm", 2, 12));
        QVERIFY(subscriber_->waitFor("/event", 1, 5000));
        qInfo("repeats: %d", a.repeats);
        QCOMPARE(stopped.size(), 1);
        QVERIFY2(stopped.at(0).at(0).toString().contains("closed the connection"),
                 qPrintable(stopped.at(0).at(0).toString()));
        QVERIFY(caughtUp.size() == 1 || caughtUp.wait(2000));
        QCOMPARE(caughtUp.at(0).at(0).toLongLong(), 10);
    }

    void restartResumesAcrossFiles() {
        QVERIFY(startBroker());
        const QString day1 = dir_.filePath("log-2026-12-06.sdm");
        const QString day2 = dir_.filePath("log-2026-12-07.sdm");
        {
            auto first = std::make_unique<SamplePublisher>(mqtt(), options());
            QVERIFY(!first->start());
            RecordWriter writer(day1);
            first->recordWritten(writer.append());
            first->recordWritten(writer.append());
            QVERIFY(subscriber_->waitFor("/sample", 2, 5000));
            QTest::qWait(300);  // the cursor is written
            broker_->stop();
            first->recordWritten(writer.append());
            RecordWriter next(day2);
            first->recordWritten(next.append());
            first->recordWritten(next.append());
        }
        QVERIFY(broker_->start());
        SamplePublisher second(mqtt(), options());
        QVERIFY(!second.start());
        QVERIFY(waitForDistinct(*subscriber_, 5, 10000));
        const Arrivals a = arrivals(*subscriber_);
        QCOMPARE(a.first, lines("log-2026-12-06.sdm", 2, 4) + lines("log-2026-12-07.sdm", 2, 3));
        QCOMPARE(a.repeats, 0);  // the cursor said how far the broker had acknowledged
    }

    void refusedPasswordIsToldOnce() {
        QVERIFY(startBroker(Access::Password));
        SamplePublisher publisher(mqtt(Access::Password), options());
        QSignalSpy stopped(&publisher, &SamplePublisher::publishingStopped);
        QSignalSpy attempts(&publisher.client(), &lp::remote::MqttClient::connectionFailed);
        QVERIFY(!publisher.start());
        QVERIFY(QTest::qWaitFor([&] { return attempts.size() >= 2; }, 5000));
        QCOMPARE(stopped.size(), 1);
        QCOMPARE(stopped.at(0).at(0).toString(), "the broker refused the user name or password");
    }

    void killedLoggerResumesAndLeavesItsWill() {
        QVERIFY(startBroker());
        broker_->stop();
        // A backlog waits in the file while the broker is away.
        QProcess logger;
        logger.start(LP_LOGGER_CHILD, {QString::number(broker_->port()), dir_.path(), "40000"});
        QVERIFY(logger.waitForStarted());
        QTest::qWait(1500);
        QVERIFY(broker_->start());
        // Killed once the cursor file says part of the backlog is acknowledged.
        const QString cursor = lp::remote::publishStatePath(dir_.filePath("log.sdm"));
        const auto cursorLine = [&] { return json(lp::test::readAll(cursor))["line"].toInteger(); };
        QVERIFY(QTest::qWaitFor([&] { return cursorLine() > 2; }, 20000));
        ::kill(static_cast<pid_t>(logger.processId()), SIGKILL);
        const qint64 acknowledged = cursorLine();
        QVERIFY(logger.waitForFinished());
        qInfo("killed with the cursor at line %lld of 40001", acknowledged);
        // The broker tells the world the logger is gone.
        QVERIFY(QTest::qWaitFor(
                    [&] {
                        return json(subscriber_->payloads("/status").value(-1))["state"] ==
                               "offline";
                    },
                    5000) ||
                json(subscriber_->payloads("/status").last())["state"] == "offline");

        QProcess restarted;
        restarted.start(LP_LOGGER_CHILD, {QString::number(broker_->port()), dir_.path(), "5"});
        const auto end = qScopeGuard([&] {
            restarted.kill();
            restarted.waitForFinished();
        });
        QVERIFY(restarted.waitForStarted());
        QVERIFY(waitForDistinct(*subscriber_, 40005, 30000));
        const Arrivals a = arrivals(*subscriber_);
        QCOMPARE(a.first, lines("log.sdm", 2, 40001) + lines("log.sdm", 40003, 40007));
        qInfo("repeats after the restart: %d", a.repeats);
        // It resumed from the cursor: what it sent again starts after that line.
        QVERIFY(QTest::qWaitFor([&] { return restarted.canReadLine(); }, 5000));
        const qint64 resent = restarted.readLine().trimmed().split(' ').value(1).toLongLong();
        QVERIFY2(resent > 0 && resent <= 40007 - acknowledged, qPrintable(QString::number(resent)));
    }
};

QTEST_GUILESS_MAIN(TestSamplePublisher)
#include "test_sample_publisher.moc"
