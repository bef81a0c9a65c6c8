// The words a failed load or save is told in.
#include "records/file_error.h"

namespace lp::records {

QString loadFailureText(const FileError& error, qsizetype recordsRead) {
    if (error.line == 0) {
        return QStringLiteral("%1 cannot be listed: %2.").arg(error.fileName, error.reason);
    }
    return QStringLiteral(
               "Loading %1 stopped at line %2: %3.\n"
               "The %4 record(s) before it are listed; the rest of the file is not.")
        .arg(error.fileName)
        .arg(error.line)
        .arg(error.reason)
        .arg(recordsRead);
}

QString readFailureText(const FileError& error, const QString& outcome) {
    if (error.line == 0) {
        return QStringLiteral("%1 cannot be read: %2.").arg(error.fileName, error.reason);
    }
    return QStringLiteral("Reading %1 stopped at line %2: %3.\n%4")
        .arg(error.fileName)
        .arg(error.line)
        .arg(error.reason, outcome);
}

QString saveFailureText(const FileError& error) {
    return QStringLiteral("The list could not be saved to %1: %2.")
        .arg(error.fileName, error.reason);
}

QString exportFailureText(const FileError& error) {
    return QStringLiteral("The records could not be exported to %1: %2.")
        .arg(error.fileName, error.reason);
}

}  // namespace lp::records
