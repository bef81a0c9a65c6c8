// Percentile levels of a record file, read piece by piece.
#include "stats/file_ln.h"

#include "stats/level_tally.h"

namespace lp::stats {
namespace {

constexpr qsizetype kPieceItems = 16384;

}  // namespace

FileLn computeLnOfFile(Resolution resolution, const QString& path) {
    LevelTally tally(resolution);
    records::RecordFileReader reader(path);
    FileLn out;
    if (reader.open()) {
        // One piece's room, reused: the file's text never sits in memory all at once.
        records::RecordStore piece;
        records::RecordFileReader::Status status;
        do {
            piece.removeAll();
            status = reader.read(piece, kPieceItems);
            for (qsizetype i = 0; i < piece.count(); ++i) {
                tally.add(piece.bytes(i, records::Field::Level));
            }
            out.load.records += piece.count();
        } while (status == records::RecordFileReader::Status::More);
    }
    out.load.error = reader.error();
    out.result = tally.result();
    return out;
}

}  // namespace lp::stats
