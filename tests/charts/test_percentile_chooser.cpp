// The saved-file window's percentile command: the chooser, the histogram it opens,
// the levels it leaves, and a list without any level.
#include <QAction>
#include <QPushButton>
#include <QTest>

#include "charts/histogram.h"
#include "charts/percentile_chooser.h"
#include "records/record_store.h"
#include "scripted_dialogs.h"

using namespace lp;

namespace {

records::RecordStore storeOf(const QStringList& levels) {
    records::RecordStore store;
    int n = 0;
    for (const QString& level : levels) {
        ++n;
        store.append(QByteArray::number(n), "2009/06/01 14:05:09", level.toLatin1());
    }
    return store;
}

}  // namespace

class TestPercentileChooser : public QObject {
    Q_OBJECT
private slots:
    void eachResolutionOpensAFreshHistogram() {
        app::ProgramState state;
        test::ScriptedDialogs dialogs;
        const records::RecordStore store = storeOf(
            {"50.0", "50.0", "50.0", "50.0", "50.0", "60.0", "60.0", "60.0", "60.0", "60.0"});
        QWidget window;
        auto* chooser = new charts::PercentileChooser(store, state, dialogs, &window);
        window.show();
        QVERIFY(chooser->isVisible());

        chooser->findChild<QPushButton*>("Cmd01dB")->click();
        QVERIFY(!chooser->isVisible());
        QPointer<charts::Histogram> first = chooser->histogram();
        QVERIFY(first);
        QCOMPARE(state.HistClassMin, 500);
        QCOMPARE(state.HistClassMax, 600);
        QCOMPARE(chooser->lnLevels().size(), 100);
        QCOMPARE(chooser->lnLevels().at(0), QStringLiteral("60.0"));
        QCOMPARE(chooser->lnLevels().at(99), QStringLiteral("50.0"));

        // A second computation replaces the window; whole-dB classes this time.
        chooser->findChild<QPushButton*>("Cmd1dB")->click();
        QTRY_VERIFY(!first);
        QVERIFY(chooser->histogram());
        QCOMPARE(state.HistClassMin, 50);
        QCOMPARE(state.HistClassMax, 60);
        QCOMPARE(chooser->lnLevels().at(49), QStringLiteral("60"));
        QCOMPARE(chooser->lnLevels().at(50), QStringLiteral("50"));
        QVERIFY(dialogs.messages().isEmpty());
        chooser->histogram()->close();
    }

    void listWithoutLevelSaysSoAndOpensNothing() {
        app::ProgramState state;
        test::ScriptedDialogs dialogs;
        const records::RecordStore store = storeOf({"*", "*"});
        QWidget window;
        auto* chooser = new charts::PercentileChooser(store, state, dialogs, &window);
        chooser->Cmd01dB_Click();
        QVERIFY(!chooser->histogram());
        QCOMPARE(dialogs.messages(), QStringList{charts::PercentileChooser::kNoLevelText});
        QVERIFY(chooser->lnLevels().isEmpty());

        const records::RecordStore empty;
        auto* second = new charts::PercentileChooser(empty, state, dialogs, &window);
        second->Cmd1dB_Click();
        QVERIFY(!second->histogram());
        QCOMPARE(dialogs.messages().size(), 2);
    }
};

QTEST_MAIN(TestPercentileChooser)
#include "test_percentile_chooser.moc"
