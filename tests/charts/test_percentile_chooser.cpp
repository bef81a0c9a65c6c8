// The saved-file window's percentile command: each button computes the listed
// records at its resolution into a fresh histogram, and a list without any level is
// told instead. The computation itself is checked in test_ln_stats.
#include <QPushButton>
#include <QTest>

#include "charts/histogram.h"
#include "charts/percentile_chooser.h"
#include "records/record_store.h"
#include "scripted_dialogs.h"

using namespace lp;

namespace {

records::RecordStore storeOf(const QList<QByteArray>& levels) {
    records::RecordStore store;
    for (const QByteArray& level : levels) {
        store.append(QByteArray::number(store.count() + 1), "2009/06/01 14:05:09", level);
    }
    return store;
}

}  // namespace

class TestPercentileChooser : public QObject {
    Q_OBJECT
private slots:
    void eachButtonOpensAFreshHistogram() {
        test::ScriptedDialogs dialogs;
        const records::RecordStore store = storeOf({"50.0", "60.0", "60.0"});
        QWidget window;
        auto* chooser = new charts::PercentileChooser(store, dialogs, &window);
        window.show();
        QVERIFY(chooser->isVisible());

        chooser->findChild<QPushButton*>("Cmd01dB")->click();
        QVERIFY(!chooser->isVisible());
        QPointer<charts::Histogram> first = chooser->histogram();
        QVERIFY(first && first->isVisible());
        QCOMPARE(first->classMin(), 500);
        QCOMPARE(first->classMax(), 600);
        QCOMPARE(chooser->lnLevels().at(0), QStringLiteral("60.0"));

        chooser->findChild<QPushButton*>("Cmd1dB")->click();
        QTRY_VERIFY(!first);
        QVERIFY(chooser->histogram());
        QCOMPARE(chooser->histogram()->classMin(), 50);
        QCOMPARE(chooser->histogram()->classMax(), 60);
        QCOMPARE(chooser->lnLevels().at(99), QStringLiteral("50"));
        QVERIFY(dialogs.messages().isEmpty());
        chooser->histogram()->close();
    }

    void listWithoutLevelSaysSo() {
        test::ScriptedDialogs dialogs;
        const records::RecordStore store = storeOf({"*", "*"});
        QWidget window;
        auto* chooser = new charts::PercentileChooser(store, dialogs, &window);
        chooser->onTenthDbClicked();
        QVERIFY(!chooser->histogram());
        QVERIFY(chooser->lnLevels().isEmpty());
        QCOMPARE(dialogs.messages(),
                 QStringList{"There is no level to compute: none of the listed records holds a "
                             "sound level."});
        QCOMPARE(dialogs.shown.back().icon, platform::MessageIcon::Information);
    }
};

QTEST_MAIN(TestPercentileChooser)
#include "test_percentile_chooser.moc"
