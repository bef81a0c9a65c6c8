// PC recording from the panel's buttons: the sampling-time box, the file choice,
// the exact file bytes of one and two runs, the automatic stop, files that cannot be
// opened or stop taking lines, and OPEN FILE and EXIT ending a run.
#include <sys/resource.h>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "panel/recorder.h"
#include "panel_rig.h"

using namespace lp;
using test::kRecordHeader;
using test::PanelRig;
using test::readAll;

namespace {

// What the window shows of the run: on or off, LblCount, and whether START can be
// pressed ("on 2 -" is a run at line 2).
QString run(const PanelRig& rig) {
    return QStringLiteral("%1 %2 %3")
        .arg(rig.state.RecordingOn ? "on" : "off", rig.text("LblCount"),
             rig.get<QPushButton>("CmdStart")->isEnabled() ? "+" : "-");
}

}  // namespace

class TestPanelRecording : public QObject {
    Q_OBJECT
private slots:
    // The answers are read by the rules checked in test_panel_rules; here the box, and
    // what the window does with a set, a refused and a cancelled answer.
    void samplingTimeBox() {
        PanelRig rig;
        rig.sampleEvery("7");
        QCOMPARE(rig.dialogs.shown[0].kind, QString("input"));
        QCOMPARE(rig.dialogs.shown[0].title, QString("Input Sampling Time"));
        QCOMPARE(rig.dialogs.shown[0].text,
                 QString("Enter the SAMPLING TIME in seconds\r\n(1 <= t <= 86400) "));
        QCOMPARE(rig.dialogs.shown[0].proposed, QString("2"));
        QCOMPARE(rig.text("LblSample"), QString("7 sec"));
        rig.sampleEvery("abc");
        QCOMPARE(rig.dialogs.shown[1].proposed, QString("7"));
        QCOMPARE(rig.text("LblSample"), QString("7 sec"));
        QCOMPARE(rig.dialogs.messages().size(), 1);
        QVERIFY2(rig.dialogs.messages()[0].contains("from 1 to 86400"),
                 qPrintable(rig.dialogs.messages()[0]));
        rig.dialogs.inputs.push_back(std::nullopt);
        rig.click("CmdPc");
        QCOMPARE(rig.text("LblSample"), QString("7 sec"));
        rig.sampleEvery("3.5");
        QCOMPARE(rig.text("LblSample"), QString("4 sec"));
        QCOMPARE(rig.dialogs.messages().size(), 1);
    }

    void oneRunThenASecondRunIntoTheSameFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("run.sdm");
        PanelRig rig;
        rig.recordInto(path);
        QCOMPARE(rig.text("LblFile"), QString("run.sdm"));
        QCOMPARE(rig.dialogs.shown[0].text, platform::kRecordFileFilter);
        QCOMPARE(run(rig), "off  +");

        rig.clock.advance(400);  // 65.3 dB on the panel
        rig.click("CmdStart");
        QCOMPARE(run(rig), "on  -");
        QVERIFY(rig.get<QPushButton>("CmdStop")->isEnabled());
        QVERIFY(rig.get("LblRecording")->isVisible());
        rig.clock.advance(600);  // first tick at 14:05:10
        QCOMPARE(run(rig), "on 1 -");
        QVERIFY(!rig.get("LblRecording")->isVisible());     // blinks once per sample
        rig.meterShows(test::liveFrame(0x40, 0x06, 0x00));  // 60.0 from about 14:05:10.7
        rig.clock.advance(300);                             // tick at 14:05:11
        QCOMPARE(run(rig), "on 2 -");
        QVERIFY(rig.get("LblRecording")->isVisible());
        const QByteArray firstRun = kRecordHeader +
                                    "1\t2009/06/01 14:05:10\t65.3\t\r\n"
                                    "2\t2009/06/01 14:05:11\t60.0\t\r\n";
        QCOMPARE(readAll(path), firstRun);  // each line is on disk when written
        rig.click("CmdStop");
        QCOMPARE(run(rig), "off  +");
        QVERIFY(!rig.get<QPushButton>("CmdStop")->isEnabled());
        QVERIFY(!rig.get("LblRecording")->isVisible());
        rig.clock.advance(3000);
        QCOMPARE(readAll(path), firstRun);

        rig.click("CmdStart");  // 14:05:14.x; next tick 14:05:15
        rig.clock.advance(1000);
        rig.click("CmdStop");
        rig.click("CmdStop");  // idle: nothing happens
        QCOMPARE(readAll(path), firstRun + kRecordHeader + "1\t2009/06/01 14:05:15\t60.0\t\r\n");
    }

    void startWithoutAFileAsksForOne() {
        QTemporaryDir dir;
        PanelRig rig;
        rig.dialogs.saveNames.push_back(dir.filePath("later.sdm"));
        rig.click("CmdStart");
        QCOMPARE(rig.dialogs.shown.size(), size_t(2));
        QCOMPARE(rig.dialogs.shown[0].kind, QString("message"));
        QCOMPARE(rig.dialogs.shown[0].text, QString("You have to creat a file first ."));
        QCOMPARE(rig.dialogs.shown[0].title, platform::kProgramTitle);
        QCOMPARE(rig.dialogs.shown[1].kind, QString("save"));
        QCOMPARE(run(rig), "off  +");
        QCOMPARE(rig.text("LblFile"), QString("later.sdm"));
        rig.click("CmdStart");
        rig.clock.advance(1000);
        QCOMPARE(run(rig), "on 1 -");
        QVERIFY(readAll(dir.filePath("later.sdm")).startsWith(kRecordHeader + "1\t"));
        // A cancelled SAVE  AS keeps the file.
        rig.dialogs.saveNames.push_back(std::nullopt);
        rig.click("CmdSave");
        QCOMPARE(rig.text("LblFile"), QString("later.sdm"));
    }

    // Line 347999 is written and the run goes on; line 348000 ends it.
    void runStopsItselfAtTheLineLimit() {
        QTemporaryDir dir;
        const QString path = dir.filePath("full.sdm");
        PanelRig rig;
        rig.recordInto(path);
        rig.click("CmdStart");
        rig.state.RecordCount = panel::Recorder::kLineLimit - 2;  // as if 347998 were written
        rig.clock.advance(1000);
        QCOMPARE(run(rig), "on 347999 -");
        rig.clock.advance(1000);
        QCOMPARE(run(rig), "off  +");
        QCOMPARE(rig.state.RecordCount, 0);
        const QByteArray bytes = kRecordHeader +
                                 "347999\t2009/06/01 14:05:10\t65.3\t\r\n"
                                 "348000\t2009/06/01 14:05:11\t65.3\t\r\n";
        QCOMPARE(readAll(path), bytes);
        rig.clock.advance(3000);
        QCOMPARE(readAll(path), bytes);
        QVERIFY(rig.dialogs.messages().isEmpty());
    }

    // A file that cannot be opened, a header that cannot be written, and a medium that
    // fills up after the first line: the user is told, the run is off, the lines stay.
    void failuresEndTheRunAndAreTold_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("lineFirst");
        QTest::newRow("a directory") << QString() << false;
        QTest::newRow("a full device") << "/dev/full" << false;
        QTest::newRow("disk full after a line") << "stick.sdm" << true;
    }
    void failuresEndTheRunAndAreTold() {
        QFETCH(QString, file);
        QFETCH(bool, lineFirst);
        if (file.startsWith("/dev/") && !QFile::exists(file)) {
            QSKIP("no /dev/full here");
        }
        QTemporaryDir dir;
        const QString path = file.startsWith('/') ? file : dir.filePath(file);
        PanelRig rig;
        rig.recordInto(path);
        rig.click("CmdStart");
        QByteArray before;
        if (lineFirst) {
            rig.clock.advance(1000);
            before = readAll(path);
            QCOMPARE(before, kRecordHeader + "1\t2009/06/01 14:05:10\t65.3\t\r\n");
            // This process may not make the file any longer.
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit saved{};
            getrlimit(RLIMIT_FSIZE, &saved);
            rlimit limit = saved;
            limit.rlim_cur = static_cast<rlim_t>(before.size());
            setrlimit(RLIMIT_FSIZE, &limit);
            rig.clock.advance(1000);
            setrlimit(RLIMIT_FSIZE, &saved);
        }
        QCOMPARE(run(rig), "off  +");
        QVERIFY(!rig.get("LblRecording")->isVisible());
        const QStringList messages = rig.dialogs.messages();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(path), qPrintable(messages[0]));
        rig.clock.advance(3000);
        QCOMPARE(run(rig), "off  +");
        if (lineFirst) {
            QCOMPARE(readAll(path), before);
        }
    }

    void openFileAndExitEndTheRun() {
        QTemporaryDir dir;
        const QString path = dir.filePath("end.sdm");
        PanelRig rig;
        rig.panel->setFeatureAvailable(panel::Panel::Feature::Open, true);
        QSignalSpy open(rig.panel.get(), &panel::Panel::openRequested);
        QSignalSpy exit(rig.panel.get(), &panel::Panel::exitRequested);
        rig.recordInto(path);
        rig.click("CmdStart");
        rig.clock.advance(1000);
        rig.click("CmdOpen");
        QCOMPARE(run(rig), "off  +");
        QCOMPARE(open.size(), 1);

        rig.click("CmdStart");
        rig.clock.advance(1000);
        rig.click("CmdExit");
        QVERIFY(!rig.state.RecordingOn);
        QCOMPARE(exit.size(), 1);
        QVERIFY(!rig.panel->isVisible());
        const QByteArray bytes = readAll(path);
        const QByteArray written = rig.port.written;
        rig.clock.advance(3000);
        QCOMPARE(readAll(path), bytes);
        QCOMPARE(rig.port.written, written);  // no more polls either
        QCOMPARE(bytes, kRecordHeader + "1\t2009/06/01 14:05:10\t65.3\t\r\n" + kRecordHeader +
                            "1\t2009/06/01 14:05:11\t65.3\t\r\n");
    }
};

QTEST_MAIN(TestPanelRecording)
#include "test_panel_recording.moc"
