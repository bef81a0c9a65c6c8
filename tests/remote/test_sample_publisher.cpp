// Store and forward against a real mosquitto and a real subscriber: what the whole-process
// test_record_publish cannot see. (The broker away, SIGKILL with a backlog, the last will
// and a refused password are its.)
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "record_writer.h"
#include "remote/publish_state.h"
#include "remote/sample_publisher.h"
#include "test_broker.h"

using lp::remote::SamplePublisher;
using lp::test::RecordWriter;
using lp::test::Subscriber;
using lp::test::TestBroker;

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

    lp::remote::MqttOptions mqtt() const {
        lp::remote::MqttOptions o;
        o.host = "127.0.0.1";
        o.port = broker_->port();
        o.clientId = "site1";
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
    bool startBroker() {
        broker_ =
            std::make_unique<TestBroker>(dir_.filePath("broker"), TestBroker::Access::Anonymous);
        QDir().mkpath(dir_.filePath("broker"));
        if (!broker_->start()) {
            qWarning() << broker_->error();
            return false;
        }
        subscriber_ = std::make_unique<Subscriber>(*broker_, "lp/#", TestBroker::Access::Anonymous);
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

    // Told before the connection is up, an event waits in memory; the samples of two days'
    // files go out in order, and a restart resumes from the cursor, sending nothing twice.
    void restartResumesAcrossFiles() {
        QVERIFY(startBroker());
        const QString day1 = dir_.filePath("log-2026-12-06.sdm");
        const QString day2 = dir_.filePath("log-2026-12-07.sdm");
        {
            auto first = std::make_unique<SamplePublisher>(mqtt(), options());
            QVERIFY(!first->start());
            first->publishEvent("{\"state\":\"start\"}");
            RecordWriter writer(day1);
            first->recordWritten(writer.append());
            first->recordWritten(writer.append());
            QVERIFY(subscriber_->waitFor("/sample", 2, 5000) &&
                    subscriber_->waitFor("/event", 1, 5000));
            QCOMPARE(subscriber_->payloads("/event"), QList<QByteArray>{"{\"state\":\"start\"}"});
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
        QSignalSpy finished(&second, &SamplePublisher::finished);
        second.stop();
        QVERIFY(finished.wait(5000));
    }
};

QTEST_GUILESS_MAIN(TestSamplePublisher)
#include "test_sample_publisher.moc"
