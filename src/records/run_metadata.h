// The metadata beside a record file: FILE.meta, JSON Lines, written by every recording
// run and by a download, read by the survey. The record file itself holds levels only;
// this file says what they are (A or C weighting, FAST or SLOW, the measuring range)
// and where they came from (program, host, port, sampling time).
//
// A run writes one object when it starts:
//   {"run": 1, "header_line": 7, "start": "2026-12-06T22:00:00+01:00",
//    "program": "levelpanel 0.9.0", "host": "...", "port": "/dev/ttyUSB0",
//    "every_s": 1, "weighting": "A", "response": "F", "range": [30, 130]}
// and one whenever the meter's weighting, response or range changes:
//   {"line": 2411, "weighting": "C", "response": "F", "range": [30, 130]}
// where `line` is the line of FILE (1-based, every line counted, as the recorder counts
// them) of the first record under the new state. A download writes one run object for
// the set, from what the meter tells of it (its start, interval, weighting, range).
// Unknown values are left out or null; a reader passes over keys it does not know.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace lp::records {

enum class Weighting { A, C };
enum class Response { Fast, Slow };

// What the meter was set to while a stretch of records was taken.
struct MeterState {
    std::optional<Weighting> weighting;
    std::optional<Response> response;
    std::optional<std::pair<int, int>> range;  // dB, low and high

    friend bool operator==(const MeterState&, const MeterState&) = default;
};

// The object a run writes when it starts.
struct RunStart {
    qint64 headerLine = 0;  // the run's header line in FILE
    QString start;          // ISO 8601 with offset (platform::isoTimeText); empty: null
    QString program;        // name and version
    QString host;
    QString port;
    std::optional<double> everySeconds;
    MeterState state;
};

// The metadata file of a record file: FILE + ".meta".
[[nodiscard]] QString metadataPathOf(const QString& recordFile);

// One line of the file (JSON, compact, ending in "\n"): the one owner of a line's bytes.
// An object read back from a line this program wrote gives that line again, byte for
// byte (keys in order, numbers as Qt writes them), which is how a copy of the file is
// rebuilt from its lines' objects elsewhere (the broker's PREFIX/NAME/meta).
[[nodiscard]] QByteArray metadataLine(const QJsonObject& object);
[[nodiscard]] QByteArray runStartLine(const RunStart& run);
[[nodiscard]] QByteArray stateChangeLine(qint64 line, const MeterState& state);

// Writes `content` as the whole metadata file of `recordFile` (a download's), through
// a temporary file beside it. Nothing is written beside a record file that is no
// regular file (a pipe, a device), and a metadata file that is no regular file is left
// alone. The reason, in words for the user naming the file, when it is not written.
[[nodiscard]] std::optional<QString> replaceMetadataFile(const QString& recordFile,
                                                         const QByteArray& content);

// The states of a record file's lines, in line order: each holds from `fromLine` (a
// run's header line, or the first record under a changed state) to the next.
struct StateSpan {
    qint64 fromLine = 0;
    MeterState state;
};
struct RecordMetadata {
    std::vector<RunStart> runs;
    std::vector<StateSpan> spans;
};

// Reads the metadata of `recordFile`; none when it has no metadata file. A line that
// is no object of the forms above is passed over (a later program's, or one cut short
// by a crash), so metadata never stops a survey.
[[nodiscard]] std::optional<RecordMetadata> readRecordMetadata(const QString& recordFile);
// Reads metadata from its bytes (the whole file).
[[nodiscard]] RecordMetadata parseRecordMetadata(const QByteArray& bytes);

// The state at a line of the record file: that of the last span beginning at or before
// it; an empty state before the first.
[[nodiscard]] MeterState stateAtLine(const RecordMetadata& metadata, qint64 line);

// "A" / "C", "F" / "S": the letters the metadata and the JSON outputs use.
[[nodiscard]] QString weightingLetter(Weighting weighting);
[[nodiscard]] QString responseLetter(Response response);
[[nodiscard]] std::optional<Weighting> weightingOfLetter(const QString& letter);
[[nodiscard]] std::optional<Response> responseOfLetter(const QString& letter);

}  // namespace lp::records
