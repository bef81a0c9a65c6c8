// A program started without one of its standard streams gets /dev/null there, so the
// next file it opens takes a number above 2.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryFile>
#include <QTest>

#include "platform/standard_descriptors.h"

class TestStandardDescriptors : public QObject {
    Q_OBJECT

private slots:
    void closedOnesGetNullAndFilesGoAbove_data() {
        QTest::addColumn<QList<int>>("closed");
        QTest::newRow("stdin (a library's stray close)") << QList<int>{0};
        QTest::newRow("stdout") << QList<int>{1};
        QTest::newRow("stderr") << QList<int>{2};
        QTest::newRow("all three") << QList<int>{0, 1, 2};
    }
    void closedOnesGetNullAndFilesGoAbove() {
        QFETCH(QList<int>, closed);
        struct stat null {};
        QCOMPARE(::stat("/dev/null", &null), 0);
        int saved[3] = {::dup(0), ::dup(1), ::dup(2)};
        for (const int fd : closed) {
            ::close(fd);
        }
        lp::platform::occupyStandardDescriptors();
        bool onNull[3] = {};
        for (int fd = 0; fd < 3; ++fd) {
            struct stat st {};
            onNull[fd] = ::fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && st.st_rdev == null.st_rdev;
        }
        const int next = ::open("/dev/null", O_RDONLY);
        // Put back before anything is said: stdout may be one of them.
        for (int fd = 0; fd < 3; ++fd) {
            ::dup2(saved[fd], fd);
            ::close(saved[fd]);
        }
        ::close(next);
        for (const int fd : closed) {
            QVERIFY2(onNull[fd], qPrintable(QString::number(fd)));
        }
        QVERIFY(next > 2);
    }
};

QTEST_GUILESS_MAIN(TestStandardDescriptors)
#include "test_standard_descriptors.moc"
