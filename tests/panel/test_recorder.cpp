// The recording file: exact bytes for one and two runs, the line limit, and files
// that cannot be opened or stop taking lines in the middle of a run.
#include <sys/resource.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "panel/recorder.h"

using namespace lp;
using panel::Recorder;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Limits the size of files this process may write, for as long as it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);  // writes past the limit fail with EFBIG instead
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};

const QByteArray kHeader = "No.s\tDate Time\tdB\t\r\n";

}  // namespace

class TestRecorder : public QObject {
    Q_OBJECT
private slots:
    void oneRunThenASecondRunAppends() {
        QTemporaryDir dir;
        app::ProgramState state;
        state.SaveFileName = dir.filePath("rec.sdm");
        Recorder rec(state);
        QCOMPARE(rec.start(), std::nullopt);
        QVERIFY(state.RecordingOn);
        QCOMPARE(rec.record("2009/06/01 14:05:09\t65.3\t").step, Recorder::Step::Written);
        QCOMPARE(rec.record("2009/06/01 14:05:11\t60.0\t").step, Recorder::Step::Written);
        QCOMPARE(state.RecordCount, 2);
        // Every line is in the file as soon as it is written.
        const QByteArray firstRun = kHeader +
                                    "1\t2009/06/01 14:05:09\t65.3\t\r\n"
                                    "2\t2009/06/01 14:05:11\t60.0\t\r\n";
        QCOMPARE(readAll(state.SaveFileName), firstRun);
        rec.stop();
        QVERIFY(!state.RecordingOn);
        QCOMPARE(state.RecordCount, 0);

        QCOMPARE(rec.start(), std::nullopt);
        QCOMPARE(rec.record("2009/06/01 15:00:00\t105.2\t").step, Recorder::Step::Written);
        rec.stop();
        QCOMPARE(readAll(state.SaveFileName),
                 firstRun + kHeader + "1\t2009/06/01 15:00:00\t105.2\t\r\n");
    }

    void runStopsAtTheLineLimit() {
        QTemporaryDir dir;
        app::ProgramState state;
        state.SaveFileName = dir.filePath("long.sdm");
        Recorder rec(state);
        QCOMPARE(rec.start(), std::nullopt);
        state.RecordCount = Recorder::kLineLimit - 2;  // as if 347998 lines were written
        QCOMPARE(rec.record("t\t1.0\t").step, Recorder::Step::Written);
        QCOMPARE(rec.record("t\t2.0\t").step, Recorder::Step::LimitReached);
        QCOMPARE(readAll(state.SaveFileName), kHeader + "347999\tt\t1.0\t\r\n348000\tt\t2.0\t\r\n");
    }

    void unopenableFileIsNotARun() {
        QTemporaryDir dir;
        app::ProgramState state;
        state.SaveFileName = dir.path();  // a directory
        Recorder rec(state);
        const auto error = rec.start();
        QVERIFY(error.has_value());
        QVERIFY2(error->contains(dir.path()), qPrintable(*error));
        QVERIFY(!state.RecordingOn);

        state.SaveFileName = dir.filePath("no/such/folder/x.sdm");
        QVERIFY(rec.start().has_value());
        QVERIFY(!state.RecordingOn);
    }

    void fullDeviceRefusesTheHeader() {
        if (!QFile::exists("/dev/full")) {
            QSKIP("no /dev/full here");
        }
        app::ProgramState state;
        state.SaveFileName = "/dev/full";
        Recorder rec(state);
        const auto error = rec.start();
        QVERIFY(error.has_value());
        QVERIFY2(error->contains("/dev/full"), qPrintable(*error));
        QVERIFY(!state.RecordingOn);
    }

    void writeFailingMidRunKeepsEarlierLines() {
        QTemporaryDir dir;
        app::ProgramState state;
        state.SaveFileName = dir.filePath("stick.sdm");
        Recorder rec(state);
        QCOMPARE(rec.start(), std::nullopt);
        QCOMPARE(rec.record("2009/06/01 14:05:09\t65.3\t").step, Recorder::Step::Written);
        const QByteArray before = readAll(state.SaveFileName);
        Recorder::StepResult result;
        {
            FileSizeLimit limit(before.size() + 10);  // the disk fills up
            result = rec.record("2009/06/01 14:05:10\t65.4\t");
        }
        QCOMPARE(result.step, Recorder::Step::Failed);
        QVERIFY2(result.error.contains(state.SaveFileName), qPrintable(result.error));
        rec.stop();
        QVERIFY(!state.RecordingOn);
        // The lines before the failure stay; the failed line may be cut short.
        QVERIFY(readAll(state.SaveFileName).startsWith(before));
        QCOMPARE(before, kHeader + "1\t2009/06/01 14:05:09\t65.3\t\r\n");
    }
};

QTEST_APPLESS_MAIN(TestRecorder)
#include "test_recorder.moc"
