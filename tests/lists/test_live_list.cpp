// The live list window and its feed, wired together: LIST opens the window, samples
// become rows, the menus reach the feed and show its state, closing stops the list,
// a dump empties the list or tells why it could not, and the list "Save". The
// numbering and the dump rule are checked in test_live_list_run.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include "lists/list_window.h"
#include "lists/live_list_feed.h"
#include "scripted_dialogs.h"

using namespace lp::lists;
using lp::test::ScriptedDialogs;

namespace {

const QDateTime kStart(QDate(2009, 3, 15), QTime(14, 5, 9));

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

QAction* action(QWidget* w, const char* name) {
    return w->findChild<QAction*>(QString::fromLatin1(name));
}

// Which of Pause and Continue are on, as "PC", "P-", "-C".
QString menus(QWidget* list) {
    return QString(action(list, "MnuPause")->isEnabled() ? u'P' : u'-') +
           (action(list, "MnuContinue")->isEnabled() ? u'C' : u'-');
}

}  // namespace

class TestLiveList : public QObject {
    Q_OBJECT
private:
    ScriptedDialogs dialogs_;
    std::unique_ptr<QWidget> panel_;
    std::unique_ptr<LiveListFeed> feed_;
    QTemporaryDir dir_;
    QDateTime clock_;

    // One sample tick of the panel, one second after the previous one.
    void tick(const QString& level = QStringLiteral("65.3")) {
        clock_ = clock_.addSecs(1);
        feed_->sample(clock_.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")), level, clock_);
    }

private slots:
    void init() {
        dialogs_ = ScriptedDialogs();
        panel_ = std::make_unique<QWidget>();
        panel_->setGeometry(50, 40, 300, 200);
        feed_ = std::make_unique<LiveListFeed>(dialogs_, panel_.get());
        clock_ = kStart;
    }
    void cleanup() {
        feed_.reset();
        panel_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    // LIST opens the window with its menus and toolbar; samples before it are dropped,
    // then each one is a row, the newest current.
    void opensAndTakesSamples() {
        QSignalSpy on(feed_.get(), &LiveListFeed::listOnChanged);
        tick();
        feed_->openList();
        List* list = feed_->window();
        QVERIFY(list && list->isVisible());
        QCOMPARE(list->windowTitle(), "List");
        QCOMPARE(on.size(), 1);
        QStringList shown;
        for (const char* name :
             {"MnuPause", "MnuContinue", "MnuSave", "MnuGraph", "MnuPrint", "MnuExit"}) {
            const QAction* a = action(list, name);
            shown << (a ? a->text() + (a->isEnabled() ? "" : "(off)") : QStringLiteral("?"));
        }
        QCOMPARE(shown.join(u' '), "Pause Continue Save Graph Print(off) Exit");
        auto* bar = list->findChild<QToolBar*>(QStringLiteral("Toolbar1"));
        QCOMPARE(bar->findChild<QAction*>(QStringLiteral("Save"))->toolTip(), "Save As");
        tick(QStringLiteral("65.3"));
        tick(QStringLiteral("-"));
        QCOMPARE(rows(*list),
                 (QStringList{"1|2009/03/15 14:05:11|65.3", "2|2009/03/15 14:05:12|-"}));
        QCOMPARE(list->grid(2)->currentIndex().row(), 1);
    }

    // Pause and Continue go to the feed, which the menus then show; LIST on a paused
    // list resumes the same window; Exit stops the list and a new LIST opens empty.
    void menusReachTheFeed() {
        feed_->openList();
        List* list = feed_->window();
        tick();
        action(list, "MnuContinue")->trigger();
        QVERIFY(feed_->listOn());
        QCOMPARE(menus(list), "P-");
        action(list, "MnuPause")->trigger();
        QVERIFY(!feed_->listOn());
        QCOMPARE(menus(list), "-C");
        feed_->openList();
        QCOMPARE(feed_->window(), list);
        QCOMPARE(list->recordCount(), 1);
        QVERIFY(feed_->listOn());
        QCOMPARE(menus(list), "PC");

        QSignalSpy on(feed_.get(), &LiveListFeed::listOnChanged);
        QPointer<List> closed = list;
        action(list, "MnuExit")->trigger();
        QVERIFY(!feed_->listOn());
        QCOMPARE(on.size(), 1);
        QCOMPARE(on.at(0).at(0).toBool(), false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!closed);
        feed_->openList();
        QCOMPARE(feed_->window()->recordCount(), 0);
    }

    // The full list goes to "mmddhhnnss.sdm" byte for byte, then holds only the row
    // of the sample that dumped it.
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
        QCOMPARE(readAll(path), QByteArray("No.s\tDate Time\tdB\t\r\n"
                                           "1\t2009/03/15 14:05:10\t60.0\t\r\n"
                                           "2\t2009/03/15 14:05:11\t61.0\t\r\n"));
        QCOMPARE(rows(*feed_->window()), QStringList{"3|2009/03/15 14:05:12|70.1"});
        QCOMPARE(dumped.size(), 1);
        QCOMPARE(dumped.at(0).at(0).toString(), path);
        QCOMPARE(feed_->window()->windowTitle(), "List");
        QVERIFY(dialogs_.shown.empty());
    }

    void failingDumpKeepsTheRows() {
        feed_->setDumpEvery(2);
        const QString folder = dir_.filePath(QStringLiteral("no/such/folder"));
        feed_->setDumpFolder(folder);
        feed_->openList();
        for (int i = 0; i < 3; ++i) {
            tick();
        }
        QCOMPARE(feed_->window()->recordCount(), 3);
        QCOMPARE(dialogs_.messages().size(), 1);
        const QString text = dialogs_.messages().at(0);
        QVERIFY2(text.startsWith("The live list could not be written to " + folder +
                                 "/0315140512.sdm: "),
                 qPrintable(text));
        QVERIFY2(text.endsWith(".\nIts rows are kept in the list; save them with Save. "
                               "The list is written again after 2 more rows."),
                 qPrintable(text));
        QCOMPARE(dialogs_.shown.back().icon, lp::platform::MessageIcon::Warning);
        QCOMPARE(feed_->window()->windowTitle(), "List");
    }

    // A cancelled toolbar "Save" writes nothing; MnuSave writes the rows to the file
    // chosen; a file that cannot be written is told.
    void save() {
        feed_->openList();
        tick();
        dialogs_.saveNames.push_back(std::nullopt);
        auto* bar = feed_->window()->findChild<QToolBar*>(QStringLiteral("Toolbar1"));
        bar->findChild<QAction*>(QStringLiteral("Save"))->trigger();
        QCOMPARE(dialogs_.shown.size(), 1u);
        QCOMPARE(dialogs_.shown.at(0).text, lp::platform::kRecordFileFilter);

        const QString path = dir_.filePath(QStringLiteral("list.sdm"));
        dialogs_.saveNames.push_back(path);
        action(feed_->window(), "MnuSave")->trigger();
        QCOMPARE(readAll(path),
                 QByteArray("No.s\tDate Time\tdB\t\r\n1\t2009/03/15 14:05:10\t65.3\t\r\n"));
        QCOMPARE(feed_->window()->windowTitle(), "List");

        dialogs_.saveNames.push_back(dir_.path());  // a folder, not a file
        QVERIFY(!feed_->window()->save());
        QCOMPARE(dialogs_.messages().size(), 1);
        QVERIFY(dialogs_.messages().at(0).startsWith("The list could not be saved to " +
                                                     dir_.path() + ": "));
        QCOMPARE(feed_->window()->recordCount(), 1);
    }
};

QTEST_MAIN(TestLiveList)
#include "test_live_list.moc"
