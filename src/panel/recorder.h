// The file of a PC recording run: the header line, then one record line per sample.
// Every line goes straight to the operating system when it is written, so a crash
// loses nothing already recorded; a line that could not be written whole is taken
// back, so the file holds whole lines only. While the run is on, the file is locked
// against other writers (a list saved over it would cut the recording off).
#pragma once

#include <QFile>
#include <QString>
#include <optional>

namespace lp::panel {

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

    // Opens `path` for appending and writes the header line; the reason on failure.
    [[nodiscard]] std::optional<QString> start(const QString& path);

    // Counts and writes one record line (number, date-time, level text). LimitReached
    // and Failed ask the caller to stop the run; the lines written so far stay.
    [[nodiscard]] StepResult record(const QString& dateTime, const QString& levelText);

    // Closes the file; the count goes back to 0.
    void stop();

    [[nodiscard]] bool running() const { return file_.isOpen(); }
    [[nodiscard]] qint32 lineCount() const { return count_; }
    [[nodiscard]] QString fileName() const { return file_.fileName(); }

private:
    [[nodiscard]] bool writeBytes(const QByteArray& bytes);

    qint32 lineLimit_;
    qint32 count_ = 0;
    QFile file_;
    QString writeError_;  // the system's reason of the last failed write
};

}  // namespace lp::panel
