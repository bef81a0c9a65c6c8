// Processes of this machine: whether one is there, and this one handed over to another
// program (levelpanel-cli's report). The handing over runs in a child: this test program
// started again with --replace.
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstring>

#include "platform/processes.h"

namespace {

// The child: "before " left in stdio's buffer, then the process handed to argv[2] with
// the arguments after it. The exit status 99 and "not replaced" tell a failed start.
int replaceChild(int argc, char** argv) {
    std::fputs("before ", stdout);
    QStringList arguments;
    for (int i = 3; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const QString reason = lp::platform::replaceProcess(QString::fromLocal8Bit(argv[2]), arguments);
    std::printf("not replaced: %s\n", qPrintable(reason));
    return 99;
}

}  // namespace

class TestProcesses : public QObject {
    Q_OBJECT

private slots:
    void running_data() {
        QTest::addColumn<qint64>("pid");
        QTest::addColumn<bool>("running");
        QProcess ended;
        ended.start(QStringLiteral("true"), {});
        QVERIFY(ended.waitForFinished());  // reaped: its pid is free again
        QTest::newRow("this process") << QCoreApplication::applicationPid() << true;
        QTest::newRow("a child that ended") << ended.processId() << false;
        QTest::newRow("0, the process group") << qint64(0) << false;
        QTest::newRow("-1, every process") << qint64(-1) << false;
        // Cut to 32 bits it would be process 1, which is always there.
        QTest::newRow("beyond the system's pids") << (qint64(1) << 32) + 1 << false;
    }
    void running() {
        QFETCH(qint64, pid);
        QFETCH(bool, running);
        QCOMPARE(lp::platform::isProcessRunning(pid), running);
    }

    // The program takes over with the arguments as given, the output so far and the
    // exit status.
    void replaced() {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {"--replace", "/bin/sh", "-c", "printf '%s|' \"$@\"; exit 7", "sh", "two words",
                     QStringLiteral("Lärm")});
        QVERIFY(child.waitForFinished());
        QCOMPARE(QString::fromLocal8Bit(child.readAllStandardOutput()),
                 QStringLiteral("before two words|Lärm|"));
        QCOMPARE(child.exitCode(), 7);
    }

    // A program that cannot start leaves this process as it was, with the reason.
    void notStarted_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no such file") << "missing"
                                      << "No such file or directory";
        QTest::newRow("not executable") << "plain"
                                        << "Permission denied";
    }
    void notStarted() {
        QFETCH(QString, program);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QFile plain(dir.filePath(QStringLiteral("plain")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QCOMPARE(lp::platform::replaceProcess(dir.filePath(program), {}), reason);
    }
};

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--replace") == 0) {
        return replaceChild(argc, argv);
    }
    QCoreApplication app(argc, argv);
    TestProcesses test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_processes.moc"
