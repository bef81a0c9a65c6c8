// `levelpanel-cli record --limit` as a whole process against the simulated meter and a
// real mosquitto: what the logger tells (stderr, the limits' event log, the event
// topic) and the limits each sample's message carries are what live::LimitWatch gives
// when the record file is replayed through it. The figures and the telling rules are
// test_limit_watch's; here they reach the user. One run, about 15 s.
#include <signal.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "cli_process.h"
#include "files.h"
#include "live/limit_watch.h"
#include "live/sample_schedule.h"
#include "platform/iso_time.h"
#include "records/record_format.h"
#include "sim_process.h"
#include "stats/figure_text.h"
#include "test_broker.h"

using lp::test::CliProcess;
using lp::test::SubscribedBroker;
using Access = lp::test::TestBroker::Access;

namespace {

const QString kRolling = QStringLiteral("laeq~3s,00-24,75");
const QString kPeriod = QStringLiteral("laeq,1min,00-24,70,warn=68");

// The two rules above, as the parser should read them.
lp::live::LiveLimitOptions replayOptions() {
    lp::live::LiveLimitOptions options;
    lp::live::LiveLimitRule rolling;
    rolling.rolling = true;
    rolling.length = 3;
    rolling.db = 75.0;
    rolling.text = kRolling;
    lp::live::LiveLimitRule period;
    period.length = 60;
    period.db = 70.0;
    period.warn = 68.0;
    period.text = kPeriod;
    options.rules = {rolling, period};
    options.repeat = 4;
    return options;
}

// The record file's samples, as the logger took them (no reading: the labels are left
// out of every comparison).
QList<lp::live::Sample> samplesOf(const QString& path) {
    const QByteArray header(lp::records::kHeaderLine.data(), lp::records::kHeaderLine.size());
    QList<lp::live::Sample> samples;
    for (const QByteArray& line : lp::test::readAll(path).split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (line + '\n' == header || fields.size() < 3) {
            continue;
        }
        const QString stamp = QString::fromLatin1(fields[1]);
        const QDateTime when = QDateTime::fromString(stamp, "yyyy/MM/dd HH:mm:ss");
        samples.append({when, stamp, QString::fromLatin1(fields[2]), {}});
    }
    return samples;
}

// "2026-12-06T12:00:53+01:00 start alarm laeq~3s,00-24,75 75.5 75.0": as the limits' log
// has it (its figure column left out).
QString eventText(const lp::live::LimitEvent& e) {
    return QStringList{lp::platform::localIsoTime(e.instant), lp::live::limitEventKindText(e.kind),
                       lp::live::limitLevelText(e.level),     e.rule,
                       lp::stats::levelText(e.value),         lp::stats::levelText(e.limit)}
        .join(' ');
}

QStringList loggedEvents(const QString& path) {
    QStringList told;
    const QList<QByteArray> lines = lp::test::readAll(path).split('\n');
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        // time,state,level,"rule","figure",value,limit,since: the rule and the figure
        // are quoted (they hold commas).
        const QString line = QString::fromUtf8(lines[i]).trimmed();
        const QStringList quoted = line.split('"');
        if (quoted.size() != 5) {
            told << line;
            continue;
        }
        const QStringList head = quoted[0].split(',');
        const QStringList tail = quoted[4].split(',');
        told << QStringList{head[0], head[1], head[2], quoted[1], tail[1], tail[2]}.join(' ');
    }
    return told;
}

QJsonValue rounded(const std::optional<double>& level) {
    return level ? QJsonValue(std::round(*level * 10.0) / 10.0) : QJsonValue();
}

}  // namespace

class TestRecordLimits : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    // Quiet (65.3 dB), some 5 s loud (80 dB), quiet again past 12:01:00, where the
    // 1-min period starts again.
    void toldAsReplayed() {
        SubscribedBroker rig(dir_.filePath("b"), Access::Anonymous);
        QVERIFY(rig.up());
        lp::test::Subscriber& subscriber = *rig.subscriber;
        lp::test::SimProcess sim;
        QVERIFY2(sim.start({"--level", "65.3", "--loud", "80"}), qPrintable(sim.error()));
        const QString out = dir_.filePath("venue.sdm");
        CliProcess cli(
            {"record", "--port", sim.path(), "--every", "1", "--out", out, "--limit", kRolling,
             "--limit", kPeriod, "--repeat", "4", "--events", dir_.filePath("ev.csv"), "--publish",
             "mqtt://127.0.0.1:" + QString::number(rig.broker.port()) + "/lp", "--id", "venue"},
            lp::test::CliOptions::startingAt("2026-12-06T12:00:50"));
        QVERIFY(QTest::qWaitFor([&] { return subscriber.arrivals().first.size() >= 3; }, 10000));
        sim.toggleLoud();
        QVERIFY(subscriber.waitFor("/event", 1, 5000));
        QTest::qWait(5000);
        sim.toggleLoud();
        QVERIFY(QTest::qWaitFor([&] { return subscriber.arrivals().first.size() >= 15; }, 15000));
        QCOMPARE(cli.end(SIGTERM), 0);

        lp::live::LimitWatch watch;
        watch.setInterval(1);
        watch.setOptions(replayOptions());
        QStringList replayed;
        QObject::connect(&watch, &lp::live::LimitWatch::eventOccurred,
                         [&](const lp::live::LimitEvent& e) { replayed << eventText(e); });
        QList<QJsonArray> statuses;
        for (const lp::live::Sample& sample : samplesOf(out)) {
            watch.take(sample);
            QJsonArray limits;
            for (const lp::live::LimitStatus& s : watch.statuses()) {
                limits.append(QJsonObject{{"rule", s.rule},
                                          {"so_far", rounded(s.soFar)},
                                          {"allowed", rounded(s.allowed)},
                                          {"state", s.level == lp::live::LimitLevel::Quiet
                                                        ? QString("ok")
                                                        : lp::live::limitLevelText(s.level)}});
            }
            statuses << limits;
        }
        // Both rules' alarms started and ended, and the period's was told again.
        QVERIFY2(replayed.filter(" start alarm " + kRolling).size() >= 1,
                 qPrintable(replayed.join('\n')));
        QVERIFY2(replayed.filter(" end alarm " + kPeriod).size() == 1,
                 qPrintable(replayed.join('\n')));
        QVERIFY2(replayed.filter(" repeat alarm " + kPeriod).size() >= 1,
                 qPrintable(replayed.join('\n')));
        QCOMPARE(loggedEvents(dir_.filePath("ev-limits-2026-12-06.csv")), replayed);
        const QString err = cli.err();
        QVERIFY2(
            err.split(QChar(10)).filter(QRegularExpression("limit laeq")).size() == replayed.size(),
            qPrintable(err));
        QVERIFY2(err.contains("limit " + kPeriod + ": alarm started at 2026-12-06T12:00:5"),
                 qPrintable(err));

        // The event topic has them all, with the limit's keys.
        const QList<QByteArray> events = subscriber.payloads("/event");
        QCOMPARE(events.size(), replayed.size());
        const QJsonObject first = QJsonDocument::fromJson(events.first()).object();
        QCOMPARE(first["rule"].toString() + ' ' + first["level"].toString(),
                 replayed.first().section(' ', 3, 3) + ' ' + replayed.first().section(' ', 2, 2));
        // Each sample's message carries the limits after that sample.
        const QList<QByteArray> samples = subscriber.payloads("/sample");
        QVERIFY(samples.size() >= 15);
        for (const QByteArray& payload : samples) {
            const QJsonObject sample = QJsonDocument::fromJson(payload).object();
            const qsizetype at = sample["no"].toInt() - 1;
            QVERIFY(at >= 0 && at < statuses.size());
            QCOMPARE(sample["limits"].toArray(), statuses[at]);
        }
        // The run's metadata goes out beside the samples that carry limits.
        QVERIFY(!subscriber.payloads("/meta").isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRecordLimits)
#include "test_record_limits.moc"
