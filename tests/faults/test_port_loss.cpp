// The serial device goes away under a live poll and under a long download, and comes
// back at the same path: the simulator program serves the meter on a pseudo-terminal
// reached through a symbolic link, is stopped (its terminal hangs up) and started again
// behind the same link. Real time, a few seconds each.
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "app/open_port.h"
#include "app/session.h"
#include "link/live_poller.h"
#include "link/meter_link.h"
#include "live/live_cycle.h"
#include "memory/memory_commands.h"
#include "platform/qt_clock.h"
#include "platform/serial_transport.h"
#include "scripted_dialogs.h"
#include "sim_process.h"

using namespace lp;

class TestPortLoss : public QObject {
    Q_OBJECT
private slots:
    // The program as it runs: the session's panel follows the meter, the port goes while
    // it polls, one notice, and once the meter is back the session links again by
    // itself and the panel shows the new meter's level.
    void pollingSessionLinksAgain() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString meterPath = dir.filePath(QStringLiteral("meter"));
        test::SimProcess first;
        test::SimProcess second;
        QVERIFY2(first.start({QStringLiteral("--link"), meterPath, QStringLiteral("--level"),
                              QStringLiteral("65.3")}),
                 qPrintable(first.error()));

        platform::QtClock clock;
        test::ScriptedDialogs dialogs;
        const app::PortRequest request{app::PortKind::Device, 0, meterPath,
                                       QStringLiteral("meter")};
        app::PortOpening opening = app::openPort(request, clock);
        QVERIFY2(opening.opened(), qPrintable(opening.reason));
        app::OpenedPort port = std::move(opening.port);
        int portFailures = 0;
        connect(port.transport.get(), &platform::Transport::failed, this, [&] { ++portFailures; });
        app::Session session(std::move(port), request, clock, dialogs);
        int linkFailures = 0;
        connect(&session.link(), &link::MeterLink::portFailed, this, [&] { ++linkFailures; });
        const live::LiveView& view = session.liveCycle().view();
        QTRY_COMPARE_WITH_TIMEOUT(view.meter.level, QStringLiteral("65.3"), 5000);

        QVERIFY(first.stop());
        QTRY_COMPARE_WITH_TIMEOUT(linkFailures, 1, 5000);
        QCOMPARE(portFailures, 1);
        QTRY_COMPARE_WITH_TIMEOUT(dialogs.messages().size(), qsizetype(1), 5000);
        QVERIFY2(dialogs.messages().first().contains(QLatin1String("went away")),
                 qPrintable(dialogs.messages().first()));

        // Back at the same path, another level: the session's own reconnect finds it.
        QVERIFY2(second.start({QStringLiteral("--link"), meterPath, QStringLiteral("--level"),
                               QStringLiteral("72.4")}),
                 qPrintable(second.error()));
        QTRY_COMPARE_WITH_TIMEOUT(view.meter.level, QStringLiteral("72.4"), 10000);
        QCOMPARE(view.link, QStringLiteral("meter"));
        QCOMPARE(QList<qsizetype>({linkFailures, portFailures, dialogs.messages().size()}),
                 QList<qsizetype>({1, 1, 1}));
    }

    // A download of a large set on a 9600 baud line, with the live poll waiting behind
    // it: the port goes part way. The download ends once, as a failure that names the
    // lost port and keeps the records that came whole; the port reports its loss once.
    // Reopened at the same path, the poll brings frames again by itself and a download
    // runs to its end.
    void downloadEndsOnceAndLinksAgain() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString meterPath = dir.filePath(QStringLiteral("meter"));
        test::SimProcess first;
        test::SimProcess second;
        QVERIFY2(first.start({QStringLiteral("--link"), meterPath, QStringLiteral("--paced"),
                              QStringLiteral("--sets"), QStringLiteral("3")}),
                 qPrintable(first.error()));

        QString error;
        std::unique_ptr<platform::SerialTransport> port =
            platform::SerialTransport::open(meterPath, meterPath, &error);
        QVERIFY2(port, qPrintable(error));
        std::unique_ptr<platform::SerialTransport> again;  // outlives the link that uses it
        int portFailures = 0;
        connect(port.get(), &platform::Transport::failed, this, [&] { ++portFailures; });
        platform::QtClock clock;
        link::MeterLink line(*port, clock);
        int linkFailures = 0;
        connect(&line, &link::MeterLink::portFailed, this, [&] { ++linkFailures; });
        link::LivePoller poller(line);
        int frames = 0;
        connect(&poller, &link::LivePoller::frameReceived, this, [&] { ++frames; });
        auto pollTimer = clock.createTimer(live::LiveCycle::kPollMs, false, [&] { poller.tick(); });
        pollTimer->start();
        QTRY_VERIFY_WITH_TIMEOUT(frames >= 1, 5000);

        memory::MemoryCommands commands(line);
        QSignalSpy failed(&commands, &memory::MemoryCommands::failed);
        QSignalSpy downloaded(&commands, &memory::MemoryCommands::downloadEnded);
        QSignalSpy progress(&commands, &memory::MemoryCommands::progress);
        const auto ends = [&] { return failed.size() + downloaded.size(); };

        // Set 3 holds 2500 records: 5012 bytes, over five seconds at 9600 baud.
        constexpr qint32 kRecords = 2500;
        commands.download(3, kRecords);
        QTRY_VERIFY_WITH_TIMEOUT(progress.size() >= 1, 5000);
        QTest::qWait(1500);  // part of the set is on its way
        QCOMPARE(ends(), 0);
        QVERIFY(first.stop());

        QTRY_COMPARE_WITH_TIMEOUT(ends(), 1, 5000);
        QCOMPARE(failed.size(), 1);
        const auto failure = failed[0][0].value<memory::CommandFailure>();
        QVERIFY2(failure.message.contains(QLatin1String("went away")), qPrintable(failure.message));
        QVERIFY(failure.partialSet);
        const qsizetype came = failure.partialSet->records.size();
        QVERIFY2(came > 0 && came < kRecords, qPrintable(QString::number(came)));
        QCOMPARE(failure.partialSet->records.last().no, QString::number(came));
        QVERIFY(line.portLost());
        QVERIFY(!commands.busy());

        // The meter comes back at the same path; opened again as the session does.
        QVERIFY2(second.start({QStringLiteral("--link"), meterPath, QStringLiteral("--sets"),
                               QStringLiteral("3")}),
                 qPrintable(second.error()));
        again = platform::SerialTransport::open(meterPath, meterPath, &error);
        QVERIFY2(again, qPrintable(error));
        line.replacePort(*again);
        const int framesBefore = frames;
        QTRY_VERIFY_WITH_TIMEOUT(frames >= framesBefore + 2, 5000);
        QCOMPARE(poller.state(), link::LinkState::Linked);

        commands.download(1, 120);
        QTRY_COMPARE_WITH_TIMEOUT(ends(), 2, 5000);
        QCOMPARE(downloaded.size(), 1);
        QCOMPARE(downloaded[0][0].value<memory::DownloadedSet>().records.size(), qsizetype(120));
        QCOMPARE(QList<int>({linkFailures, portFailures}), QList<int>({1, 1}));
        pollTimer->stop();
    }
};

QTEST_MAIN(TestPortLoss)
#include "test_port_loss.moc"
