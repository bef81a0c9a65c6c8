// The PC recording run: appends the header line and one line per sample to the
// chosen record file. Every line goes straight to the operating system when it is
// written, so a crash loses nothing already recorded.
#pragma once

#include <QFile>
#include <QString>
#include <optional>

#include "app/state/program_state.h"

namespace lp::panel {

class Recorder {
public:
    // A run ends by itself after this many lines.
    static constexpr qint32 kLineLimit = 348000;

    enum class Step { Written, LimitReached, Failed };
    struct StepResult {
        Step step = Step::Written;
        QString error;  // for Failed: what went wrong, naming the file
    };

    explicit Recorder(app::ProgramState& state);
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Opens `path` for appending and writes the header line. On success the run is on
    // (RecordingOn); on failure it stays off and the reason is returned.
    [[nodiscard]] std::optional<QString> start(const QString& path);

    // Counts and writes one data line: the record number, TAB, then `sampleTail`
    // (date-time, TAB, level text, TAB), CR LF. LimitReached and Failed ask the caller
    // to stop the run; the lines written so far stay in the file.
    [[nodiscard]] StepResult record(const QString& sampleTail);

    // Ends the run: RecordingOn off, the file closed, the count back to 0.
    void stop();

    // The file of the current (or last) run.
    [[nodiscard]] QString fileName() const { return file_.fileName(); }

private:
    [[nodiscard]] bool writeLine(const QString& line);
    [[nodiscard]] bool writeBytes(const QByteArray& bytes);

    app::ProgramState& state_;
    QFile file_;
};

}  // namespace lp::panel
