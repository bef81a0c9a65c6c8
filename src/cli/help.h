// The texts made from the table of commands and their rows, so that they cannot
// disagree with what the parser takes: the list of commands (--help), a command's help
// (help CMD, CMD --help; the man page's input too) and the words the bash completion
// offers.
#pragma once

#include <QString>
#include <vector>

#include "cli/command.h"

namespace lp::cli {

// The program's help: its usage, the commands with their summaries, what every command
// takes, the exit status.
// The command the words begin with: one word ("lden"), or two for a command with
// methods ("assess rating"); `used` is set to how many words name it. Null when none.
[[nodiscard]] const Command* commandNamedBy(const std::vector<Command>& table,
                                            const QStringList& words, int& used);
// The methods of a command of two words ("background rating ..." for "assess"); empty
// when `word` names no such command.
[[nodiscard]] QStringList methodsOf(const std::vector<Command>& table, const QString& word);

[[nodiscard]] QString programHelp(const std::vector<Command>& table);
// One command's help: its usage once, its description, its options with their help,
// one example.
[[nodiscard]] QString commandHelp(const Command& command);
// The program's help followed by every command's, for the man page.
[[nodiscard]] QString manualText(const std::vector<Command>& table);

// What the completion offers after `words` (the words typed after the program's name,
// the last one the word being completed): one word a line, or "@file" / "@port" when
// the word is a file or a port.
[[nodiscard]] QString completionWords(const std::vector<Command>& table, const QStringList& words);

}  // namespace lp::cli
