// Records as CSV, written whole from a list or record by record from a record file.
#include <QTemporaryDir>
#include <QTest>

#include "files.h"
#include "records/csv_export.h"
#include "records/record_file_reader.h"

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

const QString kDt = QStringLiteral("2009/03/15 14:05:09");
const QByteArray kHeader = "No.s\tDate Time\tdB\t\r\n";

}  // namespace

class TestCsvExport : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }

private slots:
    // CSV: numbers of plain levels, other level texts and odd time stamps as they
    // stand, quoting where a field needs it; written through the same whole-file path
    // as a save.
    void csvExport() {
        const RecordStore store = storeOf({{"1", kDt, "65.3"},
                                           {"2", "2009/13/01 14:05:17", "*66.2"},
                                           {"3", "not a time", "L 150.0"},
                                           {"5", kDt, "a,b"},
                                           {"6", kDt, "30.0-"},
                                           {" 7", "2009/02/29 14:05:09", "say \"hi\""},
                                           {"8", " 2008/02/29  23:59:59", "\u00b5"}});
        const QString csv = path(QStringLiteral("out.csv"));
        QVERIFY(!writeCsvFile(csv, store));
        QCOMPARE(readAll(csv), QByteArray("no,time,level\r\n"
                                          "1,2009-03-15T14:05:09,65.3\r\n"
                                          "2,2009/13/01 14:05:17,*66.2\r\n"
                                          "3,not a time,L 150.0\r\n"
                                          "5,2009-03-15T14:05:09,\"a,b\"\r\n"
                                          "6,2009-03-15T14:05:09,30.0-\r\n"
                                          "\" 7\",2009/02/29 14:05:09,\"say \"\"hi\"\"\"\r\n"
                                          "8,2008-02-29T23:59:59,\xc2\xb5\r\n"));
        const auto refused = writeCsvFile(dir_.path(), store);
        QVERIFY(refused);
        QCOMPARE(exportFailureText(*refused),
                 QStringLiteral("The records could not be exported to %1: it is a folder, "
                                "not a file.")
                     .arg(dir_.path()));
    }

    // A text field that a spreadsheet would run as a formula is quoted behind a single
    // quote; numbers, signs and all, and a lone "-" mark stay as they are.
    void csvFormulas_data() {
        QTest::addColumn<QStringList>("record");
        QTest::addColumn<QByteArray>("line");
        const auto row = [](const char* name, const QString& no, const QString& dt,
                            const QString& level, const QByteArray& line) {
            QTest::newRow(name) << QStringList{no, dt, level} << line;
        };
        const QByteArray iso = ",2009-03-15T14:05:09,";
        row("= in the number", "=1+1", kDt, "65.3", "\"'=1+1\"" + iso + "65.3\r\n");
        row("= with quotes", "1", kDt, "=HYPERLINK(\"http://x\",\"y\")",
            "1" + iso + "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\"\r\n");
        row("@", "1", kDt, "@SUM(A1)", "1" + iso + "\"'@SUM(A1)\"\r\n");
        row("- not a number", "1", kDt, "-2+3", "1" + iso + "\"'-2+3\"\r\n");
        row("+ in an odd stamp", "1", "+2009/03/15 14:05:09", "65.3",
            "1,\"'+2009/03/15 14:05:09\",65.3\r\n");
        row("TAB first", "\t7", kDt, "65.3", "\"'\t7\"" + iso + "65.3\r\n");
        row("CR first", "1", kDt, "\r1", "1" + iso + "\"'\r1\"\r\n");
        row("negative number", "-2", kDt, "-30.0", "-2" + iso + "-30.0\r\n");
        row("signed numbers", "+5", kDt, "+65.35 dB", "+5" + iso + "+65.35\r\n");
        row("lone dash mark", "1", kDt, "-", "1" + iso + "-\r\n");
    }
    void csvFormulas() {
        QFETCH(QStringList, record);
        const RecordStore store = storeOf({record});
        QByteArray csv;
        appendCsvLine(csv, store.bytes(0, Field::No), store.bytes(0, Field::DateTime),
                      store.bytes(0, Field::Level));
        QTEST(csv, "line");
    }

    // A record file exported record by record, over several megabytes of CSV, gives
    // the CSV of its records; a load that stops far down leaves no CSV, and an old one
    // as it was.
    void csvExportOfAFile() {
        QByteArray bytes = kHeader;
        const int n = 120000;
        for (int i = 1; i <= n; ++i) {
            const QByteArray level = i % 7 == 0 ? "*6\xb5\"5" : QByteArray::number(40 + i % 600);
            bytes += QByteArray::number(i) + "\t" + kDt.toLatin1() + "\t" + level + "\t\r\n";
        }
        const QString sdm = path(QStringLiteral("export.sdm"));
        const QString csv = path(QStringLiteral("export.csv"));
        QVERIFY(writeFile(sdm, bytes));
        RecordStore store;
        QVERIFY(!loadRecordFile(sdm, store).error);
        const CsvExport exported = exportRecordFile(sdm, csv);
        QVERIFY(!exported.load.error && !exported.written);
        QCOMPARE(exported.load.records, n);
        const QByteArray whole = csvOf(store);
        QVERIFY(whole.size() > 3 << 20);
        QVERIFY(readAll(csv) == whole);

        QVERIFY(writeFile(sdm, bytes + "bad line\r\n"));
        QVERIFY(writeFile(csv, "the old CSV"));
        const CsvExport stopped = exportRecordFile(sdm, csv);
        QVERIFY(stopped.load.error && !stopped.written);
        QCOMPARE(stopped.load.error->line, n + 2);
        QCOMPARE(readAll(csv), QByteArray("the old CSV"));
    }
};

QTEST_APPLESS_MAIN(TestCsvExport)
#include "test_csv_export.moc"
