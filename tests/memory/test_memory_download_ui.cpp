// SHOW DATA on the simulated meter: the set listed in the downloaded-data window
// beside the memory window, the buttons as they stay after it, a download that stops
// (meter switched off, Cancel, the memory window closed) keeping what came, and
// DataList's Save writing the record file.
#include <QAction>
#include <QFile>
#include <QPointer>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>

#include "memory_ui_rig.h"

using namespace lp;
using test::MemoryUiRig;

namespace {

// Levels that leave the 30-130 dB range on both sides and use the hundreds digit.
int sweepTenths(int k) {
    return 250 + ((k - 1) * 37) % 1111;
}
double sweep(int k) {
    return sweepTenths(k) / 10.0;
}
QString sweepText(int k) {
    return QString::number(sweepTenths(k) / 10.0, 'f', 1);
}
QString stampOf(int k, int intervalSec) {
    return test::kSetStart.addSecs(qint64{intervalSec} * (k - 1))
        .toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

records::Record row(const memory::DataList& list, qsizetype index) {
    return list.records().store().record(index);
}

enum class Stop { SwitchedOff, Cancel, CloseWindow };

}  // namespace

Q_DECLARE_METATYPE(Stop)

class TestMemoryDownloadUi : public QObject {
    Q_OBJECT
private slots:
    void showDataListsTheSet_data() {
        QTest::addColumn<int>("records");
        QTest::newRow("empty set") << 0;
        QTest::newRow("5") << 5;
        QTest::newRow("2500, two blocks") << 2500;
        QTest::newRow("full 128 K memory") << 65530;
    }
    void showDataListsTheSet() {
        QFETCH(int, records);
        MemoryUiRig r;
        r.meter.addSet(sim::makeSet(test::kSetStart, 2, false, 7, 3));
        r.meter.addSet(sim::makeSet(test::kSetStart, 6, true, 15, records, sweep));
        memory::Memory* w = r.chooseSet(2);
        QVERIFY(w);
        w->face().CmdShowData->click();
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("00000"));
        QVERIFY(w->face().CmdCancel->isVisible());
        QVERIFY(r.settle());
        QVERIFY(r.dialogs.shown.empty());

        memory::DataList* list = r.flow.dataList();
        QVERIFY(list);
        QVERIFY(list->isVisible());
        QCOMPARE(list->windowTitle(), QStringLiteral("DataList"));
        QCOMPARE(list->title()->text(), QStringLiteral("%1  Records In No. 2  Set").arg(records));
        const QRect frame = w->frameGeometry();
        QCOMPARE(list->pos(), QPoint(frame.x() + frame.width(), frame.y()));
        QCOMPARE(list->recordCount(), records);
        QCOMPARE(list->grid(0)->model()->rowCount(), records);
        QCOMPARE(list->recordGrid().count(), records);
        QCOMPARE(list->recordGrid().header(),
                 QStringLiteral("       Date            Time       Value  A/C   BT      "
                                "Range     O/U"));
        for (int k : {1, records}) {
            if (k < 1 || k > records) {
                continue;
            }
            const records::Record rec = row(*list, k - 1);
            QCOMPARE(rec.no, QString::number(k));
            QCOMPARE(rec.dateTime, stampOf(k, 15));
            QCOMPARE(rec.level, sweepText(k));
            QCOMPARE(list->recordGrid().row(k - 1).number, QString::number(k));
            QVERIFY(list->recordGrid().row(k - 1).line.contains(sweepText(k)));
        }
        QCOMPARE(w->face().LblMessage->text(), QStringLiteral("%1 Records Completed").arg(records));
        // ID CODE, SAMPLING and TIME OF METER stay off after a download.
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("00001"));
        QVERIFY(!w->face().CmdCancel->isVisible());
        QVERIFY(!list->plotButton()->isEnabled());
        QVERIFY(!list->printButton()->isEnabled());
        QVERIFY(list->saveButton()->isEnabled());
        QCOMPARE(list->toolbarSave()->objectName(), QStringLiteral("Save"));
        QCOMPARE(list->toolbarSave()->toolTip(), QStringLiteral("Save As"));

        // The three grids scroll as one.
        if (records > 100) {
            list->grid(2)->verticalScrollBar()->setValue(records / 2);
            QVERIFY(list->grid(2)->rowAt(0) > 0);
            QCOMPARE(list->grid(0)->rowAt(0), list->grid(2)->rowAt(0));
            QCOMPARE(list->grid(1)->rowAt(0), list->grid(2)->rowAt(0));
        }
    }

    void nextDownloadReplacesTheList() {
        MemoryUiRig r;
        r.meter.addSet(sim::makeSet(test::kSetStart, 0, true, 1, 4));
        r.meter.addSet(sim::makeSet(test::kSetStart, 0, true, 1, 9));
        memory::Memory* w = r.chooseSet(1);
        QVERIFY(w);
        w->face().CmdShowData->click();
        QVERIFY(r.settle());
        QPointer<memory::DataList> first = r.flow.dataList();
        QVERIFY(first);
        MemoryUiRig::clickSetRow(*w, 2);
        w->face().CmdShowData->click();
        QVERIFY(!first->isVisible());  // gone before the download starts
        QVERIFY(r.settle());
        MemoryUiRig::flushDeletes();
        QVERIFY(!first);
        QCOMPARE(r.flow.dataList()->recordCount(), 9);
        QCOMPARE(r.flow.dataList()->title()->text(), QStringLiteral("9  Records In No. 2  Set"));

        // The list outlives the memory window that a new MEMORY replaces.
        QPointer<memory::DataList> second = r.flow.dataList();
        QPointer<memory::Memory> oldMemory = w;
        r.flow.open();
        QVERIFY(r.settle());
        MemoryUiRig::flushDeletes();
        QVERIFY(!oldMemory);
        QVERIFY(second);
        QVERIFY(second->isVisible());
    }

    void stoppedDownloadKeepsWhatCame_data() {
        QTest::addColumn<Stop>("stop");
        QTest::newRow("meter switched off") << Stop::SwitchedOff;
        QTest::newRow("cancel") << Stop::Cancel;
        QTest::newRow("memory window closed") << Stop::CloseWindow;
    }
    void stoppedDownloadKeepsWhatCame() {
        QFETCH(Stop, stop);
        MemoryUiRig r;
        r.meter.addSet(sim::makeSet(test::kSetStart, 6, true, 1, 3000, sweep));
        QPointer<memory::Memory> w = r.chooseSet(1);
        QVERIFY(w);
        w->face().CmdShowData->click();
        // The first part (1916 bytes) is in.
        QVERIFY(r.clock.advanceUntil([&] { return r.state.MemoryData.size() >= 1916; }, 10000));
        switch (stop) {
            case Stop::SwitchedOff:
                r.meter.setFault(sim::Fault::SwitchedOff);
                break;
            case Stop::Cancel:
                QVERIFY(w->face().CmdCancel->isVisible());
                w->face().CmdCancel->click();
                break;
            case Stop::CloseWindow:
                w->close();
                break;
        }
        QVERIFY(r.settle());
        QVERIFY(!r.link.busy());
        const qsizetype came = r.state.MemoryData.size();
        QVERIFY(came < 6012);
        const qsizetype whole = (came - 12) / 2;

        QCOMPARE(r.dialogs.messages().size(), 1);
        const QString message = r.dialogs.messages()[0];
        QVERIFY2(message.contains(u"download of set 1") &&
                     message.contains(QStringLiteral("%1 of 6,012 bytes")
                                          .arg(QLocale(QLocale::English).toString(came))) &&
                     message.endsWith(QStringLiteral("The list shows the %1 of 3,000 records "
                                                     "that came whole.")
                                          .arg(QLocale(QLocale::English).toString(whole))),
                 qPrintable(message));
        QCOMPARE(message.contains(u"cancelled"), stop != Stop::SwitchedOff);

        memory::DataList* list = r.flow.dataList();
        QVERIFY(list);
        QCOMPARE(list->recordCount(), whole);
        QCOMPARE(list->title()->text(),
                 QStringLiteral("%1 of 3000  Records In No. 1  Set").arg(whole));
        QCOMPARE(row(*list, whole - 1).level, sweepText(static_cast<int>(whole)));

        if (stop == Stop::CloseWindow) {
            MemoryUiRig::flushDeletes();
            QVERIFY(!w);
            return;
        }
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("11101"));
        QVERIFY(!w->face().CmdCancel->isVisible());
        // The program goes on: the meter is back and the set comes whole.
        r.meter.setFault(sim::Fault::None);
        w->face().CmdShowData->click();
        QVERIFY(r.settle());
        QCOMPARE(r.dialogs.messages().size(), 1);
        QCOMPARE(r.flow.dataList()->recordCount(), 3000);
        QCOMPARE(r.flow.dataList()->title()->text(), QStringLiteral("3000  Records In No. 1  Set"));
    }

    void downloadWithoutAnswerListsNothing() {
        MemoryUiRig r;
        r.meter.addSet(sim::makeSet(test::kSetStart, 0, true, 1, 10));
        memory::Memory* w = r.chooseSet(1);
        QVERIFY(w);
        r.meter.setFault(sim::Fault::SwitchedOff);
        w->face().CmdShowData->click();
        QVERIFY(r.settle());
        QCOMPARE(r.flow.dataList(), nullptr);
        QCOMPARE(r.dialogs.messages().size(), 1);
        QVERIFY2(r.dialogs.messages()[0].endsWith(u"No record came whole, so none is listed."),
                 qPrintable(r.dialogs.messages()[0]));
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("11101"));
    }

    void saveWritesTheRecordFile() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        MemoryUiRig r;
        const QList<double> levels{65.3, 100.5, 29.0};
        r.meter.addSet(
            sim::makeSet(test::kSetStart, 6, true, 30, 3, [&](int k) { return levels[k - 1]; }));
        memory::Memory* w = r.chooseSet(1);
        QVERIFY(w);
        w->face().CmdShowData->click();
        QVERIFY(r.settle());
        memory::DataList* list = r.flow.dataList();
        QVERIFY(list);

        const QByteArray expected =
            "No.s\tDate Time\tdB\t\r\n"
            "1\t2009/12/31 23:50:00\t65.3\t\r\n"
            "2\t2009/12/31 23:50:30\t100.5\t\r\n"
            "3\t2009/12/31 23:51:00\t29.0\t\r\n";
        const QString byButton = dir.filePath(QStringLiteral("button.sdm"));
        const QString byToolbar = dir.filePath(QStringLiteral("toolbar.sdm"));
        r.dialogs.saveNames = {byButton, byToolbar, std::nullopt};
        list->saveButton()->click();
        list->toolbarSave()->trigger();
        QVERIFY(!list->save());  // the dialog is cancelled: nothing written
        for (const QString& path : {byButton, byToolbar}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), expected);
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
        QCOMPARE(list->windowTitle(), QStringLiteral("DataList"));
        QCOMPARE(r.dialogs.messages(), QStringList());
    }
};

QTEST_MAIN(TestMemoryDownloadUi)
#include "test_memory_download_ui.moc"
