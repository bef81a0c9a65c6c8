// Reading the command line's options, and the two kinds of failure it reports.
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <optional>

namespace lp::app::cli {

// Prints a usage error: the message, then where to look. Its exit status is kUsageError.
void usageError(QTextStream& err, const QString& message);
// Prints a device or file failure: the reason in the words the windows use. Its exit
// status is kFileFailure.
void failure(QTextStream& err, const QString& reason);

// The value of an option given as "--name value" or "--name=value"; advances `i`
// past what it used. Null when the value is missing.
[[nodiscard]] std::optional<QString> optionValue(const QStringList& args, qsizetype& i,
                                                 const QString& name);
[[nodiscard]] bool isOption(const QString& arg);
[[nodiscard]] bool optionIs(const QString& arg, const QString& name);

// The options of one command, each taking a value: "--port sim --out a.sdm". Unknown
// options, missing values and stray arguments are usage errors (reported to `err`).
struct CommandOptions {
    QString command;                     // for messages: "record"
    QStringList names;                   // "--port", "--out", ...
    QMap<QString, QString> values = {};  // the options given, by name
};
// Reads `args` into `options.values`; false after a usage error has been reported.
[[nodiscard]] bool readOptions(const QStringList& args, CommandOptions& options, QTextStream& err);

}  // namespace lp::app::cli
