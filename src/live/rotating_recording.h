// An unattended recording across its files: OUT itself, or, with daily rotation, a
// file for each local day of the samples, named by OUT's stem, "-" and the date, then
// OUT's suffix (log.sdm -> log-2026-12-06.sdm). When a file reaches the line limit
// the recording goes on in part 2, 3, ... of the same name (log-2.sdm,
// log-2026-12-06-2.sdm). The day of a sample is the local date of its time, so a day
// of 23 or 25 hours (a change of daylight saving time) is still one file.
//
// It wraps a live::Recording and re-emits what that writes: whoever wants the lines on
// disk (the publisher) connects here. written() counts those lines: a line that could
// not be written is not counted. A file that cannot be started, or a write that
// fails, ends the whole recording (failed()).
#pragma once

#include <QDate>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

#include "live/recording.h"
#include "platform/clock.h"

namespace lp::live {

class RotatingRecording : public QObject {
    Q_OBJECT
public:
    // The name of `out`'s file for `day` (none without daily rotation) and `part`
    // (1-based). The event log of the alarms names its days by the same rule.
    [[nodiscard]] static QString fileName(const QString& out, std::optional<QDate> day, int part);

    RotatingRecording(QString out, bool daily, platform::Clock& clock,
                      qint32 lineLimit = Recording::kLineLimit, QObject* parent = nullptr);
    ~RotatingRecording() override;

    // The file the recording starts with: part 1 of the clock's day.
    [[nodiscard]] QString firstFile() const;
    // What the metadata of each file's run tells (Recording::setContextSource).
    void setContextSource(Recording::ContextSource source) {
        recording_.setContextSource(std::move(source));
    }
    // Starts the first file; the reason, naming the file, when it cannot.
    [[nodiscard]] std::optional<QString> begin();
    // One sample: a new file first when it is of another day than the file's.
    void record(const lp::live::Sample& sample);
    // Stops the file it writes (also on destruction).
    void stop();

    [[nodiscard]] bool on() const { return recording_.on(); }
    [[nodiscard]] qint64 written() const { return linesWritten_; }
    // What the file just started held, if it appends to one that held some.
    [[nodiscard]] const std::optional<records::RecordTally>& appendedTo() const {
        return recording_.appendedTo();
    }

signals:
    // A file was started (the first, a new day's, a new part).
    void fileStarted(const QString& file);
    // A sample's line is on disk.
    void lineWritten(const lp::live::RecordedLine& line);
    // Something the user should know of a file, each text once for the whole recording
    // (a daily file in the same folder would repeat what the first said).
    void noticed(const QString& text);
    // A file could not be started or takes no more lines: the recording has ended.
    void failed(const QString& reason);

private:
    [[nodiscard]] std::optional<QString> startFile();
    void onLineWritten(const RecordedLine& line);
    void onLimitReached();
    void onNoticed(const QString& text);

    QString out_;
    bool daily_;
    platform::Clock& clock_;
    Recording recording_;
    QDate day_;
    int part_ = 1;
    qint64 linesWritten_ = 0;  // the lineWritten() of all its files
    QStringList told_;
};

}  // namespace lp::live
