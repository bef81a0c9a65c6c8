// levelpanel-cli: the table of commands, the command chosen, --help and --version.
#include "cli/cli.h"

#include <algorithm>

#include "cli/commands.h"
#include "cli/help.h"
#include "cli/kit/std_streams.h"
#include "platform/nearest_word.h"
#include "platform/version.h"

namespace lp::cli {
namespace {

// The hidden command the bash completion asks: "levelpanel-cli __complete WORD...".
const QString kCompleteCommand = QStringLiteral("__complete");
// The hidden option help2man asks for the man page: the help of every command.
const QString kManualOption = QStringLiteral("--help-all");

int printed(QTextStream& out, const QString& text) {
    out << text;
    out.flush();
    return kOk;
}

QStringList commandNames(const std::vector<Command>& table) {
    QStringList names;
    for (const Command& command : table) {
        names << command.text.name;
    }
    return names;
}

int unknownCommand(Talk& talk, const std::vector<Command>& table, const QString& name) {
    if (const QStringList methods = methodsOf(table, name); !methods.isEmpty()) {
        return talk.usage(QStringLiteral("%1 takes a method first: %2")
                              .arg(name, methods.join(QStringLiteral(", "))));
    }
    return talk.usage(QStringLiteral("unknown command '%1'").arg(name) +
                      platform::didYouMean(platform::nearestWord(name, commandNames(table))));
}

// `help` alone: the program's help; `help CMD`: that command's.
int runHelp(const QStringList& rest, CommandIo& io, const std::vector<Command>& table) {
    if (rest.isEmpty()) {
        return printed(io.out, programHelp(table));
    }
    int used = 0;
    const Command* command = commandNamedBy(table, rest, used);
    if (command != nullptr && used < rest.size()) {
        return io.talk.usage(
            QStringLiteral("help takes one COMMAND, not '%1'").arg(rest.join(u' ')));
    }
    return command == nullptr ? unknownCommand(io.talk, table, rest.first())
                              : printed(io.out, commandHelp(*command));
}

int runCommand(QStringList arguments, CommandIo& io) {
    // -q before the command counts as given to it: "levelpanel-cli -q export ...".
    bool quietFirst = false;
    while (!arguments.isEmpty() && (arguments.first() == QStringLiteral("-q") ||
                                    arguments.first() == QStringLiteral("--quiet"))) {
        quietFirst = true;
        arguments.removeFirst();
    }
    if (arguments.isEmpty()) {
        return io.talk.usage(QStringLiteral("no command given"));
    }
    const QString name = arguments.first();
    QStringList rest = arguments.mid(1);
    const std::vector<Command> table = commands();
    if (name == QStringLiteral("--help") || name == QStringLiteral("-h")) {
        return printed(io.out, programHelp(table));
    }
    if (name == kManualOption) {
        return printed(io.out, manualText(table));
    }
    if (name == QStringLiteral("--version") || name == QStringLiteral("-V")) {
        return printed(io.out, QStringLiteral("%1 %2\n").arg(kProgramName, platform::kVersion));
    }
    if (name == kCompleteCommand) {
        return printed(io.out, completionWords(table, rest));
    }
    if (name == QStringLiteral("help")) {
        return runHelp(rest, io, table);
    }
    int used = 0;
    const Command* command = commandNamedBy(table, arguments, used);
    rest = arguments.mid(used);
    if (command == nullptr) {
        if (name.startsWith(u'-') && name.size() > 1) {
            return io.talk.usage(QStringLiteral("unknown option '%1'").arg(name));
        }
        return unknownCommand(io.talk, table, name);
    }
    if (quietFirst) {
        rest.prepend(QStringLiteral("--quiet"));  // handed on as typed (report)
    }
    return command->run(*command, rest, io);
}

}  // namespace

std::vector<Command> commands() {
    return {statsCommand(),        exportCommand(),         periodsCommand(),
            ldenCommand(),         eventsCommand(),         assessBackgroundCommand(),
            assessRatingCommand(), assessExposureCommand(), assessEventsCommand(),
            assessLimitsCommand(), reportCommand(),         verifyCommand(),
            portsCommand(),        liveCommand(),           recordCommand(),
            setsCommand(),         downloadCommand(),       watchCommand(),
            collectCommand()};
}

int printHelp(const Command& command, CommandIo& io) {
    return printed(io.out, commandHelp(command));
}

int run(QStringList arguments, QTextStream& out, QTextStream& err,
        const QList<live::SystemPort>& ports) {
    Talk talk(err);
    CommandIo io{out, talk, ports};
    return finishedOutput(out, talk, runCommand(std::move(arguments), io));
}

}  // namespace lp::cli
