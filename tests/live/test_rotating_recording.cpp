// The logger's recording across files, on a virtual clock: the names of its files, a
// new file at local midnight (also after a day of 23 or 25 hours), a new part at the
// line limit, and the count of lines written when a write fails. (The bytes of each
// line and the faults of one file are test_recording's.)
#include <sys/resource.h>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "live/rotating_recording.h"
#include "live_rig.h"

using namespace lp;
using test::kRecordHeader;
using test::readAll;

namespace {

// A sample at `iso`, an instant with its offset ("2026-12-06T23:59:59+01:00"), as the
// live cycle stamps it: local time.
live::Sample sampleAt(const QString& iso) {
    const QDateTime when = QDateTime::fromString(iso, Qt::ISODate).toLocalTime();
    return {when, when.toString("yyyy/MM/dd HH:mm:ss"), QStringLiteral("65.3"), {}};
}

// "log-2026-12-06.sdm: 23:59:58 23:59:59": a file and the times of its lines, in order.
QStringList filesAndTimes(const QDir& dir, const QStringList& files) {
    QStringList out;
    for (const QString& file : files) {
        QString text = file + u':';
        const QList<QByteArray> lines = readAll(dir.filePath(file)).split('\n');
        for (const QByteArray& line : lines.mid(1)) {
            if (!line.isEmpty()) {
                text += u' ' + QString::fromLatin1(line.split('\t').value(1)).mid(11);
            }
        }
        out << text;
    }
    return out;
}

}  // namespace

class TestRotatingRecording : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        // Days of 23 and 25 hours: summer time begins 2026-03-29, ends 2026-10-25.
        qputenv("TZ", "Europe/Berlin");
    }

    void fileNames_data() {
        QTest::addColumn<QString>("out");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<int>("part");
        QTest::addColumn<QString>("name");
        const QDate day(2026, 12, 6);
        QTest::newRow("as given") << "/d/log.sdm" << QDate() << 1 << "/d/log.sdm";
        QTest::newRow("dated") << "/d/log.sdm" << day << 1 << "/d/log-2026-12-06.sdm";
        QTest::newRow("part 2") << "log.sdm" << QDate() << 2 << "log-2.sdm";
        QTest::newRow("dated part 3") << "log.sdm" << day << 3 << "log-2026-12-06-3.sdm";
        QTest::newRow("no suffix") << "/d.v2/log" << day << 1 << "/d.v2/log-2026-12-06";
        QTest::newRow("dot file") << "/d/.sdm" << QDate() << 2 << "/d/.sdm-2";
    }
    void fileNames() {
        QFETCH(QString, out);
        QFETCH(QDate, day);
        QFETCH(int, part);
        QFETCH(QString, name);
        QCOMPARE(live::RotatingRecording::fileName(
                     out, day.isValid() ? std::optional<QDate>(day) : std::nullopt, part),
                 name);
    }

    // The clock starts the first file; each sample goes to the file of its local day,
    // and to the next part once a file holds the line limit's lines. The files are
    // listed in the order they were started.
    void filesOfARun_data() {
        QTest::addColumn<QString>("start");  // the clock
        QTest::addColumn<bool>("daily");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QStringList>("samples");
        QTest::addColumn<QStringList>("files");
        QTest::newRow("midnight") << "2026-12-06T23:59:58+01:00" << true << 100
                                  << QStringList{"2026-12-06T23:59:58+01:00",
                                                 "2026-12-06T23:59:59+01:00",
                                                 "2026-12-07T00:00:00+01:00",
                                                 "2026-12-07T00:00:01+01:00"}
                                  << QStringList{"a-2026-12-06.sdm: 23:59:58 23:59:59",
                                                 "a-2026-12-07.sdm: 00:00:00 00:00:01"};
        // Samples stamped a day after the clock's: the first file stays empty.
        QTest::newRow("clock a day behind")
            << "2026-12-05T12:00:00+01:00" << true << 100
            << QStringList{"2026-12-06T10:00:00+01:00"}
            << QStringList{"b-2026-12-05.sdm:", "b-2026-12-06.sdm: 10:00:00"};
        // 01:59:59 and 03:00:00 are a second apart; the day ends 23 hours after it began.
        QTest::newRow("a day of 23 hours")
            << "2026-03-29T00:00:00+01:00" << true << 100
            << QStringList{"2026-03-29T01:59:59+01:00", "2026-03-29T03:00:00+02:00",
                           "2026-03-29T23:59:59+02:00", "2026-03-30T00:00:00+02:00"}
            << QStringList{"c-2026-03-29.sdm: 01:59:59 03:00:00 23:59:59",
                           "c-2026-03-30.sdm: 00:00:00"};
        // 02:30 comes twice; the day ends 25 hours after it began.
        QTest::newRow("a day of 25 hours")
            << "2026-10-25T00:00:00+02:00" << true << 100
            << QStringList{"2026-10-25T02:30:00+02:00", "2026-10-25T02:30:00+01:00",
                           "2026-10-25T23:59:59+01:00", "2026-10-26T00:00:00+01:00"}
            << QStringList{"d-2026-10-25.sdm: 02:30:00 02:30:00 23:59:59",
                           "d-2026-10-26.sdm: 00:00:00"};
        QTest::newRow("parts") << "2026-12-06T10:00:00+01:00" << false << 2
                               << QStringList{"2026-12-06T10:00:01+01:00",
                                              "2026-12-06T10:00:02+01:00",
                                              "2026-12-06T10:00:03+01:00",
                                              "2026-12-06T10:00:04+01:00",
                                              "2026-12-06T10:00:05+01:00"}
                               << QStringList{"e.sdm: 10:00:01 10:00:02",
                                              "e-2.sdm: 10:00:03 10:00:04", "e-3.sdm: 10:00:05"};
        // A new day starts again at part 1.
        QTest::newRow("parts of days")
            << "2026-12-06T23:59:57+01:00" << true << 2
            << QStringList{"2026-12-06T23:59:57+01:00", "2026-12-06T23:59:58+01:00",
                           "2026-12-06T23:59:59+01:00", "2026-12-07T00:00:00+01:00"}
            << QStringList{"f-2026-12-06.sdm: 23:59:57 23:59:58", "f-2026-12-06-2.sdm: 23:59:59",
                           "f-2026-12-07.sdm: 00:00:00"};
    }
    void filesOfARun() {
        QFETCH(QString, start);
        QFETCH(bool, daily);
        QFETCH(int, limit);
        QFETCH(QStringList, samples);
        QFETCH(QStringList, files);
        platform::VirtualClock clock(QDateTime::fromString(start, Qt::ISODate));
        // "a" of "a-2026-12-06.sdm: ...", "e" of "e.sdm: ...".
        const QString out = files.first().section(u'-', 0, 0).section(u'.', 0, 0);
        live::RotatingRecording recording(dir.filePath(out + ".sdm"), daily, clock, limit);
        QSignalSpy started(&recording, &live::RotatingRecording::fileStarted);
        QSignalSpy written(&recording, &live::RotatingRecording::lineWritten);
        QCOMPARE(recording.firstFile(), dir.filePath(files.first().section(u':', 0, 0)));
        QCOMPARE(recording.begin(), std::nullopt);
        for (const QString& iso : samples) {
            recording.record(sampleAt(iso));
        }
        QStringList names;
        for (const QList<QVariant>& signal : started) {
            names << QFileInfo(signal[0].toString()).fileName();
        }
        QCOMPARE(filesAndTimes(dir.path(), names), files);
        QCOMPARE(recording.written(), samples.size());
        QCOMPARE(written.size(), samples.size());
        // Each line published names its file and its place there, numbered per file.
        const auto last = written.last()[0].value<live::RecordedLine>();
        QCOMPARE(QFileInfo(last.file).fileName(), names.last());
        QCOMPARE(last.line, 1 + files.last().count(u' '));
    }

    // What a file's start tells the user comes through for each file it starts (a line
    // cut short is named with its file; a text said before, no file locks in the same
    // folder, is not said again: test_logger_faults runs without locks).
    void noticesOfEachFile() {
        const QByteArray whole = kRecordHeader + "1\t2026/12/05 10:00:00\t65.3\t\r\n";
        for (const int day : {6, 7}) {
            QVERIFY(test::writeFile(dir.filePath(QStringLiteral("cut-2026-12-0%1.sdm").arg(day)),
                                    whole + "2\t20"));
        }
        platform::VirtualClock clock(
            QDateTime::fromString("2026-12-06T12:00:00+01:00", Qt::ISODate));
        live::RotatingRecording recording(dir.filePath("cut.sdm"), true, clock);
        QSignalSpy noticed(&recording, &live::RotatingRecording::noticed);
        QCOMPARE(recording.begin(), std::nullopt);
        recording.record(sampleAt("2026-12-07T12:00:00+01:00"));
        QCOMPARE(noticed.size(), 2);
        for (const int i : {0, 1}) {
            const QString text = noticed[i][0].toString();
            QVERIFY2(text.contains(QStringLiteral("cut-2026-12-0%1.sdm").arg(6 + i)) &&
                         text.contains("4 byte(s) removed"),
                     qPrintable(text));
        }
    }

    // A write that fails ends the recording: the failed line is not counted. So does a
    // next day's file that cannot be started; and a first file that cannot be started
    // is a reason from begin().
    void failuresEndTheRecording() {
        platform::VirtualClock clock(
            QDateTime::fromString("2026-12-06T23:59:58+01:00", Qt::ISODate));
        const QString full = dir.filePath("full.sdm");
        live::RotatingRecording recording(full, false, clock);
        QSignalSpy failed(&recording, &live::RotatingRecording::failed);
        QCOMPARE(recording.begin(), std::nullopt);
        recording.record(sampleAt("2026-12-06T23:59:58+01:00"));
        // This process may make the file only a few bytes longer: part of the next line.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limit = saved;
        limit.rlim_cur = static_cast<rlim_t>(readAll(full).size() + 5);
        setrlimit(RLIMIT_FSIZE, &limit);
        recording.record(sampleAt("2026-12-06T23:59:59+01:00"));
        setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(recording.written(), 1);
        QCOMPARE(failed.size(), 1);
        QVERIFY2(failed[0][0].toString().contains("the disk is full"),
                 qPrintable(failed[0][0].toString()));
        QVERIFY(!recording.on());
        recording.record(sampleAt("2026-12-07T00:00:00+01:00"));  // over: nothing more
        QCOMPARE(recording.written(), 1);
        QCOMPARE(readAll(full).count('\n'), 1 + 1);

        // The next day's name is taken by a folder.
        QVERIFY(QDir(dir.path()).mkpath("blocked-2026-12-07.sdm"));
        live::RotatingRecording blocked(dir.filePath("blocked.sdm"), true, clock);
        QSignalSpy blockedFailed(&blocked, &live::RotatingRecording::failed);
        QCOMPARE(blocked.begin(), std::nullopt);
        blocked.record(sampleAt("2026-12-06T23:59:59+01:00"));
        blocked.record(sampleAt("2026-12-07T00:00:00+01:00"));
        QCOMPARE(blocked.written(), 1);
        QCOMPARE(blockedFailed.size(), 1);
        QVERIFY2(blockedFailed[0][0].toString().contains("blocked-2026-12-07.sdm"),
                 qPrintable(blockedFailed[0][0].toString()));
        QVERIFY(!blocked.on());

        clock.setNow(QDateTime::fromString("2026-12-07T08:00:00+01:00", Qt::ISODate));
        live::RotatingRecording refused(dir.filePath("blocked.sdm"), true, clock);
        const std::optional<QString> error = refused.begin();
        QVERIFY2(error && error->contains("blocked-2026-12-07.sdm"),
                 qPrintable(error.value_or("none")));
        QVERIFY(!refused.on());
    }
};

QTEST_GUILESS_MAIN(TestRotatingRecording)
#include "test_rotating_recording.moc"
