// levelpanel-cli-report: paints `levelpanel-cli report` (the same arguments, the same
// messages and exit status), so that levelpanel-cli itself starts without Qt Gui.

#include <QGuiApplication>
#include <QTextStream>
#include <variant>

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
    QTextStream& out = streams.out();
    QTextStream& err = streams.err();
    const std::variant<Arguments, UsageMistake> read =
        readArguments(QStringLiteral("report"), reportOptions() + QList<Option>{quietOption()},
                      Operands::Files, QCoreApplication::arguments().mid(1));
    if (const auto* mistake = std::get_if<UsageMistake>(&read)) {
        usageError(err, mistake->message);
        return kUsageError;
    }
    const QList<lp::live::SystemPort> noPorts;
    const Arguments& args = std::get<Arguments>(read);
    CommandIo io{out, err, noPorts, args.has(QStringLiteral("quiet"))};
    return finishedOutput(out, err, paintReport(args, io));
}
