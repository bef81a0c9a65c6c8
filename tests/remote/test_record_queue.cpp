// What waits to be published: the backlog read from the files, the cursor, the queue.
#include <sys/stat.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <ctime>
#include <variant>

#include "files.h"
#include "record_writer.h"
#include "remote/backlog_reader.h"
#include "remote/publish_state.h"
#include "remote/record_queue.h"

using lp::remote::BacklogReader;
using lp::remote::PublishState;
using lp::remote::RecordKey;
using lp::remote::RecordQueue;
using lp::remote::WrittenRecord;
using lp::test::RecordWriter;

namespace {

// Everything the queue hands out until it has nothing, as "file:line" (with "+" for a
// record that carries its reading).
QStringList drain(RecordQueue& queue, int* laterTurns = nullptr) {
    QStringList out;
    for (;;) {
        const RecordQueue::Next got = queue.next();
        if (std::holds_alternative<RecordQueue::Drained>(got)) {
            return out;
        }
        if (std::holds_alternative<RecordQueue::Later>(got)) {
            laterTurns && ++*laterTurns;
            continue;
        }
        const auto& [key, record] = std::get<RecordQueue::Record>(got);
        out << QStringLiteral("%1:%2%3").arg(key.file).arg(key.line).arg(record.reading ? "+" : "");
    }
}

}  // namespace

class TestRecordQueue : public QObject {
    Q_OBJECT

private slots:
    void backlogNumbersLinesAcrossRuns() {
        QTemporaryDir dir;
        const QString path = dir.filePath("log.sdm");
        {
            RecordWriter first(path);  // header at line 1, records at 2..4
            first.append();
            first.append();
            first.append();
        }
        RecordWriter second(path);  // header at line 5, records 1 and 2 at lines 6 and 7
        second.append();
        second.append("32.0-");
        BacklogReader reader(path, 3);
        std::vector<WrittenRecord> records;
        while (reader.read(records, 2) == BacklogReader::Status::More) {
        }
        QStringList read;
        for (const WrittenRecord& r : records) {
            read << QStringLiteral("%1 %2 %3 %4").arg(r.line).arg(r.no, r.dateTime, r.level);
        }
        QCOMPARE(read, (QStringList{"4 3 2026/12/06 10:00:03 65.3", "6 1 2026/12/06 10:00:01 65.3",
                                    "7 2 2026/12/06 10:00:02 32.0-"}));
    }

    // A backlog that starts in the second pass of the autumn hour shown twice (a record a
    // minute, 02:00 to 02:59 twice, then 03:00, in Berlin): the records before the cursor
    // still count for the order, so the ones read back are in winter time, +01:00.
    void backlogThroughTheRepeatedHour() {
        qputenv("TZ", "Europe/Berlin");
        tzset();
        QTemporaryDir dir;
        const QString path = dir.filePath("autumn.sdm");
        QByteArray file(lp::records::kHeaderLine.data(), lp::records::kHeaderLine.size());
        for (int i = 0; i <= 120; ++i) {
            const QString stamp = QStringLiteral("2026/10/25 %1:%2:00")
                                      .arg(i == 120 ? 3 : 2, 2, 10, QChar('0'))
                                      .arg(i % 60, 2, 10, QChar('0'));
            lp::records::appendRecordLine(file, QByteArray::number(i + 1), stamp.toLatin1(),
                                          "64.0");
        }
        QVERIFY(lp::test::writeFile(path, file));
        // Line 1 is the header, record i + 1 on line i + 2: line 62 is 02:00 again.
        BacklogReader reader(path, 62);
        std::vector<WrittenRecord> records;
        while (reader.read(records, 16) == BacklogReader::Status::More) {
        }
        QCOMPARE(records.size(), size_t(60));
        QCOMPARE(records.front().dateTime, "2026/10/25 02:01:00");
        QCOMPARE(records.back().dateTime, "2026/10/25 03:00:00");
        for (const WrittenRecord& r : records) {
            QCOMPARE(r.utcOffset, std::optional(3600));
        }
        const QJsonObject sample =
            QJsonDocument::fromJson(lp::remote::sampleMessage(records.front())).object();
        QCOMPARE(sample["time"].toString(), "2026-10-25T02:01:00+01:00");
    }

    void stateRoundTrip() {
        QTemporaryDir dir;
        const QString path = lp::remote::publishStatePath(dir.filePath("log.sdm"));
        const QString first = dir.filePath("log-2026-12-06.sdm");
        RecordWriter(first).append();
        const PublishState state{
            {first, dir.filePath("log-2026-12-07.sdm")}, 2, lp::platform::fileIdentity(first)};
        QVERIFY(!lp::remote::savePublishState(path, state));
        // The names are kept relative to the folder, so the folder may move.
        QVERIFY(lp::test::readAll(path).contains("\"log-2026-12-06.sdm\""));
        const lp::remote::CursorStart loaded = lp::remote::loadPublishState(path);
        QCOMPARE(loaded.state, state);
        QCOMPARE(loaded.notice, QString());
    }

    // Where a restart goes on from, for the cursor "log.sdm.published" of "log.sdm"
    // (records at lines 2..4); DEV and INO stand for the file's, as stat() gives them.
    void cursorStart_data() {
        QTest::addColumn<QString>("cursor");  // ' for ", "-": no cursor file
        QTest::addColumn<QString>("then");    // done to log.sdm after: "", "move"
        QTest::addColumn<int>("line");        // -1: no files to resume
        QTest::addColumn<bool>("wholeFirstFile");
        QTest::addColumn<QString>("notice");  // a word of it, "" for none
        const QString named = "{'files':['log.sdm'],'line':3,'device':DEV,'inode':INO}";
        QTest::newRow("none") << "-"
                              << "" << -1 << false << "";
        QTest::newRow("the same file") << named << "" << 3 << false << "";
        QTest::newRow("moved away, a new one in its place")
            << named << "move" << 0 << false << "moved, replaced or gone";
        QTest::newRow("another file's inode")
            << "{'files':['log.sdm'],'line':3,'device':DEV,'inode':1}"
            << "" << 0 << false << "moved, replaced or gone";
        QTest::newRow("an older version's") << "{'files':['log.sdm'],'line':3}"
                                            << "" << 0 << false << "an older version";
        QTest::newRow("nothing acknowledged, nothing to prove") << "{'files':['log.sdm'],'line':0}"
                                                                << "move" << 0 << false << "";
        QTest::newRow("empty") << ""
                               << "" << -1 << true << "cannot be read";
        QTest::newRow("cut short") << "{'files':['log.sdm'],'li"
                                   << "" << -1 << true << "cannot be read";
        QTest::newRow("a line in pieces") << "{'files':['log.sdm'],'line':2.5}"
                                          << "" << -1 << true << "cannot be read";
    }
    void cursorStart() {
        QFETCH(QString, cursor);
        QFETCH(QString, then);
        QFETCH(int, line);
        QFETCH(bool, wholeFirstFile);
        QFETCH(QString, notice);
        QTemporaryDir dir;
        const QString log = dir.filePath("log.sdm");
        RecordWriter writer(log);
        writer.append();
        writer.append();
        writer.append();
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(log).constData(), &info), 0);
        const QString path = lp::remote::publishStatePath(log);
        if (cursor != "-") {
            cursor.replace('\'', '"')
                .replace("DEV", QString::number(info.st_dev))
                .replace("INO", QString::number(info.st_ino));
            QVERIFY(lp::test::writeFile(path, cursor.toUtf8()));
        }
        if (then == "move") {
            QVERIFY(QFile::rename(log, dir.filePath("moved.sdm")));
            RecordWriter(log).append();
        }
        const lp::remote::CursorStart start = lp::remote::loadPublishState(path);
        QCOMPARE(start.state.files.isEmpty() ? -1 : start.state.line, qint64(line));
        if (line >= 0) {
            QCOMPARE(start.state.files, QStringList{log});
        }
        QCOMPARE(start.wholeFirstFile, wholeFirstFile);
        QVERIFY2(notice.isEmpty() ? start.notice.isEmpty()
                                  : start.notice.contains(notice) && start.notice.contains(path),
                 qPrintable(start.notice));
    }

    void resumesAcrossFilesInJournalOrder() {
        QTemporaryDir dir;
        // Named so that sorting by name would put them the wrong way round.
        const QString older = dir.filePath("log-b.sdm");
        const QString newer = dir.filePath("log-a.sdm");
        RecordWriter a(older);
        a.append();
        a.append();
        a.append();
        RecordWriter b(newer);
        b.append();
        RecordQueue queue(100, 2);
        queue.resume(PublishState{{older, newer}, 2, std::nullopt});
        int later = 0;
        QCOMPARE(drain(queue, &later), (QStringList{"0:3", "0:4", "1:2"}));
        QVERIFY(later > 0);  // two lines a turn: passing over the header and line 2 took one
        // A record told late, after it was read back, is not queued twice.
        QVERIFY(!queue.add(RecordKey{1, 2}, lp::live::RecordedLine{}));
        // The cursor moved into the second file: the first is dropped from the journal.
        QCOMPARE(queue.stateAt(RecordKey{1, 2}),
                 (PublishState{{newer}, 2, lp::platform::fileIdentity(newer)}));
    }

    // A file of the journal that cannot be read back is said once, and the queue goes on
    // with the next file; the second file's record is line 2.
    void unreadableFileIsPassedOver_data() {
        QTest::addColumn<QString>("first");  // "missing", or its lines after the header, a
                                             // record line for each "record"
        QTest::addColumn<QStringList>("drained");
        QTest::addColumn<QString>("reason");  // FILE stands for the first file's path
        QTest::newRow("missing")
            << "missing" << QStringList{"1:2"}
            << "FILE: the file cannot be opened (No such file or directory); its records are "
               "not published";
        QTest::newRow("a line without TABs")
            << "record garbled record" << QStringList{"0:2", "1:2"}
            << "FILE, line 3: a record line needs a TAB after each of its three fields, and this "
               "line has none; its records from there on are not published";
    }
    void unreadableFileIsPassedOver() {
        QFETCH(QString, first);
        QFETCH(QStringList, drained);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath("first.sdm");
        if (first != "missing") {
            QByteArray bytes(lp::records::kHeaderLine.data(), lp::records::kHeaderLine.size());
            for (const QString& line : first.split(' ')) {
                if (line == "record") {
                    lp::records::appendRecordLine(bytes, "1", "2026/12/06 10:00:01", "65.3");
                } else {
                    bytes += line.toLatin1() + '\n';
                }
            }
            QVERIFY(lp::test::writeFile(path, bytes));
        }
        RecordWriter(dir.filePath("second.sdm")).append();
        RecordQueue queue(100, 100);
        QSignalSpy unreadable(&queue, &RecordQueue::unreadable);
        queue.resume(PublishState{{path, dir.filePath("second.sdm")}, 0, std::nullopt});
        QCOMPARE(drain(queue), drained);
        QCOMPARE(unreadable.size(), 1);
        QCOMPARE(unreadable.at(0).at(0).toString(), QString(reason).replace("FILE", path));
    }

    void memoryOverflowAndRewindReadTheFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("log.sdm");
        RecordWriter writer(path);
        RecordQueue queue(2, 100);
        const lp::live::RecordedLine first = writer.append();
        queue.begin(path, first.line - 1);
        const RecordQueue::Place place = queue.place(path, first.line);
        QVERIFY(!place.newFile);
        QVERIFY(queue.add(place.key, first));
        QCOMPARE(drain(queue), (QStringList{"0:2+"}));
        // Four more while the broker is away: memory keeps the last two with readings.
        for (int i = 0; i < 4; ++i) {
            const lp::live::RecordedLine r = writer.append();
            QVERIFY(queue.add(queue.place(path, r.line).key, r));
        }
        QCOMPARE(drain(queue), (QStringList{"0:3", "0:4", "0:5+", "0:6+"}));
        // The connection went with 3..6 unacknowledged: all again, from the file.
        queue.rewind(RecordKey{0, 2});
        QCOMPARE(drain(queue), (QStringList{"0:3", "0:4", "0:5", "0:6"}));
    }
};

QTEST_GUILESS_MAIN(TestRecordQueue)
#include "test_record_queue.moc"
