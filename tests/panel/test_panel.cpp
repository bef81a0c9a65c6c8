// The panel window on a virtual clock: the live cycle shown through the display
// rules, max/min, the sample tick, the meter keys and the clock set, the link state
// label, the caption, the window buttons and the timers.
#include <QGroupBox>
#include <QSignalSpy>
#include <QTest>

#include "link/meter_decode.h"
#include "panel/panel.h"
#include "panel/panel_view.h"
#include "panel_rig.h"

using namespace lp;
using test::liveFrame;
using test::PanelRig;

class TestPanel : public QObject {
    Q_OBJECT
private slots:
    // Every frame reaches the face through the display rules (test_panel_rules).
    void faceFollowsTheFrames() {
        PanelRig rig;
        QCOMPARE(rig.text("LblComm"), QString("COM1"));
        QCOMPARE(rig.text("LblSample"), QString("2 sec"));
        QCOMPARE(rig.panel->windowTitle(), QString("Panel   V7.0"));
        const char* lamps[] = {"LblRec", "LblFull", "LblMx", "ImageBT", "LblUnder", "LblOver"};
        // every lamp; record and full only; none, range code 7 at 105.2 dB
        for (const QByteArray& f : {liveFrame(0xF8, 0xE3, 0x12), liveFrame(0x18, 0x04, 0x00),
                                    liveFrame(0x07, 0x10, 0x52)}) {
            rig.meterShows(f);
            link::Reading reading;
            link::decodeLiveFrame(reading, f);
            const panel::PanelView v = panel::panelView(reading);
            const QStringList shown = {rig.text("LblVal"), rig.text("LblAc"), rig.text("LblSF"),
                                       rig.text("LblUp"), rig.text("LblDown")};
            QCOMPARE(shown,
                     QStringList({v.level, v.weighting, v.response, v.rangeHigh, v.rangeLow}));
            const bool lit[] = {v.recordShown,  v.fullShown,  v.maxHoldShown,
                                v.batteryShown, v.underShown, v.overShown};
            for (int i = 0; i < 6; ++i) {
                QVERIFY2(rig.get(lamps[i])->isVisible() == lit[i], lamps[i]);
            }
            QCOMPARE(rig.state.Reading.level, reading.level);
        }
        QCOMPARE(rig.text("LblVal"), QString("105.2"));
    }

    void everyControlHasItsNameAndCaption() {
        PanelRig rig;
        const char* named[] = {
            "CmdAc",   "CmdFs",      "CmdMax",   "CmdUp",    "CmdDown",      "CmdRe",     "CmdRec",
            "Cmd",     "SSCommand2", "CmdList",  "CmdGraph", "CmdAnalog",    "CmdMemory", "CmdPc",
            "CmdSave", "CmdStart",   "CmdStop",  "CmdOpen",  "CmdSystem",    "CmdExit",   "LblRec",
            "LblFull", "LblMx",      "LblUnder", "LblOver",  "LblRecording", "LblVal",    "LblSF",
        };
        QStringList captions;
        for (const char* name : named) {
            const QWidget* w = rig.panel->findChild<QWidget*>(name);
            QVERIFY2(w, name);
            captions << w->property("text").toString();
        }
        QCOMPARE(captions.join('|'),
                 "A / C|F / S|MAX|||RESET|REC|LEVEL|<---RESET--->|LIST|GRAPH|ANALOG|MEMORY|"
                 "PC SAMPLING|SAVE  AS|START RECORDING|STOP RECORDING|OPEN  FILE|SYSTEM TIME SET|"
                 "EXIT|RECORD|FULL|MAX|UNDER|OVER|RECORDING|130.0|FAST");
        QCOMPARE(rig.get<QPushButton>("CmdUp")->accessibleName(), QString("Range up"));
        QCOMPARE(rig.get<QPushButton>("CmdDown")->accessibleName(), QString("Range down"));
        QStringList frames;
        for (const QGroupBox* g : rig.panel->findChildren<QGroupBox*>()) {
            frames << g->title();
        }
        for (const char* title : {"MAX", "MIN", "TIME", "SAMPLING TIME", "FILE NAME"}) {
            QVERIFY2(frames.contains(title), title);
        }
        for (const QWidget* w : rig.panel->findChildren<QWidget*>()) {
            if (qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w) ||
                qobject_cast<const QGroupBox*>(w)) {
                QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
            }
        }
    }

    // The max/min rules themselves are in test_panel_rules; here the window keeps its
    // texts through them and RESET starts both again from the level shown.
    void maxAndMinUntilReset() {
        PanelRig rig;
        const auto maxMin = [&rig] { return rig.text("LblMax") + '|' + rig.text("LblMin"); };
        QCOMPARE(maxMin(), "|");
        rig.clock.advance(400);
        QCOMPARE(maxMin(), "65.3|65.3");
        rig.meterShows(liveFrame(0x40, 0x07, 0x00));
        QCOMPARE(rig.text("LblVal"), QString("70.0"));
        QCOMPARE(maxMin(), "70|65.3");
        rig.meterShows(liveFrame(0x40, 0x06, 0x01));
        QCOMPARE(maxMin(), "70|60.1");
        rig.meterShows(liveFrame(0x40, 0x06, 0x82));
        rig.click("SSCommand2");
        QCOMPARE(maxMin(), "68.2|68.2");
    }

    // The tick rule is checked in test_panel_rules; here the window samples at "2 sec"
    // from the start and every second after PC SAMPLING "1", offered while a list runs.
    void samplesFollowTheSamplingTime() {
        PanelRig rig;
        rig.state.ListOn = true;
        QSignalSpy samples(rig.panel.get(), &panel::Panel::sampleTaken);
        rig.clock.advance(5000);
        rig.sampleEvery("1");
        rig.clock.advance(3000);
        QStringList times;
        for (const auto& s : samples) {
            QCOMPARE(s[1].toString(), QString("65.3"));
            QCOMPARE(s[2].toDateTime().toString("yyyy/MM/dd HH:mm:ss"), s[0].toString());
            times << s[0].toString().remove("2009/06/01 ");
        }
        QCOMPARE(times.join(' '), "14:05:10 14:05:12 14:05:14 14:05:15 14:05:16 14:05:17");
        QCOMPARE(rig.text("LblTime"), QString("14:05:17"));
        rig.state.ListOn = false;  // no list, no rows offered
        rig.clock.advance(4000);
        QCOMPARE(samples.size(), 6);
        QCOMPARE(rig.text("LblTime"), QString("14:05:21"));
    }

    void keysSendTheirLetters_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("meterRecords");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("A / C") << "CmdAc" << false << QByteArray("A");
        QTest::newRow("F / S") << "CmdFs" << false << QByteArray("F");
        QTest::newRow("MAX") << "CmdMax" << false << QByteArray("M");
        QTest::newRow("up") << "CmdUp" << false << QByteArray("U");
        QTest::newRow("down") << "CmdDown" << false << QByteArray("P");
        QTest::newRow("RESET") << "CmdRe" << false << QByteArray("EEE");
        QTest::newRow("REC, meter not recording") << "CmdRec" << false << QByteArray("S");
        QTest::newRow("REC, meter recording") << "CmdRec" << true << QByteArray("T");
        QTest::newRow("LEVEL does nothing") << "Cmd" << false << QByteArray();
    }
    void keysSendTheirLetters() {
        QFETCH(QString, button);
        QFETCH(bool, meterRecords);
        QFETCH(QByteArray, sent);
        PanelRig rig;
        rig.meterShows(liveFrame(meterRecords ? 0x48 : 0x40, 0x06, 0x53));
        QCOMPARE(rig.get("LblRec")->isVisible(), meterRecords);
        rig.get<QPushButton>(qPrintable(button))->click();
        rig.clock.advance(1000);
        QCOMPARE(rig.commands(), sent);
        // Polling goes on after the key.
        const qsizetype polls = rig.port.written.count(' ');
        rig.clock.advance(1000);
        QVERIFY(rig.port.written.count(' ') > polls);
    }

    void systemTimeSetSendsTheClock() {
        PanelRig rig;
        rig.clock.advance(400);
        rig.clock.setNow(QDateTime(QDate(2009, 6, 1), QTime(14, 5, 9)));
        rig.click("CmdSystem");
        QCOMPARE(rig.text("LblComm"), QString("Wait..."));
        QVERIFY(!rig.get<QPushButton>("CmdMemory")->isEnabled());
        rig.clock.advance(600);
        QCOMPARE(rig.commands(), QByteArray("D\x09\x06\x01\x14\x05\x09"));
        QCOMPARE(rig.text("LblComm"), QString("Com1"));
        QVERIFY(rig.get<QPushButton>("CmdMemory")->isEnabled());
        // A port with a name of its own keeps it after a clock set.
        rig.panel->setPortLabel("SIM");
        rig.click("CmdSystem");
        rig.clock.advance(1000);
        QCOMPARE(rig.text("LblComm"), QString("SIM"));
    }

    // The link label: the port's name while the meter answers, "No COM" (in red) while
    // it does not, and a click on it toggles the dated caption.
    void linkLabel() {
        PanelRig rig;
        rig.panel->setPortLabel("SIM");
        QCOMPARE(rig.text("LblComm"), QString("SIM"));
        rig.meterOn = false;
        rig.clock.advance(2000);
        QCOMPARE(rig.text("LblComm"), QString("SIM"));  // ten attempts take 2 s after 150 ms
        rig.clock.advance(400);
        QCOMPARE(rig.text("LblComm"), QString("No COM"));
        QVERIFY(rig.get("LblComm")->property("silent").toBool());  // shown in red
        rig.clock.advance(5000);
        QCOMPARE(rig.text("LblComm"), QString("No COM"));
        QCOMPARE(rig.text("LblVal"), QString("130.0"));  // nothing decoded meanwhile
        rig.meterOn = true;
        rig.clock.advance(600);
        QCOMPARE(rig.text("LblComm"), QString("SIM"));
        QCOMPARE(rig.text("LblVal"), QString("65.3"));
        QVERIFY(!rig.get("LblComm")->property("silent").toBool());
        QLabel* comm = rig.get("LblComm");
        QTest::mouseClick(comm, Qt::LeftButton);
        QCOMPARE(rig.panel->windowTitle(), QString("Panel   V7.0   20090601"));
        QTest::mouseClick(comm, Qt::LeftButton);
        QCOMPARE(rig.panel->windowTitle(), QString("Panel   V7.0"));
        rig.panel->setWindowTitle("something else");  // any other caption: the plain one
        QTest::mouseClick(comm, Qt::LeftButton);
        QCOMPARE(rig.panel->windowTitle(), QString("Panel   V7.0"));
    }

    void windowButtonsWaitUntilTheirWindowsExist() {
        PanelRig rig;
        QSignalSpy list(rig.panel.get(), &panel::Panel::listRequested);
        QSignalSpy graph(rig.panel.get(), &panel::Panel::graphRequested);
        QSignalSpy memory(rig.panel.get(), &panel::Panel::memoryRequested);
        QSignalSpy open(rig.panel.get(), &panel::Panel::openRequested);
        for (const char* b : {"CmdList", "CmdGraph", "CmdMemory", "CmdOpen"}) {
            QVERIFY2(rig.get<QPushButton>(b)->toolTip().contains("not available"), b);
            rig.click(b);
        }
        QCOMPARE(list.size() + graph.size() + memory.size() + open.size(), 0);
        QVERIFY(!rig.state.ChartOn);

        using F = panel::Panel::Feature;
        for (F f : {F::List, F::Graph, F::Memory, F::Open}) {
            rig.panel->setFeatureAvailable(f, true);
        }
        QVERIFY(rig.get<QPushButton>("CmdList")->toolTip().isEmpty());
        for (const char* b : {"CmdList", "CmdMemory", "CmdGraph", "CmdGraph"}) {
            rig.click(b);  // the second GRAPH finds a chart open already
        }
        QCOMPARE(QList<qsizetype>({list.size(), memory.size(), graph.size()}),
                 QList<qsizetype>({1, 1, 1}));
        QVERIFY(rig.state.ChartOn);
    }

    void pausedTimersNeitherPollNorSample() {
        PanelRig rig;
        rig.state.ListOn = true;
        QSignalSpy samples(rig.panel.get(), &panel::Panel::sampleTaken);
        rig.panel->pauseTimers();
        rig.panel->pauseTimers();
        rig.clock.advance(3000);
        QVERIFY(rig.port.written.isEmpty());
        QCOMPARE(samples.size(), 0);
        rig.panel->resumeTimers();
        rig.clock.advance(3000);
        QVERIFY(rig.port.written.isEmpty());
        rig.panel->resumeTimers();
        rig.clock.advance(1000);
        QCOMPARE(samples.size(), 1);
        QVERIFY(!rig.port.written.isEmpty());
        rig.panel->setPolling(false);
        const QByteArray before = rig.port.written;
        rig.clock.advance(2000);
        QCOMPARE(rig.port.written, before);
        QCOMPARE(samples.size(), 2);  // sampling goes on
    }
};

QTEST_MAIN(TestPanel)
#include "test_panel.moc"
