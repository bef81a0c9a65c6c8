// The memory window's wiring on the simulated meter: it renders its browser (labels,
// accessible values, enabled buttons, the set grid) and each control reaches the
// browser; MEMORY shows a fresh window or tells why it cannot.
#include <QAccessible>
#include <QPointer>
#include <QScreen>

#include "memory_ui_rig.h"

using namespace lp;
using test::MemoryUiRig;

class TestMemoryWindow : public QObject {
    Q_OBJECT
private slots:
    void statusAndMeterClockFillTheWindow() {
        MemoryUiRig r;
        r.clock.setNow(QDateTime(QDate(2009, 3, 15), QTime(14, 5, 9)));
        r.meter.idCode = 4321;
        r.meter.addSet(sim::makeSet(test::kSetStart, 6, true, 1, 506));  // 1024 bytes used
        memory::Memory* w = r.openMemory();
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("Memory"));
        QCOMPARE(w->pos(), QGuiApplication::primaryScreen()->availableGeometry().topLeft());
        const memory::MemoryFace& f = w->face();
        QCOMPARE(QStringList({f.memorySizeLabel->text(), f.remainingLabel->text(),
                              f.setCountLabel->text(), f.idCodeBox->text(), f.samplingBox->text(),
                              f.recordCountLabel->text()}),
                 QStringList({"128 K", "127.5 K", "1", "4321", "2 sec", ""}));
        // Assistive technology reads the values, not only the labels' names.
        for (QLabel* label : {f.memorySizeLabel, f.remainingLabel}) {
            QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(label);
            QVERIFY(spoken);
            QCOMPARE(spoken->text(QAccessible::Description), label->text());
        }
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("11110"));
        QVERIFY(!f.setGrid->isVisible());
        QVERIFY(!f.cancelButton->isVisible());

        f.meterClockButton->click();
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("00000"));
        QVERIFY(r.settle());
        QCOMPARE(f.meterClockLabel->text(), QStringLiteral("03/15/09-----14:05:09"));
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("11110"));
        QVERIFY(r.dialogs.shown.empty());
    }

    // A status that does not come is told; each press that gets one shows a fresh window
    // in place of the last (a second press while the status is on its way adds none).
    void eachMemoryPressShowsAFreshWindow() {
        MemoryUiRig r;
        r.meter.setFault(sim::Fault::SwitchedOff);
        r.flow.open();
        QVERIFY(r.settle());
        QCOMPARE(r.flow.memoryWindow(), nullptr);
        QCOMPARE(r.dialogs.messages().size(), 1);
        QVERIFY(r.dialogs.messages()[0].contains(u"memory status request"));
        r.meter.setFault(sim::Fault::None);
        QPointer<memory::Memory> first = r.openMemory();
        QVERIFY(first);
        r.meter.idCode = 77;
        r.flow.open();
        r.flow.open();
        QVERIFY(r.settle());
        MemoryUiRig::flushDeletes();
        QVERIFY(!first);
        QVERIFY(r.flow.memoryWindow() != nullptr);
        QCOMPARE(r.flow.memoryWindow()->face().idCodeBox->text(), QStringLiteral("77"));
        QCOMPARE(r.panel.findChildren<memory::Memory*>().size(), 0);
    }

    // Each setting button sends its own box; a refused one is told and its box gets focus.
    void settingButtonsSendTheirBoxes() {
        MemoryUiRig r;
        memory::Memory* w = r.openMemory();
        QVERIFY(w);
        const memory::MemoryFace& f = w->face();
        f.samplingBox->setText(QStringLiteral("65536"));
        f.idCodeBox->setText(QStringLiteral("300"));
        f.samplingButton->click();
        QVERIFY(!r.link.busy());
        QCOMPARE(r.dialogs.messages(), QStringList{QStringLiteral("Invalid No.s, Try Again!")});
        QCOMPARE(r.dialogs.shown[0].icon, platform::MessageIcon::Critical);
        QCOMPARE(w->focusWidget(), f.samplingBox);
        f.idCodeButton->click();
        QCOMPARE(f.messageLabel->text(), QStringLiteral("Wait"));
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("00000"));
        QVERIFY(r.settle());
        QCOMPARE(f.messageLabel->text(), QString());
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("11110"));
        QCOMPARE(int{r.meter.idCode}, 300);
        QCOMPARE(int{r.meter.intervalSec}, 2);
    }

    // TIME OF RECORDING fills the set grid; a click on a set row chooses it, the heading
    // row nothing.
    void setTableAndChoice() {
        MemoryUiRig r;
        for (int records : {10, 11, 70000}) {
            r.meter.addSet(sim::makeSet(test::kSetStart.addDays(records), 0, true, 1, records));
        }
        memory::Memory* w = r.openMemory();
        QVERIFY(w);
        const memory::MemoryFace& f = w->face();
        f.setTableButton->click();
        QVERIFY(f.cancelButton->isVisible());
        QVERIFY(r.settle());
        QCOMPARE(f.messageLabel->text(), QStringLiteral("3 Sets Completed"));
        QVERIFY(!f.cancelButton->isVisible());
        QVERIFY(f.setGrid->isVisible() && f.setGrid->isEnabled());
        QCOMPARE(f.setGrid->listedSets(), 3);
        QCOMPARE(f.setGrid->cellText(0, 1), QStringLiteral("   DATE------TIME"));
        QCOMPARE(f.setGrid->cellText(3, 0), QStringLiteral("3"));
        QCOMPARE(f.setGrid->cellText(3, 1), w->browser().setRows()[2].start);
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("11100"));

        MemoryUiRig::clickSetRow(*w, 3);
        QCOMPARE(f.recordCountLabel->text(), QStringLiteral("70000"));
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("11101"));
        MemoryUiRig::clickSetRow(*w, 0);
        QCOMPARE(w->browser().chosenSet()->number, 3);
        MemoryUiRig::clickSetRow(*w, 1);
        QCOMPARE(f.recordCountLabel->text(), QStringLiteral("10"));
    }
};

QTEST_MAIN(TestMemoryWindow)
#include "test_memory_window.moc"
