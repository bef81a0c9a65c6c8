#include "cli/kit/std_paths.h"

namespace lp::cli {
namespace {

const QString kStdinPath = QStringLiteral("/dev/stdin");

}  // namespace

QString readPath(const QString& file) {
    return file == kStandardStream ? kStdinPath : file;
}

QStringList readPaths(const QStringList& files) {
    QStringList paths;
    for (const QString& file : files) {
        paths << readPath(file);
    }
    return paths;
}

records::FileError asGiven(records::FileError error) {
    if (error.fileName == kStdinPath) {
        error.fileName = QStringLiteral("standard input");
    }
    return error;
}

std::optional<QString> outIsStdout(const QString& command, const QString& out) {
    if (out == kStandardStream) {
        return QStringLiteral(
                   "%1 writes a record file, not standard output: give --out a "
                   "file name")
            .arg(command);
    }
    return std::nullopt;
}

std::optional<QString> stdinTwice(const QStringList& files) {
    if (files.count(kStandardStream) > 1) {
        return QStringLiteral("- (standard input) can be read once only");
    }
    return std::nullopt;
}

}  // namespace lp::cli
