// The memory windows' wiring on the simulated meter (the rules: test_memory_browser):
// MEMORY, the controls, SHOW DATA's DataList and its commands, a stopped download.
#include <QAccessible>
#include <QAction>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include "face.h"
#include "files.h"
#include "keys.h"
#include "memory/downloaded_set_window.h"
#include "memory/memory_flow.h"
#include "memory/memory_window.h"
#include "memory/set_grid.h"
#include "memory_rig.h"
#include "scripted_dialogs.h"
#include "stats/survey.h"

using namespace lp;

namespace {

// The simulated meter with scripted dialogs and the MEMORY flow.
struct MemoryUiRig : test::SimRig {
    test::ScriptedDialogs dialogs;
    QWidget panel;
    memory::MemoryFlow flow{link, dialogs, &panel};

    ~MemoryUiRig() { flushDeletes(); }

    static void flushDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The panel's MEMORY: the window that shows once the status is in.
    memory::MemoryWindow* openMemory() {
        flow.open();
        settle();
        return flow.memoryWindow();
    }

    // MEMORY, TIME OF RECORDING and a click on set `row`.
    memory::MemoryWindow* chooseSet(int row) {
        memory::MemoryWindow* w = openMemory();
        if (w != nullptr) {
            w->face().setTableButton->click();
            settle();
            clickSetRow(*w, row);
        }
        return w;
    }

    // That, then SHOW DATA run to its end: the DataList.
    memory::DownloadedSetWindow* showData(int row) {
        if (memory::MemoryWindow* w = chooseSet(row)) {
            w->face().showDataButton->click();
            settle();
        }
        return flow.dataList();
    }

    // A mouse click on set row `row` (row 1 is the first set).
    static void clickSetRow(memory::MemoryWindow& w, int row) {
        memory::SetGrid* grid = w.face().setGrid;
        const QRect cell = grid->visualRect(grid->model()->index(row - 1, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }
};

enum class Stop { SwitchedOff, Cancel, CloseWindow };

}  // namespace

Q_DECLARE_METATYPE(Stop)

class TestMemoryWindow : public QObject {
    Q_OBJECT
private slots:
    // The values are the status of a meter with id code 4321 and one set of 506
    // records (1024 bytes used).
    void face_data() {
        lp::test::faceRows(
            {"Memory|Memory", "SSPanel1|MEMORY", "SSPanel2|REMAINING", "SSPanel3|NUMBERS OF REC",
             "SSPanel4|NUMBERS OF SET", "LblMemorySize|128 K|Memory",
             "LblRemaining|127.5 K|Remaining", "LblNoOfRec||Numbers of records",
             "LblNoOfSet|1|Numbers of sets", "CmdIdCode|ID CODE", "TxtIdCode|4321|ID code",
             "CmdSampling|SAMPLING", "TxtSampling|2 sec|Sampling interval", "CmdTime|TIME OF METER",
             "LblTimeOfMeter|03/15/09-----14:05:09|Time of meter", "CmdTimeOfRec|TIME OF RECORDING",
             "CmdShowData|SHOW DATA", "CmdCancel|Cancel", "LblMessage||Message"});
    }
    void face() {
        MemoryUiRig r;
        r.clock.setNow(QDateTime(QDate(2009, 3, 15), QTime(14, 5, 9)));
        r.meter.idCode = 4321;
        r.meter.addSet(sim::makeSet(test::kSetStart, 6, true, 1, 506));
        memory::MemoryWindow* w = r.openMemory();
        QVERIFY(w && w->isVisible());
        QVERIFY(!w->face().setGrid->isVisible());
        w->face().meterClockButton->click();
        QVERIFY(r.settle());
        test::checkFace(*w);
        // Assistive technology reads the values, not only the labels' names.
        QAccessibleInterface* spoken =
            QAccessible::queryAccessibleInterface(w->face().remainingLabel);
        QCOMPARE(spoken->text(QAccessible::Description), QStringLiteral("127.5 K"));
    }

    void dataListFace_data() {
        lp::test::faceRows(
            {"DataList|DataList", "LblTitle|5  Records In No. 1  Set|Title", "CmdDsave|Save",
             "CmdDplot|Plot", "CmdDprint|Print", "Save|Save (Save As (Ctrl+S))|Save",
             "Ln|Ln (Percentile Sound Level)|Ln",
             "Survey|Survey… (Periods, day, evening and night levels, events)|Survey…"});
    }
    void dataListFace() {
        MemoryUiRig r;
        r.meter.addSet(sim::makeSet(test::kSetStart, 2, false, 7, 5));
        memory::DownloadedSetWindow* list = r.showData(1);
        QVERIFY(list);
        test::checkFace(*list);
    }

    // The keys reach the commands of the memory window and the DataList.
    void keysRunCommands_data() {
        lp::test::keyRows({{"Ctrl+W", "Memory CloseKeys"},
                           {"Ctrl+S", "DataList Save"},
                           {"Ctrl+P", "DataList CmdDprint"},
                           {"Esc", "DataList CloseKeys"}});
    }
    void keysRunCommands() {
        QFETCH(QKeySequence, keys);
        QFETCH(QString, command);
        const QStringList parts = command.split(u' ');
        MemoryUiRig r;
        r.meter.addSet(sim::makeSet(test::kSetStart, 2, false, 7, 5));
        QWidget* window =
            parts[0] == "DataList" ? static_cast<QWidget*>(r.showData(1)) : r.openMemory();
        QVERIFY(window);
        QCOMPARE(lp::test::runsOnKeys(*window, parts[1], keys), 1);
    }

    // A status that does not come is told; each answered press shows one fresh window.
    void eachMemoryPressShowsAFreshWindow() {
        MemoryUiRig r;
        r.meter.setFault(sim::Fault::SwitchedOff);
        r.flow.open();
        QVERIFY(r.settle());
        QCOMPARE(r.flow.memoryWindow(), nullptr);
        QCOMPARE(r.dialogs.messages().size(), 1);
        QVERIFY(r.dialogs.messages()[0].contains(u"memory status request"));
        r.meter.setFault(sim::Fault::None);
        QPointer<memory::MemoryWindow> first = r.openMemory();
        QVERIFY(first);
        r.meter.idCode = 77;
        r.flow.open();
        r.flow.open();
        QVERIFY(r.settle());
        MemoryUiRig::flushDeletes();
        QVERIFY(!first);
        QVERIFY(r.flow.memoryWindow() != nullptr);
        QCOMPARE(r.flow.memoryWindow()->face().idCodeBox->text(), QStringLiteral("77"));
        QCOMPARE(r.panel.findChildren<memory::MemoryWindow*>().size(), 0);
    }

    // Each setting button sends its own box; a refused one is told and its box gets focus.
    void settingButtonsSendTheirBoxes() {
        MemoryUiRig r;
        memory::MemoryWindow* w = r.openMemory();
        QVERIFY(w);
        const memory::MemoryFace& f = w->face();
        f.samplingBox->setText(QStringLiteral("65536"));
        f.idCodeBox->setText(QStringLiteral("300"));
        f.samplingButton->click();  // refused: nothing is sent (test_memory_browser)
        QCOMPARE(r.dialogs.messages(), QStringList{QStringLiteral("Invalid No.s, Try Again!")});
        QCOMPARE(r.dialogs.shown[0].icon, platform::MessageIcon::Critical);
        QCOMPARE(w->focusWidget(), f.samplingBox);
        f.idCodeButton->click();
        QVERIFY(r.settle());
        QCOMPARE(int{r.meter.idCode}, 300);
    }

    // TIME OF RECORDING fills the set grid (none without a set); a click chooses a set.
    void setTableAndChoice() {
        MemoryUiRig empty;
        memory::MemoryWindow* none = empty.openMemory();
        QVERIFY(none);
        none->face().setTableButton->click();
        QVERIFY(empty.settle());
        QVERIFY(none->browser().setsListed());
        QVERIFY(!none->face().setGrid->isVisible());

        MemoryUiRig r;
        for (int records : {10, 11, 70000}) {
            r.meter.addSet(sim::makeSet(test::kSetStart.addDays(records), 0, true, 1, records));
        }
        memory::MemoryWindow* w = r.openMemory();
        QVERIFY(w);
        const memory::MemoryFace& f = w->face();
        f.setTableButton->click();
        QVERIFY(f.cancelButton->isVisible());
        QVERIFY(r.settle());
        QVERIFY(!f.cancelButton->isVisible());
        QVERIFY(f.setGrid->isVisible() && f.setGrid->isEnabled());
        QCOMPARE(f.setGrid->listedSets(), 3);
        QCOMPARE(f.setGrid->cellText(3, 1), QStringLiteral("08/27/01----23:50:00"));

        MemoryUiRig::clickSetRow(*w, 3);
        QCOMPARE(f.recordCountLabel->text(), QStringLiteral("70000"));
        QVERIFY(!f.setTableButton->isEnabled());  // which commands open up: test_memory_browser
    }

    void showDataListsTheSetAndSaves() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        MemoryUiRig r;
        const QList<double> levels{65.3, 100.5, 29.0};
        r.meter.addSet(sim::makeSet(test::kSetStart, 2, false, 7, 5));
        r.meter.addSet(
            sim::makeSet(test::kSetStart, 6, true, 30, 3, [&](int k) { return levels[k - 1]; }));
        memory::DownloadedSetWindow* list = r.showData(2);
        QVERIFY(list && list->isVisible());
        memory::MemoryWindow* w = r.flow.memoryWindow();
        QCOMPARE(w->face().messageLabel->text(), QStringLiteral("3 Records Completed"));
        const QRect frame = w->frameGeometry();
        // Beside the memory window, as far as the screen lets it.
        const int right = list->screen()->availableGeometry().right() + 1;
        QCOMPARE(list->pos(),
                 QPoint(std::min(frame.x() + frame.width(), right - list->frameGeometry().width()),
                        frame.y()));
        QVERIFY(list->recordGrid().row(2).line.startsWith(u"2009/12/31    23:51:00     29.0"));
        QVERIFY(!list->plotButton()->isEnabled());
        // Print: the plain list of the record lines (test_printouts), two heading lines.
        r.dialogs.printers = {1};
        list->printButton()->click();
        QTRY_COMPARE(r.dialogs.printLog->lines().size(), 2 + 3);

        // Save (button and toolbar) and Export CSV write the listed set (the layouts:
        // test_record_file, test_csv_export).
        const QString byButton = dir.filePath(QStringLiteral("button.sdm"));
        const QString byToolbar = dir.filePath(QStringLiteral("toolbar.sdm"));
        const QString csv = dir.filePath(QStringLiteral("set.csv"));
        r.dialogs.saveNames = {byButton, byToolbar, csv};
        list->saveButton()->click();
        list->toolbarSave()->trigger();
        list->findChild<QAction*>(QStringLiteral("MnuExportCsv"))->trigger();
        QVERIFY(test::readAll(byButton).endsWith("3\t2009/12/31 23:51:00\t29.0\t\r\n"));
        QCOMPARE(test::readAll(byToolbar), test::readAll(byButton));
        QVERIFY(test::readAll(csv).endsWith("3,2009-12-31T23:51:00,29.0\r\n"));
        // Beside a saved set, its metadata (what it holds: test_cli_metadata).
        const QJsonObject set =
            QJsonDocument::fromJson(test::readAll(byButton + QStringLiteral(".meta"))).object();
        QCOMPARE(set[QStringLiteral("range")].toArray(), (QJsonArray{30, 130}));
        QVERIFY(r.dialogs.messages().isEmpty());

        // The set as a survey held in memory is the survey of the file Save wrote, with
        // what its metadata tells (how records become a survey: test_survey).
        const auto figures = [](const stats::SurveyRecords& read) {
            const stats::SurveyResult s = stats::analyseSurvey(read, stats::SurveyOptions{});
            return QStringList{
                stats::figureLabel(s.notation, stats::Figure::Leq, 0, 3600),
                QStringLiteral("%1 records from %2 every %3 s")
                    .arg(s.records)
                    .arg(QDateTime::fromSecsSinceEpoch(*s.first).toString(Qt::ISODate))
                    .arg(s.interval.value_or(0)),
                QString::number(*s.periods.list.front().leq, 'f', 2)};
        };
        const QStringList held = figures(list->survey());
        QCOMPARE(held, figures(stats::readSurvey({byButton})));
        QCOMPARE(held.mid(0, 2),
                 (QStringList{"LAeq,1h", "3 records from 2009-12-31T23:50:00 every 30 s"}));
    }

    void stoppedDownloadKeepsWhatCame_data() {
        QTest::addColumn<Stop>("stop");
        QTest::addColumn<int>("listed");
        QTest::addColumn<QString>("ending");
        const QString part =
            QStringLiteral("The list shows the 952 of 3,000 records that came whole.");
        QTest::newRow("meter switched off before it answers")
            << Stop::SwitchedOff << 0 << "No record came whole, so none is listed.";
        QTest::newRow("cancel") << Stop::Cancel << 952 << part;
        QTest::newRow("memory window closed") << Stop::CloseWindow << 952 << part;
    }
    void stoppedDownloadKeepsWhatCame() {
        QFETCH(Stop, stop);
        QFETCH(int, listed);
        MemoryUiRig r;
        r.meter.addSet(sim::makeSet(test::kSetStart, 6, true, 1, 3000));
        QPointer<memory::MemoryWindow> w = r.chooseSet(1);
        QVERIFY(w);
        r.meter.setFault(stop == Stop::SwitchedOff ? sim::Fault::SwitchedOff : sim::Fault::None);
        w->face().showDataButton->click();
        if (stop != Stop::SwitchedOff) {
            // The first part (1916 bytes, 952 records) is in.
            QVERIFY(r.clock.advanceUntil(
                [&] { return w->face().messageLabel->text() == "952 Records Completed"; }, 10000));
            stop == Stop::Cancel ? w->face().cancelButton->click() : (void)w->close();
        }
        QVERIFY(r.settle());
        QCOMPARE(r.dialogs.messages().size(), 1);
        QFETCH(QString, ending);
        QVERIFY2(r.dialogs.messages()[0].endsWith(ending), qPrintable(r.dialogs.messages()[0]));
        QCOMPARE(r.dialogs.shown[0].icon, stop == Stop::SwitchedOff
                                              ? platform::MessageIcon::Warning
                                              : platform::MessageIcon::Information);
        memory::DownloadedSetWindow* list = r.flow.dataList();
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
        // The meter is back: the partial list goes before the download starts.
        QPointer<memory::DownloadedSetWindow> partial = list;
        r.meter.setFault(sim::Fault::None);
        w->face().showDataButton->click();
        QVERIFY(!partial || !partial->isVisible());
        QVERIFY(r.settle());
        MemoryUiRig::flushDeletes();
        QVERIFY(!partial);
        QCOMPARE(r.flow.dataList()->recordCount(), 3000);
    }
};

QTEST_MAIN(TestMemoryWindow)
#include "test_memory_window.moc"
