// "-" on the command line: standard input for a FILE read, standard output for an OUT
// written.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "records/file_error.h"

namespace lp::cli {

inline const QString kStandardStream = QStringLiteral("-");

// The path a FILE argument is read from: standard input for "-".
[[nodiscard]] QString readPath(const QString& file);
[[nodiscard]] QStringList readPaths(const QStringList& files);

// A read failure named as the user gave the file: "standard input" for "-".
[[nodiscard]] records::FileError asGiven(records::FileError error);

// The mistake of a command that writes a record file (locked, rotated, replaced
// whole) when its OUT is "-".
[[nodiscard]] std::optional<QString> outIsStdout(const QString& command, const QString& out);

// The mistake when "-" is given more than once: standard input reads once.
[[nodiscard]] std::optional<QString> stdinTwice(const QStringList& files);

}  // namespace lp::cli
