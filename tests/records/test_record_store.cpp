// The packed record store and the table model the column grids show.
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "files.h"
#include "records/record_source.h"
#include "records/record_store.h"
#include "records/record_table_model.h"

using namespace lp::records;

class TestRecordStore : public QObject {
    Q_OBJECT
private slots:
    // Records from bytes, texts and another store read back whole; clear empties.
    void appendReadClear() {
        RecordStore store;
        QVERIFY(store.isEmpty());
        QVERIFY(store.append(QByteArrayView("1"), QByteArrayView("2009/03/15 14:05:09"),
                             QByteArrayView("65.3")));
        RecordStore other;
        QVERIFY(other.append(u"2", u"2009/03/15 14:05:11", u""));
        QVERIFY(other.append(u"", u"", u"60.0"));
        QVERIFY(store.append(other));
        QCOMPARE(store.count(), 3);
        QCOMPARE(store.record(0), (Record{"1", "2009/03/15 14:05:09", "65.3"}));
        QCOMPARE(store.record(1), (Record{"2", "2009/03/15 14:05:11", ""}));
        QCOMPARE(store.record(2), (Record{"", "", "60.0"}));
        store.clear();
        QVERIFY(store.append(u"9", u"d", u"l"));
        QCOMPARE(store.record(0), (Record{"9", "d", "l"}));
    }

    // Texts are kept as single bytes: Latin-1 survives, anything else becomes '?'.
    void latin1() {
        RecordStore store;
        QVERIFY(store.append(u"1", QStringView(u"\u00b5s \u00e9"), QStringView(u"\u20ac5")));
        QCOMPARE(store.bytes(0, Field::DateTime), QByteArrayView("\xb5s \xe9"));
        QCOMPARE(store.text(0, Field::DateTime), QStringView(u"\u00b5s \u00e9"));
        QCOMPARE(store.text(0, Field::Level), QStringLiteral("?5"));
    }

    // A store over a file keeps plain records as places in it and packs the rest; the
    // order holds across pieces, and a store of no file (or of another) copies them.
    void overFile() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("f.sdm"));
        // Offsets: "1" at 5, "2" at 16; the file is 27 bytes long.
        QVERIFY(lp::test::writeFile(file, "head\n1\ta\t50.0\t\r\n2\tb\t51.0\t\r\n"));
        RecordStore store;
        store.useSource(RecordSource::map(file));
        QVERIFY(store.source());
        QVERIFY(store.appendFromSource(5, 6));
        QVERIFY(store.append(u"x", u"y", u"z"));
        QVERIFY(!store.appendFromSource(24, 4));  // its three TABs would pass the end
        RecordStore piece;
        piece.useSource(store.source());
        QVERIFY(piece.append(u"p", u"q", u"rr"));
        QVERIFY(piece.appendFromSource(16, 6));
        piece.startRun();
        QVERIFY(store.append(piece));
        const QList<Record> expected{
            {"1", "a", "50.0"}, {"x", "y", "z"}, {"p", "q", "rr"}, {"2", "b", "51.0"}};
        QList<Record> read;
        for (qsizetype i = 0; i < store.count(); ++i) {
            read << store.record(i);
        }
        QCOMPARE(read, expected);
        QCOMPARE(store.textBytes(), 7);  // x y z p q rr
        QCOMPARE(store.runStarts(), (std::vector<qsizetype>{4}));

        RecordStore copied;
        QVERIFY(copied.append(u"0", u"-", u"-"));
        QVERIFY(copied.append(store));
        QVERIFY(!copied.source());
        QCOMPARE(copied.count(), 5);
        QCOMPARE(copied.record(4), expected.at(3));
        QCOMPARE(copied.runStarts(), (std::vector<qsizetype>{5}));
        const QString other = dir.filePath(QStringLiteral("g.sdm"));
        QVERIFY(lp::test::writeFile(other, "other"));
        RecordStore overOther;
        overOther.useSource(RecordSource::map(other));
        QVERIFY(overOther.append(store));
        QCOMPARE(overOther.record(3), expected.at(3));
        QCOMPARE(overOther.textBytes(), 6 + 3 + 4 + 6);
    }

    // Appends announce just the new rows, so views add them without a reset.
    void modelAppendSignals() {
        RecordTableModel model;
        QCOMPARE(model.headerTexts(), (QStringList{"No.s", "Date Time", "dB"}));
        QCOMPARE(model.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), "dB");
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        QVERIFY(model.append(u"1", u"a", u"1.0"));
        RecordStore chunk;
        QVERIFY(chunk.append(u"2", u"b", u"2.0"));
        QVERIFY(chunk.append(u"3", u"c", u"3.0"));
        QVERIFY(model.append(chunk));
        QVERIFY(model.append(RecordStore()));
        QStringList spans;
        for (const auto& args : inserted) {
            spans << QStringLiteral("%1-%2").arg(args.at(1).toInt()).arg(args.at(2).toInt());
        }
        QCOMPARE(spans, (QStringList{"0-0", "1-2"}));
        QCOMPARE(model.columnCount(), 3);
        QCOMPARE(model.data(model.index(2, 1), Qt::DisplayRole).toString(), "c");
        QVERIFY(!model.data(model.index(2, 1), Qt::EditRole).isValid());
        QCOMPARE(reset.count(), 0);
        model.clear();
        QCOMPARE(reset.count(), 1);
        QCOMPARE(model.rowCount(), 0);
    }
};

QTEST_APPLESS_MAIN(TestRecordStore)
#include "test_record_store.moc"
