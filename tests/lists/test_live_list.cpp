// The live list: the panel's LIST button, rows per sample, pause / continue / reopen
// and their numbering, the dump of a full list and what follows it, a dump that
// cannot be written, and the list "Save".
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include "app/state/program_state.h"
#include "lists/list_window.h"
#include "lists/live_list_feed.h"
#include "scripted_dialogs.h"

using namespace lp::lists;
using lp::app::ProgramState;
using lp::test::ScriptedDialogs;

namespace {

const QDateTime kStart(QDate(2009, 3, 15), QTime(14, 5, 9));

QString dateTimeText(const QDateTime& t) {
    return t.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// The list's rows as "no|dateTime|level".
QStringList rows(const List& list) {
    QStringList out;
    const auto& store = list.records().store();
    for (qsizetype i = 0; i < store.count(); ++i) {
        const auto r = store.record(i);
        out << r.no + u'|' + r.dateTime + u'|' + r.level;
    }
    return out;
}

QStringList numbers(const List& list) {
    QStringList out;
    for (const QString& r : rows(list)) {
        out << r.section(u'|', 0, 0);
    }
    return out;
}

QAction* action(QWidget* w, const char* name) {
    return w->findChild<QAction*>(QString::fromLatin1(name));
}

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

class TestLiveList : public QObject {
    Q_OBJECT
private:
    ProgramState state_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<QWidget> panel_;
    std::unique_ptr<LiveListFeed> feed_;
    QTemporaryDir dir_;
    QDateTime clock_;

    // One sample tick of the panel, one second after the previous one.
    void tick(const QString& level = QStringLiteral("65.3")) {
        clock_ = clock_.addSecs(1);
        feed_->sample(dateTimeText(clock_), level, clock_);
    }

private slots:
    void init() {
        state_ = ProgramState();
        dialogs_ = ScriptedDialogs();
        panel_ = std::make_unique<QWidget>();
        panel_->setGeometry(50, 40, 300, 200);
        feed_ = std::make_unique<LiveListFeed>(state_, dialogs_, panel_.get());
        clock_ = kStart;
    }
    void cleanup() {
        feed_.reset();
        panel_.reset();
        flushDeletes();
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void opensWithMenusAndToolbar() {
        feed_->openList();
        List* list = feed_->window();
        QVERIFY(list && list->isVisible());
        QCOMPARE(list->windowTitle(), "List");
        QVERIFY(state_.ListOn);
        QCOMPARE(state_.ListCount, 0);
        const char* names[] = {"MnuPause", "MnuContinue", "MnuSave",
                               "MnuGraph", "MnuPrint",    "MnuExit"};
        const char* captions[] = {"Pause", "Continue", "Save", "Graph", "Print", "Exit"};
        for (int i = 0; i < 6; ++i) {
            QAction* a = action(list, names[i]);
            QVERIFY2(a, names[i]);
            QCOMPARE(a->text(), QString::fromLatin1(captions[i]));
            QCOMPARE(a->isEnabled(), QByteArray(names[i]) != "MnuPrint");
        }
        auto* bar = list->findChild<QToolBar*>(QStringLiteral("Toolbar1"));
        QVERIFY(bar);
        QAction* save = bar->findChild<QAction*>(QStringLiteral("Save"));
        QVERIFY(save);
        QCOMPARE(save->toolTip(), "Save As");
        QCOMPARE(list->recordCount(), 0);
    }

    // One row per sample while the list is open; the newest row is current and in
    // view in all three grids (their alignment is checked in test_record_list_window).
    void rowsPerSample() {
        tick();  // no list yet: nothing happens
        feed_->openList();
        List* list = feed_->window();
        QVERIFY(QTest::qWaitForWindowExposed(list));
        tick(QStringLiteral("65.3"));
        tick(QStringLiteral("60.0"));
        tick(QStringLiteral("-"));
        QCOMPARE(rows(*list),
                 (QStringList{"1|2009/03/15 14:05:11|65.3", "2|2009/03/15 14:05:12|60.0",
                              "3|2009/03/15 14:05:13|-"}));
        QCOMPARE(state_.ListCount, 3);
        for (int i = 3; i < 200; ++i) {
            tick();
        }
        for (int k = 0; k < 3; ++k) {
            const QTableView* g = list->grid(k);
            QCOMPARE(g->currentIndex().row(), 199);
            const QRect cell = g->visualRect(g->model()->index(199, k));
            QVERIFY(cell.isValid() && cell.bottom() <= g->viewport()->height());
        }
    }

    void pauseContinueReopen() {
        feed_->openList();
        List* list = feed_->window();
        QAction* pause = action(list, "MnuPause");
        QAction* cont = action(list, "MnuContinue");
        QVERIFY(pause->isEnabled() && cont->isEnabled());
        tick();
        tick();
        // Continue while running: still running, Continue disabled.
        cont->trigger();
        QVERIFY(state_.ListOn);
        QVERIFY(!cont->isEnabled() && pause->isEnabled());
        pause->trigger();
        QVERIFY(!state_.ListOn);
        QVERIFY(!pause->isEnabled() && cont->isEnabled());
        tick();
        tick();
        QCOMPARE(list->recordCount(), 2);
        cont->trigger();
        tick();
        QCOMPARE(numbers(*list), (QStringList{"1", "2", "3"}));
        // LIST while running does nothing, numbering goes on.
        feed_->openList();
        tick();
        QCOMPARE(numbers(*list), (QStringList{"1", "2", "3", "4"}));
        // Paused, then LIST: the same window resumes, numbering restarts below the rows.
        pause->trigger();
        feed_->openList();
        QCOMPARE(feed_->window(), list);
        QVERIFY(state_.ListOn);
        QVERIFY(pause->isEnabled() && cont->isEnabled());
        tick();
        tick();
        QCOMPARE(numbers(*list), (QStringList{"1", "2", "3", "4", "1", "2"}));
    }

    void closeAndReopen() {
        feed_->openList();
        tick();
        tick();
        QPointer<List> first = feed_->window();
        action(first, "MnuExit")->trigger();
        QVERIFY(!state_.ListOn);
        flushDeletes();
        QVERIFY(!first);
        tick();  // closed: no row anywhere
        feed_->openList();
        QVERIFY(feed_->window());
        QCOMPARE(feed_->window()->recordCount(), 0);
        tick();
        QCOMPARE(numbers(*feed_->window()), QStringList{"1"});
    }

    // Every 5 rows (instead of 348000) the list goes to a file, empties, and goes on
    // with the sample's row numbered on; the dump never repeats at the next sample.
    void dumpAndAfter() {
        QTemporaryDir folder;
        feed_->setDumpEvery(5);
        feed_->setDumpFolder(folder.path());
        feed_->openList();
        List* list = feed_->window();
        for (int i = 0; i < 5; ++i) {
            tick(QString::number(60 + i) + QStringLiteral(".0"));
        }
        QVERIFY(QDir(folder.path()).isEmpty());
        tick(QStringLiteral("70.1"));  // the 6th sample, at 14:05:15
        const QString first = folder.filePath(QStringLiteral("0315140515.sdm"));
        QCOMPARE(readAll(first), QByteArray("No.s\tDate Time\tdB\t\r\n"
                                            "1\t2009/03/15 14:05:10\t60.0\t\r\n"
                                            "2\t2009/03/15 14:05:11\t61.0\t\r\n"
                                            "3\t2009/03/15 14:05:12\t62.0\t\r\n"
                                            "4\t2009/03/15 14:05:13\t63.0\t\r\n"
                                            "5\t2009/03/15 14:05:14\t64.0\t\r\n"));
        QCOMPARE(rows(*list), QStringList{"6|2009/03/15 14:05:15|70.1"});
        QCOMPARE(list->windowTitle(), "List");
        for (int i = 0; i < 4; ++i) {
            tick();
        }
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 1);
        QCOMPARE(numbers(*list), (QStringList{"6", "7", "8", "9", "10"}));
        tick();  // the 11th sample dumps rows 6..10
        const QStringList files = QDir(folder.path()).entryList(QDir::Files);
        QCOMPARE(files, (QStringList{"0315140515.sdm", "0315140520.sdm"}));
        QVERIFY(readAll(folder.filePath(files.at(1)))
                    .startsWith("No.s\tDate Time\tdB\t\r\n6\t2009/03/15 14:05:15\t70.1\t\r\n"));
        QCOMPARE(numbers(*list), QStringList{"11"});
        QCOMPARE(dialogs_.shown.size(), 0u);
    }

    // A dump that cannot be written keeps the rows, says so once, and is tried again
    // only after another full period.
    void failingDump() {
        feed_->setDumpEvery(5);
        feed_->setDumpFolder(dir_.filePath(QStringLiteral("no/such/folder")));
        feed_->openList();
        List* list = feed_->window();
        for (int i = 0; i < 6; ++i) {
            tick();
        }
        QCOMPARE(dialogs_.messages().size(), 1);
        const QString text = dialogs_.messages().at(0);
        QVERIFY2(text.contains(QStringLiteral("no/such/folder/0315140515.sdm")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("No such file or directory")), qPrintable(text));
        QCOMPARE(list->recordCount(), 6);
        for (int i = 0; i < 4; ++i) {
            tick();
        }
        QCOMPARE(dialogs_.messages().size(), 1);
        QCOMPARE(list->recordCount(), 10);
        tick();
        QCOMPARE(dialogs_.messages().size(), 2);
        QCOMPARE(list->recordCount(), 11);
        QCOMPARE(numbers(*list).last(), "11");
        QCOMPARE(list->windowTitle(), "List");
    }

    // The bytes are checked in test_record_file; here the list's rows reach the file
    // chosen in the save dialog, and a cancelled toolbar "Save" changes nothing.
    void save() {
        feed_->openList();
        tick();
        tick();
        dialogs_.saveNames.push_back(std::nullopt);
        auto* bar = feed_->window()->findChild<QToolBar*>(QStringLiteral("Toolbar1"));
        bar->findChild<QAction*>(QStringLiteral("Save"))->trigger();
        QCOMPARE(dialogs_.shown.size(), 1u);

        const QString path = dir_.filePath(QStringLiteral("list.sdm"));
        dialogs_.saveNames.push_back(path);
        action(feed_->window(), "MnuSave")->trigger();
        QCOMPARE(readAll(path), QByteArray("No.s\tDate Time\tdB\t\r\n"
                                           "1\t2009/03/15 14:05:10\t65.3\t\r\n"
                                           "2\t2009/03/15 14:05:11\t65.3\t\r\n"));
        QCOMPARE(dialogs_.shown.at(1).kind, "save");
        QCOMPARE(dialogs_.shown.at(1).text, lp::platform::kRecordFileFilter);
        QCOMPARE(dialogs_.messages().size(), 0);
        QCOMPARE(feed_->window()->windowTitle(), "List");
        QCOMPARE(feed_->window()->recordCount(), 2);
    }

    void saveFailure() {
        feed_->openList();
        tick();
        dialogs_.saveNames.push_back(dir_.path());  // a folder, not a file
        QVERIFY(!feed_->window()->save());
        QCOMPARE(dialogs_.messages().size(), 1);
        QVERIFY(dialogs_.messages().at(0).contains(dir_.path()));
        QCOMPARE(dialogs_.shown.back().icon, lp::platform::MessageIcon::Warning);
        QCOMPARE(feed_->window()->windowTitle(), "List");
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }
};

QTEST_MAIN(TestLiveList)
#include "test_live_list.moc"
