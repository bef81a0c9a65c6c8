// `levelpanel-cli collect` as a whole process: three loggers on simulated meters over
// pseudo-terminals, a real mosquitto (persistence on), the collector killed with SIGKILL
// and started again, the broker restarted, a logger restarted into its file: in the end
// the archive holds each logger's files byte for byte. The archive's own rules
// (repeats, order, headers, overdue lines, resume) are test_archive's.
#include <signal.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "cli_process.h"
#include "files.h"
#include "sim_process.h"
#include "test_broker.h"

using lp::test::CliProcess;
using lp::test::SimProcess;
using lp::test::TestBroker;

namespace {

// The record files of a logger's folder and their metadata, by name, with their bytes.
QMap<QString, QByteArray> recordFiles(const QString& folder) {
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList({"*.sdm", "*.sdm.meta"}, QDir::Files)) {
        files.insert(name, lp::test::readAll(QDir(folder).filePath(name)));
    }
    return files;
}

}  // namespace

class TestCollect : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    void archiveEqualsTheLoggersFiles() {
        QDir().mkpath(dir_.filePath("broker"));
        TestBroker broker(dir_.filePath("broker"), TestBroker::Access::Anonymous);
        QVERIFY2(broker.start(), qPrintable(broker.error()));
        const QString url = QStringLiteral("mqtt://127.0.0.1:%1/lp").arg(broker.port());
        const QString archive = dir_.filePath("archive");
        const QStringList collect{"collect", url, "--dir", archive, "--id", "test"};
        auto collector = std::make_unique<CliProcess>(collect);
        // The one member of a group: the broker deals it every message.
        CliProcess member({"collect", url, "--dir", dir_.filePath("member"), "--id", "member",
                           "--share", "site"});
        // Subscribed before any logger publishes: from then on the session keeps all.
        QVERIFY(QTest::qWaitFor(
            [&] {
                return collector->err().contains("collecting") &&
                       member.err().contains("collecting lp/+/... in the group site");
            },
            5000));

        const QStringList names{"north", "east", "south"};
        std::vector<std::unique_ptr<SimProcess>> sims;
        std::vector<std::unique_ptr<CliProcess>> loggers;
        const auto startLogger = [&](int i) {
            const QString folder = dir_.filePath("loggers/" + names[i]);
            QDir().mkpath(folder);
            QStringList args{"record",
                             "--port",
                             sims[i]->path(),
                             "--every",
                             "1",
                             "--out",
                             folder + "/log.sdm",
                             "--publish",
                             url,
                             "--id",
                             names[i]};
            if (i == 0) {
                // Two files across midnight, and the period figures of each minute.
                args << "--rotate"
                     << "daily"
                     << "--periods"
                     << "1min";
            }
            return std::make_unique<CliProcess>(
                args, lp::test::CliOptions::startingAt("2026-12-06T23:59:58.500"));
        };
        for (int i = 0; i < 3; ++i) {
            sims.push_back(std::make_unique<SimProcess>());
            QVERIFY2(sims.back()->start({"--level", "50.0", "--loud", "80.0"}),
                     qPrintable(sims.back()->error()));
            loggers.push_back(startLogger(i));
        }
        QTest::qWait(3000);
        // Killed in full flow, started again: the broker kept what came meanwhile.
        collector->end(SIGKILL);
        QTest::qWait(1500);
        collector = std::make_unique<CliProcess>(collect);
        sims[1]->toggleLoud();
        // A logger stopped and started again: a second run, its header line in mid-file.
        QCOMPARE(loggers[2]->end(SIGTERM), 0);
        loggers[2] = startLogger(2);
        QTest::qWait(1500);
        broker.stop();
        QTest::qWait(1000);
        QVERIFY2(broker.start(), qPrintable(broker.error()));
        QTest::qWait(2500);
        for (auto& logger : loggers) {
            QCOMPARE(logger->end(SIGTERM), 0);
        }

        for (const QString& name : names) {
            const QMap<QString, QByteArray> logged = recordFiles(dir_.filePath("loggers/" + name));
            QVERIFY(!logged.isEmpty());
            const QString kept = archive + '/' + name;
            QVERIFY2(QTest::qWaitFor([&] { return recordFiles(kept) == logged; }, 10000),
                     qPrintable(name + ": " + QStringList(recordFiles(kept).keys()).join(' ') +
                                " vs " + QStringList(logged.keys()).join(' ')));
            // The group's member may miss what came while it was not subscribed again
            // after the broker's restart: its files end at the first line it lacks.
            const QMap<QString, QByteArray> shared = recordFiles(dir_.filePath("member/" + name));
            QVERIFY(!shared.isEmpty());
            for (const QString& file : shared.keys()) {
                QVERIFY2(logged.value(file).startsWith(shared.value(file)), qPrintable(file));
            }
        }
        QCOMPARE(recordFiles(dir_.filePath("loggers/north")).size(),
                 4);  // two days, each with .meta
        // The minute before midnight, closed, and the one after, partial at the stop: a
        // row each, under its day.
        for (const char* day : {"2026-12-06", "2026-12-07"}) {
            const QString periods = archive + "/north/periods-1min-" + QLatin1String(day) + ".csv";
            QVERIFY2(
                QTest::qWaitFor([&] { return lp::test::readAll(periods).count('\n') == 2; }, 5000),
                qPrintable(periods + ": " + lp::test::readAll(periods)));
        }
        QCOMPARE(collector->end(SIGTERM), 0);
        QCOMPARE(member.end(SIGTERM), 0);
        QVERIFY2(!collector->err().contains("passed over"), qPrintable(collector->err()));
    }
};

QTEST_GUILESS_MAIN(TestCollect)
#include "test_collect.moc"
