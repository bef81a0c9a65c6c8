// The PC recording without any window: the bytes on disk, the view, and the file's faults.
#include <sys/resource.h>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "live/recording.h"
#include "live_rig.h"

using namespace lp;
using test::kRecordHeader;
using test::readAll;

namespace {

live::Sample sampleAt(int second, const QString& level = QStringLiteral("65.3")) {
    const QDateTime when(QDate(2009, 6, 1), QTime(14, 5, second));
    return {when, when.toString("yyyy/MM/dd HH:mm:ss"), level, {}};
}

// "on 2 lit": a run at line 2 with the lamp lit.
QString state(const live::Recording& r) {
    const live::RecordingView& v = r.view();
    return QStringLiteral("%1 %2 %3")
        .arg(v.on ? "on" : "off")
        .arg(v.count)
        .arg(v.lampLit ? "lit" : "dark");
}

}  // namespace

class TestRecording : public QObject {
    Q_OBJECT
    QTemporaryDir dir;  // each test its own file names

private slots:
    void twoRunsIntoOneFile() {
        const QString path = dir.filePath("run.sdm");
        live::Recording rec;
        QSignalSpy written(&rec, &live::Recording::lineWritten);
        rec.record(sampleAt(9));  // no run: nothing
        rec.chooseFile(path);
        QVERIFY(!rec.start());
        QCOMPARE(state(rec), "on 0 lit");
        rec.record(sampleAt(10));
        QCOMPARE(state(rec), "on 1 dark");
        rec.record(sampleAt(11, "60.0"));
        QCOMPARE(state(rec), "on 2 lit");
        const QByteArray firstRun = kRecordHeader +
                                    "1\t2009/06/01 14:05:10\t65.3\t\r\n"
                                    "2\t2009/06/01 14:05:11\t60.0\t\r\n";
        QCOMPARE(readAll(path), firstRun);  // each line is on disk when written
        rec.stop();
        QCOMPARE(state(rec), "off 0 dark");
        rec.record(sampleAt(12));
        QVERIFY(!rec.start());
        rec.record(sampleAt(15, "105.2"));
        rec.stop();
        QCOMPARE(readAll(path), firstRun + kRecordHeader + "1\t2009/06/01 14:05:15\t105.2\t\r\n");
        // Lines are counted in the file, the second run's header included.
        QCOMPARE(written.size(), 3);
        const auto line = [&](int i) { return written[i][0].value<live::RecordedLine>(); };
        QCOMPARE(line(1).line, 3);
        QCOMPARE(line(1).no, 2);
        QCOMPARE(line(1).sample.levelText, "60.0");
        QCOMPARE(line(2).no, 1);
        QCOMPARE(line(2).file, path);
    }

    // The last line allowed is written and the run ends by itself, without a message
    // (a logger hears limitReached and may start a new run).
    void runStopsItselfAtTheLineLimit() {
        live::Recording rec(2);
        QSignalSpy stopped(&rec, &live::Recording::stopped);
        QSignalSpy limit(&rec, &live::Recording::limitReached);
        rec.chooseFile(dir.filePath("full.sdm"));
        QVERIFY(!rec.start());
        rec.record(sampleAt(10));
        rec.record(sampleAt(11));
        QCOMPARE(state(rec), "off 0 dark");
        QCOMPARE(limit.size(), 1);
        rec.record(sampleAt(12));
        QCOMPARE(readAll(dir.filePath("full.sdm")).count('\n'), 1 + 2);
        QCOMPARE(stopped.size(), 0);
    }

    // A file that cannot be opened, and a medium that fills up after the first line: the
    // reason names the file, the run is off, the lines written stay whole. (A header that
    // cannot be written, /dev/full, is test_disk_full's.)
    void failuresEndTheRun() {
        live::Recording refused;
        refused.chooseFile(dir.path());
        const auto error = refused.start();
        QVERIFY2(error && error->contains(dir.path()), qPrintable(error.value_or("none")));
        QVERIFY(!refused.on());

        const QString path = dir.filePath("stick.sdm");
        live::Recording rec;
        QSignalSpy stopped(&rec, &live::Recording::stopped);
        rec.chooseFile(path);
        QVERIFY(!rec.start());
        rec.record(sampleAt(10));
        const QByteArray before = readAll(path);
        // This process may make the file only a few bytes longer: part of the next line.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limit = saved;
        limit.rlim_cur = static_cast<rlim_t>(before.size() + 5);
        setrlimit(RLIMIT_FSIZE, &limit);
        rec.record(sampleAt(11));
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!rec.on());
        QCOMPARE(stopped.size(), 1);
        const QString reason = stopped[0][0].toString();
        QVERIFY2(reason.contains(path) && reason.contains("the disk is full"), qPrintable(reason));
        QCOMPARE(readAll(path), before);
    }

    // A file whose last line lost its end (a machine that died mid-write) is cut back
    // to its last whole line, once, with the bytes said, so that it reads whole; a
    // line end by the reader's rule (CR LF, LF, a lone CR) is left as it is.
    void aCutLastLineIsCutBack_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("kept");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<int>("line");  // of the record written after it
        const QByteArray whole = kRecordHeader + "1\t2009/06/01 14:05:09\t65.3\t\r\n";
        QTest::newRow("a cut record") << whole + "2\t2009/06/01 14:0" << whole
                                      << "17 byte(s) removed so that the file reads whole: "
                                         "\"2\\t2009/06/01 14:0\""
                                      << 4;
        QTest::newRow("a cut header alone")
            << QByteArray("No.s\tDa") << QByteArray() << "7 byte(s) removed" << 2;
        QTest::newRow("ends in LF") << whole + "2\t2009/06/01 14:05:10\t65.3\t\n"
                                    << whole + "2\t2009/06/01 14:05:10\t65.3\t\n"
                                    << QString() << 5;
        QTest::newRow("ends in a lone CR")
            << whole + "2\t2009/06/01 14:05:10\t65.3\t\r"
            << whole + "2\t2009/06/01 14:05:10\t65.3\t\r" << QString() << 5;
    }
    void aCutLastLineIsCutBack() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, kept);
        QFETCH(QString, notice);
        QFETCH(int, line);
        const QString path = dir.filePath("cut.sdm");
        QVERIFY(test::writeFile(path, before));
        live::Recording rec;
        QSignalSpy notices(&rec, &live::Recording::noticed);
        QSignalSpy written(&rec, &live::Recording::lineWritten);
        rec.chooseFile(path);
        QVERIFY(!rec.start());
        rec.record(sampleAt(10));
        rec.stop();
        QCOMPARE(written.size(), 1);
        QCOMPARE(written[0][0].value<live::RecordedLine>().line, line);
        QCOMPARE(readAll(path), kept + kRecordHeader + "1\t2009/06/01 14:05:10\t65.3\t\r\n");
        QCOMPARE(notices.size(), notice.isEmpty() ? 0 : 1);
        if (!notice.isEmpty()) {
            const QString text = notices[0][0].toString();
            QVERIFY2(text.contains(notice) && text.contains(path), qPrintable(text));
        }
    }

    // A file that ends in a line longer than any record line is no record file: the
    // run is refused and the file left as it was.
    void anEndlessLastLineIsRefused() {
        const QString path = dir.filePath("blob.sdm");
        const QByteArray blob = "\n" + QByteArray(70000, 'x');
        QVERIFY(test::writeFile(path, blob));
        live::Recording rec;
        rec.chooseFile(path);
        const auto refused = rec.start();
        QVERIFY(refused && refused->contains("no record file"));
        QCOMPARE(readAll(path), blob);
    }

    // Two runs never write one file at once; a refused run leaves no file of its own.
    void runsOwnTheirFile() {
        const QString path = dir.filePath("own.sdm");
        live::Recording first;
        first.chooseFile(path);
        QVERIFY(!first.start());
        live::Recording second;
        second.chooseFile(path);
        const auto refused = second.start();
        QVERIFY(refused && refused->contains("another recording"));
        first.stop();
        QVERIFY(!second.start());
    }
};

QTEST_MAIN(TestRecording)
#include "test_recording.moc"
