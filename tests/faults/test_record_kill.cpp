// A PC recording killed with SIGKILL at random moments, several runs into one file:
// the file keeps every line the recorder said it wrote, holds whole lines only, and
// loads without an error. Real processes on a real pseudo-terminal, about ten seconds.
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "files.h"
#include "records/record_file_reader.h"
#include "records/record_store.h"
#include "sim_process.h"

using namespace lp;

namespace {

// What a killed run said on stdout: -1 when it never said "started", else the last
// line number it said it wrote (0 for none).
int linesSaid(const QByteArray& out) {
    if (!out.startsWith("started\n")) {
        return -1;
    }
    int last = 0;
    for (const QByteArray& l : out.split('\n')) {
        if (l.startsWith("line ")) {
            last = l.mid(5).toInt();
        }
    }
    return last;
}

}  // namespace

class TestRecordKill : public QObject {
    Q_OBJECT
private slots:
    void killedRunsKeepEveryLine() {
        test::SimProcess sim;
        QVERIFY2(sim.start({"--level", "65.3"}), qPrintable(sim.error()));
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath(QStringLiteral("killed.sdm"));

        // Four runs, each killed at a random moment after it began: before its first
        // line, between lines, or while a line is written.
        constexpr int kRuns = 4;
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("kill moments from seed %u", seed);
        QRandomGenerator random(seed);
        std::vector<int> said;
        for (int run = 0; run < kRuns; ++run) {
            QProcess recorder;
            recorder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            recorder.start(QStringLiteral(LP_RECORDER_PROGRAM), {sim.path(), file});
            QVERIFY2(recorder.waitForStarted(5000), qPrintable(recorder.errorString()));
            QByteArray out;
            QTRY_VERIFY_WITH_TIMEOUT((out += recorder.readAllStandardOutput()).contains("started"),
                                     5000);
            // The first run may die before any line; the others live past one.
            const int killMs = run == 0 ? random.bounded(0, 1500) : random.bounded(1100, 3200);
            QTest::qWait(killMs);
            recorder.kill();
            QVERIFY(recorder.waitForFinished(5000));
            QCOMPARE(recorder.exitStatus(), QProcess::CrashExit);
            out += recorder.readAllStandardOutput();
            said.push_back(linesSaid(out));
            QVERIFY2(said.back() >= 0, out.constData());
        }
        QVERIFY2(said[1] >= 1, "a run that lived past a second said no line");

        // The raw bytes end in a line end: a cut line would load as a record line.
        const QByteArray bytes = test::readAll(file);
        QVERIFY2(bytes.endsWith("\r\n"), bytes.right(40).constData());

        // Loaded as the program loads it (which refuses any line that is neither a header
        // nor a record): no error; each later run's header starts a run, and each run holds
        // the lines it said it wrote (or one more: killed between writing a line and saying
        // so). How a run numbers its lines is test_recording's.
        records::RecordStore store;
        const records::LoadResult loaded = records::loadRecordFile(file, store);
        QVERIFY2(!loaded.error, qPrintable(loaded.error ? loaded.error->reason : QString()));
        std::vector<qsizetype> bounds{0};
        bounds.insert(bounds.end(), store.runStarts().begin(), store.runStarts().end());
        bounds.push_back(store.count());
        QCOMPARE(int(bounds.size()), kRuns + 1);
        for (int run = 0; run < kRuns; ++run) {
            const qsizetype written = bounds[run + 1] - bounds[run];
            QVERIFY2(written == said[run] || written == said[run] + 1,
                     qPrintable(QStringLiteral("run %1: %2 lines in the file, %3 said")
                                    .arg(run + 1)
                                    .arg(written)
                                    .arg(said[run])));
        }
        QVERIFY(sim.stop());
    }
};

QTEST_GUILESS_MAIN(TestRecordKill)
#include "test_record_kill.moc"
