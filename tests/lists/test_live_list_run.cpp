// The live list's numbering and dump rule without a window: which samples become rows,
// their numbers across LIST, Pause and Continue, and before which row a dump comes.
#include <QTest>

#include "lists/live_list_run.h"

using lp::lists::LiveListRun;

class TestLiveListRun : public QObject {
    Q_OBJECT
private slots:
    // A script of L (LIST), P (Pause or window closed), C (Continue) and t (a sample)
    // against the rows taken: their numbers, "d" where a dump comes first. A dump
    // every 3 rows.
    void rows_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("rows");
        QTest::newRow("nothing before LIST") << "tt L ttt"
                                             << "1 2 3";
        QTest::newRow("LIST while running changes nothing") << "L tt L t"
                                                            << "1 2 3";
        QTest::newRow("Pause drops samples, Continue numbers on") << "L t P tt C t"
                                                                  << "1 2";
        QTest::newRow("LIST after Pause numbers from 1 again") << "L tt P L tt"
                                                               << "1 2 1 2";
        QTest::newRow("a dump before every 3rd row after") << "L ttttttt"
                                                           << "1 2 3 d4 5 6 d7";
        QTest::newRow("the dump counts from LIST") << "L tt P L tttt"
                                                   << "1 2 1 2 3 d4";
        QTest::newRow("paused samples do not count") << "L tt P tt C tt"
                                                     << "1 2 3 d4";
    }
    void rows() {
        QFETCH(QString, script);
        LiveListRun run;
        run.setDumpEvery(3);
        QStringList taken;
        for (const QChar c : script) {
            if (c == u'L') {
                const bool wasOn = run.listOn();
                QCOMPARE(run.start(), !wasOn);
            } else if (c == u'P') {
                run.stop();
            } else if (c == u'C') {
                run.resume();
            } else if (c == u't') {
                if (const auto row = run.take()) {
                    taken << (row->dumpBefore ? QStringLiteral("d") : QString()) +
                                 QString::number(row->number);
                    QCOMPARE(run.rowCount(), row->number);
                }
            }
        }
        QTEST(taken.join(u' '), "rows");
    }

    void dumpSettings() {
        LiveListRun run;
        QCOMPARE(run.dumpEvery(), 348000);
        run.setDumpEvery(5);
        run.setDumpEvery(0);  // no count: the default again
        QCOMPARE(run.dumpEvery(), 348000);
        QCOMPARE(LiveListRun::dumpFileName(QDateTime(QDate(2009, 3, 5), QTime(4, 5, 9))),
                 "0305040509.sdm");
    }
};

QTEST_APPLESS_MAIN(TestLiveListRun)
#include "test_live_list_run.moc"
