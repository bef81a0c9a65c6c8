// Record files: the bytes a save writes, what a load makes of every kind of line,
// where a load stops and what it reports, and save -> load -> save round trips.
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "records/record_file_reader.h"
#include "records/record_file_writer.h"
#include "records/record_format.h"

using namespace lp::records;

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

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

const QString kDt = QStringLiteral("2009/03/15 14:05:09");

}  // namespace

class TestRecordFile : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }

private slots:
    void saveBytes_data() {
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty list: header only")
            << QList<QStringList>{} << QByteArray("No.s\tDate Time\tdB\t\r\n");
        QTest::newRow("two records")
            << QList<QStringList>{{"1", kDt, "65.3"}, {"2", "2009/03/15 14:05:11", "60.0"}}
            << QByteArray(
                   "No.s\tDate Time\tdB\t\r\n"
                   "1\t2009/03/15 14:05:09\t65.3\t\r\n"
                   "2\t2009/03/15 14:05:11\t60.0\t\r\n");
        QTest::newRow("empty and non-numeric fields kept as text")
            << QList<QStringList>{{"7", "", "-"}, {"", kDt, "OVER"}}
            << QByteArray("No.s\tDate Time\tdB\t\r\n7\t\t-\t\r\n\t2009/03/15 14:05:09\tOVER\t\r\n");
        QTest::newRow("single-byte text")
            << QList<QStringList>{{"1", QStringLiteral("\u00b5"), "1"}}
            << QByteArray("No.s\tDate Time\tdB\t\r\n1\t\xb5\t1\t\r\n");
    }
    void saveBytes() {
        QFETCH(QList<QStringList>, rows);
        QFETCH(QByteArray, bytes);
        const QString file = path(QStringLiteral("save.sdm"));
        QVERIFY(writeFile(file, "old content that must go away entirely, longer than the new"));
        qsizetype lastProgress = -1;
        const auto error =
            saveRecordFile(file, storeOf(rows), [&](qsizetype i) { lastProgress = i; });
        QVERIFY(!error);
        QCOMPARE(readAll(file), bytes);
        QCOMPARE(lastProgress, rows.size());
        // One line on its own is the same bytes as in the file.
        if (!rows.isEmpty()) {
            const RecordStore store = storeOf(rows);
            const QByteArray line =
                recordLine(store.bytes(0, Field::No), store.bytes(0, Field::DateTime),
                           store.bytes(0, Field::Level));
            QCOMPARE(bytes.mid(kHeaderLine.size(), line.size()), line);
        }
    }

    void saveFailures_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("a folder") << dir_.path();
        QTest::newRow("missing folder") << dir_.filePath(QStringLiteral("no/such/dir/x.sdm"));
        QTest::newRow("read-only place") << QStringLiteral("/proc/lp_record_test.sdm");
        QTest::newRow("disk full") << QStringLiteral("/dev/full");
    }
    void saveFailures() {
        QFETCH(QString, target);
        if (target.startsWith(u"/dev/") && !QFile::exists(target)) {
            QSKIP("no /dev/full here");
        }
        const auto error = saveRecordFile(target, storeOf({{"1", kDt, "65.3"}}));
        QVERIFY(error.has_value());
        QCOMPARE(error->fileName, target);
        QVERIFY2(!error->reason.isEmpty(), "a failure carries its reason");
        QVERIFY(!QFileInfo(target).isFile() || target.startsWith(u"/dev/"));
    }

    void load_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<qint64>("errorLine");
        QTest::addColumn<qint64>("progress");
        const QByteArray h = "No.s\tDate Time\tdB\t\r\n";
        const QString dt = kDt;
        QTest::newRow("empty file") << QByteArray() << QStringList{} << 0LL << 0LL;
        QTest::newRow("header only") << h << QStringList{} << 0LL << 0LL;
        QTest::newRow("two records")
            << h + "1\t2009/03/15 14:05:09\t65.3\t\r\n2\t2009/03/15 14:05:11\t60.0\t\r\n"
            << QStringList{"1|" + dt + "|65.3", "2|2009/03/15 14:05:11|60.0"} << 0LL << 2LL;
        QTest::newRow("second header listed as a row")
            << h + "1\t" + dt.toLatin1() + "\t65.3\t\r\n" + h + "1\t" + dt.toLatin1() +
                   "\t70.1\t\r\n"
            << QStringList{"1|" + dt + "|65.3", "No.s|Date Time|dB", "1|" + dt + "|70.1"} << 0LL
            << 3LL;
        QTest::newRow("first line skipped whatever it holds")
            << QByteArray("1\tx\t1.0\t\r\n2\ty\t2.0\t\r\n") << QStringList{"2|y|2.0"} << 0LL << 1LL;
        QTest::newRow("two TABs stop the load, earlier rows kept")
            << h + "1\ta\t50.0\t\r\n2\tb\t51.0\r\n3\tc\t52.0\t\r\n"
            << QStringList{"1|a|50.0"} << 3LL << 1LL;
        QTest::newRow("no TAB stops the load") << h + "1\ta\t50.0\t\r\ngarbage\r\n"
                                               << QStringList{"1|a|50.0"} << 3LL << 1LL;
        QTest::newRow("text after the third TAB ignored") << h + "1\ta\t50.0\textra\tmore\r\n"
                                                          << QStringList{"1|a|50.0"} << 0LL << 1LL;
        QTest::newRow("LF-only line ends")
            << QByteArray("No.s\tDate Time\tdB\t\n1\ta\t50.0\t\n2\tb\t51.0\t\n")
            << QStringList{"1|a|50.0", "2|b|51.0"} << 0LL << 2LL;
        QTest::newRow("CR-only line ends") << QByteArray("No.s\tDate Time\tdB\t\r1\ta\t50.0\t\r")
                                           << QStringList{"1|a|50.0"} << 0LL << 1LL;
        QTest::newRow("last line without line end")
            << h + "1\ta\t50.0\t" << QStringList{"1|a|50.0"} << 0LL << 1LL;
        QTest::newRow("leading blanks skipped") << h + "   1\ta\t50.0\t\r\n"
                                                << QStringList{"1|a|50.0"} << 0LL << 1LL;
        QTest::newRow("quoted item loses its quotes") << h + "\"1\ta, b\t50.0\t\" trailing\r\n"
                                                      << QStringList{"1|a, b|50.0"} << 0LL << 1LL;
        QTest::newRow("comma ends the item: decimal comma stops the load")
            << h + "1\ta\t50.0\t\r\n2\tb\t65,3\t\r\n"
            << QStringList{"1|a|50.0"} << 3LL << 1LL;
        QTest::newRow("blank lines pass")
            << h + "\r\n1\ta\t50.0\t\r\n\r\n   \r\n2\tb\t51.0\t\r\n\r\n"
            << QStringList{"1|a|50.0", "2|b|51.0"} << 0LL << 5LL;
        // Fixed-column form: number TAB, date 1-8, time 12-20, level 26-29.
        QTest::newRow("fixed column 65.4") << QByteArray("1\t09/03/15   14:05:09   A  65.4 dB\r\n")
                                           << QStringList{"1|09/03/1514:05:09 |65.4"} << 0LL << 1LL;
        QTest::newRow("fixed column 65. reads 65.0")
            << QByteArray("No.s\tDate Time\tdB\t\r\n2\t09/03/15   14:05:10   C  65. dB\r\n")
            << QStringList{"2|09/03/1514:05:10 |65.0"} << 0LL << 2LL;
        QTest::newRow("fixed column, short line")
            << QByteArray("3\tAB\r\n") << QStringList{"3|AB|0.0"} << 0LL << 1LL;
        QTest::newRow("fixed column without TAB stops")
            << QByteArray("1\t09/03/15   14:05:09   A  65.4\r\nA line\r\n")
            << QStringList{"1|09/03/1514:05:09 |65.4"} << 2LL << 1LL;
    }
    void load() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, rows);
        QFETCH(qint64, errorLine);
        QFETCH(qint64, progress);
        const QString file = path(QStringLiteral("load.sdm"));
        QVERIFY(writeFile(file, bytes));
        RecordStore store;
        qint64 lastProgress = -1;
        const LoadResult result = loadRecordFile(file, store, [&](qint64 p) { lastProgress = p; });
        QCOMPARE(rowsOf(store), rows);
        QCOMPARE(result.records, rows.size());
        QCOMPARE(result.error.has_value(), errorLine != 0);
        if (result.error) {
            QCOMPARE(result.error->line, errorLine);
            QCOMPARE(result.error->fileName, file);
            QVERIFY(!result.error->reason.isEmpty());
        }
        QCOMPARE(lastProgress, progress);
    }

    void missingFile() {
        RecordStore store;
        const QString file = path(QStringLiteral("does-not-exist.sdm"));
        const LoadResult result = loadRecordFile(file, store);
        QVERIFY(result.error.has_value());
        QCOMPARE(result.error->line, 0);
        QVERIFY(result.error->reason.contains(u"cannot be opened"));
        QCOMPARE(store.count(), 0);
    }

    // Line ends that fall across the reader's 1 MB blocks are still read right, and a
    // bad line far down is named by its true line number.
    void blockBoundaries() {
        for (const int shift : {0, 1, 2}) {
            QByteArray bytes = "No.s\tDate Time\tdB\t\r\n";
            int n = 0;
            while (bytes.size() < (1 << 20) + 64) {
                ++n;
                QByteArray line = QByteArray::number(n) + "\t" + kDt.toLatin1() + "\t65.3\t";
                // pad one line so a CR lands on the last byte of the first block
                const qsizetype crAt = bytes.size() + line.size();
                if (crAt < (1 << 20) && crAt + 60 >= (1 << 20)) {
                    line.append(QByteArray((1 << 20) - 1 - crAt - shift, 'x'));
                }
                bytes += line + "\r\n";
            }
            bytes += "bad line\r\n";
            const QString file = path(QStringLiteral("big.sdm"));
            QVERIFY(writeFile(file, bytes));
            RecordStore store;
            const LoadResult result = loadRecordFile(file, store);
            QCOMPARE(store.count(), n);
            QVERIFY(result.error.has_value());
            QCOMPARE(result.error->line, n + 2);
            QCOMPARE(store.text(n - 1, Field::No), QString::number(n));
        }
    }

    // Any bytes at all: no crash, and the valid lines before the garbage are intact.
    void randomBytes() {
        QRandomGenerator rng(4711);
        const QByteArray valid = "No.s\tDate Time\tdB\t\r\n1\ta\t50.0\t\r\n2\tb\t51.0\t\r\n";
        for (int round = 0; round < 200; ++round) {
            QByteArray noise(static_cast<int>(rng.bounded(1, 4000)), '\0');
            for (auto& c : noise) {
                // Bias towards the bytes the reader looks at.
                static const char special[] = "\t\r\n,\" AC";
                c = rng.bounded(4) == 0 ? special[rng.bounded(9)]
                                        : static_cast<char>(rng.bounded(256));
            }
            const QString file = path(QStringLiteral("noise.sdm"));
            QVERIFY(writeFile(file, valid + noise));
            RecordStore store;
            const LoadResult result = loadRecordFile(file, store);
            QVERIFY(store.count() >= 2);
            QCOMPARE(rowsOf(store).mid(0, 2), (QStringList{"1|a|50.0", "2|b|51.0"}));
            for (qsizetype i = 0; i < store.count(); ++i) {
                for (const Field f : {Field::No, Field::DateTime, Field::Level}) {
                    const QByteArrayView b = store.bytes(i, f);
                    QVERIFY(!b.contains('\r') && !b.contains('\n'));
                    QVERIFY(f == Field::DateTime || !b.contains('\t'));
                }
            }
            if (result.error) {
                QVERIFY(result.error->line >= 4);
            }
        }
    }

    // Save -> load -> save gives the same bytes and the same records.
    void roundTrip() {
        RecordStore original;
        for (int i = 1; i <= 500; ++i) {
            const QString level = i % 50 == 0   ? QStringLiteral("-")
                                  : i % 77 == 0 ? QStringLiteral("***.*")
                                                : QString::number(30.0 + i % 1000 / 10.0, 'f', 1);
            original.append(
                QString::number(i),
                QStringLiteral("2009/03/15 14:%1:09").arg(i % 60, 2, 10, QLatin1Char('0')), level);
        }
        original.append(u"501", QStringView(u"\u00b5\u00e9 \u00ff"), u"");
        const QString first = path(QStringLiteral("first.sdm"));
        const QString second = path(QStringLiteral("second.sdm"));
        QVERIFY(!saveRecordFile(first, original));
        RecordStore loaded;
        const LoadResult result = loadRecordFile(first, loaded);
        QVERIFY(!result.error);
        QCOMPARE(rowsOf(loaded), rowsOf(original));
        QVERIFY(!saveRecordFile(second, loaded));
        QCOMPARE(readAll(second), readAll(first));
    }

    // The reader hands over records in pieces, and its progress number counts items.
    void piecewise() {
        QByteArray bytes = "No.s\tDate Time\tdB\t\r\n";
        for (int i = 1; i <= 10; ++i) {
            bytes += QByteArray::number(i) + "\td\t1.0\t\r\n";
        }
        const QString file = path(QStringLiteral("pieces.sdm"));
        QVERIFY(writeFile(file, bytes));
        RecordFileReader reader(file);
        QVERIFY(reader.open());
        RecordStore store;
        QCOMPARE(reader.read(store, 4), RecordFileReader::Status::More);
        QCOMPARE(store.count(), 3);  // the header was one of the four items
        QCOMPARE(reader.progressCount(), 3);
        QCOMPARE(reader.read(store, 4), RecordFileReader::Status::More);
        QCOMPARE(store.count(), 7);
        QCOMPARE(reader.read(store, 100), RecordFileReader::Status::End);
        QCOMPARE(store.count(), 10);
        QCOMPARE(reader.progressCount(), 10);
        QCOMPARE(reader.read(store, 100), RecordFileReader::Status::End);
    }
};

QTEST_APPLESS_MAIN(TestRecordFile)
#include "test_record_file.moc"
