// The memory window on the simulated meter: the status in its labels, the logger
// settings with their checks, the meter clock, the set table filling the set grid
// once, the choice of a set, and a set table that comes short.
#include <QPointer>
#include <QScreen>

#include "memory_ui_rig.h"
#include "platform/twips.h"

using namespace lp;
using test::MemoryUiRig;

class TestMemoryWindow : public QObject {
    Q_OBJECT
private slots:
    void statusFillsTheWindow_data() {
        QTest::addColumn<int>("sizeCode");
        QTest::addColumn<QList<int>>("setRecords");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("remaining");
        QTest::newRow("empty 128 K") << 8 << QList<int>{} << "128 K"
                                     << "128.0 K";
        // 12 + 2 x 506 = 1024 bytes used: half a K gone.
        QTest::newRow("one set") << 8 << QList<int>{506} << "128 K"
                                 << "127.5 K";
        QTest::newRow("16 K, two sets") << 1 << QList<int>{3, 4} << "16 K"
                                        << "16.0 K";
        QTest::newRow("unknown size") << 9 << QList<int>{1018} << "0 K"
                                      << "-1.0 K";
    }
    void statusFillsTheWindow() {
        QFETCH(int, sizeCode);
        QFETCH(QList<int>, setRecords);
        QFETCH(QString, size);
        QFETCH(QString, remaining);
        MemoryUiRig r;
        r.meter.sizeCode = sizeCode;
        r.meter.idCode = 4321;
        r.meter.intervalSec = 2;
        for (int n : setRecords) {
            r.meter.addSet(sim::makeSet(test::kSetStart, 6, true, 1, n));
        }
        memory::Memory* w = r.openMemory();
        QVERIFY(w != nullptr);
        QVERIFY(w->isVisible());
        QCOMPARE(w->objectName(), QStringLiteral("Memory"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Memory"));
        QCOMPARE(w->pos(), QGuiApplication::primaryScreen()->availableGeometry().topLeft());
        const memory::MemoryFace& f = w->face();
        QCOMPARE(f.LblMemorySize->text(), size);
        QCOMPARE(f.LblRemaining->text(), remaining);
        QCOMPARE(f.LblNoOfSet->text(), QString::number(setRecords.size()));
        QCOMPARE(f.TxtIdCode->text(), QStringLiteral("4321"));
        QCOMPARE(f.TxtSampling->text(), QStringLiteral("2 sec"));
        QCOMPARE(f.LblNoOfRec->text(), QString());
        QCOMPARE(r.state.SetCount, setRecords.size());
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("11110"));
        QVERIFY(!f.Grid->isVisible());
        QVERIFY(!f.CmdCancel->isVisible());
        QVERIFY(r.dialogs.shown.empty());
    }

    void eachMemoryPressShowsAFreshWindow() {
        MemoryUiRig r;
        QPointer<memory::Memory> first = r.openMemory();
        QVERIFY(first);
        first->face().TxtIdCode->setText(QStringLiteral("typed but not sent"));
        r.meter.idCode = 77;
        r.flow.open();
        r.flow.open();  // a second press while the status is on its way
        QVERIFY(r.settle());
        MemoryUiRig::flushDeletes();
        QVERIFY(!first);
        QVERIFY(r.flow.memoryWindow() != nullptr);
        QCOMPARE(r.flow.memoryWindow()->face().TxtIdCode->text(), QStringLiteral("77"));
        QCOMPARE(r.panel.findChildren<memory::Memory*>().size(), 0);
    }

    void statusThatDoesNotComeIsTold() {
        MemoryUiRig r;
        r.meter.setFault(sim::Fault::SwitchedOff);
        r.flow.open();
        QVERIFY(r.settle());
        QCOMPARE(r.flow.memoryWindow(), nullptr);
        QCOMPARE(r.dialogs.messages().size(), 1);
        QVERIFY2(r.dialogs.messages()[0].contains(u"memory status request"),
                 qPrintable(r.dialogs.messages()[0]));
        QVERIFY(r.dialogs.messages()[0].contains(u"0 of 10 bytes"));
        // The meter is back: MEMORY works again.
        r.meter.setFault(sim::Fault::None);
        QVERIFY(r.openMemory() != nullptr);
    }

    void settings_data() {
        QTest::addColumn<bool>("idCode");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("meterValue");
        // The meter starts with code 1 and interval 2.
        QTest::newRow("code 65535") << true << "65535" << true << 65535;
        QTest::newRow("code 65536") << true << "65536" << false << 1;
        QTest::newRow("code -1") << true << "-1" << false << 1;
        QTest::newRow("code empty") << true << "" << true << 0;
        QTest::newRow("code 12.5 to even") << true << "12.5" << true << 12;
        QTest::newRow("interval 1") << false << "1" << true << 1;
        QTest::newRow("interval 0") << false << "0" << false << 2;
        QTest::newRow("interval 2 sec") << false << "5 sec" << true << 5;
        QTest::newRow("interval 65536") << false << "65536" << false << 2;
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
        QLineEdit* box = idCode ? f.TxtIdCode : f.TxtSampling;
        box->setText(typed);
        (idCode ? f.CmdIdCode : f.CmdSampling)->click();
        if (accepted) {
            QCOMPARE(f.LblMessage->text(), QStringLiteral("Wait"));
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
        QCOMPARE(f.LblMessage->text(), QString());
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("11110"));
        QCOMPARE(idCode ? int{r.meter.idCode} : int{r.meter.intervalSec}, meterValue);
    }

    void meterClockIsShown() {
        MemoryUiRig r;
        r.clock.setNow(QDateTime(QDate(2009, 3, 15), QTime(14, 5, 9)));
        memory::Memory* w = r.openMemory();
        QVERIFY(w);
        w->face().CmdTime->click();
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("00000"));
        QVERIFY(r.settle());
        QCOMPARE(w->face().LblTimeOfMeter->text(), QStringLiteral("03/15/09-----14:05:09"));
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("11110"));
    }

    void setTableFillsTheGridOnce_data() {
        QTest::addColumn<int>("sets");
        QTest::newRow("no set") << 0;
        QTest::newRow("three sets") << 3;
    }
    void setTableFillsTheGridOnce() {
        QFETCH(int, sets);
        MemoryUiRig r;
        for (int k = 0; k < sets; ++k) {
            r.meter.addSet(
                sim::makeSet(test::kSetStart.addDays(40 * k).addSecs(61 * k), 0, true, 1, 10 + k));
        }
        memory::Memory* w = r.openMemory();
        QVERIFY(w);
        w->show();
        const memory::MemoryFace& f = w->face();
        f.CmdTimeOfRec->click();
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("00000"));
        QVERIFY(f.CmdCancel->isVisible());
        QVERIFY(r.settle());
        QCOMPARE(f.LblMessage->text(), QStringLiteral("%1 Sets Completed").arg(sets));
        QVERIFY(!f.CmdCancel->isVisible());
        QVERIFY(f.Grid->isVisible());
        QVERIFY(f.Grid->isEnabled());
        QCOMPARE(f.Grid->listedSets(), sets);
        QCOMPARE(f.Grid->cellText(0, 0), QStringLiteral("SET"));
        QCOMPARE(f.Grid->cellText(0, 1), QStringLiteral("   DATE------TIME"));
        if (sets == 3) {
            QCOMPARE(f.Grid->cellText(1, 0), QStringLiteral("1"));
            QCOMPARE(f.Grid->cellText(1, 1), QStringLiteral("12/31/09----23:50:00"));
            QCOMPARE(f.Grid->cellText(3, 0), QStringLiteral("3"));
            QCOMPARE(f.Grid->cellText(3, 1), QStringLiteral("03/21/10----23:52:02"));
        }
        QCOMPARE(f.Grid->columnWidth(0), platform::twipsToPx(750));
        QCOMPARE(f.Grid->columnWidth(1),
                 f.Grid->fontMetrics().horizontalAdvance(QStringLiteral("00-00-00----00:00:00")) +
                     platform::twipsToPx(150));
        // TIME OF RECORDING stays off, so each set is listed once.
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("11100"));
        w->CmdTimeOfRec_Click();
        QVERIFY(!r.link.busy());
        QCOMPARE(f.Grid->listedSets(), sets);
    }

    void clickOnASetChoosesIt() {
        MemoryUiRig r;
        for (int n : {5, 6, 70000, 8}) {
            r.meter.addSet(sim::makeSet(test::kSetStart, 0, true, 1, n));
        }
        r.meter.sizeCode = 8;
        memory::Memory* w = r.chooseSet(3);
        QVERIFY(w);
        QCOMPARE(r.state.SelectedSet, 3);
        QCOMPARE(r.state.SetRecordCount, 70000);
        QCOMPARE(w->face().LblNoOfRec->text(), QStringLiteral("70000"));
        QVERIFY(w->face().CmdShowData->isEnabled());

        MemoryUiRig::clickSetRow(*w, 1);
        QCOMPARE(r.state.SelectedSet, 1);
        QCOMPARE(r.state.SetRecordCount, 5);
        QCOMPARE(w->face().LblNoOfRec->text(), QStringLiteral("5"));

        // The heading row is no set.
        MemoryUiRig::clickSetRow(*w, 0);
        w->Grid_Click(0);
        w->Grid_Click(5);
        QCOMPARE(r.state.SelectedSet, 1);
        QCOMPARE(r.state.SetRecordCount, 5);
        QCOMPARE(w->face().LblNoOfRec->text(), QStringLiteral("5"));
        QVERIFY(!r.link.busy());
    }

    // The meter answers the set table one byte short: the window says so, lists the
    // sets that came whole, and TIME OF RECORDING can be pressed again.
    void shortSetTableLeavesTheWindowUsable() {
        MemoryUiRig r;
        for (int k = 0; k < 3; ++k) {
            r.meter.addSet(sim::makeSet(test::kSetStart, 0, true, 1, 4 + k));
        }
        memory::Memory* w = r.openMemory();
        QVERIFY(w);
        w->show();
        r.meter.setFault(sim::Fault::WrongLength);
        w->face().CmdTimeOfRec->click();
        QVERIFY(r.settle());
        QCOMPARE(r.dialogs.messages().size(), 1);
        const QString message = r.dialogs.messages()[0];
        QVERIFY2(message.contains(u"set table request") && message.contains(u"36 of 37 bytes"),
                 qPrintable(message));
        QCOMPARE(w->face().Grid->listedSets(), 2);
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("11110"));
        QVERIFY(!w->face().CmdCancel->isVisible());

        r.meter.setFault(sim::Fault::None);
        w->face().CmdTimeOfRec->click();
        QVERIFY(r.settle());
        QCOMPARE(w->face().Grid->listedSets(), 3);
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("11100"));
    }
};

QTEST_MAIN(TestMemoryWindow)
#include "test_memory_window.moc"
