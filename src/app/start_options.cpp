// Reading the windowed program's command line.
#include "app/start_options.h"

#include <QCommandLineParser>

#include "platform/nearest_word.h"
#include "platform/version.h"

namespace lp::app {
namespace {

QString helpText() {
    return QStringLiteral(
               "Usage: %1 [--port PORT | FILE.sdm...]\n"
               "\n"
               "Without arguments the port choice opens first.\n"
               "\n"
               "  --port PORT  Opens the panel on PORT without the port choice: COM1 to\n"
               "               COM8, a device path such as /dev/ttyUSB0, or \"%2\" for the\n"
               "               built-in simulated meter.\n"
               "  FILE.sdm     Opens the record file in the saved-file window; several\n"
               "               files open together as one survey in the Survey window.\n"
               "  --help       Shows this text.\n"
               "  --version    Shows the version.\n")
        .arg(kGuiProgramName, live::kSimPortArgument);
}

StartOptions usageError(const QString& text) {
    return {StartOptions::Start::UsageError, {}, {}, text};
}

}  // namespace

StartOptions readStartOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, {});
    const QCommandLineOption version(QStringLiteral("version"), {});
    const QCommandLineOption port(QStringLiteral("port"), {}, QStringLiteral("PORT"));
    parser.addOptions({help, version, port});
    if (!parser.parse(QStringList{kGuiProgramName} + arguments)) {
        if (const QStringList unknown = parser.unknownOptionNames(); !unknown.isEmpty()) {
            const QString typed = QStringLiteral("--") + unknown.first();
            return usageError(QStringLiteral("unknown option '%1'").arg(typed) +
                              platform::didYouMean(platform::nearestWord(
                                  typed, {QStringLiteral("--help"), QStringLiteral("--version"),
                                          QStringLiteral("--port")})));
        }
        return usageError(parser.errorText());
    }
    if (parser.isSet(help)) {
        return {StartOptions::Start::Help, {}, {}, helpText()};
    }
    if (parser.isSet(version)) {
        return {StartOptions::Start::Version,
                {},
                {},
                kGuiProgramName + u' ' + platform::kVersion + u'\n'};
    }
    const QStringList files = parser.positionalArguments();
    if (parser.isSet(port)) {
        if (!files.isEmpty()) {
            return usageError(QStringLiteral("give either --port or a FILE, not both"));
        }
        const QString name = parser.value(port);
        const std::optional<live::PortRequest> request = live::portFromArgument(name);
        if (!request) {
            return usageError(QStringLiteral("--port takes COM1 to COM8, a device path or "
                                             "%1, not '%2'")
                                  .arg(live::kSimPortArgument, name));
        }
        return {StartOptions::Start::Port, *request, {}, {}};
    }
    if (files.size() > 1) {
        return {StartOptions::Start::Survey, {}, files, {}};
    }
    if (!files.isEmpty()) {
        return {StartOptions::Start::File, {}, files, {}};
    }
    return {};
}

}  // namespace lp::app
