// A full disk, through /dev/full: the header of a recording into it cannot be written,
// so the run does not start, with a message that names the file and says the disk is
// full. Skipped where there is no /dev/full. (A medium that fills up later, and a list
// saved to a full disk, are test_recording's and test_record_file's.)
#include <QFile>
#include <QTest>

#include "live/recording.h"

class TestDiskFull : public QObject {
    Q_OBJECT
private slots:
    void recordingIntoAFullDisk() {
        if (!QFile::exists(QStringLiteral("/dev/full"))) {
            QSKIP("this system has no /dev/full");
        }
        lp::live::Recording recording;
        recording.chooseFile(QStringLiteral("/dev/full"));
        const std::optional<QString> error = recording.start();
        QVERIFY2(error && error->contains("the disk is full") && error->contains("/dev/full"),
                 qPrintable(error.value_or("none")));
        QVERIFY(!recording.on());
    }
};

QTEST_GUILESS_MAIN(TestDiskFull)
#include "test_disk_full.moc"
