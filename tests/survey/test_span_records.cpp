// A span's records read again from the survey's files, in time order whatever order
// the files come in; a file that does not read is told.
#include <QTemporaryDir>
#include <QTest>

#include "survey/span_records.h"
#include "survey_rig.h"

using namespace lp;

class TestSpanRecords : public QObject {
    Q_OBJECT
private slots:
    void span() {
        QTemporaryDir dir;
        const QStringList files = test::writeSurveyFiles(dir.path());
        QVERIFY(!files.isEmpty());
        const stats::LocalDays days(QTimeZone::utc());
        // A file given twice gives its records once.
        const survey::SpanRecords read =
            survey::spanRecords({files[1], files[0], files[1]}, days,
                                {test::utcInstant(11, 40), test::utcInstant(12, 10)});
        QVERIFY(!read.error);
        QStringList stamps;
        for (qsizetype i = 0; i < read.store.count(); ++i) {
            stamps << read.store.text(i, records::Field::DateTime);
        }
        QCOMPARE(stamps, (QStringList{"2009/06/01 11:40:00", "2009/06/01 11:50:00",
                                      "2009/06/01 12:00:00"}));

        const survey::SpanRecords missing = survey::spanRecords(
            {files[0], dir.filePath(QStringLiteral("gone.sdm"))}, days, {0, test::utcInstant(24)});
        QVERIFY(missing.error && missing.error->fileName.contains(QLatin1String("gone.sdm")));
        QVERIFY(missing.store.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestSpanRecords)
#include "test_span_records.moc"
