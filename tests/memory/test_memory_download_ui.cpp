// SHOW DATA on the simulated meter: every kind of set length downloaded and listed in
// the downloaded-data window beside the memory window, the line time on a paced line,
// the buttons as they stay after it, a download that stops (meter switched off,
// Cancel, the memory window closed) keeping what came until the next download replaces
// it, and DataList's Save writing the record file.
#include <QAction>
#include <QFile>
#include <QPointer>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>

#include "memory_ui_rig.h"

using namespace lp;
using test::MemoryUiRig;
using test::sweep;
using test::sweepText;

namespace {

records::Record row(const memory::DataList& list, qsizetype index) {
    return list.records().store().record(index);
}

enum class Stop { SwitchedOffAtOnce, SwitchedOff, Cancel, CloseWindow };

}  // namespace

Q_DECLARE_METATYPE(Stop)

class TestMemoryDownloadUi : public QObject {
    Q_OBJECT
private slots:
    // First part (12 + 2N) mod 2048 bytes, then (12 + 2N) div 2048 blocks: the
    // lengths where the first part is the header alone, shorter than it, or nothing.
    // On a 9600-baud line a block takes over two seconds; the silence limit counts
    // from the last byte, so it never cuts in.
    void showDataListsTheSet_data() {
        QTest::addColumn<int>("records");
        QTest::addColumn<bool>("paced");
        for (int n : {0, 1, 1018, 1023, 1024, 2500, 65530}) {
            QTest::addRow("%d", n) << n << false;
        }
        QTest::newRow("2500 at 9600 baud") << 2500 << true;
    }
    void showDataListsTheSet() {
        QFETCH(int, records);
        QFETCH(bool, paced);
        MemoryUiRig r(paced);
        r.meter.addSet(sim::makeSet(test::kSetStart, 2, false, 7, 3));
        const sim::StoredSet set = sim::makeSet(test::kSetStart, 6, true, 15, records, sweep);
        r.meter.addSet(set);
        memory::Memory* w = r.chooseSet(2);
        QVERIFY(w);
        QCOMPARE(w->face().recordCountLabel->text(), QString::number(records));
        const qint64 begin = r.clock.elapsedMs();
        w->face().showDataButton->click();
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("00000"));
        QVERIFY(w->face().cancelButton->isVisible());
        QVERIFY(r.settle());
        QVERIFY(r.dialogs.shown.empty());
        if (paced) {
            const qint64 tookMs = r.clock.elapsedMs() - begin, lineMs = 5012 * 1000 / 960;
            QVERIFY2(tookMs >= lineMs && tookMs < lineMs + 200,
                     qPrintable(QString::number(tookMs)));
        }

        memory::DataList* list = r.flow.dataList();
        QVERIFY(list);
        QVERIFY(list->isVisible());
        QCOMPARE(list->title()->text(), QStringLiteral("%1  Records In No. 2  Set").arg(records));
        const QRect frame = w->frameGeometry();
        QCOMPARE(list->pos(), QPoint(frame.x() + frame.width(), frame.y()));
        QCOMPARE(list->recordCount(), records);
        QCOMPARE(list->grid(0)->model()->rowCount(), records);
        QCOMPARE(list->recordGrid().count(), records);
        for (int k = 1; k <= records; ++k) {
            // Records outside 30-130 dB carry their flag into the printout line.
            const QString line = list->recordGrid().row(k - 1).line;
            QCOMPARE(line.endsWith(u"Under"), sweep(k) < 30.0);
            QCOMPARE(line.endsWith(u"Over"), sweep(k) > 130.0);
            if (k % 97 == 1 || k == records) {
                const records::Record rec = row(*list, k - 1);
                QCOMPARE(rec.no, QString::number(k));
                QCOMPARE(rec.dateTime, test::stampOf(k, 15));
                QCOMPARE(rec.level, sweepText(k));
                QCOMPARE(list->recordGrid().row(k - 1).number, QString::number(k));
                QVERIFY(line.contains(sweepText(k)));
            }
        }
        QCOMPARE(w->face().messageLabel->text(),
                 QStringLiteral("%1 Records Completed").arg(records));
        // ID CODE, SAMPLING and TIME OF METER stay off after a download.
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("00001"));
        QVERIFY(!w->face().cancelButton->isVisible());
        QVERIFY(!list->plotButton()->isEnabled());
        QVERIFY(!list->printButton()->isEnabled());
        QVERIFY(list->saveButton()->isEnabled());
        QCOMPARE(list->toolbarSave()->objectName(), QStringLiteral("Save"));
        QCOMPARE(list->toolbarSave()->toolTip(), QStringLiteral("Save As"));
    }

    void stoppedDownloadKeepsWhatCame_data() {
        QTest::addColumn<Stop>("stop");
        QTest::newRow("meter switched off before it answers") << Stop::SwitchedOffAtOnce;
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
        r.meter.setFault(stop == Stop::SwitchedOffAtOnce ? sim::Fault::SwitchedOff
                                                         : sim::Fault::None);
        w->face().showDataButton->click();
        // The first part (1916 bytes, 952 records) is in.
        QVERIFY(
            stop == Stop::SwitchedOffAtOnce ||
            r.clock.advanceUntil(
                [&] { return w->face().messageLabel->text() == "952 Records Completed"; }, 10000));
        switch (stop) {
            case Stop::SwitchedOffAtOnce:
                break;
            case Stop::SwitchedOff:
                r.meter.setFault(sim::Fault::SwitchedOff);
                break;
            case Stop::Cancel:
                QVERIFY(w->face().cancelButton->isVisible());
                w->face().cancelButton->click();
                break;
            case Stop::CloseWindow:
                w->close();
                break;
        }
        QVERIFY(r.settle());
        QCOMPARE(r.dialogs.messages().size(), 1);
        const QString message = r.dialogs.messages()[0];
        const QLocale english(QLocale::English);
        const auto bytes =
            QRegularExpression(QStringLiteral("([0-9,]+) of 6,012 bytes")).match(message);
        QVERIFY2(bytes.hasMatch(), qPrintable(message));
        const qsizetype came = english.toLongLong(bytes.captured(1));
        QVERIFY(came < 6012);
        QCOMPARE(came >= 1916, stop != Stop::SwitchedOffAtOnce);
        const qsizetype whole = std::max<qsizetype>(0, (came - 12) / 2);
        QVERIFY2(
            message.contains(u"download of set 1") &&
                message.contains(QStringLiteral("%1 of 6,012 bytes").arg(english.toString(came))) &&
                message.endsWith(
                    whole == 0
                        ? QStringLiteral("No record came whole, so none is listed.")
                        : QStringLiteral("The list shows the %1 of 3,000 records that came whole.")
                              .arg(english.toString(whole))),
            qPrintable(message));
        QCOMPARE(message.contains(u"cancelled"), stop == Stop::Cancel || stop == Stop::CloseWindow);

        memory::DataList* list = r.flow.dataList();
        QCOMPARE(list != nullptr, whole > 0);
        if (list) {
            QCOMPARE(list->recordCount(), whole);
            QCOMPARE(list->title()->text(),
                     QStringLiteral("%1 of 3000  Records In No. 1  Set").arg(whole));
            QCOMPARE(row(*list, whole - 1).level, sweepText(static_cast<int>(whole)));
        }
        if (stop == Stop::CloseWindow) {
            MemoryUiRig::flushDeletes();
            QVERIFY(!w);
            QVERIFY(r.flow.dataList());  // the list outlives the memory window
            return;
        }
        QCOMPARE(MemoryUiRig::enabledButtons(*w), QStringLiteral("11101"));
        QVERIFY(!w->face().cancelButton->isVisible());
        // The program goes on: the meter is back and the set comes whole, in a new list.
        QPointer<memory::DataList> partial = list;
        r.meter.setFault(sim::Fault::None);
        w->face().showDataButton->click();
        QVERIFY(!partial || !partial->isVisible());  // gone before the download starts
        QVERIFY(r.settle());
        MemoryUiRig::flushDeletes();
        QVERIFY(!partial);
        QCOMPARE(r.dialogs.messages().size(), 1);
        QCOMPARE(r.flow.dataList()->recordCount(), 3000);
        QCOMPARE(r.flow.dataList()->title()->text(), QStringLiteral("3000  Records In No. 1  Set"));
        // A new MEMORY replaces the memory window; the list stays.
        r.flow.open();
        QVERIFY(r.settle());
        MemoryUiRig::flushDeletes();
        QVERIFY(!w);
        QVERIFY(r.flow.dataList() && r.flow.dataList()->isVisible());
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
        w->face().showDataButton->click();
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
