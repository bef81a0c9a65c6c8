// SHOW DATA on the simulated meter: the chosen set listed in the downloaded-data
// window beside the memory window, DataList's Save, and a download that stops (meter
// switched off, Cancel, the memory window closed) keeping what came until the next
// download replaces it.
#include <QAction>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>

#include "memory_ui_rig.h"

using namespace lp;
using test::MemoryUiRig;

namespace {
enum class Stop { SwitchedOff, Cancel, CloseWindow };
}  // namespace

Q_DECLARE_METATYPE(Stop)

class TestMemoryDownloadUi : public QObject {
    Q_OBJECT
private slots:
    void showDataListsTheSetAndSaves() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        MemoryUiRig r;
        const QList<double> levels{65.3, 100.5, 29.0};
        r.meter.addSet(sim::makeSet(test::kSetStart, 2, false, 7, 5));
        r.meter.addSet(
            sim::makeSet(test::kSetStart, 6, true, 30, 3, [&](int k) { return levels[k - 1]; }));
        memory::Memory* w = r.chooseSet(2);
        QVERIFY(w);
        w->face().showDataButton->click();
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("00000"));
        QVERIFY(w->face().cancelButton->isVisible());
        QVERIFY(r.settle());
        QVERIFY(r.dialogs.shown.empty());
        QCOMPARE(w->face().messageLabel->text(), QStringLiteral("3 Records Completed"));
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("00001"));
        QVERIFY(!w->face().cancelButton->isVisible());

        memory::DataList* list = r.flow.dataList();
        QVERIFY(list && list->isVisible());
        QCOMPARE(list->windowTitle(), QStringLiteral("DataList"));
        QCOMPARE(list->title()->text(), QStringLiteral("3  Records In No. 2  Set"));
        const QRect frame = w->frameGeometry();
        QCOMPARE(list->pos(), QPoint(frame.x() + frame.width(), frame.y()));
        QCOMPARE(list->grid(0)->model()->rowCount(), 3);
        QCOMPARE(list->recordGrid().count(), 3);
        QCOMPARE(list->recordGrid().row(2).number, QStringLiteral("3"));
        QVERIFY(list->recordGrid().row(2).line.startsWith(u"2009/12/31    23:51:00     29.0"));
        QVERIFY(!list->plotButton()->isEnabled());
        QVERIFY(!list->printButton()->isEnabled());
        QCOMPARE(list->toolbarSave()->toolTip(), QStringLiteral("Save As"));

        const QString byButton = dir.filePath(QStringLiteral("button.sdm"));
        const QString byToolbar = dir.filePath(QStringLiteral("toolbar.sdm"));
        r.dialogs.saveNames = {byButton, byToolbar, std::nullopt};
        list->saveButton()->click();
        list->toolbarSave()->trigger();
        QVERIFY(!list->save());  // the dialog is cancelled: nothing written
        for (const QString& path : {byButton, byToolbar}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), QByteArray("No.s\tDate Time\tdB\t\r\n"
                                                "1\t2009/12/31 23:50:00\t65.3\t\r\n"
                                                "2\t2009/12/31 23:50:30\t100.5\t\r\n"
                                                "3\t2009/12/31 23:51:00\t29.0\t\r\n"));
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
        QVERIFY(r.dialogs.messages().isEmpty());
    }

    void stoppedDownloadKeepsWhatCame_data() {
        QTest::addColumn<Stop>("stop");
        QTest::addColumn<int>("listed");
        QTest::newRow("meter switched off before it answers") << Stop::SwitchedOff << 0;
        QTest::newRow("cancel") << Stop::Cancel << 952;
        QTest::newRow("memory window closed") << Stop::CloseWindow << 952;
    }
    void stoppedDownloadKeepsWhatCame() {
        QFETCH(Stop, stop);
        QFETCH(int, listed);
        MemoryUiRig r;
        r.meter.addSet(sim::makeSet(test::kSetStart, 6, true, 1, 3000));
        QPointer<memory::Memory> w = r.chooseSet(1);
        QVERIFY(w);
        r.meter.setFault(stop == Stop::SwitchedOff ? sim::Fault::SwitchedOff : sim::Fault::None);
        w->face().showDataButton->click();
        if (stop != Stop::SwitchedOff) {
            // The first part (1916 bytes, 952 records) is in.
            QVERIFY(r.clock.advanceUntil(
                [&] { return w->face().messageLabel->text() == "952 Records Completed"; }, 10000));
            QVERIFY(w->face().cancelButton->isVisible());
            stop == Stop::Cancel ? w->face().cancelButton->click() : (void)w->close();
        }
        QVERIFY(r.settle());
        QCOMPARE(r.dialogs.messages().size(), 1);
        QVERIFY(r.dialogs.messages()[0].contains(u"download of set 1"));
        QCOMPARE(r.dialogs.shown[0].icon, stop == Stop::SwitchedOff
                                              ? platform::MessageIcon::Warning
                                              : platform::MessageIcon::Information);
        memory::DataList* list = r.flow.dataList();
        QCOMPARE(list != nullptr, listed > 0);
        if (list) {
            QCOMPARE(list->recordCount(), listed);
            QCOMPARE(list->title()->text(),
                     QStringLiteral("%1 of 3000  Records In No. 1  Set").arg(listed));
        }
        if (stop == Stop::CloseWindow) {
            MemoryUiRig::flushDeletes();
            QVERIFY(!w);
            QVERIFY(r.flow.dataList());  // the list outlives the memory window
            return;
        }
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("11101"));
        // The meter is back: the partial list goes before the download starts.
        QPointer<memory::DataList> partial = list;
        r.meter.setFault(sim::Fault::None);
        w->face().showDataButton->click();
        QVERIFY(!partial || !partial->isVisible());
        QVERIFY(r.settle());
        MemoryUiRig::flushDeletes();
        QVERIFY(!partial);
        QCOMPARE(r.flow.dataList()->recordCount(), 3000);
        // A new MEMORY replaces the memory window; the list stays.
        r.flow.open();
        QVERIFY(r.settle());
        MemoryUiRig::flushDeletes();
        QVERIFY(!w);
        QVERIFY(r.flow.dataList() && r.flow.dataList()->isVisible());
    }
};

QTEST_MAIN(TestMemoryDownloadUi)
#include "test_memory_download_ui.moc"
