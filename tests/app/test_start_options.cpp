// The windowed program's command line: what each form starts, and the mistakes that
// end it with status 1 before any window opens.
#include <QTest>

#include "app/start_options.h"
#include "program_run.h"

using namespace lp::app;
namespace test = lp::test;
using Start = StartOptions::Start;

class TestStartOptions : public QObject {
    Q_OBJECT
private slots:
    void starts_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("what");  // the port's device or label, the files, or text
        const auto row = [](const char* name, const QStringList& arguments, Start start,
                            const char* what) {
            QTest::newRow(name) << arguments << int(start) << QString::fromLatin1(what);
        };
        row("nothing", {}, Start::PortChoice, "");
        row("COM3", {"--port", "COM3"}, Start::Port, "COM3");
        row("device", {"--port=/dev/ttyUSB0"}, Start::Port, "/dev/ttyUSB0");
        row("sim", {"--port", "sim"}, Start::Port, "SIM");
        row("file", {"a b.sdm"}, Start::File, "a b.sdm");
        row("help", {"--help"}, Start::Help, "--port PORT");
        row("version", {"--version"}, Start::Version, "levelpanel ");
        row("unknown option", {"--frob"}, Start::UsageError, "unknown option '--frob'");
        row("a near option", {"--prot", "sim"}, Start::UsageError,
            "unknown option '--prot' (did you mean --port?)");
        row("port missing", {"--port"}, Start::UsageError, "port");
        row("COM9", {"--port", "COM9"}, Start::UsageError, "'COM9'");
        row("port and file", {"--port", "sim", "a.sdm"}, Start::UsageError, "not both");
        row("several files", {"a.sdm", "b c.sdm"}, Start::Survey, "a.sdm|b c.sdm");
    }

    void starts() {
        QFETCH(QStringList, arguments);
        QFETCH(int, start);
        QFETCH(QString, what);
        const StartOptions options = readStartOptions(arguments);
        QCOMPARE(int(options.start), start);
        switch (options.start) {
            case Start::Port:
                QCOMPARE(options.port.kind == lp::live::PortKind::Device ? options.port.device
                                                                         : options.port.label,
                         what);
                break;
            case Start::File:
            case Start::Survey:
                QCOMPARE(options.files.join(u'|'), what);
                break;
            default:
                QVERIFY2(options.text.contains(what), qPrintable(options.text));
        }
    }

    // The program itself: a mistake is told on the error stream with status 1, and
    // --version needs no display; without one the windows are not tried: the command
    // line is named instead, with status 1.
    void wholeProgram() {
        const test::ProgramRun wrong = test::runToEnd(LP_GUI_PROGRAM, {"--port", "COM9"}, 30000);
        QCOMPARE(wrong.status, 1);
        QVERIFY2(wrong.err.contains("'COM9'") && wrong.err.contains("--help"),
                 qPrintable(wrong.err));
        QProcessEnvironment noDisplay = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
            noDisplay.remove(QLatin1String(name));
        }
        const test::ProgramRun version =
            test::runToEnd(LP_GUI_PROGRAM, {"--version"}, 30000, {}, noDisplay);
        QCOMPARE(version.status, 0);
        QVERIFY(version.out.startsWith("levelpanel "));
        const test::ProgramRun windows = test::runToEnd(LP_GUI_PROGRAM, {}, 30000, {}, noDisplay);
        QCOMPARE(windows.status, 1);
        QVERIFY2(windows.err.startsWith("levelpanel: no display") &&
                     windows.err.contains("levelpanel-cli --help"),
                 qPrintable(windows.err));
    }
};

QTEST_GUILESS_MAIN(TestStartOptions)
#include "test_start_options.moc"
