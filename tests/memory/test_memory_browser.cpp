// The memory window's rules without it, on the simulated meter: which commands can start
// when, a set's choice, a refused setting, a short set table (a stopped download: window).
#include <QTest>
#include <memory>

#include "memory/memory_browser.h"
#include "memory_rig.h"

using namespace lp;
using Action = memory::MemoryBrowser::Action;

namespace {

struct Rig : test::SimRig {
    explicit Rig(const QList<int>& sets) {
        for (int records : sets) {
            meter.addSet(sim::makeSet(test::kSetStart, 6, true, 1, records));
        }
        QSignalSpy read(&commands, &memory::MemoryCommands::statusRead);
        commands.readStatus();
        settle();
        browser = std::make_unique<memory::MemoryBrowser>(
            commands, read.at(0).at(0).value<memory::MemoryStatusInfo>());
    }
    // IdCode, SamplingInterval, MeterClock, SetTable, Download, Cancel: "111100".
    QString available() const {
        QString out;
        for (Action a : {Action::IdCode, Action::SamplingInterval, Action::MeterClock,
                         Action::SetTable, Action::Download, Action::Cancel}) {
            out += browser->available(a) ? u'1' : u'0';
        }
        return out;
    }

    memory::MemoryCommands commands{link};
    std::unique_ptr<memory::MemoryBrowser> browser;
};

}  // namespace

class TestMemoryBrowser : public QObject {
    Q_OBJECT
private slots:
    // The set table is asked for once; only a listed set can be chosen, and downloading
    // it leaves the logger settings off.
    void commandsOpenUpAsFactsCome() {
        Rig r({10, 70000});
        memory::MemoryBrowser& b = *r.browser;
        QCOMPARE(r.available(), QStringLiteral("111100"));
        QVERIFY(!b.chooseSet(1));  // no table yet
        b.readSetTable();
        QCOMPARE(r.available(), QStringLiteral("000001"));
        QVERIFY(r.settle());
        QCOMPARE(r.available(), QStringLiteral("111000"));
        QVERIFY(b.setsListed());
        QCOMPARE(b.setRows().size(), 2);
        for (int row : {0, 3}) {
            QVERIFY(!b.chooseSet(row));
        }
        QVERIFY(!b.chosenSet());
        QVERIFY(b.chooseSet(2));
        QCOMPARE(b.chosenSet()->records, 70000);
        QCOMPARE(r.available(), QStringLiteral("111010"));
        b.download();
        QVERIFY(!b.chooseSet(1));  // not while it runs
        QVERIFY(r.settle());
        QCOMPARE(b.message(), QStringLiteral("70000 Records Completed"));
        QCOMPARE(r.available(), QStringLiteral("000010"));
    }

    void refusedSettingLeavesNothingRunning() {
        Rig r({});
        memory::MemoryBrowser& b = *r.browser;
        QString messageWhenTold;
        connect(&b, &memory::MemoryBrowser::invalidNumber, this,
                [&] { messageWhenTold = b.message(); });
        QVERIFY(!b.sendIdCode(u"65536"));
        QCOMPARE(messageWhenTold, memory::MemoryBrowser::kWait);
        QCOMPARE(b.message(), QString());
        QVERIFY(!r.link.busy());
        QCOMPARE(r.available(), QStringLiteral("111100"));
        QVERIFY(b.sendSamplingInterval(u"5 sec"));
        QCOMPARE(b.message(), memory::MemoryBrowser::kWait);
        QVERIFY(r.settle());
        QCOMPARE(r.meter.intervalSec, 5);
        QCOMPARE(b.message(), QString());
    }

    // A set table that came short lists what came whole and can be asked for again.
    void shortSetTableCanBeAskedAgain() {
        Rig r({10, 11, 12});
        memory::MemoryBrowser& b = *r.browser;
        QSignalSpy stopped(&b, &memory::MemoryBrowser::commandStopped);
        r.meter.setFault(sim::Fault::WrongLength);
        b.readSetTable();
        QVERIFY(r.settle());
        QCOMPARE(stopped.size(), 1);
        QVERIFY(stopped[0][0].toString().contains(u"36 of 37 bytes"));
        QCOMPARE(b.setRows().size(), 2);
        QCOMPARE(r.available(), QStringLiteral("111100"));
        r.meter.setFault(sim::Fault::None);
        b.readSetTable();
        QVERIFY(r.settle());
        QCOMPARE(b.setRows().size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestMemoryBrowser)
#include "test_memory_browser.moc"
