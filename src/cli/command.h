// What every command of levelpanel-cli shares: its exit codes, the format of its JSON,
// the streams it reads and writes, and its entry in the table of commands (its texts,
// its options as rows bound to its own options struct, and what runs it).
//
// Exit status: kOk, kUsageError (message on the error stream pointing to the
// command's --help) or kFileFailure (a file, the meter or its port failed; the reason
// in the words the windows use).
#pragma once

#include <QList>
#include <QString>
#include <QTextStream>
#include <functional>
#include <vector>

#include "cli/kit/options.h"
#include "cli/kit/outcome.h"
#include "cli/kit/talk.h"
#include "cli/profile_arguments.h"
#include "live/port_choice.h"

namespace lp::cli {

inline constexpr int kOk = 0;

// The "format" of every JSON the commands write: it changes when a key's meaning does.
inline constexpr int kJsonFormat = 1;

inline const QString kProgramName = QStringLiteral("levelpanel-cli");

// What a command reads and writes besides its arguments.
struct CommandIo {
    QTextStream& out;
    Talk& talk;                            // every line on stderr
    const QList<live::SystemPort>& ports;  // the serial ports the system reports
};

// A command's texts for its help and the list of commands.
struct CommandText {
    QString name;
    QString operands;     // what it takes besides options, as usage shows it: "FILE..."
    QString summary;      // its line in the list of commands
    QString description;  // the lines under its usage, without their indent
    QString example;      // one command line, after the program's name
};

// One command of the table.
struct Command {
    CommandText text;
    Operands operands = Operands::None;
    // Its rows as the help and the completion show them, -q and -h last.
    std::function<std::vector<OptionHelp>()> options;
    // Reads `args` (after the command's name) with its rows and runs it.
    std::function<int(const Command& self, const QStringList& args, CommandIo& io)> run;
};

// Prints the command's help on stdout (its usage once, its options, an example).
int printHelp(const Command& command, CommandIo& io);

// Whether a command takes --profile (profile_arguments.h).
enum class Profiles { No, Taken };

// A command whose options are the struct `Options`, bound to its rows by `rows`;
// `run` gets them read, with the files and the arguments as typed (with a profile's
// words first, when --profile is `Taken` and given).
template <class Options>
[[nodiscard]] Command commandOf(CommandText text, Operands operands,
                                std::vector<OptionRow> (*rows)(Options&),
                                int (*run)(const Options&, const ReadArguments&, CommandIo&),
                                Profiles profiles = Profiles::No) {
    Command command{std::move(text), operands, {}, {}};
    command.options = [rows, profiles] {
        Options unused;
        bool quiet = false;
        std::optional<QString> profile;
        std::vector<OptionHelp> about;
        for (const OptionRow& row : rows(unused)) {
            about.push_back(row.about);
        }
        if (profiles == Profiles::Taken) {
            about.push_back(profileRow(profile).about);
        }
        about.push_back(quietRow(quiet).about);
        return about;
    };
    command.run = [rows, run, profiles](const Command& self, const QStringList& typed,
                                        CommandIo& io) {
        io.talk.setCommand(self.text.name);
        QStringList args = typed;
        if (profiles == Profiles::Taken) {
            Options scratch;
            bool quiet = false;
            std::optional<QString> profile;
            std::vector<OptionRow> all = rows(scratch);
            all.push_back(profileRow(profile));
            all.push_back(quietRow(quiet));
            const Outcome<QStringList> with =
                argumentsWithProfile(self.text.name, std::move(all), profile, self.operands, typed);
            if (!with) {
                return io.talk.refused(with.refusal());
            }
            args = *with;
        }
        Options options;
        bool quiet = io.talk.quiet();
        std::optional<QString> profile;
        std::vector<OptionRow> all = rows(options);
        if (profiles == Profiles::Taken) {
            all.push_back(profileRow(profile));
        }
        all.push_back(quietRow(quiet));
        const Outcome<ReadArguments> read = readArguments(self.text.name, all, self.operands, args);
        if (!read) {
            return io.talk.refused(read.refusal());
        }
        if (read->help) {
            return printHelp(self, io);
        }
        io.talk.setQuiet(quiet);
        return run(options, *read, io);
    };
    return command;
}

}  // namespace lp::cli
