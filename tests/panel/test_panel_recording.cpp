// PC recording from the panel's buttons: the sampling-time box, the file choice,
// the exact file bytes of one and two runs, the automatic stop, and files that
// cannot be opened or stop taking lines.
#include <sys/resource.h>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "panel/recorder.h"
#include "panel/recording_controls.h"
#include "panel_rig.h"

using namespace lp;
using test::PanelRig;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

const QByteArray kHeader = "No.s\tDate Time\tdB\t\r\n";

// Chooses `path` with SAVE  AS and sets a 1 s sampling time.
void chooseFile(PanelRig& rig, const QString& path) {
    rig.dialogs.saveNames.push_back(path);
    rig.click("CmdSave");
    rig.dialogs.inputs.push_back(QStringLiteral("1"));
    rig.click("CmdPc");
}

}  // namespace

class TestPanelRecording : public QObject {
    Q_OBJECT
private slots:
    void samplingTimeBox_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("refused");
        QTest::newRow("0") << "0" << false << "1 sec" << false;
        QTest::newRow("-5") << "-5" << false << "1 sec" << false;
        QTest::newRow("100000") << "100000" << false << "86400 sec" << false;
        QTest::newRow("2.5") << "2.5" << false << "2 sec" << false;
        QTest::newRow("3.5") << "3.5" << false << "4 sec" << false;
        QTest::newRow("1,800") << "1,800" << false << "1800 sec" << false;
        QTest::newRow("60") << "60" << false << "60 sec" << false;
        QTest::newRow("abc") << "abc" << false << "7 sec" << true;
        QTest::newRow("empty") << "" << false << "7 sec" << false;
        QTest::newRow("cancel") << "" << true << "7 sec" << false;
    }
    void samplingTimeBox() {
        QFETCH(QString, answer);
        QFETCH(bool, cancel);
        QFETCH(QString, caption);
        QFETCH(bool, refused);
        PanelRig rig;
        rig.dialogs.inputs.push_back(QStringLiteral("7"));
        rig.click("CmdPc");
        QCOMPARE(rig.text("LblSample"), QString("7 sec"));
        rig.dialogs.inputs.push_back(cancel ? std::nullopt : std::optional<QString>(answer));
        rig.click("CmdPc");
        const auto& box = rig.dialogs.shown[1];
        QCOMPARE(box.kind, QString("input"));
        QCOMPARE(box.title, QString("Input Sampling Time"));
        QCOMPARE(box.text, QString("Enter the SAMPLING TIME in seconds\r\n(1 <= t <= 86400) "));
        QCOMPARE(box.proposed, QString("7"));
        QCOMPARE(rig.text("LblSample"), caption);
        const QStringList messages = rig.dialogs.messages();
        QCOMPARE(messages.size(), refused ? 1 : 0);
        if (refused) {
            QVERIFY2(messages[0].contains("1") && messages[0].contains("86400"),
                     qPrintable(messages[0]));
        }
    }

    void oneRunThenASecondRunIntoTheSameFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("run.sdm");
        PanelRig rig;
        chooseFile(rig, path);
        QCOMPARE(rig.text("LblFile"), QString("run.sdm"));
        QCOMPARE(rig.state.SaveFileName, path);
        QVERIFY(rig.state.FileChosen);
        QCOMPARE(rig.dialogs.shown[0].text, platform::kRecordFileFilter);

        rig.clock.advance(400);  // 65.3 dB on the panel
        rig.click("CmdStart");
        QVERIFY(rig.state.RecordingOn);
        QVERIFY(rig.get("LblRecording")->isVisible());
        QVERIFY(!rig.get<QPushButton>("CmdStart")->isEnabled());
        rig.clock.advance(600);  // first tick at 14:05:10
        QCOMPARE(rig.text("LblCount"), QString("1"));
        QVERIFY(!rig.get("LblRecording")->isVisible());     // blinks once per sample
        rig.meterShows(test::liveFrame(0x40, 0x06, 0x00));  // 60.0 from about 14:05:10.7
        rig.clock.advance(300);                             // tick at 14:05:11
        QCOMPARE(rig.text("LblCount"), QString("2"));
        QVERIFY(rig.get("LblRecording")->isVisible());
        const QByteArray firstRun = kHeader +
                                    "1\t2009/06/01 14:05:10\t65.3\t\r\n"
                                    "2\t2009/06/01 14:05:11\t60.0\t\r\n";
        QCOMPARE(readAll(path), firstRun);  // each line is on disk when written
        rig.click("CmdStop");
        QVERIFY(!rig.state.RecordingOn);
        QVERIFY(rig.text("LblCount").isEmpty());
        QVERIFY(!rig.get("LblRecording")->isVisible());
        QVERIFY(rig.get<QPushButton>("CmdStart")->isEnabled());
        QVERIFY(!rig.get<QPushButton>("CmdStop")->isEnabled());
        rig.clock.advance(3000);
        QCOMPARE(readAll(path), firstRun);

        rig.click("CmdStart");  // 14:05:14.x; next tick 14:05:15
        rig.clock.advance(1000);
        rig.click("CmdStop");
        rig.click("CmdStop");  // idle: nothing happens
        QCOMPARE(readAll(path), firstRun + kHeader + "1\t2009/06/01 14:05:15\t60.0\t\r\n");
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
        QVERIFY(!rig.state.RecordingOn);
        QCOMPARE(rig.text("LblFile"), QString("later.sdm"));
        rig.click("CmdStart");
        QVERIFY(rig.state.RecordingOn);
        rig.clock.advance(1000);
        QVERIFY(readAll(dir.filePath("later.sdm")).startsWith(kHeader + "1\t"));
    }

    void cancelledDialogKeepsTheFile() {
        QTemporaryDir dir;
        PanelRig rig;
        chooseFile(rig, dir.filePath("kept.sdm"));
        rig.dialogs.saveNames.push_back(std::nullopt);
        rig.click("CmdSave");
        QVERIFY(!rig.state.FileChosen);
        QCOMPARE(rig.state.SaveFileName, dir.filePath("kept.sdm"));
        QCOMPARE(rig.text("LblFile"), QString("kept.sdm"));
    }

    void runStopsItselfAtTheLineLimit() {
        QTemporaryDir dir;
        const QString path = dir.filePath("full.sdm");
        PanelRig rig;
        chooseFile(rig, path);
        rig.click("CmdStart");
        rig.state.RecordCount = panel::Recorder::kLineLimit - 1;  // as if 347999 were written
        rig.clock.advance(1000);
        QVERIFY(!rig.state.RecordingOn);
        QCOMPARE(rig.state.RecordCount, 0);
        QVERIFY(rig.text("LblCount").isEmpty());
        QVERIFY(rig.get<QPushButton>("CmdStart")->isEnabled());
        QVERIFY(readAll(path).endsWith("\r\n348000\t2009/06/01 14:05:10\t65.3\t\r\n"));
        rig.clock.advance(3000);
        QVERIFY(readAll(path).endsWith("\r\n348000\t2009/06/01 14:05:10\t65.3\t\r\n"));
        QVERIFY(rig.dialogs.messages().isEmpty());
    }

    void unopenableFileIsToldAndNotRecorded_data() {
        QTest::addColumn<bool>("directory");
        QTest::newRow("a directory") << true;
        QTest::newRow("a full device") << false;
    }
    void unopenableFileIsToldAndNotRecorded() {
        QFETCH(bool, directory);
        if (!directory && !QFile::exists("/dev/full")) {
            QSKIP("no /dev/full here");
        }
        QTemporaryDir dir;
        const QString path = directory ? dir.path() : QStringLiteral("/dev/full");
        PanelRig rig;
        chooseFile(rig, path);
        rig.click("CmdStart");
        QVERIFY(!rig.state.RecordingOn);
        const QStringList messages = rig.dialogs.messages();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(path), qPrintable(messages[0]));
        QVERIFY(rig.get<QPushButton>("CmdStart")->isEnabled());
        QVERIFY(!rig.get("LblRecording")->isVisible());
        rig.clock.advance(3000);
        QVERIFY(rig.text("LblCount").isEmpty());
    }

    void failingWriteStopsTheRunAndKeepsItsLines() {
        QTemporaryDir dir;
        const QString path = dir.filePath("stick.sdm");
        PanelRig rig;
        chooseFile(rig, path);
        rig.click("CmdStart");
        rig.clock.advance(1000);
        const QByteArray before = readAll(path);
        QCOMPARE(before, kHeader + "1\t2009/06/01 14:05:10\t65.3\t\r\n");
        // The medium fills up: this process may not make the file any longer.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limit = saved;
        limit.rlim_cur = static_cast<rlim_t>(before.size());
        setrlimit(RLIMIT_FSIZE, &limit);
        rig.clock.advance(1000);
        setrlimit(RLIMIT_FSIZE, &saved);

        QVERIFY(!rig.state.RecordingOn);
        const QStringList messages = rig.dialogs.messages();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(path), qPrintable(messages[0]));
        QVERIFY(rig.get<QPushButton>("CmdStart")->isEnabled());
        QVERIFY(rig.text("LblCount").isEmpty());
        QCOMPARE(readAll(path), before);
    }

    void openFileAndExitEndTheRun() {
        QTemporaryDir dir;
        const QString path = dir.filePath("end.sdm");
        PanelRig rig;
        rig.panel->setFeatureAvailable(panel::Panel::Feature::Open, true);
        QSignalSpy open(rig.panel.get(), &panel::Panel::openRequested);
        chooseFile(rig, path);
        rig.click("CmdStart");
        rig.clock.advance(1000);
        rig.click("CmdOpen");
        QVERIFY(!rig.state.RecordingOn);
        QCOMPARE(open.size(), 1);

        rig.click("CmdStart");
        rig.clock.advance(1000);
        rig.click("CmdExit");
        QVERIFY(!rig.state.RecordingOn);
        const QByteArray bytes = readAll(path);
        rig.clock.advance(3000);
        QCOMPARE(readAll(path), bytes);
        QCOMPARE(bytes.count("No.s"), 2);
        QVERIFY(bytes.endsWith("1\t2009/06/01 14:05:11\t65.3\t\r\n"));
    }
};

QTEST_MAIN(TestPanelRecording)
#include "test_panel_recording.moc"
