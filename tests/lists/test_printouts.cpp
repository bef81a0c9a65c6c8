// The record printouts line by line, and how a printout runs: pieces between event
// loop turns, copies in one document, failure and cancel leaving it unfinished.
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <optional>

#include "capturing_printer.h"
#include "level_records.h"
#include "lists/print_run.h"
#include "lists/printouts.h"

using namespace lp;
using lists::PrintRun;

namespace {

const QStringList kHeaders{"No.s", "Date Time", "dB"};
const QString kBlank = QStringLiteral(" ");

// Records 1 to `count`, record k at 60 + k dB with tenths k mod 10.
records::RecordStore storeOf(int count) {
    QStringList levels;
    for (int k = 1; k <= count; ++k) {
        levels << QStringLiteral("%1.%2").arg(60 + k).arg(k % 10);
    }
    return test::levelStore(levels);
}

// A printout run to its end on a capturing printer, `linesPerTurn` lines a piece,
// cancelled at its first piece if asked; with the ticks a zero timer made meanwhile.
struct Ran {
    std::shared_ptr<test::PrintLog> log = std::make_shared<test::PrintLog>();
    std::optional<PrintRun::Outcome> outcome;
    QList<qint64> progress;
    QString error;
    QList<int> ticksAtProgress;
};
Ran run(lists::Printout printout, int copies = 1, int failAtLine = 0, bool cancel = false,
        int linesPerTurn = 1) {
    Ran ran;
    PrintRun r(std::move(printout), std::make_unique<test::CapturingPrinter>(ran.log, failAtLine),
               copies);
    r.setLinesPerTurn(linesPerTurn);
    int ticks = 0;
    QTimer cycle;
    QObject::connect(&cycle, &QTimer::timeout, [&] { ++ticks; });
    cycle.start(0);
    QObject::connect(&r, &PrintRun::progress, [&](qint64 n) {
        ran.progress << n;
        ran.ticksAtProgress << ticks;
        if (cancel) {
            r.cancel();
        }
    });
    QSignalSpy done(&r, &PrintRun::finished);
    r.start();
    if (done.wait(5000)) {
        ran.outcome = done.at(0).at(0).value<PrintRun::Outcome>();
        ran.error = r.errorText();
    }
    return ran;
}

}  // namespace

class TestPrintouts : public QObject {
    Q_OBJECT
private slots:
    // A text longer than its field is kept whole (the filling: the printouts below).
    void fields() {
        QCOMPARE(lists::rightAligned(u"1234567", 6), "1234567");
        QCOMPARE(lists::leftAligned(u"123456789", 8), "123456789");
    }

    // The plain list: two heading lines, then number left in 8 and the row's line; the
    // live list's rows make their line from date, time and level.
    void plainList() {
        QCOMPARE(lists::kListHeading.size(), 72);
        QCOMPARE(lists::kListRule.size(), 74);
        records::RecordLineStore grid(QStringLiteral("header"));
        grid.append("1", "2009/06/01    14:05:01     61.1    A    ---    30-130    -----");
        grid.append("10", "x");
        QCOMPARE(
            run(lists::recordGridPrintout(grid)).log->entries,
            (QStringList{lists::kListHeading, lists::kListRule,
                         "1       2009/06/01    14:05:01     61.1    A    ---    30-130    -----",
                         "10      x", "end"}));

        const records::RecordStore live = storeOf(3);
        QCOMPARE(run(lists::liveListPrintout(live, 2)).log->lines().mid(2),
                 (QStringList{"1       2009/06/01    14:05:01     61.1",
                              "2       2009/06/01    14:05:02     62.2"}));

        // Nothing listed: the two heading lines only.
        QCOMPARE(run(lists::recordGridPrintout(records::RecordLineStore())).log->entries,
                 (QStringList{lists::kListHeading, lists::kListRule, "end"}));
    }

    // One per line: each copy sets the font and repeats the heading block, all in one
    // document; no records prints the heading block alone.
    void onePerLine() {
        const records::RecordStore two = storeOf(2);
        const Ran ran = run(lists::onePerLinePrintout(two, kHeaders), 2);
        const QStringList copy{"font Lucida Console 12",
                               kBlank,
                               kBlank,
                               kBlank,
                               kBlank,
                               "          No.s            Date Time  dB",
                               "        ---------------------------------",
                               "             1  2009/06/01 14:05:01  61.1",
                               "             2  2009/06/01 14:05:02  62.2"};
        QCOMPARE(ran.log->entries, copy + copy + QStringList{"end"});
        QCOMPARE(ran.progress, (QList<qint64>{1, 2, 1, 2}));
        QCOMPARE(run(lists::onePerLinePrintout(records::RecordStore(), kHeaders)).log->entries,
                 copy.mid(0, 7) + QStringList{"end"});
    }

    // Several per line: P = 3 with 7 records gives records 1-3, 4-6 and 7, progress
    // 1, 4, 7; one heading whatever P is.
    void severalPerLine() {
        const records::RecordStore seven = storeOf(7);
        const Ran ran = run(lists::severalPerLinePrintout(seven, kHeaders, 3));
        QCOMPARE(ran.log->entries,
                 (QStringList{"font Lucida Console 8", kBlank, kBlank, kBlank, kBlank,
                              "          No.s            Date Time     (dB)",
                              "        " + QString(72, u'-'),
                              "             1  2009/06/01 14:05:01     61.1     62.2     63.3",
                              "             4  2009/06/01 14:05:04     64.4     65.5     66.6",
                              "             7  2009/06/01 14:05:07     67.7", "end"}));
        QCOMPARE(ran.progress, (QList<qint64>{1, 4, 7}));
    }

    // The prompt's answers: the whole part of 1 to 5; 0, 6 or no number ask again;
    // empty or cancelled ends.
    void perLineAnswers() {
        const auto read = [](std::optional<QString> answer) {
            const lists::PerLineAnswer a = lists::readPerLineAnswer(answer);
            return a.ends      ? QStringLiteral("end")
                   : a.perLine ? QString::number(*a.perLine)
                               : "again";
        };
        QStringList got;
        for (const char* text : {"2.9", "1", "5", "0", "6", "x3", "5.5", ""}) {
            got << read(QString::fromLatin1(text));
        }
        got << read(std::nullopt);
        QCOMPARE(got.join(u' '), "2 1 5 again again again again end end");
    }

    // A printer fault (with its reason) or a cancel stops the printout at once, unfinished.
    void faultAndCancel() {
        const records::RecordStore three = storeOf(3);
        for (const bool cancel : {false, true}) {
            const Ran ran =
                run(lists::onePerLinePrintout(three, kHeaders), 1, cancel ? 0 : 8, cancel);
            QCOMPARE(ran.outcome,
                     cancel ? PrintRun::Outcome::Cancelled : PrintRun::Outcome::Failed);
            QCOMPARE(ran.error, cancel ? QString() : "paper jam");
            QCOMPARE(ran.log->lines().size(), 7);
            QCOMPARE(ran.log->events(), (QStringList{"font Lucida Console 12", "abort"}));
        }
    }

    // Between pieces the event loop runs: the panel's cycle keeps firing.
    void otherTimersRunBetweenPieces() {
        const Ran ran = run(lists::onePerLinePrintout(storeOf(50), kHeaders), 1, 0, false, 10);
        QCOMPARE(ran.outcome, PrintRun::Outcome::Finished);
        QCOMPARE(ran.ticksAtProgress.size(), 6);
        QVERIFY(ran.ticksAtProgress.first() < ran.ticksAtProgress.last());
    }
};

QTEST_GUILESS_MAIN(TestPrintouts)
#include "test_printouts.moc"
