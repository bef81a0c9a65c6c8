// The run metadata's lines on PREFIX/NAME/meta against a real mosquitto and subscriber:
// none lost to an outage or a kill, none sent twice past the cursor, a copy of FILE.meta
// rebuilt byte for byte from them. The messages and the cursor file themselves are
// test_meta_lines'.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "files.h"
#include "record_writer.h"
#include "records/run_metadata.h"
#include "remote/meta_publisher.h"
#include "remote/publish_state.h"
#include "test_broker.h"

using lp::remote::MetaPublisher;
using lp::remote::SamplePublisher;
using lp::test::RecordWriter;

namespace {

const QByteArray kRun =
    R"({"every_s":1,"header_line":1,"host":"box","port":"sim","program":"levelpanel-cli 0.9",)"
    R"("range":[30,80],"response":"F","run":1,"start":"2026-12-06T10:00:01+01:00",)"
    R"("weighting":"A"})"
    "\n";
const QByteArray kChange = R"({"line":3,"range":[30,80],"response":"S","weighting":"A"})"
                           "\n";

bool append(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::Append) && f.write(bytes) == bytes.size();
}

// The logger's publisher and its metadata publisher, as `record --publish` pairs them.
struct Pair {
    Pair(const lp::test::SubscribedBroker& rig, const QTemporaryDir& dir)
        : samples(
              [&] {
                  lp::remote::MqttOptions mqtt;
                  mqtt.host = "127.0.0.1";
                  mqtt.port = rig.broker.port();
                  mqtt.clientId = "site1";
                  return mqtt;
              }(),
              {.topic = "lp/site1",
               .statePath = lp::remote::publishStatePath(dir.filePath("log.sdm")),
               .status = {{}, "sim", "", 1, "test"}}),
          meta(samples, lp::remote::metaCursorPath(dir.filePath("log.sdm"))) {
        samples.start();
        meta.start();
    }
    void written(const lp::live::RecordedLine& line) {
        samples.recordWritten(line);
        meta.recordWritten(line);
    }
    void stop() {
        QSignalSpy finished(&samples, &SamplePublisher::finished);
        samples.stop();
        QVERIFY(finished.wait(5000));
    }
    SamplePublisher samples;
    MetaPublisher meta;
};

// The "meta_line"s that arrived, in order.
QList<qint64> metaLines(lp::test::Subscriber& subscriber) {
    QList<qint64> lines;
    for (const QByteArray& payload : subscriber.payloads("/meta")) {
        lines << QJsonDocument::fromJson(payload)["meta_line"].toInteger();
    }
    return lines;
}

}  // namespace

class TestMetaPublisher : public QObject {
    Q_OBJECT

private slots:
    // A first logger run writes two metadata lines while the broker is away and is gone
    // (as after kill -9: nothing acknowledged). The next run sends both from the file,
    // then a line the crash had cut (ended by the next run's line end) and the run's
    // own; the broker acknowledges them all. A third run, over a metadata file replaced
    // under its name, sends that file's one line, and nothing of the old one again.
    void everyLineOnceAcrossAnOutageAKillAndAReplacedFile() {
        QTemporaryDir dir;
        lp::test::SubscribedBroker rig(dir.filePath("broker"),
                                       lp::test::TestBroker::Access::Anonymous);
        QVERIFY(rig.up());
        const QString file = dir.filePath("log-2026-12-06.sdm");
        const QString meta = lp::records::metadataPathOf(file);
        rig.broker.stop();
        {
            Pair killed(rig, dir);
            RecordWriter writer(file);
            QVERIFY(append(meta, kRun));
            killed.written(writer.append());
            QVERIFY(append(meta, kChange));
            killed.written(writer.append());
            QVERIFY(append(meta, "{\"line\":5,\"wei"));  // cut short by the kill
        }
        QVERIFY(rig.broker.start());
        const QByteArray last = R"({"line":6,"range":[30,80],"response":"F","weighting":"A"})"
                                "\n";
        {
            Pair next(rig, dir);
            QVERIFY(rig.subscriber->waitFor("/meta", 2, 10000));
            // The recorder names the file as --out gave it: here relative.
            QVERIFY(QDir::setCurrent(dir.path()));
            RecordWriter writer("log-2026-12-06.sdm");
            QVERIFY(append(meta, "\n" + last));  // the writer ends a cut line first
            next.written(writer.append());
            QVERIFY(rig.subscriber->waitFor("/meta", 4, 5000));
            next.stop();
        }
        QCOMPARE(metaLines(*rig.subscriber), (QList<qint64>{1, 2, 3, 4}));
        // The copy rebuilt from the messages: each object's line, or the text of one
        // that is none.
        QByteArray copy;
        for (const QByteArray& payload : rig.subscriber->payloads("/meta")) {
            const QJsonObject message = QJsonDocument::fromJson(payload).object();
            QCOMPARE(message["file"], "log-2026-12-06.sdm");
            copy += message["meta"].isObject()
                        ? lp::records::metadataLine(message["meta"].toObject())
                        : message["text"].toString().toUtf8() + '\n';
        }
        QCOMPARE(copy, lp::test::readAll(meta));

        // Made while the old one still exists, so it is another file (inode) for sure.
        QVERIFY(lp::test::writeFile(meta + ".new", kRun + kRun));
        QVERIFY(QFile::remove(meta) && QFile::rename(meta + ".new", meta));
        Pair third(rig, dir);
        QVERIFY(rig.subscriber->waitFor("/meta", 6, 5000));
        QTest::qWait(300);  // time for a line that should not come
        QCOMPARE(metaLines(*rig.subscriber), (QList<qint64>{1, 2, 3, 4, 1, 2}));
        third.stop();
    }
};

QTEST_GUILESS_MAIN(TestMetaPublisher)
#include "test_meta_publisher.moc"
