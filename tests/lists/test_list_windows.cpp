// The live list and the saved-file window wired to their feed, opener and printouts
// (numbering and dump rule: test_live_list_run; printout lines: test_printouts).
#include <QAction>
#include <QFile>
#include <QKeyEvent>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QWindow>

#include "face.h"
#include "files.h"
#include "keys.h"
#include "lists/csv_export_command.h"
#include "lists/live_list_feed.h"
#include "lists/live_list_window.h"
#include "lists/print_session.h"
#include "lists/printouts.h"
#include "lists/saved_file_opener.h"
#include "lists/saved_file_window.h"
#include "records/csv_export.h"
#include "scripted_dialogs.h"

using namespace lp::lists;
using lp::test::readAll;
using lp::test::ScriptedDialogs;
using lp::test::writeFile;

namespace {

const QDateTime kStart(QDate(2009, 3, 15), QTime(14, 5, 9));

QByteArray recordFile(int records) {
    QByteArray bytes = "No.s\tDate Time\tdB\t\r\n";
    for (int i = 1; i <= records; ++i) {
        bytes += QByteArray::number(i) + "\t2009/03/15 14:05:09\t" +
                 QByteArray::number(40.0 + i % 600 / 10.0, 'f', 1) + "\t\r\n";
    }
    return bytes;
}

// The list's rows as "no|dateTime|level".
QStringList rows(const LiveListWindow& list) {
    QStringList out;
    const auto& store = list.records().store();
    for (qsizetype i = 0; i < store.count(); ++i) {
        const auto r = store.record(i);
        out << r.no + u'|' + r.dateTime + u'|' + r.level;
    }
    return out;
}

QAction* action(QWidget* w, const char* name) {
    return w->findChild<QAction*>(QString::fromLatin1(name));
}

// Which of Pause and Continue are on, as "PC", "P-", "-C".
QString menus(QWidget* list) {
    return QString(action(list, "MnuPause")->isEnabled() ? u'P' : u'-') +
           (action(list, "MnuContinue")->isEnabled() ? u'C' : u'-');
}

}  // namespace

class TestListWindows : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<QWidget> panel_;
    std::unique_ptr<LiveListFeed> feed_;
    QStringList timerLog_;
    std::unique_ptr<SavedFileOpener> opener_;
    QDateTime clock_;

    // One sample tick of the panel, one second after the previous one.
    void tick(const QString& level = QStringLiteral("65.3")) {
        clock_ = clock_.addSecs(1);
        feed_->sample({clock_, clock_.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")), level, {}});
    }
    SavedFileWindow* openRecords(const char* name, int records) {
        const QString path = dir_.filePath(QString::fromLatin1(name));
        return writeFile(path, recordFile(records)) ? opener_->openFile(path) : nullptr;
    }

private slots:
    void init() {
        dialogs_ = ScriptedDialogs();
        timerLog_.clear();
        panel_ = std::make_unique<QWidget>();
        feed_ = std::make_unique<LiveListFeed>(dialogs_, panel_.get());
        lp::platform::LivePause timers{[this] { timerLog_ << QStringLiteral("pause"); },
                                       [this] { timerLog_ << QStringLiteral("resume"); }};
        opener_ = std::make_unique<SavedFileOpener>(dialogs_, timers, panel_.get());
        clock_ = kStart;
    }
    void cleanup() {
        opener_.reset();
        feed_.reset();
        panel_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void liveListFace_data() {
        lp::test::faceRows(
            {"List|List", "MnuPause|Pause (Pause (F5, Space))|Pause",
             "MnuContinue|Continue (Continue (F5, Space))|Continue",
             "MnuSave|Save (Save (Ctrl+S))|Save", "MnuGraph|Graph",
             "MnuPrint|Print (Print (Ctrl+P))|Print",
             "MnuExit|Exit (Exit (Ctrl+F4, Ctrl+W, Esc))|Exit", "Save|Save (Save As (Ctrl+S))|Save",
             "Csv|Export CSV (Export the records as CSV (Ctrl+E))|Export CSV",
             "Exit|Exit (Exit (Ctrl+F4, Ctrl+W, Esc))|Exit",
             "MnuExportCsv|Export CSV (Export the records as CSV (Ctrl+E))|Export CSV",
             "GridN0||No.s", "GridN1||Date Time", "GridN2||dB"});  // the grids: every list's
    }
    void liveListFace() {
        feed_->openList();
        lp::test::checkFace(*feed_->window());
    }

    void savedFileFace_data() {
        lp::test::faceRows({"HddSavedList|HDDSavedList", "MnuSave|Save", "MnuGraph|Graph",
                            "MnuPrint|Print (Print (Ctrl+P))|Print",
                            "MnuExit|Exit (Exit (Ctrl+F4, Ctrl+W, Esc))|Exit",
                            "Save|Save (Save As)|Save", "Plot|Plot (Graphic Plot)|Plot",
                            "Ln|Ln (Percentile Sound Level)|Ln", "Print|Print"});
    }
    void savedFileFace() {
        SavedFileWindow w(dialogs_, nullptr);
        w.show();
        lp::test::checkFace(w);
    }

    // The keys reach the commands of both lists; F5 and Space continue a paused list.
    void keysRunCommands_data() {
        lp::test::keyRows({{"Ctrl+S", "List MnuSave"},
                           {"Ctrl+P", "List MnuPrint"},
                           {"Ctrl+E", "List MnuExportCsv"},
                           {"Ctrl+W", "List MnuExit"},
                           {"F5", "List MnuPause"},
                           {"Space", "List MnuPause"},
                           {"Ctrl+P", "HddSavedList MnuPrint"},
                           {"Esc", "HddSavedList MnuExit"}});
    }
    void keysRunCommands() {
        QFETCH(QKeySequence, keys);
        QFETCH(QString, command);
        const QStringList parts = command.split(u' ');
        feed_->openList();
        QWidget* window = parts[0] == "List" ? static_cast<QWidget*>(feed_->window())
                                             : openRecords("keys.sdm", 3);
        QVERIFY(window);
        QCOMPARE(lp::test::runsOnKeys(*window, parts[1], keys), 1);
        if (parts[1] == "MnuPause") {
            QVERIFY(!feed_->listOn());
            QCOMPARE(lp::test::runsOnKeys(*window, "MnuContinue", keys), 1);
            QVERIFY(feed_->listOn());
        }
    }

    // Samples before LIST are dropped, then each one is a row, the newest current. The
    // window is wide enough for every menu command (none behind the bar's "more" button).
    void opensAndTakesSamples() {
        QSignalSpy on(feed_.get(), &LiveListFeed::listOnChanged);
        tick();
        feed_->openList();
        LiveListWindow* list = feed_->window();
        QVERIFY(list && list->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(list));
        const auto* more = list->menuBar()->findChild<QWidget*>("qt_menubar_ext_button");
        QVERIFY(more && !more->isVisible());
        QCOMPARE(on.size(), 1);
        tick(QStringLiteral("65.3"));
        tick(QStringLiteral("-"));
        QCOMPARE(rows(*list),
                 (QStringList{"1|2009/03/15 14:05:11|65.3", "2|2009/03/15 14:05:12|-"}));
        QCOMPARE(list->grid(2)->currentIndex().row(), 1);
    }

    // Pause/Continue reach the feed; LIST resumes a paused list; Exit ends it.
    void menusReachTheFeed() {
        feed_->openList();
        LiveListWindow* list = feed_->window();
        tick();
        action(list, "MnuContinue")->trigger();
        QCOMPARE(menus(list), "P-");
        action(list, "MnuPause")->trigger();
        QCOMPARE(menus(list), "-C");
        feed_->openList();
        QCOMPARE(feed_->window(), list);
        QCOMPARE(list->recordCount(), 1);
        QCOMPARE(menus(list), "PC");

        QSignalSpy on(feed_.get(), &LiveListFeed::listOnChanged);
        QPointer<LiveListWindow> closed = list;
        action(list, "MnuExit")->trigger();
        QCOMPARE(on, QList<QVariantList>{{false}});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!closed);
        feed_->openList();
        QCOMPARE(feed_->window()->recordCount(), 0);
    }

    // A dump empties the list but for the row that set it off; a failed one is told.
    void dumpEmptiesTheList() {
        QTemporaryDir folder;
        feed_->setDumpEvery(2);
        feed_->setDumpFolder(folder.path());
        QSignalSpy dumped(feed_.get(), &LiveListFeed::dumped);
        feed_->openList();
        tick(QStringLiteral("60.0"));
        tick(QStringLiteral("61.0"));
        tick(QStringLiteral("70.1"));  // at 14:05:12
        const QString path = folder.filePath(QStringLiteral("0315140512.sdm"));
        QCOMPARE(readAll(path).count('\n'), 1 + 2);  // the heading and the rows before it
        QCOMPARE(rows(*feed_->window()), QStringList{"3|2009/03/15 14:05:12|70.1"});
        QCOMPARE(dumped.at(0).at(0).toString(), path);
        QVERIFY(dialogs_.shown.empty());

        feed_->setDumpFolder(dir_.filePath(QStringLiteral("no/such/folder")));
        for (int i = 0; i < 3; ++i) {
            tick();
        }
        QCOMPARE(feed_->window()->recordCount(), 4);
        QCOMPARE(dialogs_.messages().size(), 1);
        const QString text = dialogs_.messages().at(0);
        QVERIFY2(text.contains("no/such/folder/0315140514.sdm") &&
                     text.endsWith("The list is written again after 2 more rows."),
                 qPrintable(text));
        QCOMPARE(dialogs_.shown.back().icon, lp::platform::MessageIcon::Warning);
    }

    // Save: cancel, the file chosen, a failure told.
    void save() {
        feed_->openList();
        tick();
        dialogs_.saveNames.push_back(std::nullopt);
        action(feed_->window()->toolbar(), "Save")->trigger();
        QCOMPARE(dialogs_.shown.at(0).text, lp::platform::kRecordFileFilter);

        const QString path = dir_.filePath(QStringLiteral("list.sdm"));
        dialogs_.saveNames.push_back(path);
        action(feed_->window(), "MnuSave")->trigger();
        QCOMPARE(readAll(path).count('\n'), 1 + 1);  // the file's layout: test_record_file
        QCOMPARE(feed_->window()->windowTitle(), "Saved to " + path);  // for a moment

        dialogs_.saveNames.push_back(dir_.path());  // a folder, not a file
        QVERIFY(!feed_->window()->save());
        QVERIFY(dialogs_.messages().at(0).startsWith("The list could not be saved to " +
                                                     dir_.path() + ": "));
    }

    // Export CSV (one command for every list: csv_export_command); the listed file is kept.
    void exportCsv() {
        feed_->openList();
        tick();
        SavedFileWindow* saved = openRecords("export.sdm", 3);
        const QString csv = dir_.filePath(QStringLiteral("list.csv"));
        dialogs_.saveNames = {std::nullopt, csv, dir_.path(), dir_.path() + "/./export.sdm"};
        QAction* live = action(feed_->window(), "MnuExportCsv");
        live->trigger();  // cancelled
        QCOMPARE(dialogs_.shown.at(0).text, kCsvFileFilter);
        QVERIFY(!QFile::exists(csv));
        live->trigger();
        QCOMPARE(readAll(csv).count('\n'), 1 + 1);
        QCOMPARE(feed_->window()->windowTitle(), "Exported to " + csv);
        live->trigger();                           // a folder: told
        action(saved, "MnuExportCsv")->trigger();  // the listed file itself: told, kept
        QCOMPARE(readAll(dir_.filePath(QStringLiteral("export.sdm"))), recordFile(3));
        QCOMPARE(dialogs_.messages().size(), 2);
    }

    // Open: cancel, the file's window with the timers paused, the next one replacing it.
    void openListsTheFile() {
        dialogs_.openNames.push_back(std::nullopt);
        QCOMPARE(opener_->open(), nullptr);
        QVERIFY(timerLog_.isEmpty());
        QCOMPARE(dialogs_.shown.at(0).text, lp::platform::kRecordFileFilter);

        const QString a = dir_.filePath(QStringLiteral("a.sdm"));
        QVERIFY(writeFile(a, recordFile(3)));
        dialogs_.openNames.push_back(a);
        QPointer<SavedFileWindow> first = opener_->open();
        QVERIFY(first && first->isVisible());
        QCOMPARE(first->windowTitle(), a);
        QCOMPARE(timerLog_, (QStringList{"pause", "resume"}));
        SavedFileWindow* second = openRecords("b.sdm", 5);
        QVERIFY(!first);
        QCOMPARE(opener_->window(), second);
        QCOMPARE(second->recordCount(), 5);
        QVERIFY(dialogs_.messages().isEmpty());
    }

    // A load that stops keeps the rows before it; either failure names file and reason.
    void failedLoadIsTold_data() {
        QTest::addColumn<QByteArray>("bytes");  // empty: no file at all
        QTest::addColumn<int>("listed");
        QTest::addColumn<QString>("told");
        QTest::newRow("bad line 4")
            << recordFile(2) + "3\t2009/03/15 14:05:11\t65.3\r\n" + recordFile(2) << 2
            << "Loading %1 stopped at line 4: a record line needs a TAB after each of its three "
               "fields, and this line has only two.\nThe 2 record(s) before it are listed; the "
               "rest of the file is not.";
        QTest::newRow("no file") << QByteArray() << 0
                                 << "%1 cannot be listed: the file cannot "
                                    "be opened (No such file or directory).";
    }
    void failedLoadIsTold() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, listed);
        QFETCH(QString, told);
        const QString path = dir_.filePath(QStringLiteral("bad.sdm"));
        QFile::remove(path);
        QVERIFY(bytes.isEmpty() || writeFile(path, bytes));
        SavedFileWindow* w = opener_->openFile(path);
        QVERIFY(w);
        QCOMPARE(w->recordCount(), listed);
        QCOMPARE(w->windowTitle(), listed ? "2 record(s) completed" : path);
        QCOMPARE(dialogs_.messages(), QStringList{told.arg(path)});
        QCOMPARE(timerLog_, (QStringList{"pause", "resume"}));
    }

    // The print commands: printer dialog, prompt, caption progress, Cancel, a fault told.
    void printCommands() {
        SavedFileWindow* w = openRecords("print.sdm", 3);
        const QString path = w->windowTitle();
        QAction* toolbarPrint = w->printTool();
        QAction* mnuPrint = action(w, "MnuPrint");
        dialogs_.printers = {std::nullopt, 1, 1, 1};
        toolbarPrint->trigger();  // cancelled
        QVERIFY(dialogs_.printLog->entries.isEmpty());

        QStringList captions;
        connect(w, &QWidget::windowTitleChanged, [&](const QString& c) { captions << c; });
        toolbarPrint->trigger();
        QVERIFY(!toolbarPrint->isEnabled() && !mnuPrint->isEnabled());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QTRY_VERIFY(dialogs_.printLog->events().contains("end"));
        QCOMPARE(dialogs_.printLog->lines().size(), 4 + 2 + 3);  // blanks, heading, a record a line
        QCOMPARE(captions, (QStringList{"3 Completed", path}));
        QVERIFY(toolbarPrint->isEnabled() && mnuPrint->isEnabled());

        dialogs_.printLog->entries.clear();
        dialogs_.inputs = {QStringLiteral("0"), QStringLiteral("2.9")};
        mnuPrint->trigger();
        QTRY_VERIFY(dialogs_.printLog->events().contains("end"));
        QCOMPARE(dialogs_.printLog->lines().size(), 4 + 2 + 2);  // two records a line
        QCOMPARE(dialogs_.messages(), QStringList{printerNote()});
        QCOMPARE(dialogs_.shown.back().text, "Input record(s) to print in one row (1-5)");
        QCOMPARE(dialogs_.shown.back().proposed, "1");

        dialogs_.printLog->entries.clear();
        dialogs_.printers = {1};
        toolbarPrint->trigger();
        PrintSession::of(*w)->cancelButton()->trigger();
        QCOMPARE(dialogs_.printLog->entries, QStringList{"abort"});
        QCOMPARE(w->windowTitle(), path);
        QVERIFY(toolbarPrint->isEnabled());

        dialogs_.printLog->entries.clear();
        dialogs_.inputs = {QString()};
        mnuPrint->trigger();  // an empty answer ends the command
        QVERIFY(dialogs_.printLog->entries.isEmpty());

        feed_->openList();
        tick();
        tick(QStringLiteral("70.0"));
        dialogs_.printerFailsAtLine = 4;
        dialogs_.printers = {1};
        action(feed_->window(), "MnuPrint")->trigger();
        QTRY_COMPARE(dialogs_.printLog->events(), QStringList{"abort"});
        QVERIFY(dialogs_.messages().last().endsWith(": paper jam"));
    }

    // Plot and Ln start off; Ln toggles the chooser; a long load shows its progress.
    void savedListWindow() {
        SavedFileWindow w(dialogs_, nullptr);
        QVERIFY(!w.plotTool()->isEnabled() && !w.lnTool()->isEnabled());
        QVERIFY(!action(&w, "MnuGraph")->isEnabled());
        w.show();
        auto* chooser = new QWidget;
        w.installResolutionChooser(chooser);
        QCOMPARE(chooser->parentWidget(), w.clientArea());
        QVERIFY(!chooser->isVisible());
        QAction* ln = w.lnTool();
        ln->trigger();
        QVERIFY(chooser->isVisible());
        ln->trigger();
        QVERIFY(!chooser->isVisible());
        ln->trigger();
        action(w.toolbar(), "Save")->trigger();
        QVERIFY(!chooser->isVisible());

        const QString path = dir_.filePath(QStringLiteral("big.sdm"));
        QVERIFY(writeFile(path, recordFile(40000)));
        QSignalSpy titles(&w, &QWidget::windowTitleChanged);
        QVERIFY(!w.load(path));
        QCOMPARE(w.recordCount(), 40000);
        QCOMPARE(titles.at(titles.size() - 2).at(0).toString(), "40000 record(s) completed");
        QCOMPARE(w.windowTitle(), path);

        // Esc during a load closes the window and stops the load.
        auto* stopped = new SavedFileWindow(dialogs_, nullptr);
        stopped->show();
        const QPointer<SavedFileWindow> open(stopped);
        QCoreApplication::postEvent(
            stopped->windowHandle(),
            new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        QVERIFY(!stopped->load(path));
        QVERIFY(!open || (!open->isVisible() && open->recordCount() < 40000));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

QTEST_MAIN(TestListWindows)
#include "test_list_windows.moc"
