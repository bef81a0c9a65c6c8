// The packed record store and the table model the column grids show.
#include <QSignalSpy>
#include <QTest>

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
