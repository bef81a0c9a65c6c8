// The period messages of a logger from the lines it writes and, after a restart, from
// its record file; and the cursor that says how far the broker has them. That the rows
// equal `periods --json` for the same files is test_record_publish's (whole processes).
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include "files.h"
#include "record_writer.h"
#include "remote/period_cursor.h"
#include "remote/period_stream.h"

using lp::remote::PeriodMessage;
using lp::remote::PeriodStream;
using lp::test::RecordWriter;

namespace {

QJsonObject json(const QByteArray& payload) {
    return QJsonDocument::fromJson(payload).object();
}

// RecordWriter's records run from 10:00:01 on 2026-12-06, a second each.
qint64 at(const char* time) {
    return QDateTime::fromString(QStringLiteral("2026-12-06T") + time, Qt::ISODate)
        .toSecsSinceEpoch();
}

}  // namespace

class TestPeriodStream : public QObject {
    Q_OBJECT

private slots:
    // 10:00:01 at 70.0 dB under A weighting, 57 s at 60.0 dB under C, then under the
    // range ("-"): by hand, energy = 10^7 + 57 * 10^6 = 6.7e7 (S = 1 s), leq_s = 58 (the
    // reading under the range is no part of the Leq), Leq = 10 lg(6.7e7 / 58) = 60.63;
    // the weighting mixed, so null. The record at 10:01:00 closes the period; the run's
    // stop publishes the next as partial, with S from all records (coverage 1/60).
    void figuresFromTheLinesAndAgainFromTheFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("log.sdm");
        RecordWriter writer(path);
        PeriodStream stream({60});
        std::vector<PeriodMessage> closed;
        for (int i = 1; i <= 60; ++i) {
            lp::live::RecordedLine line = writer.append(i == 1 ? "70.0" : i == 59 ? "-" : "60.0");
            line.sample.reading.weightingA = i == 1;
            const std::vector<PeriodMessage> now = stream.take(line);
            QCOMPARE(now.size(), size_t(i == 60 ? 1 : 0));
            closed.insert(closed.end(), now.begin(), now.end());
        }
        QCOMPARE(closed[0].start, at("10:00:00"));
        QCOMPARE(closed[0].end, at("10:01:00"));
        QJsonObject first = json(closed[0].payload);
        QVERIFY(qFuzzyCompare(first.take("energy").toDouble(), 6.7e7));
        QCOMPARE(first.take("leq").toDouble(), 60.6);
        QCOMPARE(first.take("coverage").toDouble(), 0.983);  // 59 records of 60 s
        for (const char* key : {"lmax", "lmin", "l10", "l50", "l90"}) {
            QVERIFY(first.take(key).isDouble());  // the rule's own tests hold their values
        }
        QCOMPARE(first, json(R"({"start":"2026-12-06T10:00:00","end":"2026-12-06T10:01:00",)"
                             R"("records":59,"over_range":0,"under_range":1,"leq_s":58,)"
                             R"("file":"log.sdm","weighting":null,"response":"F",)"
                             R"("length_s":60,"partial":false})"));
        QCOMPARE(stream.nextStart(60), at("10:01:00"));

        const std::vector<PeriodMessage> open = stream.stop();
        QCOMPARE(open.size(), size_t(1));
        const QJsonObject partial = json(open[0].payload);
        QCOMPARE(partial["start"], "2026-12-06T10:01:00");
        QCOMPARE(partial["records"], 1);
        QCOMPARE(partial["coverage"], 0.017);
        QVERIFY(qFuzzyCompare(partial["energy"].toDouble(), 1e6));
        QCOMPARE(partial["leq_s"], 1);
        QCOMPARE(partial["weighting"], "C");
        QCOMPARE(partial["partial"], true);

        // Restarted from the file (its metadata left out: the first period's weighting
        // and response as the file says, none): the same figures, the period from
        // 10:01 still open.
        PeriodStream again({60});
        std::optional<lp::records::FileError> error;
        const std::vector<PeriodMessage> reread =
            again.load({path, dir.filePath("gone.sdm")}, {{60, at("10:00:00")}}, error);
        QVERIFY(!error);
        QCOMPARE(reread.size(), size_t(1));
        QJsonObject fromFile = json(reread[0].payload);
        QJsonObject live = json(closed[0].payload);
        for (const char* key : {"weighting", "response"}) {
            QCOMPARE(fromFile.take(key), QJsonValue::Null);
            live.remove(key);
        }
        QCOMPARE(fromFile, live);
        QCOMPARE(again.stop().size(), size_t(1));
        QCOMPARE(again.filesFrom(at("10:00:00")), QStringList{path});
    }

    // Two lengths, a new day's file: a line closes every period it passes, each length
    // once; the energy counts S seconds for each record; the weighting is the period's.
    void lengthsAndFiles() {
        QTemporaryDir dir;
        PeriodStream stream({60, 120});
        const auto line = [&dir](const char* file, const char* time, bool weightingA = false) {
            lp::live::Sample sample{{}, QString("2026/12/06 ") + time, "60.0", {}};
            sample.reading.weightingA = weightingA;
            return lp::live::RecordedLine{dir.filePath(file), 2, 1, sample};
        };
        QCOMPARE(stream.take(line("a.sdm", "10:00:30", true)).size(), size_t(0));
        QCOMPARE(stream.nextStart(120), at("10:00:00"));
        // Skips the empty period 10:01 of 1 min; closes 10:00 of both lengths.
        const std::vector<PeriodMessage> closed = stream.take(line("b.sdm", "10:02:00"));
        QCOMPARE(closed.size(), size_t(2));
        QCOMPARE(closed[0].length, 60);
        QCOMPARE(closed[1].length, 120);
        // S is 90 s (the only step): 10^6 * 90 and one record of 90 s.
        const QJsonObject first = json(closed[0].payload);
        QVERIFY(qFuzzyCompare(first["energy"].toDouble(), 9e7));
        QCOMPARE(first["leq_s"], 90);
        QCOMPARE(json(closed[1].payload)["file"], "a.sdm");
        // The period's own records say its weighting, not the one that closed it.
        QCOMPARE(first["weighting"], "A");
        QCOMPARE(stream.nextStart(60), at("10:02:00"));
        QCOMPARE(stream.filesFrom(at("10:00:00")),
                 (QStringList{dir.filePath("a.sdm"), dir.filePath("b.sdm")}));
        QCOMPARE(stream.filesFrom(at("10:02:00")), QStringList{dir.filePath("b.sdm")});
    }

    // A logger started again in the second pass of the hour shown twice in Berlin
    // (02:30 at +01:00 is 01:30 UTC, 1792891800): its periods lie where its clock said,
    // not an hour earlier where a stamp read without the records before it would.
    void theRepeatedHourAfterARestart() {
        PeriodStream stream({60}, QTimeZone("Europe/Berlin"));
        for (const qint64 instant : {1792891800, 1792891860}) {
            const QDateTime when =
                QDateTime::fromSecsSinceEpoch(instant, QTimeZone("Europe/Berlin"));
            const lp::live::Sample sample{when, when.toString("yyyy/MM/dd HH:mm:ss"), "60.0", {}};
            const std::vector<PeriodMessage> closed =
                stream.take({QStringLiteral("log.sdm"), 2, 1, sample});
            QCOMPARE(closed.size(), size_t(instant == 1792891860 ? 1 : 0));
            if (!closed.empty()) {
                QCOMPARE(closed[0].start, 1792891800);
            }
        }
    }

    void cursorFile() {
        QTemporaryDir dir;
        const QString path = lp::remote::periodCursorPath(dir.filePath("log.sdm"));
        QCOMPARE(path, dir.filePath("log.sdm.periods.published"));
        QString problem;
        QVERIFY(!lp::remote::loadPeriodCursor(path, problem));
        QVERIFY(problem.isEmpty());
        const lp::remote::PeriodCursor cursor{{dir.filePath("log-2026-12-06.sdm")},
                                              {{60, 1796598000}, {900, 1796597100}}};
        QVERIFY(!lp::remote::savePeriodCursor(path, cursor));
        QCOMPARE(lp::test::readAll(path),
                 R"({"files":["log-2026-12-06.sdm"],"periods":{"60":1796598000,"900":1796597100}})"
                 "\n");
        QCOMPARE(lp::remote::loadPeriodCursor(path, problem), cursor);
        QVERIFY(lp::test::writeFile(path, R"({"files":["log.sdm"],"periods":{"60":"x"}})"));
        QVERIFY(!lp::remote::loadPeriodCursor(path, problem));
        QVERIFY2(problem.contains("cannot be read (it is no period cursor)"), qPrintable(problem));
    }
};

QTEST_GUILESS_MAIN(TestPeriodStream)
#include "test_period_stream.moc"
