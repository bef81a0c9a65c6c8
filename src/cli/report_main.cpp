// levelpanel-cli-report: paints `levelpanel-cli report` (the same arguments, the same
// messages and exit status), so that levelpanel-cli itself starts without Qt Gui.

#include <QGuiApplication>
#include <QTextStream>

#include "cli/kit/std_streams.h"
#include "cli/report_command.h"
#include "cli/survey_commands.h"
#include "platform/standard_descriptors.h"

int main(int argc, char* argv[]) {
    using namespace lp::cli;
    lp::platform::occupyStandardDescriptors();
    // The pages are painted off any screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(kProgramName);
    StandardStreams streams;
    Talk talk(streams.err());
    const QList<lp::live::SystemPort> noPorts;
    CommandIo io{streams.out(), talk, noPorts};
    const Command report = commandOf<ReportOptions>(reportText(), Operands::Files, reportRows,
                                                    paintReport, Profiles::Taken);
    const int status = report.run(report, QCoreApplication::arguments().mid(1), io);
    return finishedOutput(streams.out(), talk, status);
}
