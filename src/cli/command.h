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

// A command whose options are the struct `Options`, bound to its rows by `rows`;
// `run` gets them read, with the files and the arguments as typed.
template <class Options>
[[nodiscard]] Command commandOf(CommandText text, Operands operands,
                                std::vector<OptionRow> (*rows)(Options&),
                                int (*run)(const Options&, const ReadArguments&, CommandIo&)) {
    Command command{std::move(text), operands, {}, {}};
    command.options = [rows] {
        Options unused;
        bool quiet = false;
        std::vector<OptionHelp> about;
        for (const OptionRow& row : rows(unused)) {
            about.push_back(row.about);
        }
        about.push_back(quietRow(quiet).about);
        return about;
    };
    command.run = [rows, run](const Command& self, const QStringList& args, CommandIo& io) {
        Options options;
        bool quiet = io.talk.quiet();
        std::vector<OptionRow> all = rows(options);
        all.push_back(quietRow(quiet));
        io.talk.setCommand(self.text.name);
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
