// A command's options as rows: each binds "--name" to a field of the command's own
// options struct, with the converter of its value and its line of help. One parser
// reads a command line with them; the help and the completion are made from them.
//
//   struct StatsOptions { bool json = false; ... };
//   std::vector<OptionRow> statsRows(StatsOptions& o) {
//       return {flag(QStringLiteral("json"), o.json, QStringLiteral("JSON instead of text.")),
//               ...};
//   }
#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "cli/kit/outcome.h"

namespace lp::cli {

// What the completion offers for an option's value.
enum class Completes { Word, File, Port };

// An option as its help and the completion show it.
struct OptionHelp {
    QString name = {};       // "port" for --port
    QString valueName = {};  // "P" in "--port P"; empty for a flag
    QString help = {};       // one line or a few, without their indent
    QChar shortName = {};    // 'q' when "-q" means the same; none by default
    bool required = false;
    Completes completes = Completes::Word;
    bool valueOptional = false;  // "--name [VALUE]": given alone, its value is empty

    [[nodiscard]] bool isFlag() const { return valueName.isEmpty(); }
};

// An option as the parser takes it: its help, and what is done with its value (the
// empty text for a flag): stored in the options struct, or the mistake that says why
// it cannot be.
struct OptionRow {
    OptionHelp about = {};
    std::function<std::optional<QString>(const QString& value)> take = {};
    bool mayBeEmpty = false;
    QString needs = QStringLiteral("a value");  // "option --csv needs a file name"

    // Modifiers, in the table's own words: text(...).orRequired().completing(File).
    [[nodiscard]] OptionRow orRequired() &&;
    [[nodiscard]] OptionRow completing(Completes completes) &&;
    [[nodiscard]] OptionRow needing(const QString& needs) &&;  // and an empty value is one
    [[nodiscard]] OptionRow emptyAllowed() &&;
    [[nodiscard]] OptionRow shortened(QChar shortName) &&;
};

// --name alone: `field` becomes true.
[[nodiscard]] OptionRow flag(const QString& name, bool& field, const QString& help);
// --name VALUE, given once: `field` holds its text.
[[nodiscard]] OptionRow text(const QString& name, const QString& valueName,
                             std::optional<QString>& field, const QString& help);
// --name VALUE, given as often as wanted: `field` holds each text, in order.
[[nodiscard]] OptionRow texts(const QString& name, const QString& valueName, QStringList& field,
                              const QString& help);

// --name [VALUE], given once: `field` holds its text, empty when given alone. The value
// follows '=', or is the next argument when that is no option and the command takes no
// files (where it would be one).
[[nodiscard]] OptionRow optionalText(const QString& name, const QString& valueName,
                                     std::optional<QString>& field, const QString& help);

// --name VALUE, given once, read by `convert` (whose refusal is the mistake).
template <class T>
[[nodiscard]] OptionRow converted(const QString& name, const QString& valueName,
                                  std::optional<T>& field,
                                  std::function<Outcome<T>(const QString&)> convert,
                                  const QString& help) {
    return {{name, valueName, help},
            [&field, convert = std::move(convert)](const QString& value) -> std::optional<QString> {
                Outcome<T> read = convert(value);
                if (!read) {
                    return read.refusal().message;
                }
                field = std::move(*read);
                return std::nullopt;
            }};
}

// -q, --quiet: no progress or summary lines; every command takes it.
[[nodiscard]] OptionRow quietRow(bool& quiet);

// What a command takes besides its options: nothing, or files.
enum class Operands { None, Files };

// What the parser read besides the options' values.
struct ReadArguments {
    QStringList files;  // the arguments that are no option, in order
    QStringList typed;  // the arguments as typed, for a command handed on
    bool help = false;  // --help or -h came before any mistake (nothing else is read)
    // The options read, in the order typed: each name and its value (none for a flag).
    std::vector<std::pair<QString, std::optional<QString>>> options;
};

// Reads `args` (the command's name left out) with `rows`, and --help (-h) besides.
// Options and files come in any order; a value is the next argument, whatever it looks
// like, or follows '=' (an optional value: see optionalText()); every argument after
// "--" is a file. The mistake named is the
// first in the order typed, in the user's own spelling: an unknown option (any other
// word of more than a '-', "-x" included; with the nearest known option when one is
// near), a missing value or an empty one where the option needs one, a value for a
// flag, a value its converter refuses, an argument the command does not take; then a
// required option not given. An option of one value given again takes the last one, as
// a later word on the command line overrides an earlier one (a wrapper's defaults, then
// the user's). A --help before any mistake is read alone.
[[nodiscard]] Outcome<ReadArguments> readArguments(const QString& command,
                                                   const std::vector<OptionRow>& rows,
                                                   Operands operands, const QStringList& args);

}  // namespace lp::cli
