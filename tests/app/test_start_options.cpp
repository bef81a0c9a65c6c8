// The windowed program's command line: what each form starts, and the mistakes that
// end it with status 1 before any window opens.
#include <QProcess>
#include <QTest>

#include "app/start_options.h"

using namespace lp::app;
using Start = StartOptions::Start;

class TestStartOptions : public QObject {
    Q_OBJECT
private slots:
    void starts_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("what");  // the port's device or label, the files, or text
        QTest::newRow("nothing") << QStringList{} << int(Start::PortChoice) << "";
        QTest::newRow("COM3") << QStringList{"--port", "COM3"} << int(Start::Port) << "COM3";
        QTest::newRow("device") << QStringList{"--port=/dev/ttyUSB0"} << int(Start::Port)
                                << "/dev/ttyUSB0";
        QTest::newRow("sim") << QStringList{"--port", "sim"} << int(Start::Port) << "SIM";
        QTest::newRow("file") << QStringList{"a b.sdm"} << int(Start::File) << "a b.sdm";
        QTest::newRow("help") << QStringList{"--help"} << int(Start::Help) << "--port PORT";
        QTest::newRow("version") << QStringList{"--version"} << int(Start::Version)
                                 << "levelpanel ";
        QTest::newRow("unknown option")
            << QStringList{"--frob"} << int(Start::UsageError) << "frob";
        QTest::newRow("port missing") << QStringList{"--port"} << int(Start::UsageError) << "port";
        QTest::newRow("COM9") << QStringList{"--port", "COM9"} << int(Start::UsageError)
                              << "'COM9'";
        QTest::newRow("port and file")
            << QStringList{"--port", "sim", "a.sdm"} << int(Start::UsageError) << "not both";
        QTest::newRow("several files")
            << QStringList{"a.sdm", "b c.sdm"} << int(Start::Survey) << "a.sdm|b c.sdm";
    }

    void starts() {
        QFETCH(QStringList, arguments);
        QFETCH(int, start);
        QFETCH(QString, what);
        const StartOptions options = readStartOptions(arguments);
        QCOMPARE(int(options.start), start);
        switch (options.start) {
            case Start::Port:
                QCOMPARE(options.port.kind == PortKind::Device ? options.port.device
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
    // --version needs no display.
    void wholeProgram() {
        QProcess program;
        program.start(QStringLiteral(LP_GUI_PROGRAM), {"--port", "COM9"});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 1);
        const QString err = QString::fromLocal8Bit(program.readAllStandardError());
        QVERIFY2(err.contains("'COM9'") && err.contains("--help"), qPrintable(err));
        QProcessEnvironment noDisplay = QProcessEnvironment::systemEnvironment();
        noDisplay.remove("QT_QPA_PLATFORM");
        noDisplay.remove("DISPLAY");
        noDisplay.remove("WAYLAND_DISPLAY");
        program.setProcessEnvironment(noDisplay);
        program.start(QStringLiteral(LP_GUI_PROGRAM), {"--version"});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(program.readAllStandardOutput().startsWith("levelpanel "));
    }
};

QTEST_GUILESS_MAIN(TestStartOptions)
#include "test_start_options.moc"
