// The memory commands against the simulated meter: status, set table and downloads of
// every kind of set length, on an unpaced and a 9600-baud line, a meter switched off
// mid-download, and the program carrying on afterwards.
#include <QSignalSpy>
#include <QTest>

#include "link/live_poller.h"
#include "memory/memory_commands.h"
#include "platform/virtual_clock.h"
#include "sim/sim_meter.h"
#include "sim/sim_transport.h"

using namespace lp;

namespace {

const QDateTime kStart(QDate(2009, 12, 31), QTime(23, 50, 0));

struct SimRig {
    explicit SimRig(bool paced = false) : port(meter, clock, paced) {}
    platform::VirtualClock clock;
    sim::SimMeter meter;
    sim::SimTransport port;
    link::MeterLink link{port, clock};
    link::LivePoller poller{link};
    app::ProgramState state;
    memory::MemoryCommands commands{link, state};
    QSignalSpy failed{&commands, &memory::MemoryCommands::failed};
    QSignalSpy ended{&commands, &memory::MemoryCommands::downloadEnded};

    // MEMORY, then TIME OF RECORDING, then a click on set row `row`.
    bool chooseSet(int row) {
        QSignalSpy status(&commands, &memory::MemoryCommands::statusRead);
        QSignalSpy table(&commands, &memory::MemoryCommands::setTableRead);
        commands.readStatus();
        commands.readSetTable();
        const bool read = clock.advanceUntil([&] { return table.size() == 1; }, 10000);
        return read && status.size() == 1 && memory::selectSet(state, row);
    }
    bool downloadEnds(qint64 maxMs = 60000) {
        const qsizetype before = ended.size();
        commands.download();
        return clock.advanceUntil([&] { return ended.size() > before; }, maxMs);
    }
    memory::DownloadedSet lastSet() const { return ended.last()[0].value<memory::DownloadedSet>(); }
};

// Levels that sweep from 25.0 to 136.0 dB in tenths, so the 30-130 dB range is left
// on both sides and the hundreds digit is used.
int sweepTenths(int k) {
    return 250 + ((k - 1) * 37) % 1111;
}
double sweep(int k) {
    return sweepTenths(k) / 10.0;
}
QString sweepText(int k) {
    return QString::number(sweepTenths(k) / 10.0, 'f', 1);
}

}  // namespace

class TestMemorySim : public QObject {
    Q_OBJECT
private slots:
    void downloadsEverySetLength_data() {
        QTest::addColumn<int>("records");
        for (int n : {0, 1, 1018, 1023, 1024, 2500}) {
            QTest::addRow("%d", n) << n;
        }
    }
    void downloadsEverySetLength() {
        QFETCH(int, records);
        SimRig r;
        r.meter.addSet(sim::makeSet(kStart, 2, false, 7, 3));
        const sim::StoredSet set = sim::makeSet(kStart, 6, true, 15, records, sweep);
        r.meter.addSet(set);
        QVERIFY(r.chooseSet(2));
        QCOMPARE(r.state.SetCount, 2);
        QCOMPARE(r.state.SetRecordCount, records);
        QVERIFY(r.downloadEnds());
        QVERIFY(r.failed.isEmpty());
        QCOMPARE(r.state.MemoryData, sim::setImage(set));

        const auto list = r.lastSet();
        QVERIFY(list.complete);
        QCOMPARE(list.records.size(), records);
        QCOMPARE(list.title, QStringLiteral("%1  Records In No. 2  Set").arg(records));
        for (int k = 1; k <= records; k += std::max(1, records / 50)) {
            QCOMPARE(list.records[k - 1].level, sweepText(k));
            QCOMPARE(list.records[k - 1].dateTime,
                     kStart.addSecs(qint64{15} * (k - 1)).toString("yyyy/MM/dd HH:mm:ss"));
        }
        // Records outside 30-130 dB carry their flag into the printout line.
        for (int k = 1; k <= records; ++k) {
            const double dB = sweep(k);
            const QString& line = list.gridLines[k - 1];
            QCOMPARE(line.endsWith(u"Under"), dB < 30.0);
            QCOMPARE(line.endsWith(u"Over"), dB > 130.0);
        }
        QVERIFY(r.poller.tick());
    }

    // On a 9600-baud line a 2048-byte block takes over two seconds; the silence limit
    // counts from the last byte, so it never cuts in.
    void pacedDownloadTakesTheLineTime() {
        SimRig r(true);
        const sim::StoredSet set = sim::makeSet(kStart, 0, true, 1, 2500);
        r.meter.addSet(set);
        QVERIFY(r.chooseSet(1));
        const qint64 begin = r.clock.elapsedMs();
        QVERIFY(r.downloadEnds());
        QVERIFY(r.failed.isEmpty());
        QVERIFY(r.lastSet().complete);
        const qint64 tookMs = r.clock.elapsedMs() - begin;
        const qint64 lineMs = 5012 * 1000 / 960;
        QVERIFY2(tookMs >= lineMs && tookMs < lineMs + 200, qPrintable(QString::number(tookMs)));
    }

    void erasedHeaderIsListedWithoutTimes() {
        SimRig r;
        sim::StoredSet erased;
        erased.header = QByteArray(12, '\xFF');
        erased.records = QByteArray("\x06\x53\x07\x12", 4);
        r.meter.addSet(erased);
        QVERIFY(r.chooseSet(1));
        QCOMPARE(r.state.SetRecordCount, 2);
        QVERIFY(r.downloadEnds());
        const auto list = r.lastSet();
        QCOMPARE(list.records.size(), 2);
        QCOMPARE(list.records[1].dateTime, QStringLiteral("----/--/-- --:--:--"));
        QCOMPARE(list.records[1].level, QStringLiteral("71.2"));
    }

    // The meter is switched off during the first block: the download ends with what came,
    // the live poll takes over, and once the meter is back a new download works.
    void meterSwitchedOffMidDownload() {
        SimRig r;
        const sim::StoredSet set = sim::makeSet(kStart, 6, true, 1, 3000);
        r.meter.addSet(set);
        QVERIFY(r.chooseSet(1));
        r.commands.download();
        // The first part is in and the first "Z" is on its way; the meter goes off after
        // answering it.
        QVERIFY(r.clock.advanceUntil([&] { return r.state.MemoryData.size() == 1916; }, 10000));
        r.meter.setFault(sim::Fault::SwitchedOff);
        QVERIFY(r.clock.advanceUntil([&] { return !r.failed.isEmpty(); }, 10000));
        QCOMPARE(r.failed[0][1].toString(),
                 QStringLiteral("The meter stopped answering during the download of set 1: "
                                "3,964 of 6,012 bytes came."));
        QCOMPARE(r.lastSet().records.size(), (3964 - 12) / 2);
        QVERIFY(!r.link.busy());

        r.poller.setOpened();
        QVERIFY(r.poller.tick());
        r.clock.advance(2000);
        QCOMPARE(r.poller.state(), link::LinkState::NoData);
        r.meter.setFault(sim::Fault::None);
        QVERIFY(r.poller.tick());
        r.clock.advance(200);
        QCOMPARE(r.poller.state(), link::LinkState::Linked);

        QVERIFY(r.downloadEnds());
        QVERIFY(r.lastSet().complete);
        QCOMPARE(r.state.MemoryData, sim::setImage(set));
    }

    void missingSetFailsInsteadOfWaiting() {
        SimRig r;
        r.state.SelectedSet = 4;  // the meter holds no set 4 and answers nothing
        r.state.SetRecordCount = 10;
        QVERIFY(r.downloadEnds());
        QCOMPARE(r.failed.size(), 1);
        QCOMPARE(r.failed[0][1].toString(),
                 QStringLiteral("The meter stopped answering during the download of set 4: "
                                "0 of 32 bytes came."));
        QVERIFY(r.lastSet().records.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestMemorySim)
#include "test_memory_sim.moc"
