// The panel linked to the simulated meter on a virtual clock: live levels, the
// indicators following the meter's keys, and a three-minute recording at 1 s with
// the analog needle following the level.
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "panel/analog_geometry.h"
#include "panel/analog_meter.h"
#include "panel_rig.h"
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
    QString text(const char* name) const { return label(name)->text(); }
    void click(const char* name) const { panel->findChild<QPushButton*>(name)->click(); }
};

}  // namespace

class TestPanelSim : public QObject {
    Q_OBJECT
private slots:
    // Each key reaches the simulated meter, and what it does shows on the face:
    // weighting|response|range|lamps (Max, Record).
    void indicatorsFollowTheMetersKeys() {
        SimRig rig;
        rig.clock.advance(1000);
        QVERIFY(QRegularExpression("^\\d{2,3}\\.\\d$").match(rig.text("LblVal")).hasMatch());
        const auto face = [&rig] {
            return QStringList({rig.text("LblAc"), rig.text("LblSF"),
                                rig.text("LblUp") + '-' + rig.text("LblDown"),
                                QString(rig.label("LblMx")->isVisible() ? "M" : "") +
                                    (rig.label("LblRec")->isVisible() ? "R" : "")})
                .join('|');
        };
        QStringList faces{face()};
        for (const char* key :
             {"CmdAc", "CmdFs", "CmdMax", "CmdUp", "CmdDown", "CmdRec", "CmdRec"}) {
            rig.click(key);
            rig.clock.advance(1500);
            faces << face();
        }
        QCOMPARE(faces, QStringList({"A|FAST|80-30|", "  C|FAST|80-30|", "  C|    SLOW|80-30|",
                                     "  C|    SLOW|80-30|M", "  C|    SLOW|90-40|M",
                                     "  C|    SLOW|80-30|M", "  C|    SLOW|80-30|MR",
                                     "  C|    SLOW|80-30|M"}));
        QCOMPARE(rig.text("LblComm"), QString("COM1"));
    }

    // Three minutes at 1 s into a file, with the analog window open: every line and
    // every needle follows the level the panel showed at that sample.
    void threeMinutesRecordedAtOneSecond() {
        QTemporaryDir dir;
        const QString path = dir.filePath("three.sdm");
        SimRig rig;
        rig.dialogs.inputs.push_back(QStringLiteral("1"));
        rig.click("CmdPc");
        rig.dialogs.saveNames.push_back(path);
        rig.click("CmdSave");
        rig.clock.advance(500);
        rig.click("CmdAnalog");
        rig.click("CmdStart");
        rig.state.ListOn = true;
        QStringList shown;
        QList<float> expected;
        QList<float> drawn;
        connect(rig.panel.get(), &panel::Panel::sampleTaken, this,
                [&](const QString&, const QString& level) {
                    shown << level;
                    const link::Reading& r = rig.state.Reading;
                    expected << panel::needleAngle(r.level, r.rangeHigh, r.rangeLow);
                });
        for (int s = 0; s < 180; ++s) {
            rig.clock.advance(1000);
            drawn << rig.panel->analogMeter()->needleAngle();  // drawn in the sample's tick
        }
        rig.click("CmdStop");
        QCOMPARE(shown.size(), 180);
        QCOMPARE(drawn, expected);
        QVERIFY(drawn.count(drawn.first()) < drawn.size());

        QByteArray file = test::kRecordHeader;
        const QDateTime first(QDate(2009, 6, 1), QTime(14, 5, 10));
        for (int i = 0; i < 180; ++i) {
            const QString when = first.addSecs(i).toString("yyyy/MM/dd HH:mm:ss");
            file += QStringLiteral("%1\t%2\t%3\t\r\n").arg(i + 1).arg(when, shown[i]).toLatin1();
        }
        QCOMPARE(test::readAll(path), file);
        QVERIFY(shown.removeDuplicates() < 179);  // the level moved
    }
};

QTEST_MAIN(TestPanelSim)
#include "test_panel_sim.moc"
