// Percentile levels of a record file, counted as it is read.
#include "stats/file_ln.h"

#include "records/record_sink.h"
#include "stats/level_tally.h"

namespace lp::stats {
namespace {

constexpr qsizetype kPieceItems = 16384;

// Counts each record's level; the other fields are not kept.
class TallySink final : public records::RecordSink {
public:
    explicit TallySink(LevelTally& tally) : tally_(tally) {}
    bool take(QByteArrayView, QByteArrayView, QByteArrayView level) override {
        tally_.add(level);
        return true;
    }

private:
    LevelTally& tally_;
};

}  // namespace

FileLn computeLnOfFile(Resolution resolution, const QString& path) {
    LevelTally tally(resolution);
    records::RecordFileReader reader(path);
    FileLn out;
    if (reader.open()) {
        // Nothing of the file is kept: each level is counted while its line is in the
        // read buffer.
        TallySink sink(tally);
        while (reader.read(sink, kPieceItems) == records::RecordFileReader::Status::More) {
        }
    }
    out.load.records = tally.recordCount();
    out.load.error = reader.error();
    out.result = tally.result();
    return out;
}

}  // namespace lp::stats
