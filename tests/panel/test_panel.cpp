// The panel window on a virtual clock: the live cycle and its display, max/min, the
// sample tick, the meter keys and the clock set, the link state label, the caption,
// the window buttons and closing.
#include <QGroupBox>
#include <QSignalSpy>
#include <QTest>

#include "panel/panel.h"
#include "panel/segment_display.h"
#include "panel_rig.h"

using namespace lp;
using test::liveFrame;
using test::PanelRig;

class TestPanel : public QObject {
    Q_OBJECT
private slots:
    void liveFrameFillsTheFace() {
        PanelRig rig;
        QCOMPARE(rig.text("LblComm"), QString("COM1"));
        QCOMPARE(rig.text("LblSample"), QString("2 sec"));
        QCOMPARE(rig.panel->windowTitle(), QString("Panel   V7.0"));
        rig.meterShows(liveFrame(0xF8, 0xE3, 0x12));  // every indicator, SLOW, 31.2 dB
        QCOMPARE(rig.text("LblVal"), QString("31.2"));
        QCOMPARE(rig.text("LblAc"), QString("A"));
        QCOMPARE(rig.text("LblSF"), QString("    SLOW"));
        QCOMPARE(rig.text("LblUp"), QString("80"));
        QCOMPARE(rig.text("LblDown"), QString("30"));
        for (const char* lamp : {"LblRec", "LblFull", "LblMx", "ImageBT", "LblUnder", "LblOver"}) {
            QVERIFY2(rig.get(lamp)->isVisible(), lamp);
        }
        rig.meterShows(liveFrame(0x07, 0x10, 0x52));  // C, FAST, range code 7, 105.2 dB
        QCOMPARE(rig.text("LblVal"), QString("105.2"));
        QCOMPARE(rig.text("LblAc"), QString("  C"));
        QCOMPARE(rig.text("LblSF"), QString("FAST"));
        QCOMPARE(rig.text("LblUp"), QString("0"));
        QCOMPARE(rig.text("LblDown"), QString("0"));
        for (const char* lamp : {"LblRec", "LblFull", "LblMx", "ImageBT", "LblUnder", "LblOver"}) {
            QVERIFY2(!rig.get(lamp)->isVisible(), lamp);
        }
        QCOMPARE(rig.state.Reading.Level, 105.2f);
    }

    void everyControlHasItsNameAndCaption() {
        PanelRig rig;
        const QList<QPair<const char*, QString>> buttons = {
            {"CmdAc", "A / C"},
            {"CmdFs", "F / S"},
            {"CmdMax", "MAX"},
            {"CmdUp", ""},
            {"CmdDown", ""},
            {"CmdRe", "RESET"},
            {"CmdRec", "REC"},
            {"Cmd", "LEVEL"},
            {"SSCommand2", "<---RESET--->"},
            {"CmdList", "LIST"},
            {"CmdGraph", "GRAPH"},
            {"CmdAnalog", "ANALOG"},
            {"CmdMemory", "MEMORY"},
            {"CmdPc", "PC SAMPLING"},
            {"CmdSave", "SAVE  AS"},
            {"CmdStart", "START RECORDING"},
            {"CmdStop", "STOP RECORDING"},
            {"CmdOpen", "OPEN  FILE"},
            {"CmdSystem", "SYSTEM TIME SET"},
            {"CmdExit", "EXIT"},
        };
        for (const auto& [name, caption] : buttons) {
            auto* b = rig.get<QPushButton>(name);
            QVERIFY2(b, name);
            QCOMPARE(b->text(), caption);
        }
        QCOMPARE(rig.get<QPushButton>("CmdUp")->accessibleName(), QString("Range up"));
        QCOMPARE(rig.get<QPushButton>("CmdDown")->accessibleName(), QString("Range down"));
        const QList<QPair<const char*, QString>> labels = {
            {"LblRec", "RECORD"},  {"LblFull", "FULL"}, {"LblMx", "MAX"},
            {"LblUnder", "UNDER"}, {"LblOver", "OVER"}, {"LblRecording", "RECORDING"},
            {"LblVal", "130.0"},   {"LblSF", "FAST"},
        };
        for (const auto& [name, caption] : labels) {
            QVERIFY2(rig.get(name), name);
            QCOMPARE(rig.get(name)->text(), caption);
        }
        for (const char* name : {"LblUp", "LblDown", "LblAc", "ImageBT", "LblMax", "LblMin",
                                 "LblTime", "LblSample", "LblCount", "LblFile", "LblComm"}) {
            QVERIFY2(rig.get(name), name);
        }
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

    void maxAndMinMoveOutwardsUntilReset() {
        PanelRig rig;
        QVERIFY(rig.text("LblMax").isEmpty());
        rig.clock.advance(400);
        QCOMPARE(rig.text("LblMax"), QString("65.3"));
        QCOMPARE(rig.text("LblMin"), QString("65.3"));
        rig.meterShows(liveFrame(0x40, 0x07, 0x00));  // 70.0
        QCOMPARE(rig.text("LblVal"), QString("70.0"));
        QCOMPARE(rig.text("LblMax"), QString("70"));
        rig.meterShows(liveFrame(0x40, 0x06, 0x01));  // 60.1
        QCOMPARE(rig.text("LblMin"), QString("60.1"));
        QCOMPARE(rig.text("LblMax"), QString("70"));
        rig.meterShows(liveFrame(0x40, 0x06, 0x82));  // 68.2
        rig.click("SSCommand2");
        QCOMPARE(rig.text("LblMax"), QString("68.2"));
        QCOMPARE(rig.text("LblMin"), QString("68.2"));
    }

    void samplesFollowTheSamplingTime_data() {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QStringList>("times");
        QTest::newRow("2 sec: ticks 1, 3, 5")
            << 2 << QStringList{"14:05:10", "14:05:12", "14:05:14"};
        QTest::newRow("1 sec: every tick")
            << 1 << QStringList{"14:05:10", "14:05:11", "14:05:12", "14:05:13", "14:05:14"};
    }
    void samplesFollowTheSamplingTime() {
        QFETCH(int, seconds);
        QFETCH(QStringList, times);
        PanelRig rig;
        if (seconds != 2) {
            rig.dialogs.inputs.push_back(QString::number(seconds));
            rig.click("CmdPc");
        }
        rig.state.ListOn = true;
        QSignalSpy samples(rig.panel.get(), &panel::Panel::sampleTaken);
        rig.clock.advance(5000);
        QStringList got;
        for (const auto& s : samples) {
            QVERIFY(s[0].toString().startsWith("2009/06/01 "));
            QCOMPARE(s[1].toString(), QString("65.3"));
            QCOMPARE(s[2].toDateTime().toString("yyyy/MM/dd HH:mm:ss"), s[0].toString());
            got << s[0].toString().mid(11);
        }
        QCOMPARE(got, times);
        QCOMPARE(rig.text("LblTime"), times.last());
        // No list, no rows offered.
        rig.state.ListOn = false;
        rig.clock.advance(4000);
        QCOMPARE(samples.size(), times.size());
    }

    void keysSendTheirLetters_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("A / C") << "CmdAc" << QByteArray("A");
        QTest::newRow("F / S") << "CmdFs" << QByteArray("F");
        QTest::newRow("MAX") << "CmdMax" << QByteArray("M");
        QTest::newRow("up") << "CmdUp" << QByteArray("U");
        QTest::newRow("down") << "CmdDown" << QByteArray("P");
        QTest::newRow("RESET") << "CmdRe" << QByteArray("EEE");
        QTest::newRow("REC, meter not recording") << "CmdRec" << QByteArray("S");
        QTest::newRow("LEVEL does nothing") << "Cmd" << QByteArray();
    }
    void keysSendTheirLetters() {
        QFETCH(QString, button);
        QFETCH(QByteArray, sent);
        PanelRig rig;
        rig.clock.advance(400);
        rig.get<QPushButton>(qPrintable(button))->click();
        rig.clock.advance(1000);
        QCOMPARE(rig.commands(), sent);
        // Polling goes on after the key.
        const qsizetype polls = rig.port.written.count(' ');
        rig.clock.advance(1000);
        QVERIFY(rig.port.written.count(' ') > polls);
    }

    void recKeyStopsTheMetersRecording() {
        PanelRig rig;
        rig.meterShows(liveFrame(0x48, 0x06, 0x53));  // the meter records
        QVERIFY(rig.get("LblRec")->isVisible());
        rig.click("CmdRec");
        rig.clock.advance(400);
        QCOMPARE(rig.commands(), QByteArray("T"));
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
    }

    void silentMeterShowsNoComUntilItAnswers() {
        PanelRig rig;
        rig.meterOn = false;
        rig.clock.advance(2000);
        QCOMPARE(rig.text("LblComm"), QString("COM1"));  // ten attempts take 2 s after 150 ms
        rig.clock.advance(400);
        QCOMPARE(rig.text("LblComm"), QString("No COM"));
        QVERIFY(rig.get("LblComm")->property("silent").toBool());  // shown in red
        rig.clock.advance(5000);
        QCOMPARE(rig.text("LblComm"), QString("No COM"));
        QVERIFY(rig.text("LblVal") == QString("130.0"));  // nothing decoded meanwhile
        rig.meterOn = true;
        rig.clock.advance(600);
        QCOMPARE(rig.text("LblComm"), QString("COM1"));
        QCOMPARE(rig.text("LblVal"), QString("65.3"));
        QVERIFY(!rig.get("LblComm")->property("silent").toBool());
    }

    void portLabelNamesOtherPorts() {
        PanelRig rig;
        rig.panel->setPortLabel("SIM");
        QCOMPARE(rig.text("LblComm"), QString("SIM"));
        rig.click("CmdSystem");
        rig.clock.advance(1000);
        QCOMPARE(rig.text("LblComm"), QString("SIM"));
    }

    void clickOnLinkLabelTogglesCaption() {
        PanelRig rig;
        QLabel* comm = rig.get("LblComm");
        QTest::mouseClick(comm, Qt::LeftButton);
        QCOMPARE(rig.panel->windowTitle(), QString("Panel   V7.0   20090601"));
        QTest::mouseClick(comm, Qt::LeftButton);
        QCOMPARE(rig.panel->windowTitle(), QString("Panel   V7.0"));
        rig.panel->setWindowTitle("something else");
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
        rig.click("CmdList");
        rig.click("CmdMemory");
        rig.click("CmdGraph");
        rig.click("CmdGraph");  // a chart is open already
        QCOMPARE(list.size(), 1);
        QCOMPARE(memory.size(), 1);
        QCOMPARE(graph.size(), 1);
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

    void exitEndsTheProgram() {
        PanelRig rig;
        QSignalSpy exit(rig.panel.get(), &panel::Panel::exitRequested);
        rig.click("CmdExit");
        QCOMPARE(exit.size(), 1);
        QVERIFY(!rig.panel->isVisible());
        const QByteArray before = rig.port.written;
        rig.clock.advance(3000);
        QCOMPARE(rig.port.written, before);
    }
};

QTEST_MAIN(TestPanel)
#include "test_panel.moc"
