// The file of a PC recording run: the header line, then one record line per sample.
// Every line goes straight to the operating system when it is written, so a crash
// loses nothing already recorded; a line that could not be written whole is taken
// back, so the file holds whole lines only. While the run is on, the file is locked
// against other writers (a list saved over it would cut the recording off).
// A file whose last line lost its line end (power lost, or a crash, mid-write) is cut
// back to its last whole line before the run, so it reads whole afterwards.
// Lines are counted in the file, header lines and earlier runs included (a line ends at
// CR LF, LF or a lone CR, as the reader takes it), so each record line is named by its
// file and its line there for good.
#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <optional>

#include "records/record_tally.h"

namespace lp::live {

class Recorder {
public:
    enum class Step { Written, LimitReached, Failed };
    struct StepResult {
        Step step = Step::Written;
        QString error;  // for Failed: what went wrong, naming the file
    };

    // A run ends by itself after `lineLimit` lines.
    explicit Recorder(qint32 lineLimit);
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Opens `path` for appending and writes the header line; the reason on failure
    // (a file that did not exist before is not left behind).
    [[nodiscard]] std::optional<QString> start(const QString& path);
    // What the last start did that the user should know of: a cut line removed, a
    // file system without locks.
    [[nodiscard]] const QStringList& notices() const { return notices_; }
    // What the file held when the last start appended to it; none for a new or empty
    // file.
    [[nodiscard]] const std::optional<records::RecordTally>& appendedTo() const {
        return appendedTo_;
    }

    // Counts and writes one record line (number, date-time, level text). LimitReached
    // and Failed ask the caller to stop the run; the lines written so far stay.
    [[nodiscard]] StepResult record(const QString& dateTime, const QString& levelText);

    // Closes the file; the count goes back to 0.
    void stop();

    [[nodiscard]] bool running() const { return file_.isOpen(); }
    [[nodiscard]] qint32 lineCount() const { return count_; }
    // The line of the file the last line written is (1-based, every line of the file
    // counted); 0 when no run is on.
    [[nodiscard]] qint64 lastLine() const { return fileLines_; }
    [[nodiscard]] QString fileName() const { return file_.fileName(); }

private:
    [[nodiscard]] bool writeBytes(const QByteArray& bytes);
    [[nodiscard]] std::optional<QString> openFile(const QString& path);
    // Cuts a last line without its line end; the reason when the file cannot be read
    // or cut.
    [[nodiscard]] std::optional<QString> cutUnendedLine();
    // Counts the lines of the file as it is now; the reason when it cannot be read.
    [[nodiscard]] std::optional<QString> countLines();

    qint32 lineLimit_;
    qint32 count_ = 0;
    qint64 fileLines_ = 0;
    QFile file_;
    QString writeError_;  // the system's reason of the last failed write
    QStringList notices_;
    std::optional<records::RecordTally> appendedTo_;
};

}  // namespace lp::live
