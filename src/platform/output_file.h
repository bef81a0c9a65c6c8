// Every file the program writes from other files or from the meter (a saved list, a
// CSV, a PDF report or printout) is judged and opened here, the same way for every
// command and window:
//  - a file the content is read from (any of `inputs`, under any name: the same device
//    and inode, through symbolic or hard links) is refused, and so is a file that a
//    running recording holds (writer_lock.h) and a folder;
//  - a regular file, or a name that does not exist yet, is written under a temporary
//    name beside it that takes its name only once complete (an older file of that
//    name stays as it was until then);
//  - a pipe or a character device (a terminal, /dev/null) is written directly, as it
//    goes: nothing is ever renamed over it;
//  - anything else (a socket, a disk device) is refused.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <variant>

class QFileDevice;

namespace lp::platform {

// The reason a write is refused over a file that a running recording holds.
inline const QString kHeldByRecording = QStringLiteral(
    "a running recording writes to that file; stop the recording or choose "
    "another name");

enum class OutputWay {
    Replace,  // through a temporary file that takes the name once complete
    Direct,   // straight into the pipe or device
};

// How `path` is written, or the reason it may not be (words for the user, naming no
// file: the caller names it).
[[nodiscard]] std::variant<OutputWay, QString> judgeOutput(const QString& path,
                                                           const QStringList& inputs);

// The reason when `path` is one of `inputs` under any name; nothing otherwise (also
// when either does not exist).
[[nodiscard]] std::optional<QString> sameAsInput(const QString& path, const QStringList& inputs);

// One output, judged and opened by judgeOutput's rule.
class OutputFile {
public:
    // `inPlaceFallback`: a regular file in a folder where no new file may be made is
    // written in place (for the record and CSV files; a PDF never is).
    OutputFile(QString path, QStringList inputs, bool inPlaceFallback = false);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Judges the path and opens it; false with reason() when refused or not opened.
    [[nodiscard]] bool open();
    // What to write to once open.
    [[nodiscard]] QFileDevice& device() { return *file_; }
    [[nodiscard]] OutputWay way() const { return way_; }
    // Writes out what is left and gives the file its name (or closes the pipe or
    // device); false with reason() when a write failed, and then nothing takes the name.
    [[nodiscard]] bool commit();
    // Drops what was written: no file takes the name.
    void cancel();
    // Why the output was refused or failed: the judgement's words, or the system's
    // reason of a write told as writeFailureText() tells it.
    [[nodiscard]] const QString& reason() const { return reason_; }

private:
    bool fail(const QString& reason);

    QString path_;
    QStringList inputs_;
    bool inPlaceFallback_;
    OutputWay way_ = OutputWay::Replace;
    std::unique_ptr<QFileDevice> file_;
    QString reason_;
};

}  // namespace lp::platform
