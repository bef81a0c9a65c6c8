// The serial device goes away under a long download and comes back at the same path:
// the simulator program serves the meter on a pseudo-terminal reached through a symbolic
// link, is stopped (its terminal hangs up) and started again behind the same link. Real
// time, some ten seconds.
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "live/linked_meter.h"
#include "memory/memory_commands.h"
#include "platform/qt_clock.h"
#include "sim_process.h"

using namespace lp;

class TestPortLoss : public QObject {
    Q_OBJECT
private slots:
    // The download ends once, as a failure that names the lost port (what it keeps of the
    // set and of the commands behind it is test_memory_commands'). The meter is kept
    // linked as the session and the command line keep it (their notices are
    // test_session's and test_cli_device's): lost once, and linked again by itself.
    void lostUnderADownloadAndLinkedAgain() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString meterPath = dir.filePath(QStringLiteral("meter"));
        test::SimProcess first;
        QVERIFY2(first.start({"--link", meterPath, "--paced", "--sets", "3", "--level", "65.3"}),
                 qPrintable(first.error()));
        platform::QtClock clock;
        const live::PortRequest request{live::PortKind::Device, 0, meterPath,
                                        QStringLiteral("meter")};
        live::PortOpening opening = live::openPort(request, clock);
        QVERIFY2(opening.opened(), qPrintable(opening.reason));
        live::LinkedMeter meter(std::move(opening.port), request, live::portNames(request), clock);
        QSignalSpy lost(&meter.keeper(), &live::PortKeeper::portLost);
        QSignalSpy back(&meter.keeper(), &live::PortKeeper::portBack);
        const live::LiveView& view = meter.cycle().view();
        QTRY_COMPARE_WITH_TIMEOUT(view.meter.level, QStringLiteral("65.3"), 5000);

        memory::MemoryCommands commands(meter.link());
        QSignalSpy failed(&commands, &memory::MemoryCommands::failed);
        QSignalSpy downloaded(&commands, &memory::MemoryCommands::downloadEnded);
        QSignalSpy progress(&commands, &memory::MemoryCommands::progress);
        // Set 3 holds 2500 records: 5012 bytes, over five seconds at 9600 baud.
        commands.download(3, 2500);
        QTRY_VERIFY_WITH_TIMEOUT(progress.size() >= 1, 5000);
        QCOMPARE(failed.size() + downloaded.size(), 0);
        QVERIFY(first.stop());
        QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, 5000);
        const auto failure = failed[0][0].value<memory::CommandFailure>();
        QVERIFY2(failure.message.contains(QLatin1String("went away")), qPrintable(failure.message));

        test::SimProcess second;
        QVERIFY2(second.start({"--link", meterPath, "--level", "72.4"}),
                 qPrintable(second.error()));
        QTRY_COMPARE_WITH_TIMEOUT(view.meter.level, QStringLiteral("72.4"), 10000);
        QCOMPARE(QList<qsizetype>({failed.size(), downloaded.size(), lost.size(), back.size()}),
                 QList<qsizetype>({1, 0, 1, 1}));
    }
};

QTEST_GUILESS_MAIN(TestPortLoss)
#include "test_port_loss.moc"
