// The memory window on the simulated meter: the status in its labels, the meter
// clock, the logger settings with their checks, the set table filling the set grid
// once, and the choice of a set.
#include <QAccessible>
#include <QPointer>
#include <QScreen>

#include "memory_ui_rig.h"
#include "platform/twips.h"

using namespace lp;
using test::MemoryUiRig;

class TestMemoryWindow : public QObject {
    Q_OBJECT
private slots:
    void statusFillsTheWindow() {
        MemoryUiRig r;
        r.clock.setNow(QDateTime(QDate(2009, 3, 15), QTime(14, 5, 9)));
        r.meter.idCode = 4321;
        r.meter.intervalSec = 2;
        r.meter.addSet(sim::makeSet(test::kSetStart, 6, true, 1, 506));  // 1024 bytes used
        memory::Memory* w = r.openMemory();
        QVERIFY(w != nullptr);
        QVERIFY(w->isVisible());
        QCOMPARE(w->objectName(), QStringLiteral("Memory"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Memory"));
        QCOMPARE(w->pos(), QGuiApplication::primaryScreen()->availableGeometry().topLeft());
        const memory::MemoryFace& f = w->face();
        QCOMPARE(f.memorySizeLabel->text(), QStringLiteral("128 K"));
        QCOMPARE(f.remainingLabel->text(), QStringLiteral("127.5 K"));
        QCOMPARE(f.setCountLabel->text(), QStringLiteral("1"));
        QCOMPARE(f.idCodeBox->text(), QStringLiteral("4321"));
        QCOMPARE(f.samplingBox->text(), QStringLiteral("2 sec"));
        QCOMPARE(f.recordCountLabel->text(), QString());
        // Assistive technology reads the values, not only the labels' names.
        for (QLabel* label : {f.memorySizeLabel, f.remainingLabel}) {
            QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(label);
            QVERIFY(spoken);
            QCOMPARE(spoken->text(QAccessible::Description), label->text());
            QCOMPARE(spoken->text(QAccessible::Name), label->accessibleName());
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
        const QStringList messages = r.dialogs.messages();
        QVERIFY2(messages.size() == 1 && messages[0].contains(u"memory status request") &&
                     messages[0].contains(u"0 of 10 bytes"),
                 qPrintable(messages.join('|')));
        r.meter.setFault(sim::Fault::None);
        QPointer<memory::Memory> first = r.openMemory();
        QVERIFY(first);
        first->face().idCodeBox->setText(QStringLiteral("typed but not sent"));
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

    void settings_data() {
        QTest::addColumn<bool>("idCode");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("meterValue");
        // The meter starts with code 1 and interval 2.
        QTest::newRow("code 65535") << true << "65535" << true << 65535;
        QTest::newRow("code 65536") << true << "65536" << false << 1;
        QTest::newRow("interval as shown") << false << "5 sec" << true << 5;
    }
    void settings() {
        QFETCH(bool, idCode);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(int, meterValue);
        MemoryUiRig r;
        r.meter.idCode = 1;
        r.meter.intervalSec = 2;
        memory::Memory* w = r.openMemory();
        QVERIFY(w);
        w->show();
        const memory::MemoryFace& f = w->face();
        QLineEdit* box = idCode ? f.idCodeBox : f.samplingBox;
        box->setText(typed);
        (idCode ? f.idCodeButton : f.samplingButton)->click();
        if (accepted) {
            QCOMPARE(f.messageLabel->text(), QStringLiteral("Wait"));
            QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("00000"));
            QVERIFY(r.link.busy());
            QVERIFY(r.settle());
            QVERIFY(r.dialogs.shown.empty());
        } else {
            QVERIFY(!r.link.busy());
            QCOMPARE(r.dialogs.messages(), QStringList{QStringLiteral("Invalid No.s, Try Again!")});
            QCOMPARE(r.dialogs.shown[0].icon, platform::MessageIcon::Critical);
            QCOMPARE(w->focusWidget(), box);
            r.clock.advance(1000);
        }
        QCOMPARE(f.messageLabel->text(), QString());
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("11110"));
        QCOMPARE(idCode ? int{r.meter.idCode} : int{r.meter.intervalSec}, meterValue);
    }

    // TIME OF RECORDING fills the set grid; a click on a set row chooses it, the heading
    // row nothing.
    void setTableAndChoice_data() {
        QTest::addColumn<int>("sets");
        QTest::newRow("no set") << 0;
        QTest::newRow("three sets") << 3;
    }
    void setTableAndChoice() {
        QFETCH(int, sets);
        MemoryUiRig r;
        const int records[] = {10, 11, 70000};
        for (int k = 0; k < sets; ++k) {
            r.meter.addSet(sim::makeSet(test::kSetStart.addDays(40 * k).addSecs(61 * k), 0, true, 1,
                                        records[k]));
        }
        memory::Memory* w = r.openMemory();
        QVERIFY(w);
        w->show();
        const memory::MemoryFace& f = w->face();
        f.setTableButton->click();
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("00000"));
        QVERIFY(f.cancelButton->isVisible());
        QVERIFY(r.settle());
        QCOMPARE(f.messageLabel->text(), QStringLiteral("%1 Sets Completed").arg(sets));
        QVERIFY(!f.cancelButton->isVisible());
        QVERIFY(f.setGrid->isVisible());
        QVERIFY(f.setGrid->isEnabled());
        QCOMPARE(f.setGrid->listedSets(), sets);
        QCOMPARE(f.setGrid->cellText(0, 0), QStringLiteral("SET"));
        QCOMPARE(f.setGrid->cellText(0, 1), QStringLiteral("   DATE------TIME"));
        QCOMPARE(f.setGrid->columnWidth(0), platform::twipsToPx(750));
        QCOMPARE(f.setGrid->columnWidth(1), f.setGrid->fontMetrics().horizontalAdvance(
                                                QStringLiteral("00-00-00----00:00:00")) +
                                                platform::twipsToPx(150));
        // TIME OF RECORDING stays off, so each set is listed once.
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("11100"));
        w->onTimeOfRecClicked();
        QVERIFY(!r.link.busy());
        QCOMPARE(f.setGrid->listedSets(), sets);
        if (sets == 0) {
            return;
        }
        QCOMPARE(f.setGrid->cellText(1, 0), QStringLiteral("1"));
        QCOMPARE(f.setGrid->cellText(1, 1), QStringLiteral("12/31/09----23:50:00"));
        QCOMPARE(f.setGrid->cellText(3, 0), QStringLiteral("3"));
        QCOMPARE(f.setGrid->cellText(3, 1), QStringLiteral("03/21/10----23:52:02"));

        MemoryUiRig::clickSetRow(*w, 3);
        QCOMPARE(w->browser().chosenSet()->number, 3);
        QCOMPARE(f.recordCountLabel->text(), QStringLiteral("70000"));
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("11101"));
        MemoryUiRig::clickSetRow(*w, 0);  // the heading row is no set
        w->onSetRowClicked(0);
        w->onSetRowClicked(4);
        QCOMPARE(w->browser().chosenSet()->number, 3);
        QCOMPARE(f.recordCountLabel->text(), QStringLiteral("70000"));
        MemoryUiRig::clickSetRow(*w, 1);
        QCOMPARE(w->browser().chosenSet()->number, 1);
        QCOMPARE(f.recordCountLabel->text(), QStringLiteral("10"));
        QVERIFY(!r.link.busy());
    }
};

QTEST_MAIN(TestMemoryWindow)
#include "test_memory_window.moc"
