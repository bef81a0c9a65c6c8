// The metadata a recording run writes beside its record file: what it holds after runs
// whose meter changes its state, and the faults that must never cost the recording.
// (The lines' own form is records' test_run_metadata_reader; a whole `record` run
// against the simulated meter is test_cli_metadata's.)
#include <sys/stat.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include "files.h"
#include "live/recording.h"
#include "records/run_metadata.h"

using namespace lp;
using test::readAll;

namespace {

link::Reading readingOf(bool weightingA, bool slow, qint16 low, qint16 high) {
    link::Reading r;
    r.level = 65.3f;
    r.weightingA = weightingA;
    r.slowResponse = slow;
    r.rangeLow = low;
    r.rangeHigh = high;
    return r;
}

const link::Reading kAFast = readingOf(true, false, 30, 80);

// A sample at 14:05:`second` of 2009-06-01 in a zone one hour east of UTC.
live::Sample sampleAt(int second, const link::Reading& reading = kAFast) {
    const QDateTime when(QDate(2009, 6, 1), QTime(14, 5, second), QTimeZone(3600));
    return {when, when.toString("yyyy/MM/dd HH:mm:ss"), QStringLiteral("65.3"), reading};
}

// The lines of a metadata file, each as its JSON object.
QList<QJsonObject> objectsOf(const QByteArray& bytes) {
    QList<QJsonObject> objects;
    for (const QByteArray& line : bytes.split('\n')) {
        if (!line.isEmpty()) {
            objects << QJsonDocument::fromJson(line).object();
        }
    }
    return objects;
}

QJsonObject runObject(int headerLine, const QString& start) {
    return {{"run", 1},        {"header_line", headerLine},
            {"start", start},  {"program", "levelpanel-test 1.2"},
            {"host", "box"},   {"port", "/dev/ttyUSB0"},
            {"every_s", 2},    {"weighting", "A"},
            {"response", "F"}, {"range", QJsonArray{30, 80}}};
}

QJsonObject changeObject(int line, const char* weighting, const char* response, int low, int high) {
    return {{"line", line},
            {"weighting", weighting},
            {"response", response},
            {"range", QJsonArray{low, high}}};
}

void giveContext(live::Recording& rec) {
    rec.setContextSource([] {
        return live::RunContext{"levelpanel-test 1.2", "box", "/dev/ttyUSB0", 2.0};
    });
}

}  // namespace

class TestRunMetadata : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    // Two runs into one file. The first: the run object with its first sample; a line
    // each time the weighting, the response or the range changes, none while it stays.
    // The second run appends its run object after the first's lines (its header is line
    // 1 + 5 records + 1 = 7 of the file), its state from its own first sample.
    void runsAndTheirChanges() {
        const QString path = dir.filePath("changes.sdm");
        live::Recording rec;
        giveContext(rec);
        rec.chooseFile(path);
        QVERIFY(!rec.start());
        rec.record(sampleAt(10));                                   // line 2
        rec.record(sampleAt(11));                                   // line 3: same
        rec.record(sampleAt(12, readingOf(false, false, 30, 80)));  // line 4: C
        rec.record(sampleAt(13, readingOf(false, true, 30, 80)));   // line 5: SLOW
        rec.record(sampleAt(14, readingOf(false, true, 40, 90)));   // line 6: range
        rec.stop();
        QVERIFY(!rec.start());
        rec.record(sampleAt(20));  // line 8
        rec.stop();
        const QList<QJsonObject> expected{
            runObject(1, "2009-06-01T14:05:10+01:00"), changeObject(4, "C", "F", 30, 80),
            changeObject(5, "C", "S", 30, 80), changeObject(6, "C", "S", 40, 90),
            runObject(7, "2009-06-01T14:05:20+01:00")};
        QCOMPARE(objectsOf(readAll(records::metadataPathOf(path))), expected);
        QCOMPARE(readAll(path).count('\n'), 8);
    }

    // The metadata file ends in a line cut short (a crash mid-write): the run's object
    // starts a line of its own, the cut line stays as it was.
    void aCutLastLineKeepsItsBytes() {
        const QString path = dir.filePath("cut.sdm");
        const QByteArray cut = "{\"line\":4,\"weigh";
        QVERIFY(test::writeFile(records::metadataPathOf(path), cut));
        live::Recording rec;
        giveContext(rec);
        rec.chooseFile(path);
        QVERIFY(!rec.start());
        rec.record(sampleAt(10));
        rec.stop();
        const QByteArray bytes = readAll(records::metadataPathOf(path));
        QVERIFY2(bytes.startsWith(cut + "\n{"), bytes.constData());
        QCOMPARE(objectsOf(bytes.mid(cut.size())),
                 QList<QJsonObject>{runObject(1, "2009-06-01T14:05:10+01:00")});
    }

    // A metadata file that cannot be written (here a folder in its place): told once,
    // naming it, and the recording goes on, its file byte for byte as without it.
    void aFailedWriteNeverCostsTheRecording() {
        const QString path = dir.filePath("nometa.sdm");
        QVERIFY(QDir(dir.path()).mkdir("nometa.sdm.meta"));
        live::Recording rec;
        QSignalSpy notices(&rec, &live::Recording::noticed);
        QSignalSpy stopped(&rec, &live::Recording::stopped);
        rec.chooseFile(path);
        QVERIFY(!rec.start());
        rec.record(sampleAt(10));
        rec.record(sampleAt(11, readingOf(false, false, 30, 80)));
        rec.record(sampleAt(12));
        QVERIFY(rec.on());
        rec.stop();
        QCOMPARE(stopped.size(), 0);
        QCOMPARE(notices.size(), 1);
        const QString notice = notices[0][0].toString();
        QVERIFY2(notice.contains(records::metadataPathOf(path)) &&
                     notice.contains("The recording goes on"),
                 qPrintable(notice));
        QCOMPARE(readAll(path), QByteArray("No.s\tDate Time\tdB\t\r\n"
                                           "1\t2009/06/01 14:05:10\t65.3\t\r\n"
                                           "2\t2009/06/01 14:05:11\t65.3\t\r\n"
                                           "3\t2009/06/01 14:05:12\t65.3\t\r\n"));
    }

    // A recording into a pipe gets nothing beside it.
    void aPipeGetsNoMetadata() {
        const QString path = dir.filePath("pipe.sdm");
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        live::Recording rec;
        rec.chooseFile(path);
        QVERIFY(!rec.start());
        rec.record(sampleAt(10));
        rec.stop();
        QVERIFY(!QFileInfo::exists(records::metadataPathOf(path)));
    }
};

QTEST_MAIN(TestRunMetadata)
#include "test_run_metadata.moc"
