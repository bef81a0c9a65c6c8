// The JSON of the sample and status messages.
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <ctime>

#include "remote/messages.h"

using lp::remote::WrittenRecord;

namespace {

// Compared as parsed objects: the key order of the text is not part of the format.
QJsonObject parsed(const QByteArray& json) {
    return QJsonDocument::fromJson(json).object();
}

}  // namespace

class TestMessages : public QObject {
    Q_OBJECT

private slots:
    void sampleFields_data() {
        QTest::addColumn<QVariant>("offset");  // seconds east of UTC; none when invalid
        QTest::addColumn<QString>("dateTime");
        QTest::addColumn<QString>("level");
        QTest::addColumn<bool>("withReading");
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("winter, plain level, reading")
            << QVariant(3600) << "2026/12/06 14:05:09"
            << "65.3" << true
            << QByteArray(R"({"file":"log-2026-12-06.sdm","flags":["MAX","OVER"],"level":65.3,)"
                          R"("line":7,"no":5,"range":"40-90","response":"SLOW",)"
                          R"("text":"65.3","time":"2026-12-06T14:05:09+01:00","weighting":"C"})");
        QTest::newRow("an offset west of UTC, read back from the file")
            << QVariant(-4 * 3600) << "2026/07/01 00:00:00"
            << "100.0" << false
            << QByteArray(R"({"file":"log-2026-12-06.sdm","flags":null,"level":100,"line":7,)"
                          R"("no":5,"range":null,"response":null,"text":"100.0",)"
                          R"("time":"2026-07-01T00:00:00-04:00","weighting":null})");
        QTest::newRow("marked level, no date")
            << QVariant() << "no time"
            << "32.0-" << false
            << QByteArray(R"({"file":"log-2026-12-06.sdm","flags":null,"level":null,"line":7,)"
                          R"("no":5,"range":null,"response":null,"text":"32.0-","time":null,)"
                          R"("weighting":null})");
    }
    void sampleFields() {
        QFETCH(QVariant, offset);
        QFETCH(QString, dateTime);
        QFETCH(QString, level);
        QFETCH(bool, withReading);
        QFETCH(QByteArray, json);
        WrittenRecord record{"/data/log-2026-12-06.sdm", 7, "5", dateTime, level, std::nullopt};
        if (offset.isValid()) {
            record.utcOffset = offset.toInt();
        }
        if (withReading) {
            lp::link::Reading r;
            r.rangeLow = 40;
            r.rangeHigh = 90;
            r.slowResponse = true;
            r.maxHold = true;
            r.overRange = true;
            record.reading = r;
        }
        QCOMPARE(parsed(lp::remote::sampleMessage(record)), parsed(json));
    }

    void event() {
        qputenv("TZ", "Europe/Berlin");
        tzset();
        const qint64 start = QDateTime(QDate(2026, 12, 6), QTime(23, 59, 58)).toSecsSinceEpoch();
        lp::live::AlarmEvent event{85.0, start, std::nullopt};
        QCOMPARE(parsed(lp::remote::eventMessage(event)),
                 parsed(R"({"state":"start","start":"2026-12-06T23:59:58+01:00","end":null,)"
                        R"("duration_s":null,"lmax":null,"leq":null,"sel":null,"above":85})"));
        event.ended = lp::stats::LevelEvent{start, start + 4, 4, 4, 91.26, 88.04, 94.06};
        QCOMPARE(parsed(lp::remote::eventMessage(event)),
                 parsed(R"({"state":"end","start":"2026-12-06T23:59:58+01:00",)"
                        R"("end":"2026-12-07T00:00:02+01:00","duration_s":4,)"
                        R"("lmax":91.3,"leq":88,"sel":94.1,"above":85})"));
    }

    // A sample's limits (one rule in its hours, one outside them) and a limit's event.
    void limits() {
        qputenv("TZ", "Europe/Berlin");
        tzset();
        WrittenRecord record{"/data/v.sdm", 2, "1", "2026/12/06 21:09:00", "80.0", std::nullopt};
        lp::live::LimitStatus alarm{
            "laeq,15min,00-24,75",      "LAeq,15min", true, 76.04, 70.75, false, 360,
            lp::live::LimitLevel::Alarm};
        lp::live::LimitStatus off;
        off.rule = "laeq~5min,23-07,60";
        record.limits = {alarm, off};
        QCOMPARE(parsed(lp::remote::sampleMessage(record))["limits"],
                 parsed(R"({"l":[{"rule":"laeq,15min,00-24,75","so_far":76,"allowed":70.8,)"
                        R"("state":"alarm"},{"rule":"laeq~5min,23-07,60","so_far":null,)"
                        R"("allowed":null,"state":"off"}]})")["l"]);
        const qint64 since = QDateTime(QDate(2026, 12, 6), QTime(21, 9, 0)).toSecsSinceEpoch();
        const lp::live::LimitEvent end{lp::live::LimitEvent::Kind::End,
                                       "laeq,15min,00-24,75,warn=72",
                                       "LAeq,15min",
                                       71.0,
                                       72.0,
                                       lp::live::LimitLevel::Warning,
                                       since + 90,
                                       3600,
                                       since};
        QCOMPARE(parsed(lp::remote::limitEventMessage(end)),
                 parsed(R"({"state":"end","start":"2026-12-06T21:09:00+01:00",)"
                        R"("end":"2026-12-06T21:10:30+01:00","duration_s":90,"lmax":null,)"
                        R"("leq":null,"sel":null,"above":72,"rule":"laeq,15min,00-24,75,warn=72",)"
                        R"("figure":"LAeq,15min","value":71,"limit":72,"level":"warning"})"));
    }

    void status() {
        lp::remote::LoggerStatus status{lp::remote::LoggerState::Offline, "/dev/ttyUSB0", "log.sdm",
                                        2, "0.1"};
        QCOMPARE(parsed(lp::remote::statusMessage(status)),
                 parsed(R"({"state":"offline","port":"/dev/ttyUSB0","file":"log.sdm",)"
                        R"("every_s":2,"version":"0.1","host":null,"pid":null})"));
        status.state = lp::remote::LoggerState::Online;
        status.backlog = 0;
        status.host = "box-north";
        status.pid = 4321;
        const QByteArray online = lp::remote::statusMessage(status);
        QCOMPARE(parsed(online),
                 parsed(R"({"state":"online","port":"/dev/ttyUSB0","file":"log.sdm",)"
                        R"("every_s":2,"version":"0.1","backlog":0,"host":"box-north",)"
                        R"("pid":4321})"));
        // Read back by a logger that publishes under the same name.
        const std::optional<lp::remote::StatusSender> sender = lp::remote::statusSender(online);
        QVERIFY(sender);
        QCOMPARE(sender->state + ' ' + sender->host + ' ' + QString::number(sender->pid),
                 "online box-north 4321");
        QVERIFY(!lp::remote::statusSender(R"({"state":"online","port":"p","host":null})"));
    }
};

QTEST_GUILESS_MAIN(TestMessages)
#include "test_messages.moc"
