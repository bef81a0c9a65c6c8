// The collector's archive without a broker: lines in any order and any number of times
// make a file that is always a prefix of the logger's, held lines survive a kill, a
// missing line is told once when overdue; the header lines, the metadata, the events
// and periods as CSV.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "remote/archive.h"
#include "remote/numbered_lines.h"

using lp::remote::Archive;
using lp::remote::NumberedLines;

namespace {

QByteArray bytesOf(qint64 line) {
    return QByteArray::number(line) + '\n';
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

QByteArray sample(int line, int no, const char* time, const char* text) {
    return QStringLiteral(
               R"({"file":"log.sdm","line":%1,"no":%2,"time":"%3","level":null,"text":"%4"})")
        .arg(line)
        .arg(no)
        .arg(QLatin1String(time), QLatin1String(text))
        .toUtf8();
}

}  // namespace

class TestArchive : public QObject {
    Q_OBJECT

private slots:
    void arrivals_data() {
        QTest::addColumn<QList<int>>("lines");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("held");
        QTest::newRow("in order") << QList<int>{1, 2, 3} << QByteArray("1\n2\n3\n") << 0;
        QTest::newRow("repeats dropped")
            << QList<int>{1, 2, 2, 1, 3} << QByteArray("1\n2\n3\n") << 0;
        QTest::newRow("early lines wait for the missing one")
            << QList<int>{3, 4, 1, 2} << QByteArray("1\n2\n3\n4\n") << 0;
        QTest::newRow("a gap is never written") << QList<int>{1, 3, 5} << QByteArray("1\n") << 2;
        QTest::newRow("a held line again")
            << QList<int>{1, 3, 3, 2} << QByteArray("1\n2\n3\n") << 0;
    }
    void arrivals() {
        QFETCH(QList<int>, lines);
        QFETCH(QByteArray, file);
        QFETCH(int, held);
        QTemporaryDir dir;
        NumberedLines archived(dir.filePath("n/log.sdm"), dir.filePath("n/.held/log.sdm"));
        for (const int line : lines) {
            QVERIFY(archived.put(line, bytesOf(line), 0) != NumberedLines::Put::Refused);
        }
        QCOMPARE(contents(dir.filePath("n/log.sdm")), file);
        QCOMPARE(archived.heldCount(), held);
        QCOMPARE(QFile::exists(dir.filePath("n/.held/log.sdm")), held > 0);
    }

    // Killed with a line held and in the middle of a write: started again, the cut line
    // is gone and the held one is still there.
    void resume() {
        QTemporaryDir dir;
        const QString path = dir.filePath("log.sdm");
        const QString heldPath = dir.filePath(".held/log.sdm");
        {
            NumberedLines archived(path, heldPath);
            QVERIFY(archived.put(1, bytesOf(1), 0) == NumberedLines::Put::Written);
            QVERIFY(archived.put(3, bytesOf(3), 0) == NumberedLines::Put::Held);
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::Append));
        file.write("2 cut");
        file.close();
        QFile held(heldPath);
        QVERIFY(held.open(QIODevice::Append));
        held.write("4 cut");
        held.close();

        NumberedLines archived(path, heldPath);
        QVERIFY(!archived.open(0));
        QCOMPARE(archived.lines(), 1);
        QCOMPARE(archived.heldCount(), 1);
        QVERIFY(archived.put(3, bytesOf(3), 0) == NumberedLines::Put::Repeat);
        QVERIFY(archived.put(2, bytesOf(2), 0) == NumberedLines::Put::Written);
        QCOMPARE(contents(path), QByteArray("1\n2\n3\n"));
        QVERIFY(!QFile::exists(heldPath));
    }

    // A line still missing 60 s after the first later one arrived, told once.
    void overdue() {
        QTemporaryDir dir;
        NumberedLines archived(dir.filePath("log.sdm"), dir.filePath(".held/log.sdm"));
        (void)archived.put(1, bytesOf(1), 0);
        (void)archived.put(4, bytesOf(4), 1000);
        (void)archived.put(3, bytesOf(3), 30000);
        QVERIFY(!archived.overdue(60999, 60000));
        QCOMPARE(archived.overdue(61000, 60000), (std::pair<qint64, qint64>{2, 2}));
        QVERIFY(!archived.overdue(90000, 60000));
        // Filled; the next gap counts from its own later line.
        (void)archived.put(2, bytesOf(2), 100000);
        (void)archived.put(7, bytesOf(7), 100000);
        QVERIFY(!archived.overdue(159999, 60000));
        QCOMPARE(archived.overdue(160000, 60000), (std::pair<qint64, qint64>{5, 6}));
    }

    // A logger's folder: the record file with its header lines (from a run object, and
    // before each record numbered 1), its metadata, its events and periods, all again
    // after a restart without a change.
    void loggerFolder() {
        QTemporaryDir dir;
        const QByteArray header("No.s\tDate Time\tdB\t\r\n");
        const QByteArray record1("1\t2026/12/06 23:59:59\t61.2\t\r\n");
        const QByteArray record2("2\t2026/12/07 00:00:00\t62.0\t\r\n");
        const QByteArray record1b("1\t2026/12/07 00:00:05\t55.5\t\r\n");
        const QByteArray event(
            R"({"state":"end","start":"2026-12-06T23:59:58+01:00","end":"2026-12-07T00:00:02+01:00",)"
            R"("duration_s":4,"lmax":91.3,"leq":88,"sel":94.1,"above":85})");
        const QByteArray partial(
            R"({"start":"2026-12-07T00:00:00+01:00","end":"2026-12-07T00:01:00+01:00",)"
            R"("length_s":60,"partial":true,"records":30,"leq":60.5,"file":"log.sdm","weighting":"A"})");
        const QByteArray whole(
            R"({"start":"2026-12-07T00:00:00+01:00","end":"2026-12-07T00:01:00+01:00",)"
            R"("length_s":60,"partial":false,"records":60,"leq":61.25,"energy":8062402499.94,"leq_s":60,)"
            R"("file":"log.sdm","weighting":"A"})");
        const QList<QPair<QByteArray, QByteArray>> messages{
            {"lp/north/meta",
             R"({"file":"log.sdm","meta_line":2,"meta":{"line":3,"weighting":"C"}})"},
            {"lp/north/sample", sample(3, 2, "2026-12-07T00:00:00+01:00", "62.0")},
            {"lp/north/sample", sample(2, 1, "2026-12-06T23:59:59+01:00", "61.2")},
            {"lp/north/sample", sample(2, 1, "2026-12-06T23:59:59+01:00", "61.2")},
            {"lp/north/meta",
             R"({"file":"log.sdm","meta_line":1,"meta":{"run":1,"header_line":1,"every_s":1}})"},
            {"lp/north/meta",
             R"({"file":"log.sdm","meta_line":3,"meta":{"run":1,"header_line":4,"every_s":1}})"},
            {"lp/north/sample", sample(6, 1, "2026-12-07T00:00:05+01:00", "55.5")},
            {"lp/north/status", R"({"state":"online"})"},
            {"lp/north/event", event},
            {"lp/north/period/1min", partial},
            {"lp/north/period/1min", whole},
        };
        const auto files = [&] {
            return contents(dir.filePath("north/log.sdm")) + "|" +
                   contents(dir.filePath("north/log.sdm.meta")) + "|" +
                   contents(dir.filePath("north/events-2026-12-06.csv")) + "|" +
                   contents(dir.filePath("north/periods-1min-2026-12-07.csv"));
        };
        const QByteArray expected =
            header + record1 + record2 + header + header + record1b + "|" +
            R"({"every_s":1,"header_line":1,"run":1})"
            "\n"
            R"({"line":3,"weighting":"C"})"
            "\n"
            R"({"every_s":1,"header_line":4,"run":1})"
            "\n|"
            "state,start,end,duration_s,lmax,leq,sel,above,rule,figure,value,limit,level\r\n"
            "end,2026-12-06T23:59:58+01:00,2026-12-07T00:00:02+01:00,4,91.3,88,94.1,85,,,,,\r\n"
            "|start,end,length_s,partial,records,over_range,under_range,coverage,leq,lmax,"
            "lmin,l10,l50,l90,energy,leq_s,file,weighting,response\r\n"
            "2026-12-07T00:00:00+01:00,2026-12-07T00:01:00+01:00,60,false,60,,,,61.25,,,,,,"
            "8062402499.94,60,log.sdm,A,\r\n";
        {
            Archive archive(dir.path(), "lp");
            for (const auto& [topic, payload] : messages) {
                QCOMPARE(archive.take(topic, payload, 0), QStringList());
            }
            QCOMPARE(files(), expected);
            // A name that would climb out of the archive.
            QCOMPARE(archive.take("lp/../sample", sample(2, 1, "2026-12-06T23:59:59+01:00", "1"), 0)
                         .size(),
                     1);
        }
        Archive again(dir.path(), "lp");
        for (const auto& [topic, payload] : messages) {
            QCOMPARE(again.take(topic, payload, 0), QStringList());
        }
        // A period's partial figures sent again late leave its whole ones.
        QCOMPARE(again.take("lp/north/period/1min", partial, 0), QStringList());
        QCOMPARE(files(), expected);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{"north"});
    }
};

QTEST_GUILESS_MAIN(TestArchive)
#include "test_archive.moc"
