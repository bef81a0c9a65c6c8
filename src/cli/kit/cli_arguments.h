// A command's arguments read by its own QCommandLineParser, and the two kinds of
// failure a command reports.
#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <variant>

namespace lp::cli {

// Prints a usage error: the message, then where to look. Its exit status is kUsageError.
void usageError(QTextStream& err, const QString& message);
// Prints a device or file failure: the reason in the words the windows use. Its exit
// status is kFileFailure.
void failure(QTextStream& err, const QString& reason);

// One option of a command: "--name" alone, or with a value as "--name VALUE" or
// "--name=VALUE".
struct Option {
    enum class Takes { Nothing, Value, NonEmptyValue };
    QString name;  // "port" for --port
    Takes takes = Takes::NonEmptyValue;
    // What a missing value is called: "option --port needs a value".
    QString needs = QStringLiteral("a value");
    QChar shortName = QChar();  // 'q' when "-q" means the same; none by default
};

// What a command takes besides its options: nothing, or files.
enum class Operands { None, Files };

// What a command was given.
struct Arguments {
    QStringList files;                  // the arguments that are no option, in order
    QMap<QString, QStringList> values;  // each option given, by name: its values in order
    QStringList given;                  // the arguments as typed, for a command handed on
    bool help = false;                  // --help or -h came before any mistake

    [[nodiscard]] bool has(const QString& name) const { return values.contains(name); }
    // The value given last (it overrides those before it); empty when none was.
    [[nodiscard]] QString value(const QString& name) const;
};

// -q, --quiet: no progress or summary lines; every command takes it.
[[nodiscard]] Option quietOption();

// A command line that does not fit its command, in words for the usage message.
struct UsageMistake {
    QString message;
};

// Reads `args` (the command's name left out) with a parser that knows `options`, and
// --help (-h) besides. Options and files come in any order; a value is the next
// argument, whatever it looks like; every argument after "--" is a file. The mistake
// named is the first in the order typed, in the user's own spelling: an unknown option
// (any other word of more than a '-', "-x" included; with the nearest known option
// when one is near), a missing value or an empty one where the option needs one, an
// argument the command does not take. A --help before any mistake is read alone.
[[nodiscard]] std::variant<Arguments, UsageMistake> readArguments(const QString& command,
                                                                  const QList<Option>& options,
                                                                  Operands operands,
                                                                  const QStringList& args);

// The word of `known` nearest to `typed` in edits, when it is near enough to be what
// was meant (at most 2 edits, and fewer than half the word); empty otherwise.
[[nodiscard]] QString nearestWord(const QString& typed, const QStringList& known);

}  // namespace lp::cli
