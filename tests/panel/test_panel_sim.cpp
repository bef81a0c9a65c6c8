// The panel linked to the simulated meter on a virtual clock: live levels, the
// indicators following the meter's keys, a three-minute recording at 1 s, and the
// analog needle following the level.
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "link/live_poller.h"
#include "panel/analog_geometry.h"
#include "panel/analog_meter.h"
#include "panel/panel.h"
#include "platform/virtual_clock.h"
#include "scripted_dialogs.h"
#include "sim/sim_meter.h"
#include "sim/sim_transport.h"

using namespace lp;

namespace {

struct SimRig {
    platform::VirtualClock clock;
    sim::SimMeter meter;
    sim::SimTransport port{meter, clock};
    link::MeterLink link{port, clock};
    link::LivePoller poller{link};
    test::ScriptedDialogs dialogs;
    app::ProgramState state;
    std::unique_ptr<panel::Panel> panel;

    SimRig() {
        state.ComPort = 1;
        panel = std::make_unique<panel::Panel>(state, link, poller, clock, dialogs);
        panel->show();
    }
    QLabel* label(const char* name) const { return panel->findChild<QLabel*>(name); }
    void press(const char* name) {
        panel->findChild<QPushButton*>(name)->click();
        clock.advance(1500);
    }
};

}  // namespace

class TestPanelSim : public QObject {
    Q_OBJECT
private slots:
    void indicatorsFollowTheMetersKeys() {
        SimRig rig;
        rig.clock.advance(1000);
        QVERIFY(
            QRegularExpression("^\\d{2,3}\\.\\d$").match(rig.label("LblVal")->text()).hasMatch());
        QCOMPARE(rig.label("LblAc")->text(), QString("A"));
        QCOMPARE(rig.label("LblSF")->text(), QString("FAST"));
        rig.press("CmdAc");
        QCOMPARE(rig.label("LblAc")->text(), QString("  C"));
        rig.press("CmdFs");
        QCOMPARE(rig.label("LblSF")->text(), QString("    SLOW"));
        rig.press("CmdMax");
        QVERIFY(rig.label("LblMx")->isVisible());
        rig.press("CmdUp");
        QCOMPARE(rig.label("LblUp")->text(), QString("90"));
        QCOMPARE(rig.label("LblDown")->text(), QString("40"));
        rig.press("CmdDown");
        QCOMPARE(rig.label("LblUp")->text(), QString("80"));
        rig.press("CmdRec");
        QVERIFY(rig.label("LblRec")->isVisible());
        rig.press("CmdRec");
        QVERIFY(!rig.label("LblRec")->isVisible());
        QCOMPARE(rig.label("LblComm")->text(), QString("COM1"));
    }

    void threeMinutesRecordedAtOneSecond() {
        QTemporaryDir dir;
        const QString path = dir.filePath("three.sdm");
        SimRig rig;
        rig.dialogs.inputs.push_back(QStringLiteral("1"));
        rig.panel->findChild<QPushButton*>("CmdPc")->click();
        rig.dialogs.saveNames.push_back(path);
        rig.panel->findChild<QPushButton*>("CmdSave")->click();
        rig.clock.advance(500);
        rig.panel->findChild<QPushButton*>("CmdStart")->click();
        // The level text of every sample, as the panel offers it to the live list.
        rig.state.ListOn = true;
        QStringList shown;
        connect(rig.panel.get(), &panel::Panel::sampleTaken, this,
                [&](const QString&, const QString& level) { shown << level; });
        rig.clock.advance(180 * 1000);
        rig.panel->findChild<QPushButton*>("CmdStop")->click();
        QCOMPARE(shown.size(), 180);

        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = f.readAll().split('\n');
        QCOMPARE(lines.size(), 182);  // header, 180 lines, nothing after the last CR LF
        QCOMPARE(lines[0], QByteArray("No.s\tDate Time\tdB\t\r"));
        QVERIFY(lines.last().isEmpty());
        const QDateTime first(QDate(2009, 6, 1), QTime(14, 5, 10));
        for (int i = 1; i <= 180; ++i) {
            const QList<QByteArray> fields = lines[i].split('\t');
            QCOMPARE(fields.size(), 4);
            QCOMPARE(fields[0], QByteArray::number(i));
            QCOMPARE(QString::fromLatin1(fields[1]),
                     first.addSecs(i - 1).toString("yyyy/MM/dd HH:mm:ss"));
            QCOMPARE(QString::fromLatin1(fields[2]), shown[i - 1]);
            QCOMPARE(fields[3], QByteArray("\r"));
        }
        QVERIFY(shown.removeDuplicates() < 179);  // the level moved
    }

    void analogNeedleFollowsTheLevel() {
        SimRig rig;
        rig.dialogs.inputs.push_back(QStringLiteral("1"));
        rig.panel->findChild<QPushButton*>("CmdPc")->click();
        rig.clock.advance(500);
        rig.panel->findChild<QPushButton*>("CmdAnalog")->click();
        panel::AnalogMeter* meter = rig.panel->analogMeter();
        // The needle is drawn in the same tick, right after the sample is offered.
        rig.state.ListOn = true;
        QList<float> expected;
        connect(rig.panel.get(), &panel::Panel::sampleTaken, this, [&] {
            const link::Reading& r = rig.state.Reading;
            expected << panel::needleAngle(r.Level, r.RangeHigh, r.RangeLow);
        });
        QList<float> drawn;
        for (int s = 0; s < 20; ++s) {
            rig.clock.advance(1000);
            drawn << meter->needleAngle();
        }
        QCOMPARE(drawn, expected);
        QVERIFY(drawn.count(drawn.first()) < drawn.size());  // it moved
    }
};

QTEST_MAIN(TestPanelSim)
#include "test_panel_sim.moc"
