// Why reading or writing a record file failed, in words for the user: which file,
// which line (for a load), and the reason.
#pragma once

#include <QString>

namespace lp::records {

struct FileError {
    QString fileName;
    qint64 line = 0;  // 1-based line of the file where a load stopped; 0 when none
    QString reason;

    friend bool operator==(const FileError&, const FileError&) = default;
};

// The message for a load into a list that did not finish, `recordsRead` records having
// been read (and listed) before it stopped.
[[nodiscard]] QString loadFailureText(const FileError& error, qsizetype recordsRead);

// The message for a read that lists nothing (a command of levelpanel-cli) and did not
// finish; `outcome` says what became of what was read before it stopped.
[[nodiscard]] QString readFailureText(const FileError& error, const QString& outcome);

// The message for a list that could not be saved.
[[nodiscard]] QString saveFailureText(const FileError& error);

// The message for a CSV export that did not write its file.
[[nodiscard]] QString exportFailureText(const FileError& error);

}  // namespace lp::records
