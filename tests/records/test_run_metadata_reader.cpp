// The metadata beside a record file: which lines a reader counts, the state that holds
// at a line of the record file, and a download's metadata file written whole.
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

#include "files.h"

#include "records/run_metadata.h"

using namespace lp;

namespace {

// "A F 30-80", with "?" for each part not known; "none" for an empty state.
QString textOf(const records::MeterState& s) {
    if (s == records::MeterState{}) {
        return QStringLiteral("none");
    }
    const QString w = !s.weighting ? "?" : *s.weighting == records::Weighting::A ? "A" : "C";
    const QString r = !s.response ? "?" : *s.response == records::Response::Fast ? "F" : "S";
    const QString range =
        s.range ? QStringLiteral("%1-%2").arg(s.range->first).arg(s.range->second) : "?";
    return w + ' ' + r + ' ' + range;
}

const QByteArray kRunAt1 =
    R"({"run":1,"header_line":1,"start":"2026-12-06T22:00:00+01:00","program":"levelpanel-cli 0.9",)"
    R"("host":"box","port":"/dev/ttyUSB0","every_s":1,"weighting":"A","response":"F","range":[30,80]})"
    "\n";

}  // namespace

class TestRunMetadataReader : public QObject {
    Q_OBJECT

private slots:
    // Each row: the file's bytes, a line of the record file, the state at it, and how
    // many runs and spans were read.
    void stateAtALine_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("line");
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("runs");
        QTest::addColumn<int>("spans");
        const QByteArray toC =
            "{\"line\":9,\"weighting\":\"C\",\"response\":\"F\",\"range\":[30,80]}\n";
        QTest::newRow("a change, from its line on")
            << kRunAt1 + toC << qint64(9) << "C F 30-80" << 1 << 2;
        QTest::newRow("a change, the line before")
            << kRunAt1 + toC << qint64(8) << "A F 30-80" << 1 << 2;
        // A crash cut the change line short: it is passed over, the run's state holds on.
        QTest::newRow("a cut last line")
            << kRunAt1 + toC.left(30) << qint64(20) << "A F 30-80" << 1 << 1;
        // Keys of a later program are passed over; the known ones are read.
        QTest::newRow("an unknown key")
            << kRunAt1 +
                   "{\"line\":4,\"gps\":[52.1,4.3],\"weighting\":\"C\",\"response\":\"S\","
                   "\"range\":[40,90],\"battery\":\"low\"}\n"
            << qint64(5) << "C S 40-90" << 1 << 2;
        // Lines come in order of the lines they name, whatever their order in the file: a
        // second run (header at 12, on C) was copied in before the first's change at 9.
        QTest::newRow("out-of-order lines, between")
            << kRunAt1 +
                   QByteArray(kRunAt1)
                       .replace("\"header_line\":1", "\"header_line\":12")
                       .replace("\"weighting\":\"A\"", "\"weighting\":\"C\"") +
                   "{\"line\":9,\"weighting\":\"A\",\"response\":\"S\",\"range\":[30,80]}\n"
            << qint64(11) << "A S 30-80" << 2 << 3;
        QTest::newRow("out-of-order lines, after")
            << kRunAt1 +
                   QByteArray(kRunAt1)
                       .replace("\"header_line\":1", "\"header_line\":12")
                       .replace("\"weighting\":\"A\"", "\"weighting\":\"C\"") +
                   "{\"line\":9,\"weighting\":\"A\",\"response\":\"S\",\"range\":[30,80]}\n"
            << qint64(12) << "C F 30-80" << 2 << 3;
        // A run that starts at line 5 of its file says nothing of the lines before.
        QTest::newRow("before the first span")
            << QByteArray(kRunAt1).replace("\"header_line\":1", "\"header_line\":5") << qint64(4)
            << "none" << 1 << 1;
        // Values it does not know are no values (lower case letters, a range of one end); a line
        // number that is no whole number of 1 or more makes no line.
        QTest::newRow("unknown values, bad line numbers")
            << kRunAt1 +
                   "{\"line\":3,\"weighting\":\"C\",\"response\":\"s\",\"range\":[30]}\n"
                   "{\"line\":0,\"weighting\":\"C\"}\n{\"line\":5.5,\"weighting\":\"C\"}\n"
                   "{\"line\":\"6\",\"weighting\":\"C\"}\n"
            << qint64(7) << "C ? ?" << 1 << 2;
    }
    void stateAtALine() {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, line);
        QFETCH(QString, state);
        QFETCH(int, runs);
        QFETCH(int, spans);
        const records::RecordMetadata metadata = records::parseRecordMetadata(bytes);
        QCOMPARE(textOf(records::stateAtLine(metadata, line)), state);
        QCOMPARE(int(metadata.runs.size()), runs);
        QCOMPARE(int(metadata.spans.size()), spans);
    }

    // The run object's own fields, read back as written.
    void theRunsFields() {
        const records::RecordMetadata metadata = records::parseRecordMetadata(kRunAt1);
        QCOMPARE(metadata.runs.size(), size_t(1));
        const records::RunStart& run = metadata.runs[0];
        QCOMPARE(run.headerLine, 1);
        QCOMPARE(run.start, "2026-12-06T22:00:00+01:00");
        QCOMPARE(run.program, "levelpanel-cli 0.9");
        QCOMPARE(run.host, "box");
        QCOMPARE(run.port, "/dev/ttyUSB0");
        QCOMPARE(run.everySeconds, std::optional<double>(1.0));
    }

    // A line's bytes, written out by hand as the writer makes them (keys in order, a
    // half second, a host of non-ASCII letters, an unknown start): the writer's two
    // forms give them, and the object read back from each gives it again, byte for
    // byte, as a copy of the file rebuilt from the broker's messages needs.
    void aLineFromItsObject() {
        const records::MeterState cSlow{records::Weighting::C, records::Response::Slow,
                                        std::pair{50, 100}};
        const QByteArray run = records::runStartLine(
            {7, {}, "levelpanel-cli 0.9", "Bühne-Süd", "/dev/ttyUSB0", 0.5, {}});
        const QByteArray change = records::stateChangeLine(2411, cSlow);
        QCOMPARE(run, QByteArray(R"({"every_s":0.5,"header_line":7,"host":"Bühne-Süd",)"
                                 R"("port":"/dev/ttyUSB0","program":"levelpanel-cli 0.9",)"
                                 R"("range":null,"response":null,"run":1,"start":null,)"
                                 R"("weighting":null})"
                                 "\n"));
        QCOMPARE(change, QByteArray(R"({"line":2411,"range":[50,100],"response":"S",)"
                                    R"("weighting":"C"})"
                                    "\n"));
        for (const QByteArray& line : {run, change, QByteArray(kRunAt1)}) {
            const QJsonObject object = QJsonDocument::fromJson(line).object();
            const QByteArray again = records::metadataLine(object);
            // kRunAt1 was typed in another key order: its object, not its bytes, holds.
            QCOMPARE(QJsonDocument::fromJson(again).object(), object);
            if (line != kRunAt1) {
                QCOMPARE(again, line);
            }
        }
    }

    // Written whole beside a regular file (over an older one); nothing beside a pipe;
    // a folder in its place is left alone, and the reason names it.
    void aDownloadsMetadataFile() {
        QTemporaryDir dir;
        const QString file = dir.filePath("set.sdm");
        QVERIFY(test::writeFile(file, "No.s\tDate Time\tdB\t\r\n"));
        QVERIFY(test::writeFile(file + ".meta", "an older file's metadata, longer than the new\n"));
        QCOMPARE(records::replaceMetadataFile(file, "{}\n"), std::nullopt);
        QCOMPARE(test::readAll(file + ".meta"), QByteArray("{}\n"));

        const QString pipe = dir.filePath("pipe.sdm");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QCOMPARE(records::replaceMetadataFile(pipe, "{}\n"), std::nullopt);
        QVERIFY(!QFileInfo::exists(pipe + ".meta"));

        const QString held = dir.filePath("held.sdm");
        QVERIFY(test::writeFile(held, "No.s\tDate Time\tdB\t\r\n"));
        QVERIFY(QDir(dir.path()).mkdir("held.sdm.meta"));
        const std::optional<QString> reason = records::replaceMetadataFile(held, "{}\n");
        QVERIFY(reason && reason->contains(held + ".meta") && reason->contains("no regular file"));
        QVERIFY(QFileInfo(held + ".meta").isDir());
    }
};

QTEST_MAIN(TestRunMetadataReader)
#include "test_run_metadata_reader.moc"
