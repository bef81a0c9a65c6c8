// A full disk, through /dev/full, met by a real recorder process: a recording into it
// stops with a message that says the disk is full, a list saved to it likewise, and
// the process ends by itself with its exit code. Skipped where there is no /dev/full.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "records/record_file_reader.h"
#include "records/record_store.h"
#include "sim_process.h"

using namespace lp;

namespace {

struct Ended {
    int code = -1;
    QByteArray out;
    QByteArray err;
};

// Runs the recorder to its end (at most 15 s; it is killed if it hangs).
Ended runRecorder(const QStringList& args) {
    QProcess recorder;
    recorder.start(QStringLiteral(LP_RECORDER_PROGRAM), args);
    Ended ended;
    if (recorder.waitForFinished(15000) && recorder.exitStatus() == QProcess::NormalExit) {
        ended.code = recorder.exitCode();
    }
    test::endChild(recorder);
    ended.out = recorder.readAllStandardOutput();
    ended.err = recorder.readAllStandardError();
    return ended;
}

}  // namespace

class TestDiskFull : public QObject {
    Q_OBJECT
private slots:
    void init() {
        if (!QFile::exists(QStringLiteral("/dev/full"))) {
            QSKIP("this system has no /dev/full");
        }
    }

    void recordingIntoAFullDisk() {
        test::SimProcess sim;
        QVERIFY2(sim.start({QStringLiteral("--level"), QStringLiteral("65.3")}),
                 qPrintable(sim.error()));
        const Ended ended = runRecorder({sim.path(), QStringLiteral("/dev/full")});
        QVERIFY2(ended.code == 2 && ended.err.contains("the disk is full") &&
                     ended.err.contains("/dev/full"),
                 ended.err.constData());
        QVERIFY2(!ended.out.contains("started"), ended.out.constData());
        QVERIFY(sim.stop());
    }

    void savingToAFullDisk() {
        test::SimProcess sim;
        QVERIFY2(sim.start({QStringLiteral("--level"), QStringLiteral("65.3")}),
                 qPrintable(sim.error()));
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath(QStringLiteral("before.sdm"));
        // Two lines recorded into a file that takes them, then the list saved to the full
        // disk: the save fails with its message, the recording stays whole.
        const Ended ended =
            runRecorder({sim.path(), file, QStringLiteral("--lines"), QStringLiteral("2"),
                         QStringLiteral("--save-to"), QStringLiteral("/dev/full")});
        QVERIFY2(ended.code == 4 && ended.err.contains("the disk is full"), ended.err.constData());
        QVERIFY2(ended.out.endsWith("line 2\n"), ended.out.constData());
        records::RecordStore store;
        const records::LoadResult loaded = records::loadRecordFile(file, store);
        QVERIFY(!loaded.error);
        QCOMPARE(store.count(), 2);
        QVERIFY(sim.stop());
    }
};

QTEST_GUILESS_MAIN(TestDiskFull)
#include "test_disk_full.moc"
