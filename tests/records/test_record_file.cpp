// Record files: the bytes a save writes, what a load makes of every kind of line,
// where a load stops and what it reports. (Their CSV is test_csv_export's.)
#include <sys/resource.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "files.h"
#include "records/record_file_reader.h"
#include "records/record_file_writer.h"
#include "records/record_format.h"
#include "records/record_source.h"
#include "records/record_table_model.h"
#include "records/record_tally.h"

using namespace lp::records;

using lp::test::readAll;
using lp::test::writeFile;

namespace {

RecordStore storeOf(const QList<QStringList>& rows) {
    RecordStore store;
    for (const auto& r : rows) {
        store.append(r.at(0), r.at(1), r.at(2));
    }
    return store;
}

// Rows as "no|dateTime|level" texts, easy to compare and to read in a failure.
QStringList rowsOf(const RecordStore& store) {
    QStringList out;
    for (qsizetype i = 0; i < store.count(); ++i) {
        const Record r = store.record(i);
        out << r.no + u'|' + r.dateTime + u'|' + r.level;
    }
    return out;
}

const QString kDt = QStringLiteral("2009/03/15 14:05:09");
const QByteArray kHeader = "No.s\tDate Time\tdB\t\r\n";

}  // namespace

class TestRecordFile : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }
    // Writes the bytes to a file of that name and loads it into the store; a file the
    // test cannot write comes back as an error on line -1, which no case expects.
    LoadResult loadBytes(const char* name, const QByteArray& bytes, RecordStore& store,
                         const std::function<void(qint64)>& progress = {}) {
        const QString file = path(QString::fromLatin1(name));
        if (!writeFile(file, bytes)) {
            return {0, FileError{file, -1, QStringLiteral("the test could not write it")}};
        }
        return loadRecordFile(file, store, progress);
    }
    // Reads a file as the saved-file window does: in pieces of a store over the file,
    // each appended to the list.
    static std::optional<FileError> loadOverFile(const QString& file, RecordStore& list) {
        const auto source = RecordSource::map(file);
        list.useSource(source);
        RecordStore piece;
        piece.useSource(source);
        RecordFileReader reader(file);
        if (!reader.open()) {
            return reader.error();
        }
        auto status = RecordFileReader::Status::More;
        while (status == RecordFileReader::Status::More) {
            status = reader.read(piece, 2);
            list.append(piece);
            piece.removeAll();
        }
        return reader.error();
    }

private slots:
    void saveBytes_data() {
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty list: header only") << QList<QStringList>{} << kHeader;
        QTest::newRow("two records")
            << QList<QStringList>{{"1", kDt, "65.3"}, {"2", "2009/03/15 14:05:11", "60.0"}}
            << kHeader + "1\t2009/03/15 14:05:09\t65.3\t\r\n2\t2009/03/15 14:05:11\t60.0\t\r\n";
        QTest::newRow("empty, non-numeric and single-byte fields kept as text")
            << QList<QStringList>{{"7", "", "-"}, {"", QStringLiteral("\u00b5"), "OVER"}}
            << kHeader + "7\t\t-\t\r\n\t\xb5\tOVER\t\r\n";
    }
    void saveBytes() {
        QFETCH(QList<QStringList>, rows);
        const QString file = path(QStringLiteral("save.sdm"));
        QVERIFY(writeFile(file, "old content that must go away entirely, longer than the new"));
        qsizetype lastProgress = -1;
        const RecordStore store = storeOf(rows);
        QVERIFY(!saveRecordFile(file, store, [&](qsizetype i) { lastProgress = i; }));
        QTEST(readAll(file), "bytes");
        QCOMPARE(lastProgress, rows.size());
    }

    // A file appended to in several runs is saved again with its header lines where
    // they were (also runs without records, and one that ends the file), whether it
    // was read whole or piece by piece into a list.
    void runsKeptOnSave() {
        const QByteArray bytes = kHeader + "1\ta\t65.3\t\r\n2\ta\t66.0\t\r\n" + kHeader + kHeader +
                                 "1\tb\t70.1\t\r\n" + kHeader;
        RecordStore whole;
        QVERIFY(!loadBytes("runs.sdm", bytes, whole).error);
        QCOMPARE(whole.count(), 3);
        RecordFileReader reader(path(QStringLiteral("runs.sdm")));
        QVERIFY(reader.open());
        RecordTableModel list;
        RecordStore piece;
        while (reader.read(piece, 1) == RecordFileReader::Status::More) {
            QVERIFY(list.append(piece));
            piece.removeAll();
        }
        for (const RecordStore* store : {&std::as_const(whole), &list.store()}) {
            const QString saved = path(QStringLiteral("saved.sdm"));
            QVERIFY(!saveRecordFile(saved, *store));
            QCOMPARE(readAll(saved), bytes);
        }
    }

    // A medium that fills up during the save leaves the old file whole; a place that
    // cannot be opened is named with its reason. (What may be written at all is
    // test_output_file's.)
    void saveKeepsFilesOthersNeed() {
        const QString old = path(QStringLiteral("old.sdm"));
        QVERIFY(writeFile(old, "the old content"));
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limit = saved;
        limit.rlim_cur = 30;  // the header goes in, the one short line does not
        setrlimit(RLIMIT_FSIZE, &limit);
        const auto full = saveRecordFile(old, storeOf({{"1", kDt, "65.3"}}));
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(full);
        QVERIFY2(full->reason.startsWith("the disk is full"), qPrintable(full->reason));
        QCOMPARE(readAll(old), QByteArray("the old content"));

        const QString missing = dir_.filePath(QStringLiteral("no/such/dir/x.sdm"));
        const auto error = saveRecordFile(missing, storeOf({{"1", kDt, "65.3"}}));
        QVERIFY(error && error->fileName == missing && !error->reason.isEmpty());
    }

    // A writer of one file from another hands that file to the judgement of its output
    // (test_output_file's): it is never replaced; another file is written.
    void replaceRefusesItsSource_data() {
        QTest::addColumn<QString>("target");  // the name the output is given
        QTest::addColumn<bool>("refused");
        const QString source = path(QStringLiteral("source.sdm"));
        QTest::newRow("the same name") << source << true;
        QTest::newRow("another file") << path(QStringLiteral("other.csv")) << false;
    }
    void replaceRefusesItsSource() {
        QFETCH(QString, target);
        QFETCH(bool, refused);
        const QString source = path(QStringLiteral("source.sdm"));
        QVERIFY(writeFile(source, kHeader));
        const auto error = replaceFile(
            target,
            [](QIODevice& out) -> std::optional<QString> {
                out.write("new");
                return std::nullopt;
            },
            source);
        QCOMPARE(error.has_value(), refused);
        QCOMPARE(readAll(source), kHeader);
        if (refused) {
            QCOMPARE(error->fileName, target);
            QCOMPARE(error->reason, QStringLiteral("it is the file the records come from (%1); "
                                                   "choose another name")
                                        .arg(source));
        } else {
            QCOMPARE(readAll(target), QByteArray("new"));
        }
    }

    // rows: "no|dateTime|level" joined by ';'. errorLine 0: the load ends well.
    void load_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<qint64>("errorLine");
        QTest::addColumn<qint64>("progress");
        const QByteArray h = kHeader;
        const QByteArray dt = kDt.toLatin1();
        const auto row = [](const char* name, const QByteArray& bytes, const char* rows,
                            qint64 errorLine, qint64 progress) {
            QTest::newRow(name) << bytes << QString::fromUtf8(rows) << errorLine << progress;
        };
        row("empty file", "", "", 0, 0);
        row("header only", h, "", 0, 0);
        row("two records", h + "1\t" + dt + "\t65.3\t\r\n2\tb\t60.0\t\r\n",
            "1|2009/03/15 14:05:09|65.3;2|b|60.0", 0, 2);
        row("a later header starts a run, it is no record",
            h + "1\ta\t65.3\t\r\n" + h + "1\tb\t70.1\t\r\n", "1|a|65.3;1|b|70.1", 0, 3);
        row("a header with more text is a record", h + "No.s\tDate Time\tdB\tx\r\n",
            "No.s|Date Time|dB", 0, 1);
        row("first line skipped whatever it holds", "1\tx\t1.0\t\r\n2\ty\t2.0\t\r\n", "2|y|2.0", 0,
            1);
        row("single-byte text and an empty level", h + "7\t\xb5\t\t\r\n", "7|µ|", 0, 1);
        row("two TABs stop the load, earlier rows kept",
            h + "1\ta\t50.0\t\r\n2\tb\t51.0\r\n3\tc\t52.0\t\r\n", "1|a|50.0", 3, 1);
        row("text after the third TAB ignored", h + "1\ta\t50.0\textra\tmore\r\n", "1|a|50.0", 0,
            1);
        row("LF-only line ends", "No.s\tDate Time\tdB\t\n1\ta\t50.0\t\n2\tb\t51.0\t\n",
            "1|a|50.0;2|b|51.0", 0, 2);
        row("CR LF, LF and CR mixed", h + "1\ta\t50.0\t\n2\tb\t51.0\t\r3\tc\t52.0\t\r\n",
            "1|a|50.0;2|b|51.0;3|c|52.0", 0, 3);
        row("bytes of UTF-8 kept one by one", h + "1\t\xc2\xb5\xe2\x82\xac\t50.0\t\r\n",
            "1|\xc3\x82\xc2\xb5\xc3\xa2\xc2\x82\xc2\xac|50.0", 0, 1);
        row("two records on one line, cut by a comma", h + "1\ta\t50.0\t,2\tb\t51.0\t\r\n",
            "1|a|50.0;2|b|51.0", 0, 2);
        row("CR-only line ends", "No.s\tDate Time\tdB\t\r1\ta\t50.0\t\r", "1|a|50.0", 0, 1);
        row("last line without line end", h + "1\ta\t50.0\t", "1|a|50.0", 0, 1);
        row("leading blanks skipped", h + "   1\ta\t50.0\t\r\n", "1|a|50.0", 0, 1);
        row("quoted item loses its quotes", h + "\"1\ta, b\t50.0\t\" trailing\r\n", "1|a, b|50.0",
            0, 1);
        row("comma ends the item: decimal comma stops the load",
            h + "1\ta\t50.0\t\r\n2\tb\t65,3\t\r\n", "1|a|50.0", 3, 1);
        row("blank lines pass", h + "\r\n1\ta\t50.0\t\r\n\r\n   \r\n2\tb\t51.0\t\r\n\r\n",
            "1|a|50.0;2|b|51.0", 0, 5);
        // Fixed-column form: number TAB, date 1-8, time 12-20, level 26-29.
        row("fixed column 65.4", "1\t09/03/15   14:05:09   A  65.4 dB\r\n",
            "1|09/03/1514:05:09 |65.4", 0, 1);
        row("fixed column 65. reads 65.0", h + "2\t09/03/15   14:05:10   C  65. dB\r\n",
            "2|09/03/1514:05:10 |65.0", 0, 2);
        row("fixed column, short line", "3\tAB\r\n", "3|AB|0.0", 0, 1);
        row("fixed column without TAB stops", "1\t09/03/15   14:05:09   A  65.4\r\nA line\r\n",
            "1|09/03/1514:05:09 |65.4", 2, 1);
        row("a line of commas holds only empty items",
            h + QByteArray(60000, ',') + "\r\n1\ta\t50.0\t\r\n", "1|a|50.0", 0, 60002);
        row("no line end at all in 2 MB", QByteArray(2 << 20, ' '), "", 1, 0);
    }
    // A list over the file (the saved-file window's) holds the same rows, runs and
    // stop as one that copies the text.
    void load() {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, errorLine);
        RecordStore store;
        qint64 lastProgress = -1;
        const LoadResult result =
            loadBytes("load.sdm", bytes, store, [&](qint64 p) { lastProgress = p; });
        QTEST(rowsOf(store).join(u';'), "rows");
        QCOMPARE(result.error.has_value(), errorLine != 0);
        if (result.error) {
            QCOMPARE(result.error->line, errorLine);
            QCOMPARE(result.error->fileName, path(QStringLiteral("load.sdm")));
            QVERIFY(!result.error->reason.isEmpty());
        }
        QTEST(lastProgress, "progress");

        RecordStore overFile;
        const auto error = loadOverFile(path(QStringLiteral("load.sdm")), overFile);
        QTEST(rowsOf(overFile).join(u';'), "rows");
        QCOMPARE(error ? error->line : 0, errorLine);
        QCOMPARE(overFile.runStarts(), store.runStarts());
    }

    // Why a load stopped, where the line shows what is wrong with it: a level written
    // with a decimal comma (the comma ends the item) is named as such.
    void stopReasons_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("reason");
        const QString tabs = QStringLiteral(
            "a record line needs a TAB after each of its three fields, and this line has %1");
        QTest::newRow("a decimal comma")
            << QByteArray("2\tb\t66,4\t\r\n")
            << R"(the level "66,4" is written with a decimal comma; a )"
               R"(record line takes a decimal point ("66.4"))";
        QTest::newRow("a decimal comma, the line ending there")
            << QByteArray("2\tb\t66,45\r\n")
            << R"(the level "66,45" is written with a decimal comma; a record line takes a )"
               R"(decimal point ("66.45"))";
        QTest::newRow("two TABs") << QByteArray("2\tb\t66.4\r\n") << tabs.arg("only two");
        QTest::newRow("a comma in the time")
            << QByteArray("2\tb,c\t66.4\t\r\n") << tabs.arg("only one");
    }
    void stopReasons() {
        QFETCH(QByteArray, line);
        RecordStore store;
        const LoadResult result = loadBytes("stops.sdm", kHeader + line, store, {});
        QVERIFY(result.error);
        QCOMPARE(result.error->line, 2);
        QTEST(result.error->reason, "reason");
    }

    // What a recording says it appends to: the records and runs already in the file,
    // counted by hand from the bytes; a new or empty file is recorded to afresh.
    void appendingTally_data() {
        QTest::addColumn<QByteArray>("bytes");  // "none": no file at all
        QTest::addColumn<QString>("said");      // %1: the file
        const QByteArray h = kHeader;
        QTest::newRow("no file") << QByteArray("none") << "recording to %1";
        QTest::newRow("an empty file") << QByteArray() << "recording to %1";
        QTest::newRow("a header alone") << h << "appending to %1 (0 records in 1 runs)";
        QTest::newRow("three records in two runs")
            << h + "1\ta\t50.0\t\r\n2\tb\t51.0\t\r\n" + h + "1\tc\t52.0\t\r\n"
            << "appending to %1 (3 records in 2 runs)";
        QTest::newRow("a line that is no record")
            << h + "1\ta\t50.0\t\r\nnot a record\r\n"
            << "appending to %1 (1 records in 1 runs); it reads as a record file only up to "
               "line 3 (a record line needs a TAB after each of its three fields, and this "
               "line has none)";
    }
    void appendingTally() {
        QFETCH(QByteArray, bytes);
        const QString file = path(QStringLiteral("appended.sdm"));
        QFile::remove(file);
        if (bytes != "none") {
            QVERIFY(writeFile(file, bytes));
        }
        QFETCH(QString, said);
        QCOMPARE(recordingStartText(file, tallyRecordFile(file)), said.arg(file));
    }

    void missingFile() {
        RecordStore store;
        const LoadResult result = loadRecordFile(path(QStringLiteral("none.sdm")), store);
        QVERIFY(result.error && result.error->reason.contains(u"cannot be opened"));
        QCOMPARE(result.error->line, 0);
    }

    // The longest line is the same wherever the reads of the file fall: a line of
    // kMaxLineBytes loads, one byte more stops the load, also when the line end is the
    // last byte of a read (a CR there is not yet known to end the line); a line far
    // down, several reads on, is named by its true number.
    void longestLineAtReadEnd_data() {
        QTest::addColumn<qsizetype>("length");
        QTest::addColumn<qsizetype>("lineEndAt");  // offset of the line's first end byte
        QTest::addColumn<QByteArray>("lineEnd");
        const qsizetype max = RecordFileReader::kMaxLineBytes;
        const qsizetype readEnd = RecordFileReader::kBufferBytes;  // the first read's end
        for (const qsizetype at : {readEnd - 2, readEnd - 1, readEnd}) {
            for (const QByteArray& end : {QByteArray("\r\n"), QByteArray("\n"), QByteArray("\r")}) {
                const QByteArray name = QByteArray::number(at - readEnd) +
                                        " from the read's end, " +
                                        (end == "\r\n" ? "CR LF"
                                         : end == "\n" ? "LF"
                                                       : "CR");
                QTest::newRow(name) << max << at << end;
            }
        }
        QTest::newRow("one byte too long, CR LF at the read's end")
            << max + 1 << readEnd - 1 << QByteArray("\r\n");
        QTest::newRow("one byte too long, far down")
            << max + 1 << qsizetype(1 << 20) << QByteArray("\r\n");
    }
    void longestLineAtReadEnd() {
        QFETCH(qsizetype, length);
        QFETCH(qsizetype, lineEndAt);
        QFETCH(QByteArray, lineEnd);
        QByteArray bytes = kHeader;
        int filler = 0;
        const qsizetype fillTo = lineEndAt - length;
        while (bytes.size() < fillTo) {
            ++filler;
            const qsizetype left = fillTo - bytes.size();
            const qsizetype size = (left >= 2000 ? 1000 : left) - lineEnd.size();
            bytes += QByteArray::number(filler % 10) + "\tf\t" + QByteArray(size - 5, '1') + "\t";
            bytes += lineEnd;
        }
        bytes += "2\tb\t" + QByteArray(length - 5, '5') + "\t";
        QCOMPARE(bytes.size(), lineEndAt);
        bytes += lineEnd + "3\tc\t1.0\t" + lineEnd;
        RecordStore store;
        const LoadResult result = loadBytes("longest.sdm", bytes, store);
        const bool fits = length <= RecordFileReader::kMaxLineBytes;
        QCOMPARE(store.count(), filler + (fits ? 2 : 0));
        QCOMPARE(result.error.has_value(), !fits);
        if (fits) {
            QCOMPARE(store.bytes(filler, Field::Level).size(), length - 5);
        } else {
            QCOMPARE(result.error->line, filler + 2);
        }
    }

    // The reader hands over records in pieces, and its progress number counts items;
    // a store over the file keeps no copy of plain lines' text, also past the reader's
    // first buffer (20,000 lines of 13 to 17 bytes).
    void piecewise() {
        QByteArray bytes = kHeader;
        for (int i = 1; i <= 20000; ++i) {
            bytes += QByteArray::number(i) + "\td\t1.0\t\r\n";
        }
        QVERIFY(bytes.size() > RecordFileReader::kBufferBytes);
        const QString file = path(QStringLiteral("pieces.sdm"));
        QVERIFY(writeFile(file, bytes));
        RecordFileReader reader(file);
        QVERIFY(reader.open());
        RecordStore store;
        store.useSource(RecordSource::map(file));
        QVERIFY(store.source());
        QCOMPARE(reader.read(store, 4), RecordFileReader::Status::More);
        QCOMPARE(store.count(), 3);  // the header was one of the four items
        QCOMPARE(reader.progressCount(), 3);
        QCOMPARE(reader.read(store, 4), RecordFileReader::Status::More);
        QCOMPARE(store.count(), 7);
        QCOMPARE(reader.read(store, 100000), RecordFileReader::Status::End);
        QCOMPARE(store.count(), 20000);
        QCOMPARE(store.record(9), (Record{"10", "d", "1.0"}));
        QCOMPARE(store.record(19999), (Record{"20000", "d", "1.0"}));
        QCOMPARE(store.textBytes(), 0);
        QCOMPARE(reader.progressCount(), 20000);
        QCOMPARE(reader.read(store, 100), RecordFileReader::Status::End);
    }
};

QTEST_APPLESS_MAIN(TestRecordFile)
#include "test_record_file.moc"
