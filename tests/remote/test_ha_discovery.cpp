// Home Assistant's discovery configs: their topics and keys, checked against Home
// Assistant's MQTT discovery documentation (the MQTT sensor and binary sensor pages:
// availability, device, unique_id, device_class, state_class, value_template), and
// their publishing, retained, on each connection to a real mosquitto.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "remote/ha_discovery.h"
#include "remote/publish_state.h"
#include "test_broker.h"

using lp::remote::DiscoverySetup;

namespace {

const QString kFifteen = "laeq,15min,23-07,45,warn=42";
const QString kRolling = "laeq~5min,00-24,85";

DiscoverySetup setup() {
    return {"homeassistant", "lp/site1", "site1", "1.2.3", {900, 3600}, {kFifteen, kRolling}};
}

QStringList keysOf(const QJsonObject& object) {
    QStringList keys = object.keys();
    keys.sort();
    return keys;
}

}  // namespace

class TestHaDiscovery : public QObject {
    Q_OBJECT

private slots:
    // Each config's topic and keys; what every entity shares (device, availability,
    // origin) and each one's own values, as written out here by hand.
    void theConfigs() {
        const std::vector<lp::remote::DiscoveryConfig> configs =
            lp::remote::discoveryConfigs(setup());
        QCOMPARE(configs.size(), size_t(5));
        const QStringList topics{
            "homeassistant/sensor/levelpanel_lp_site1_level/config",
            "homeassistant/sensor/levelpanel_lp_site1_laeq_15min/config",
            "homeassistant/sensor/levelpanel_lp_site1_laeq_1h/config",
            "homeassistant/binary_sensor/levelpanel_lp_site1_limit_laeq_15min_23-07_45_warn_42/"
            "config",
            "homeassistant/binary_sensor/levelpanel_lp_site1_limit_laeq_5min_00-24_85/config"};
        const QStringList shared{"availability", "device",      "name",      "origin",
                                 "qos",          "state_topic", "unique_id", "value_template"};
        const QStringList sensor =
            shared + QStringList{"device_class", "state_class", "unit_of_measurement"};
        const QStringList binary =
            shared + QStringList{"device_class", "json_attributes_template",
                                 "json_attributes_topic", "payload_off", "payload_on"};
        // name, state topic, value template (binary sensors: the rule it names)
        const QList<QStringList> own{
            {"Level", "lp/site1/sample", "{{ value_json.level }}"},
            {"LAeq,15min", "lp/site1/period/15min", "{{ value_json.leq }}"},
            {"LAeq,1h", "lp/site1/period/1h", "{{ value_json.leq }}"},
            {"Limit " + kFifteen, "lp/site1/sample", "'" + kFifteen + "'"},
            {"Limit " + kRolling, "lp/site1/sample", "'" + kRolling + "'"}};
        for (size_t i = 0; i < configs.size(); ++i) {
            QCOMPARE(QString(configs[i].topic), topics[int(i)]);
            QJsonParseError error;
            const QJsonObject c = QJsonDocument::fromJson(configs[i].payload, &error).object();
            QCOMPARE(error.error, QJsonParseError::NoError);
            QStringList keys = i < 3 ? sensor : binary;
            keys.sort();
            QCOMPARE(keysOf(c), keys);
            // The unique id is the topic's object id.
            QCOMPARE(c["unique_id"].toString(), topics[int(i)].section('/', 2, 2));
            QCOMPARE(c["name"].toString(), own[int(i)][0]);
            QCOMPARE(c["state_topic"].toString(), own[int(i)][1]);
            QVERIFY2(c["value_template"].toString().contains(own[int(i)][2]),
                     qPrintable(c["value_template"].toString()));
            QCOMPARE(c["qos"], 1);
            if (i < 3) {
                QCOMPARE(c["device_class"], "sound_pressure");
                QCOMPARE(c["unit_of_measurement"], "dB");
                QCOMPARE(c["state_class"], "measurement");
            } else {
                QCOMPARE(c["device_class"], "problem");
                QCOMPARE(c["json_attributes_topic"], "lp/site1/sample");
                QCOMPARE(c["payload_on"], "ON");
                QCOMPARE(c["payload_off"], "OFF");
            }
            QCOMPARE(c["device"].toObject(),
                     QJsonDocument::fromJson(R"({"identifiers":["levelpanel_lp_site1"],)"
                                             R"("name":"site1","model":"LevelPanel logger",)"
                                             R"("sw_version":"1.2.3"})")
                         .object());
            QCOMPARE(
                c["origin"].toObject(),
                QJsonDocument::fromJson(R"({"name":"LevelPanel","sw_version":"1.2.3"})").object());
            const QJsonArray availability = c["availability"].toArray();
            QCOMPARE(availability.size(), 1);
            QCOMPARE(availability[0]["topic"], "lp/site1/status");
            QCOMPARE(availability[0]["payload_available"], "online");
            QCOMPARE(availability[0]["payload_not_available"], "offline");
        }
    }

    // Retained, so a Home Assistant that subscribes later has them; and again on the
    // next connection, after they were cleared from the broker (an empty retained
    // message each, as Home Assistant's removal of a device does).
    void publishedRetainedOnEachConnection() {
        QTemporaryDir dir;
        lp::test::SubscribedBroker rig(dir.filePath("broker"),
                                       lp::test::TestBroker::Access::Anonymous);
        QVERIFY(rig.up());
        lp::remote::MqttOptions mqtt;
        mqtt.host = "127.0.0.1";
        mqtt.port = rig.broker.port();
        mqtt.clientId = "site1";
        lp::remote::SamplePublisher publisher(
            mqtt, {.topic = "lp/site1",
                   .statePath = lp::remote::publishStatePath(dir.filePath("log.sdm")),
                   .status = {{}, "sim", "", 1, "test"}});
        lp::remote::DiscoveryAnnouncer announcer(publisher, setup());
        publisher.start();
        QVERIFY(rig.subscriber->waitFor("/status", 1, 5000));  // connected
        const auto configs = lp::remote::discoveryConfigs(setup());
        {
            lp::test::Subscriber later(rig.broker, "homeassistant/#",
                                       lp::test::TestBroker::Access::Anonymous, "later");
            QVERIFY(later.waitFor("/config", 5, 5000));
            QCOMPARE(later.payloads("/config").size(), 5);
            QCOMPARE(later.payloads("levelpanel_lp_site1_laeq_1h/config"),
                     QList<QByteArray>{configs[2].payload});
        }
        for (const auto& config : configs) {
            QCOMPARE(QProcess::execute(lp::test::systemProgram("mosquitto_pub"),
                                       {"-h", "127.0.0.1", "-p", QString::number(rig.broker.port()),
                                        "-t", QString(config.topic), "-r", "-n"}),
                     0);
        }
        rig.broker.stop();
        QVERIFY(rig.broker.start());
        QVERIFY(rig.subscriber->waitFor("/status", 2, 10000));  // connected again
        lp::test::Subscriber again(rig.broker, "homeassistant/#",
                                   lp::test::TestBroker::Access::Anonymous, "again");
        QVERIFY(again.waitFor("/config", 5, 5000));
        QCOMPARE(again.payloads("levelpanel_lp_site1_level/config"),
                 QList<QByteArray>{configs[0].payload});
        QSignalSpy finished(&publisher, &lp::remote::SamplePublisher::finished);
        publisher.stop();
        QVERIFY(finished.wait(5000));
    }
};

QTEST_GUILESS_MAIN(TestHaDiscovery)
#include "test_ha_discovery.moc"
