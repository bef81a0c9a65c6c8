// The saved-file window and the panel's open command: cancel, listing with the
// caption, the panel's timers paused around the load, a load stopped by a bad line
// (rows kept, the user told), reopening, and the window's toolbar, menus and chooser.
#include <QAction>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include "lists/hdd_saved_list.h"
#include "lists/saved_file_opener.h"
#include "scripted_dialogs.h"

using namespace lp::lists;
using lp::test::ScriptedDialogs;

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray recordFile(int records) {
    QByteArray bytes = "No.s\tDate Time\tdB\t\r\n";
    for (int i = 1; i <= records; ++i) {
        bytes += QByteArray::number(i) + "\t2009/03/15 14:05:09\t" +
                 QByteArray::number(40.0 + i % 600 / 10.0, 'f', 1) + "\t\r\n";
    }
    return bytes;
}

}  // namespace

class TestSavedFile : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<QWidget> panel_;
    QStringList timerLog_;
    std::unique_ptr<SavedFileOpener> opener_;

private slots:
    void init() {
        dialogs_ = ScriptedDialogs();
        timerLog_.clear();
        panel_ = std::make_unique<QWidget>();
        PanelTimers timers{[this] { timerLog_ << QStringLiteral("pause"); },
                           [this] { timerLog_ << QStringLiteral("resume"); }};
        opener_ = std::make_unique<SavedFileOpener>(dialogs_, timers, panel_.get());
    }
    void cleanup() {
        opener_.reset();
        panel_.reset();
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    // A cancelled dialog does nothing; a file opens in a window captioned with its
    // name, the panel's timers paused meanwhile; the next file replaces that window.
    void openListsTheFile() {
        dialogs_.openNames.push_back(std::nullopt);
        QCOMPARE(opener_->open(), nullptr);
        QVERIFY(timerLog_.isEmpty());
        QCOMPARE(dialogs_.shown.at(0).kind, "open");
        QCOMPARE(dialogs_.shown.at(0).text, lp::platform::kRecordFileFilter);

        const QString a = dir_.filePath(QStringLiteral("a.sdm"));
        const QString b = dir_.filePath(QStringLiteral("b.sdm"));
        QVERIFY(writeFile(a, recordFile(3)));
        QVERIFY(writeFile(b, recordFile(5)));
        dialogs_.openNames.push_back(a);
        QPointer<HddSavedList> first = opener_->open();
        QVERIFY(first && first->isVisible());
        QCOMPARE(first->windowTitle(), a);
        QCOMPARE(first->records().store().text(2, lp::records::Field::Level), "40.3");
        QCOMPARE(timerLog_, (QStringList{"pause", "resume"}));
        HddSavedList* second = opener_->openFile(b);
        QVERIFY(!first);
        QCOMPARE(opener_->window(), second);
        QCOMPARE(second->recordCount(), 5);
        QCOMPARE(second->windowTitle(), b);
        QVERIFY(dialogs_.messages().isEmpty());
    }

    // Progress shows in the caption between pieces; the end shows the file name.
    void progressCaption() {
        const QString path = dir_.filePath(QStringLiteral("big.sdm"));
        QVERIFY(writeFile(path, recordFile(40000)));
        HddSavedList w(nullptr);
        QSignalSpy titles(&w, &QWidget::windowTitleChanged);
        QVERIFY(!w.load(path));
        QCOMPARE(w.recordCount(), 40000);
        QVERIFY(titles.size() >= 3);
        QCOMPARE(titles.at(0).at(0).toString(), "16383 record(s) completed");
        QCOMPARE(titles.at(titles.size() - 2).at(0).toString(), "40000 record(s) completed");
        QCOMPARE(w.windowTitle(), path);
    }

    // A load that stops keeps the rows before it and names the file, the line and the
    // reason; a file that cannot be opened is named with its reason.
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
        HddSavedList* w = opener_->openFile(path);
        QVERIFY(w);
        QCOMPARE(w->recordCount(), listed);
        QCOMPARE(w->windowTitle(), listed ? "2 record(s) completed" : path);
        QCOMPARE(dialogs_.messages(), QStringList{told.arg(path)});
        QCOMPARE(timerLog_, (QStringList{"pause", "resume"}));
    }

    void toolbarAndMenus() {
        HddSavedList w(nullptr);
        QCOMPARE(w.windowTitle(), "HDDSavedList");
        QCOMPARE(w.objectName(), "HddSavedList");
        QVERIFY(w.findChild<QToolBar*>(QStringLiteral("Toolbar1")));
        QStringList shown;
        for (const char* key : {"Save", "Plot", "Ln", "Print"}) {
            const QAction* b = w.toolbarButton(QString::fromLatin1(key));
            shown << (b ? b->toolTip() + (b->isEnabled() ? "" : "(off)") : QStringLiteral("?"));
        }
        for (const char* name : {"MnuSave", "MnuGraph", "MnuPrint", "MnuExit"}) {
            const auto* a = w.findChild<QAction*>(QString::fromLatin1(name));
            shown << (a ? a->text() + (a->isEnabled() ? "" : "(off)") : QStringLiteral("?"));
        }
        QCOMPARE(shown.join(u'|'),
                 "Save As|Graphic Plot(off)|Percentile Sound Level(off)|Print(off)|"
                 "Save|Graph(off)|Print(off)|Exit");
    }

    // "Ln" shows and hides the chooser in turn; any other button hides it.
    void resolutionChooser() {
        HddSavedList w(nullptr);
        w.show();
        auto* chooser = new QWidget;
        w.installResolutionChooser(chooser);
        QCOMPARE(chooser->objectName(), "PicResolution");
        QCOMPARE(chooser->parentWidget(), w.clientArea());
        QVERIFY(!chooser->isVisible());
        QAction* ln = w.toolbarButton(QStringLiteral("Ln"));
        QVERIFY(ln->isEnabled());
        ln->trigger();
        QVERIFY(chooser->isVisible());
        ln->trigger();
        QVERIFY(!chooser->isVisible());
        ln->trigger();
        w.toolbarButton(QStringLiteral("Save"))->trigger();
        QVERIFY(!chooser->isVisible());
    }
};

QTEST_MAIN(TestSavedFile)
#include "test_saved_file.moc"
