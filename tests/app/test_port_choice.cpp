// The start-up port choice: which texts choose which port, its face, and what the
// window does.
#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "app/port_choice_window.h"
#include "face.h"
#include "keys.h"
#include "live/open_port.h"
#include "live/port_choice.h"
#include "platform/virtual_clock.h"
#include "scripted_dialogs.h"
#include "temp_settings.h"

using namespace lp;
using app::PortChoiceWindow;

Q_DECLARE_METATYPE(lp::live::PortRequest)

class TestPortChoice : public QObject {
    Q_OBJECT
    const QList<live::SystemPort> ports{{"/dev/ttyUSB0", "FT232R USB UART"}};

private slots:
    void texts_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("after");
        QTest::addColumn<QString>("opens");  // device|label, or nothing
        QTest::newRow("Auto is port 1") << 0 << "Auto" << 1 << "/dev/ttyS0|COM1";
        QTest::newRow("COM8") << 2 << "COM8" << 8 << "/dev/ttyS7|COM8";
        QTest::newRow("lower case matches nothing") << 0 << "com3" << 0 << "";
        QTest::newRow("lower case keeps earlier port") << 2 << "com3" << 2 << "/dev/ttyS1|COM2";
        QTest::newRow("COM9 is no port") << 0 << "COM9" << 0 << "";
        QTest::newRow("COM entry") << 0 << "COM3 (/dev/ttyS2)" << 3 << "/dev/ttyS2|COM3";
        QTest::newRow("typed path") << 0 << "/dev/pts/7" << 0 << "/dev/pts/7|pts/7";
        QTest::newRow("system port entry")
            << 0 << "/dev/ttyUSB0  (FT232R USB UART)" << 0 << "/dev/ttyUSB0|ttyUSB0";
        QTest::newRow("simulated meter") << 0 << "Simulated meter" << 0 << "|SIM";
    }
    void texts() {
        QFETCH(int, before);
        QFETCH(QString, text);
        qint16 com = static_cast<qint16>(before);
        const auto req = live::choosePort(text, com, ports);
        QTEST(int(com), "after");
        QTEST(req ? req->device + '|' + req->label : QString(), "opens");
    }

    void entriesListComPortsThenSystemThenSimulator() {
        QCOMPARE(live::portEntries(ports).join(u'|'),
                 "COM1 (/dev/ttyS0)|COM2 (/dev/ttyS1)|COM3 (/dev/ttyS2)|COM4 (/dev/ttyS3)|"
                 "COM5 (/dev/ttyS4)|COM6 (/dev/ttyS5)|COM7 (/dev/ttyS6)|COM8 (/dev/ttyS7)|"
                 "/dev/ttyUSB0  (FT232R USB UART)|Simulated meter");
    }

    void unopenablePortIsNamedInTheMessage() {
        lp::platform::VirtualClock clock;
        const live::PortRequest missing{live::PortKind::Device, 0, "/dev/levelpanel-no-such-port",
                                        "x"};
        const live::PortOpening opening = live::openPort(missing, clock);
        QVERIFY(!opening.opened());
        QVERIFY2(opening.reason.contains("/dev/levelpanel-no-such-port"),
                 qPrintable(opening.reason));
    }

    // On Linux a combo box reads as its text; its label names it.
    void face_data() {
        lp::test::faceRows(
            {"Selection|Selection", "TxtCOM|COM1", "CmdOK|OK", "Command1|COM1", "Command2|COM2"});
    }
    void face() {
        lp::test::ScriptedDialogs dialogs;
        PortChoiceWindow window(dialogs, ports);
        lp::test::checkFace(window);
    }

    void keysRunCommands_data() { lp::test::keyRows({{"Ctrl+Q", "QuitKeys"}}); }
    void keysRunCommands() {
        QFETCH(QKeySequence, keys);
        QFETCH(QString, command);
        lp::test::ScriptedDialogs dialogs;
        PortChoiceWindow window(dialogs, ports);
        QCOMPARE(lp::test::runsOnKeys(window, command, keys), 1);
        QVERIFY(!window.isVisible());
    }

    // The port opened last is proposed at the next start and OK opens it again.
    void rememberedPortIsProposed_data() {
        QTest::addColumn<live::PortRequest>("opened");
        QTest::newRow("numbered") << live::numberedPort(3);
        QTest::newRow("device") << live::PortRequest{live::PortKind::Device, 0, "/dev/pts/7",
                                                     "pts/7"};
        QTest::newRow("simulated")
            << live::PortRequest{live::PortKind::Simulated, 0, QString(), "SIM"};
    }
    void rememberedPortIsProposed() {
        QFETCH(live::PortRequest, opened);
        lp::test::TempSettings settings;
        live::rememberPort(settings, opened);
        lp::test::ScriptedDialogs dialogs;
        PortChoiceWindow window(dialogs, ports);
        window.proposePort(live::rememberedPort(settings));
        QSignalSpy chosen(&window, &PortChoiceWindow::portChosen);
        window.findChild<QPushButton*>("CmdOK")->click();
        QCOMPARE(chosen.size(), 1);
        const auto request = chosen[0][0].value<live::PortRequest>();
        QCOMPARE(request.device + '|' + request.label, opened.device + '|' + opened.label);
    }

    void windowRefusesUnknownTextAndKeepsChoiceOpen() {
        lp::test::ScriptedDialogs dialogs;
        PortChoiceWindow sel(dialogs, ports);
        QSignalSpy chosen(&sel, &PortChoiceWindow::portChosen);
        sel.findChild<QComboBox*>("TxtCOM")->setEditText("com3");
        sel.findChild<QPushButton*>("CmdOK")->click();
        QCOMPARE(chosen.size(), 0);
        QCOMPARE(dialogs.messages().size(), 1);
        QVERIFY(dialogs.messages().first().contains("com3"));

        // Once a port was chosen (its opening may have failed), unknown text falls back to it.
        sel.findChild<QPushButton*>("Command2")->click();
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen[0][0].value<live::PortRequest>().label, QStringLiteral("COM2"));
        sel.findChild<QPushButton*>("CmdOK")->click();
        QCOMPARE(chosen.size(), 2);
        QCOMPARE(chosen[1][0].value<live::PortRequest>().label, QStringLiteral("COM2"));
        QCOMPARE(dialogs.messages().size(), 1);
    }
};

QTEST_MAIN(TestPortChoice)
#include "test_port_choice.moc"
