// The recording file on its own: the line limit and files that cannot be opened.
// (Whole runs through the panel are in test_panel_recording.)
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "panel/recorder.h"

using namespace lp;
using panel::Recorder;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

const QByteArray kHeader = "No.s\tDate Time\tdB\t\r\n";

}  // namespace

class TestRecorder : public QObject {
    Q_OBJECT
private slots:
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
};

QTEST_APPLESS_MAIN(TestRecorder)
#include "test_recorder.moc"
