// The writer of a recording run's metadata beside its record file (FILE.meta, the form
// of records/run_metadata.h): the run object with the run's first sample (the meter's
// state is known only then; its start is that sample's time, the first record's time
// stamp), and a change object for the first sample whose weighting,
// response or range differs from the state written last. The file is appended to: it
// may hold earlier runs. Nothing is written beside a record file that is no regular file
// (a pipe, a device). A write that fails ends the metadata of the run, not the run: its
// reason is returned once and the recording goes on without it.
#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>
#include <optional>

#include "link/reading.h"
#include "records/run_metadata.h"

namespace lp::live {

// What the program that runs the recording tells of it.
struct RunContext {
    QString program;  // name and version: "levelpanel-cli 0.9.0"
    QString host;
    QString port;
    std::optional<double> everySeconds;
};

// The state a reading shows.
[[nodiscard]] records::MeterState meterStateOf(const link::Reading& reading);

class RunMetadataWriter {
public:
    RunMetadataWriter() = default;
    RunMetadataWriter(const RunMetadataWriter&) = delete;
    RunMetadataWriter& operator=(const RunMetadataWriter&) = delete;

    // A run into `recordFile` whose header line is line `headerLine` of it; nothing is
    // written until its first sample.
    void begin(const QString& recordFile, qint64 headerLine, const RunContext& context);
    // The sample written at `line` of the record file, taken at `when`. The reason, in
    // words for the user, the first time a write fails; nothing otherwise.
    [[nodiscard]] std::optional<QString> take(qint64 line, const QDateTime& when,
                                              const link::Reading& reading);
    // The run has ended: the file is closed.
    void end();

private:
    [[nodiscard]] std::optional<QString> write(const QByteArray& line, qint64 recordLine);

    bool on_ = false;  // a run is on and its metadata is written
    QString recordFile_;
    qint64 headerLine_ = 0;
    RunContext context_;
    std::optional<records::MeterState> written_;  // the state written last in this run
    QFile file_;
};

}  // namespace lp::live
