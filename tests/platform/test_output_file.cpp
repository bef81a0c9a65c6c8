// What the program may write and how, on real files, links, pipes and device nodes made
// in the test's own folder (the nodes as root only), and its standard output on real
// pipes and /dev/full.
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstring>

#include "files.h"
#include "platform/output_file.h"
#include "platform/stream_output.h"
#include "platform/writer_lock.h"

using namespace lp::platform;
using lp::test::readAll;
using lp::test::writeFile;

namespace {

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

bool makeNode(const QString& path, mode_t type, unsigned major, unsigned minor) {
    return ::mknod(encoded(path).constData(), type | 0666, makedev(major, minor)) == 0;
}

// The file type of the node itself, not followed: to see that nothing was renamed over it.
mode_t typeOf(const QString& path) {
    struct stat info {};
    return ::lstat(encoded(path).constData(), &info) == 0 ? info.st_mode & S_IFMT : 0;
}

// A way as a word, a refusal as its text.
QString judged(const std::variant<OutputWay, QString>& judgement) {
    if (const auto* refused = std::get_if<QString>(&judgement)) {
        return *refused;
    }
    return std::get<OutputWay>(judgement) == OutputWay::Replace ? QStringLiteral("replace")
                                                                : QStringLiteral("direct");
}

}  // namespace

class TestOutputFile : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    int socket_ = -1;
    QFile held_;

    [[nodiscard]] QString path(const char* name) const {
        return dir_.filePath(QString::fromLatin1(name));
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        std::signal(SIGPIPE, SIG_IGN);  // a write to a pipe without a reader says EPIPE
        QVERIFY(writeFile(path("input.sdm"), "the input"));
        QVERIFY(writeFile(path("other.pdf"), "an older output"));
        QVERIFY(QFile::link(path("input.sdm"), path("symbolic.pdf")));
        QCOMPARE(
            ::link(encoded(path("input.sdm")).constData(), encoded(path("hard.pdf")).constData()),
            0);
        QVERIFY(QDir(dir_.path()).mkdir(QStringLiteral("folder")));
        QCOMPARE(::mkfifo(encoded(path("fifo")).constData(), 0600), 0);
        QVERIFY(QFile::link(path("fifo"), path("to-fifo")));
        // A file a recording writes: held with its lock, as live::Recorder holds it.
        held_.setFileName(path("recording.sdm"));
        QVERIFY(held_.open(QIODevice::ReadWrite));
        QVERIFY(lockForWriting(held_) == WriteLock::Taken);
        socket_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = encoded(path("socket"));
        QVERIFY(size_t(name.size()) < sizeof address.sun_path);
        std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
        QCOMPARE(::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        if (geteuid() == 0) {
            QVERIFY(makeNode(path("null"), S_IFCHR, 1, 3));  // as /dev/null
            QVERIFY(makeNode(path("full"), S_IFCHR, 1, 7));  // as /dev/full
            QVERIFY(makeNode(path("disk"), S_IFBLK, 7, 0));  // as /dev/loop0
        }
    }
    void cleanupTestCase() { ::close(socket_); }

    // Each kind of name an output may be given, and what becomes of it; the input is
    // input.sdm.
    void judgement_data() {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("needsRoot");
        const QString same = QStringLiteral(
                                 "it is the file the records come from (%1); choose "
                                 "another name")
                                 .arg(path("input.sdm"));
        QTest::newRow("a new name") << path("new.pdf") << "replace" << false;
        QTest::newRow("an older file") << path("other.pdf") << "replace" << false;
        QTest::newRow("the input itself") << path("input.sdm") << same << false;
        QTest::newRow("the input spelled another way")
            << dir_.path() + "/folder/../input.sdm" << same << false;
        QTest::newRow("a symbolic link to the input") << path("symbolic.pdf") << same << false;
        QTest::newRow("a hard link of the input") << path("hard.pdf") << same << false;
        QTest::newRow("a file a recording holds")
            << path("recording.sdm") << kHeldByRecording << false;
        QTest::newRow("a folder") << path("folder") << "it is a folder, not a file" << false;
        QTest::newRow("a pipe") << path("fifo") << "direct" << false;
        QTest::newRow("a link to a pipe") << path("to-fifo") << "direct" << false;
        QTest::newRow("a socket") << path("socket")
                                  << "it is a socket, not a file; choose a file name" << false;
        QTest::newRow("a character device") << path("null") << "direct" << true;
        QTest::newRow("a disk device")
            << path("disk") << "it is a disk device, not a file; choose a file name" << true;
    }
    void judgement() {
        QFETCH(QString, output);
        QFETCH(bool, needsRoot);
        if (needsRoot && geteuid() != 0) {
            QSKIP("device nodes are made as root only");
        }
        QTEST(judged(judgeOutput(output, {path("new-input.sdm"), path("input.sdm")})), "expected");
    }

    // A regular file takes its name once complete; a pipe gets the bytes as they are
    // written, read by a real process, and stays a pipe; a device stays a device, and a
    // full one is told.
    void writing_data() {
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("written");
        QTest::addColumn<mode_t>("typeAfter");
        QTest::addColumn<bool>("needsRoot");
        QTest::newRow("an older file") << path("other.pdf") << true << mode_t(S_IFREG) << false;
        QTest::newRow("a pipe") << path("fifo") << true << mode_t(S_IFIFO) << false;
        QTest::newRow("a null device") << path("null") << true << mode_t(S_IFCHR) << true;
        QTest::newRow("a full device") << path("full") << false << mode_t(S_IFCHR) << true;
    }
    void writing() {
        QFETCH(QString, output);
        QFETCH(bool, needsRoot);
        if (needsRoot && geteuid() != 0) {
            QSKIP("device nodes are made as root only");
        }
        const QString copy = path("read-from-pipe");
        QProcess reader;
        if (typeOf(output) == S_IFIFO) {
            reader.start(
                QStringLiteral("sh"),
                {QStringLiteral("-c"), QStringLiteral("exec cat \"$0\" > \"$1\""), output, copy});
        }
        const QByteArray content = "%PDF-1.4 the whole of it";
        OutputFile file(output, {path("input.sdm")});
        QVERIFY2(file.open(), qPrintable(file.reason()));
        QCOMPARE(file.device().write(content), content.size());
        QTEST(file.commit(), "written");
        QTEST(typeOf(output), "typeAfter");
        if (typeOf(output) == S_IFIFO) {
            QVERIFY(reader.waitForFinished(10000));
            QCOMPARE(readAll(copy), content);
        } else if (typeOf(output) == S_IFREG) {
            QCOMPARE(readAll(output), content);
        } else if (!file.reason().isEmpty()) {
            QVERIFY2(file.reason().startsWith(u"the disk is full"), qPrintable(file.reason()));
        }
        QCOMPARE(readAll(path("input.sdm")), QByteArray("the input"));
    }

    // A file that is cancelled, or refused, leaves an older file of its name as it was.
    void cancelledOrRefused() {
        QVERIFY(writeFile(path("kept.pdf"), "an older output"));
        OutputFile cancelled(path("kept.pdf"), {});
        QVERIFY(cancelled.open());
        cancelled.device().write("half of it");
        cancelled.cancel();
        QVERIFY(!cancelled.commit());
        OutputFile refused(path("hard.pdf"), {path("input.sdm")});
        QVERIFY(!refused.open());
        QCOMPARE(readAll(path("kept.pdf")), QByteArray("an older output"));
        QCOMPARE(readAll(path("input.sdm")), QByteArray("the input"));
        QCOMPARE(
            QDir(dir_.path()).entryList({QStringLiteral("kept.pdf*")}, QDir::Files | QDir::Hidden),
            QStringList{QStringLiteral("kept.pdf")});
    }

    // Standard output: all bytes arrive, or the first failure is kept with its reason;
    // a reader that went away is told apart from a full device.
    void standardOutput_data() {
        QTest::addColumn<QString>("into");
        QTest::addColumn<QString>("failure");
        QTest::addColumn<bool>("readerGone");
        QTest::newRow("a pipe that is read") << "pipe" << QString() << false;
        QTest::newRow("a pipe whose reader ended") << "closed pipe"
                                                   << "Broken pipe" << true;
        QTest::newRow("/dev/full") << "/dev/full"
                                   << "the disk is full" << false;
    }
    void standardOutput() {
        QFETCH(QString, into);
        int fds[2] = {-1, -1};
        int fd = -1;
        if (into.contains(u"pipe")) {
            QCOMPARE(::pipe(fds), 0);
            fd = fds[1];
            if (into == u"closed pipe") {
                ::close(fds[0]);
                fds[0] = -1;
            }
        } else {
            fd = ::open(encoded(into).constData(), O_WRONLY);
        }
        QVERIFY(fd >= 0);
        const QByteArray line = "2026-12-06T14:00:00  65.3\n";
        StreamOutput out(fd);
        const qint64 first = out.write(line);
        const qint64 second = out.write(line);
        QFETCH(QString, failure);
        if (failure.isEmpty()) {
            QVERIFY2(!out.failure(), qPrintable(out.failure().value_or(QString())));
        } else {
            QVERIFY2(out.failure() && out.failure()->contains(failure),
                     qPrintable(out.failure().value_or(QStringLiteral("no failure"))));
        }
        QTEST(out.readerGone(), "readerGone");
        QCOMPARE(first == line.size() && second == line.size(), failure.isEmpty());
        if (fds[0] >= 0) {
            QByteArray arrived(2 * line.size(), '\0');
            QCOMPARE(::read(fds[0], arrived.data(), size_t(arrived.size())), arrived.size());
            QCOMPARE(arrived, line + line);
            ::close(fds[0]);
        }
        ::close(fd);
    }
};

QTEST_GUILESS_MAIN(TestOutputFile)
#include "test_output_file.moc"
