// The fleet console's model: the messages loggers publish in, one row per logger out.
#include <QTest>
#include <ctime>

#include "remote/fleet_model.h"

using lp::remote::FleetModel;
using lp::remote::LoggerRow;

namespace {

QDateTime local(int day, const char* time) {
    return QDateTime(QDate(2026, 12, day), QTime::fromString(QString::fromLatin1(time)));
}

QByteArray sample(const char* time, const char* level, const char* text) {
    return QByteArray(R"({"file":"log.sdm","line":2,"no":1,"time":")") + time + R"(","level":)" +
           level + R"(,"text":")" + text +
           R"(","weighting":"A","response":"FAST","range":"30-80","flags":[]})";
}

QByteArray eventMessage(const char* state, const char* start) {
    return QByteArray(R"({"state":")") + state + R"(","start":")" + start +
           R"(","end":null,"duration_s":null,"lmax":80.1,"leq":75.0,"sel":null,"above":75})";
}

}  // namespace

class TestFleetModel : public QObject {
    Q_OBJECT
    const QDateTime now = local(6, "12:00:00");

private slots:
    void initTestCase() {
        // Local midnight is Berlin's; the messages' times carry other offsets.
        qputenv("TZ", "Europe/Berlin");
        tzset();
    }

    void lastLevelIsTheNewestSample() {
        FleetModel fleet("site/north");
        QCOMPARE(fleet.take("site/north/a/status", R"({"state":"online","every_s":1})", now).logger,
                 "a");
        fleet.take("site/north/a/sample", sample("2026-12-06T11:00:05+01:00", "65.3", "65.3"), now);
        // A repeat of an older record (at-least-once) keeps the newer level.
        fleet.take("site/north/a/sample", sample("2026-12-06T10:00:04+00:00", "50.0", "50.0"), now);
        fleet.take("site/north/b/sample", sample("2026-12-06T11:00:06+01:00", "null", "---.-"),
                   now);
        // Name, state, level, its text, weighting, time, has a sample, backlog, events today,
        // alarm. b, known only from a sample: no state yet; a text that is no level.
        const std::vector<LoggerRow> rows{
            {"a", "online", 65.3, "65.3", "A", local(6, "11:00:05"), true, {}, 0, false},
            {"b", "", std::nullopt, "---.-", "A", local(6, "11:00:06"), true, {}, 0, false}};
        QCOMPARE(fleet.rows(now), rows);
    }

    void stateAndBacklogFollowTheStatus() {
        FleetModel fleet("lp");
        fleet.take("lp/a/status", R"({"state":"online","backlog":3})", now);
        fleet.take("lp/a/sample", sample("2026-12-06T11:00:01+01:00", "60", "60.0"), now);
        QCOMPARE(fleet.row("a", now)->backlog, 2);
        fleet.take("lp/a/sample", sample("2026-12-06T11:00:02+01:00", "60", "60.0"), now);
        fleet.take("lp/a/sample", sample("2026-12-06T11:00:03+01:00", "60", "60.0"), now);
        fleet.take("lp/a/sample", sample("2026-12-06T11:00:04+01:00", "60", "60.0"), now);
        QCOMPARE(fleet.row("a", now)->backlog, 0);
        // The last will: the backlog it carries is from the time of connecting.
        fleet.take("lp/a/status", R"({"state":"offline","backlog":0})", now);
        QCOMPARE(
            fleet.row("a", now),
            (LoggerRow{"a", "offline", 60, "60.0", "A", local(6, "11:00:04"), true, {}, 0, false}));
        fleet.take("lp/a/status", R"({"state":"online"})", now);
        QCOMPARE(fleet.row("a", now)->backlog, std::nullopt);
        // A deleted retained status removes the logger; what is no status is passed over.
        const FleetModel::Taken removed = fleet.take("lp/a/status", "", now);
        QVERIFY(removed.removed);
        QCOMPARE(fleet.row("a", now), std::nullopt);
        QVERIFY(!fleet.take("lp/b/status", "online", now).problem.isEmpty());
        QVERIFY(!fleet.take("lp/b/status", R"({"port":"sim"})", now).problem.isEmpty());
        QVERIFY(!fleet.take("lp/b/c/status", R"({"state":"online"})", now).problem.isEmpty());
        QVERIFY(fleet.rows(now).empty());
    }

    void statesAreUnknownUntilTheBrokerTellsThemAgain() {
        FleetModel fleet("lp");
        fleet.take("lp/a/status", R"({"state":"online","backlog":5})", now);
        fleet.take("lp/b/status", R"({"state":"offline"})", now);
        fleet.take("lp/c/sample", sample("2026-12-06T11:00:01+01:00", "60", "60.0"), now);
        fleet.brokerLost();
        // States and the backlog they carry unknown; c never had a state to lose. A
        // sample meanwhile tells nothing of the state.
        fleet.take("lp/a/sample", sample("2026-12-06T11:00:02+01:00", "61", "61.0"), now);
        const std::vector<LoggerRow> away{
            {"a", "unknown", 61, "61.0", "A", local(6, "11:00:02"), true, {}, 0, false},
            {"b", "unknown", std::nullopt, "", "", {}, false, {}, 0, false}};
        QCOMPARE(fleet.rows(now, 2), away);
        QCOMPARE(fleet.row("c", now)->state, "");
        // The retained status again, after subscribing anew: the state and its backlog.
        fleet.take("lp/a/status", R"({"state":"online","backlog":5})", now);
        QCOMPARE(fleet.row("a", now)->state, "online");
        QCOMPARE(fleet.row("a", now)->backlog, 5);
        QCOMPARE(fleet.row("b", now)->state, "unknown");
    }

    void eventsTodayStartAgainAtLocalMidnight() {
        FleetModel fleet("lp");
        const QDateTime evening = local(6, "23:59:59");
        // 23:30 in Berlin on the 6th, written in UTC; a repeat of its start; then its end.
        fleet.take("lp/a/event", eventMessage("start", "2026-12-06T22:30:00+00:00"), evening);
        fleet.take("lp/a/event", eventMessage("start", "2026-12-06T22:30:00+00:00"), evening);
        QCOMPARE(fleet.row("a", evening)->eventsToday, 1);
        QVERIFY(fleet.row("a", evening)->alarm);
        fleet.take("lp/a/event", eventMessage("end", "2026-12-06T22:30:00+00:00"), evening);
        QVERIFY(!fleet.row("a", evening)->alarm);
        // 00:30 in Berlin on the 7th: tomorrow's.
        fleet.take("lp/a/event", eventMessage("start", "2026-12-06T23:30:00+00:00"), evening);
        QCOMPARE(fleet.row("a", evening)->eventsToday, 1);
        const QDateTime midnight = local(7, "00:00:00");
        QCOMPARE(fleet.row("a", midnight)->eventsToday, 0);
        QVERIFY(fleet.row("a", midnight)->alarm);
        fleet.take("lp/a/event", eventMessage("start", "2026-12-07T00:10:00+01:00"), midnight);
        QCOMPARE(fleet.row("a", midnight)->eventsToday, 1);
        // A clean stop ends what was on.
        fleet.take("lp/a/status", R"({"state":"stopped"})", midnight);
        QVERIFY(!fleet.row("a", midnight)->alarm);
    }
};

QTEST_GUILESS_MAIN(TestFleetModel)
#include "test_fleet_model.moc"
