// End to end over a real pseudo-terminal: the levelpanel-sim program, the serial port,
// the live poll on the real clock, a key press. Runs in real time (a second or two).
#include <QProcess>
#include <QTest>

#include "link/key_commands.h"
#include "link/live_poller.h"
#include "link/meter_decode.h"
#include "platform/qt_clock.h"
#include "platform/serial_transport.h"

using namespace lp;

class TestSimPty : public QObject {
    Q_OBJECT
private slots:
    void livePollAndKeyOverPseudoTerminal() {
        QProcess sim;
        sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        sim.start(QStringLiteral(LP_SIM_PROGRAM),
                  {QStringLiteral("--paced"), QStringLiteral("--level"), QStringLiteral("65.3")});
        QVERIFY2(sim.waitForStarted(5000), qPrintable(sim.errorString()));
        QTRY_VERIFY_WITH_TIMEOUT(sim.canReadLine(), 5000);
        const QString path = QString::fromLocal8Bit(sim.readLine()).trimmed();
        QVERIFY2(path.startsWith(QLatin1String("/dev/")), qPrintable(path));

        {
            QString error;
            auto port = platform::SerialTransport::open(path, path, &error);
            QVERIFY2(port, qPrintable(error));
            platform::QtClock clock;
            link::MeterLink line(*port, clock);
            link::LivePoller poller(line);
            link::Reading reading;
            int frames = 0;
            QObject::connect(&poller, &link::LivePoller::frameReceived,
                             [&](const QByteArray& frame) {
                                 link::decodeLiveFrame(reading, frame);
                                 ++frames;
                             });
            auto timer = clock.createTimer(150, false, [&] { poller.tick(); });
            timer->start();

            QTRY_VERIFY_WITH_TIMEOUT(frames >= 2, 3000);
            QCOMPARE(reading.level, 65.3f);
            QCOMPARE(reading.weightingA, true);

            link::pressKey(line, link::MeterKey::AC);
            QTRY_COMPARE_WITH_TIMEOUT(reading.weightingA, false, 3000);
            QCOMPARE(reading.level, 65.3f);
            QCOMPARE(poller.state(), link::LinkState::Linked);
            timer->stop();
        }

        // The program ends cleanly on SIGTERM.
        sim.terminate();
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSimPty)
#include "test_sim_pty.moc"
