// The unattended logger (levelpanel-cli record) against what its surroundings do to
// it, as real processes: the meter switched off and on with the port left open; stderr
// closed from the start, or a pipe whose reader ended; a file system that offers no
// locks. (An alarm while the meter is loud is test_record_publish's.)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <QTest>

#include "cli_process.h"
#include "files.h"
#include "records/record_file_reader.h"
#include "sim_process.h"

using namespace lp;
using test::CliProcess;

namespace {

// The records of a file, read back by the program's own reader; -1 when the load stops.
qsizetype recordsIn(const QString& path) {
    records::RecordStore store;
    const records::LoadResult loaded = records::loadRecordFile(path, store);
    return loaded.error ? -1 : loaded.records;
}

// The lines of a record file after its header.
qsizetype linesIn(const QString& path) {
    return qMax<qsizetype>(0, test::readAll(path).count('\n') - 1);
}

}  // namespace

class TestLoggerFaults : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    // Off for 3 s, three times: no sample while the meter is silent (at most the one
    // whose frame came before the switch), each silence and each answer told once, and
    // samples again each time it is back. (One silence after the port came back, and
    // the files of a recording across midnight, are test_cli_device's.)
    void meterSwitchedOffAndOn() {
        test::SimProcess sim;
        QVERIFY2(sim.start({"--level", "65.3"}), qPrintable(sim.error()));
        const QString out = dir.filePath(QStringLiteral("power.sdm"));
        CliProcess cli({"record", "--port", sim.path(), "--every", "1", "--out", out});
        for (int round = 1; round <= 3; ++round) {
            const qsizetype on = linesIn(out);
            QTRY_VERIFY_WITH_TIMEOUT(linesIn(out) >= on + 2, 10000);
            sim.pressPower();
            const qsizetype atSwitch = linesIn(out);
            QTest::qWait(3000);
            QVERIFY2(linesIn(out) <= atSwitch + 1,
                     qPrintable(QStringLiteral("round %1").arg(round)));
            QTRY_VERIFY_WITH_TIMEOUT(cli.err().count("does not answer") == round, 5000);
            sim.pressPower();
            QTRY_VERIFY_WITH_TIMEOUT(cli.err().count("answers again") == round, 5000);
        }
        QCOMPARE(cli.end(SIGTERM), 0);
        QCOMPARE(recordsIn(out), linesIn(out));
    }

    // Without a stderr, no file the logger opens takes its place: the record file
    // holds records only.
    void stderrClosed() {
        const QString out = dir.filePath(QStringLiteral("closed.sdm"));
        test::CliOptions options;
        options.stderrClosed = true;
        CliProcess cli({"record", "--port", "sim", "--every", "1", "--out", out}, options);
        QTRY_VERIFY_WITH_TIMEOUT(recordsIn(out) >= 2, 10000);
        QCOMPARE(cli.end(SIGTERM), 0);
        QCOMPARE(recordsIn(out), linesIn(out));
    }

    // stderr a pipe whose reader ended after the first line: the next day's line meets
    // a broken pipe at midnight; the logger records on.
    void stderrReaderEndsBeforeMidnight() {
        const QString fifo = dir.filePath(QStringLiteral("stderr.fifo"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const int reader =
            ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        QVERIFY(reader >= 0);
        test::CliOptions options =
            test::CliOptions::startingAt(QStringLiteral("2026-12-06T23:59:58"));
        options.stderrFile = fifo;
        const QString out = dir.filePath(QStringLiteral("piped.sdm"));
        const QString nextDay = dir.filePath(QStringLiteral("piped-2026-12-07.sdm"));
        CliProcess cli(
            {"record", "--port", "sim", "--every", "1", "--out", out, "--rotate", "daily"},
            options);
        QByteArray firstLine;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                char buffer[256];
                const ssize_t n = ::read(reader, buffer, sizeof buffer);
                firstLine += QByteArray(buffer, n > 0 ? int(n) : 0);
                return firstLine.contains('\n');
            }(),
            10000);
        ::close(reader);  // as `head -1` does
        QTRY_VERIFY_WITH_TIMEOUT(recordsIn(nextDay) >= 2, 10000);
        QVERIFY(cli.running());
        QCOMPARE(cli.end(SIGTERM), 0);
    }

    // flock() fails with ENOLCK everywhere: the logger records without a lock and says
    // once that the file system has none, instead of blaming another recording.
    void fileSystemWithoutLocks() {
        const QString out = dir.filePath(QStringLiteral("nolocks.sdm"));
        test::CliOptions options;
        options.extraEnv.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(LP_NO_LOCKS_LIBRARY));
        // A sanitizer runtime wants to come first; the preloaded library comes first here.
        options.extraEnv.insert(
            QStringLiteral("ASAN_OPTIONS"),
            qEnvironmentVariable("ASAN_OPTIONS") + QStringLiteral(":verify_asan_link_order=0"));
        CliProcess cli({"record", "--port", "sim", "--every", "1", "--out", out}, options);
        QTRY_VERIFY_WITH_TIMEOUT(recordsIn(out) >= 1, 10000);
        QCOMPARE(cli.end(SIGTERM), 0);
        QCOMPARE(cli.err().count("offers no file locks"), 1);
        QVERIFY2(!cli.err().contains("another recording"), qPrintable(cli.err()));
    }
};

QTEST_GUILESS_MAIN(TestLoggerFaults)
#include "test_logger_faults.moc"
