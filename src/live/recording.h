// A PC recording as the program runs it: the chosen file, a run that writes one line
// per sample of the live cycle, and what the panel shows of it (the count and the
// "RECORDING" lamp, which blinks once per sample). No window: the panel renders
// `view()` and the headless logger uses the same object. Beside the file each run
// writes its metadata (RunMetadataWriter), from the context its program gives.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "live/limit_watch.h"
#include "live/recorder.h"
#include "live/run_metadata_writer.h"
#include "live/sample.h"

namespace lp::live {

struct RecordingView {
    bool on = false;
    QString file;      // the chosen file, full path; empty until one is chosen
    qint32 count = 0;  // lines written in this run
    bool lampLit = false;
};

// A record line on disk: its file, its line there (1-based, every line of the file
// counted, so the two name it for good), its number in the run and its sample.
struct RecordedLine {
    QString file;
    qint64 line = 0;
    qint32 no = 0;
    Sample sample;
    // The limits after this sample, when the logger watches any (the recording leaves
    // it empty; the logger's publishing fills it in).
    std::vector<LimitStatus> limits = {};
};

class Recording : public QObject {
    Q_OBJECT
public:
    static constexpr qint32 kLineLimit = 348000;

    explicit Recording(qint32 lineLimit = kLineLimit, QObject* parent = nullptr);

    [[nodiscard]] const RecordingView& view() const { return view_; }
    [[nodiscard]] bool on() const { return view_.on; }
    [[nodiscard]] bool hasFile() const { return !view_.file.isEmpty(); }
    // What the file held when the run started, if it appends to one that held some.
    [[nodiscard]] const std::optional<records::RecordTally>& appendedTo() const {
        return recorder_.appendedTo();
    }

    // The file of the next run.
    void chooseFile(const QString& path);
    // What each run's metadata tells of the program, host, port and sampling time:
    // asked when a run starts (by default all unknown).
    using ContextSource = std::function<RunContext()>;
    void setContextSource(ContextSource source) { contextSource_ = std::move(source); }
    // Starts a run into the chosen file; the reason, naming the file, when it cannot.
    [[nodiscard]] std::optional<QString> start();
    void stop();

    // One sample while a run is on: a line, the count, the lamp. The run ends by
    // itself at the line limit, or when the file takes no more lines (stopped()).
    void record(const lp::live::Sample& sample);

signals:
    void viewChanged(const lp::live::RecordingView& view);
    // A sample's line is on disk (before the run ends by itself at the line limit).
    void lineWritten(const lp::live::RecordedLine& line);
    // The run ended because its file takes no more lines: the reason, for the user.
    void stopped(const QString& reason);
    // A run started and the user should know something of its file (a cut line
    // removed, no file locks on its file system), or its metadata could not be written
    // (once a run; the run goes on).
    void noticed(const QString& text);
    // The run ended by itself at the line limit (after the view went back to idle): a
    // logger that must go on starts a new run here.
    void limitReached();

private:
    void publish();

    Recorder recorder_;
    RunMetadataWriter metadata_;
    ContextSource contextSource_;
    RecordingView view_;
};

}  // namespace lp::live
