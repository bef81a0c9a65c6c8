// A record file of any bytes, read whole (loadRecordFile) and in small pieces
// (RecordFileReader::read with a few items at a time): both must give the same records
// (and runs) and the same error, and no field holds a line end. The loaded levels then
// go through the Ln computation, whose figures stay within its classes.
#include <QDir>
#include <QFile>
#include <QString>
#include <cmath>

#include "fuzz_input.h"
#include "records/record_file_reader.h"
#include "records/record_store.h"
#include "stats/ln_computation.h"

using namespace lp;

namespace {

const QString& tempPath() {
    static const QString path =
        QDir::tempPath() + QStringLiteral("/lp-fuzz-record-%1.txt").arg(getpid());
    return path;
}

void writeFile(const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(QFile::encodeName(tempPath()).constData(), "wb");
    LP_FUZZ_CHECK(f != nullptr);
    LP_FUZZ_CHECK(size == 0 || std::fwrite(data, 1, size, f) == size);
    LP_FUZZ_CHECK(std::fclose(f) == 0);
}

void checkLn(stats::Resolution resolution, const records::RecordStore& store) {
    const stats::LnResult r = stats::computeLn(resolution, store.count(), [&store](qsizetype i) {
        return store.bytes(i, records::Field::Level);
    });
    qint64 counted = 0;
    for (const qint64 c : r.counts) {
        LP_FUZZ_CHECK(c >= 0);
        counted += c;
    }
    LP_FUZZ_CHECK(r.recordCount == store.count());
    // Which texts land in a class is fuzz_level_stats' to check.
    LP_FUZZ_CHECK(counted <= store.count() && r.figures.withLevel <= counted);
    LP_FUZZ_CHECK(r.figures.withLevel + r.figures.leftOut == r.recordCount);
    LP_FUZZ_CHECK(!r.figures.leq || std::isfinite(*r.figures.leq));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    writeFile(data, size);

    records::RecordStore whole;
    const records::LoadResult loaded = records::loadRecordFile(tempPath(), whole);
    LP_FUZZ_CHECK(loaded.records == whole.count());

    // The piece size comes from the input's length, so every file is read both ways.
    const qsizetype maxItems = 1 + static_cast<qsizetype>(size % 3);
    records::RecordStore pieces;
    records::RecordFileReader reader(tempPath());
    if (reader.open()) {
        records::RecordFileReader::Status status;
        size_t calls = 0;
        do {
            const qint64 itemsBefore = reader.itemCount();
            status = reader.read(pieces, maxItems);
            LP_FUZZ_CHECK(reader.itemCount() - itemsBefore <= maxItems);
            LP_FUZZ_CHECK(status != records::RecordFileReader::Status::More ||
                          reader.itemCount() > itemsBefore);
            LP_FUZZ_CHECK(++calls <= size + 2);
        } while (status == records::RecordFileReader::Status::More);
        LP_FUZZ_CHECK((status == records::RecordFileReader::Status::Failed) ==
                      reader.error().has_value());
    }
    LP_FUZZ_CHECK(reader.error() == loaded.error);
    LP_FUZZ_CHECK(pieces.count() == whole.count());
    LP_FUZZ_CHECK(pieces.runStarts() == whole.runStarts());
    for (qsizetype i = 0; i < whole.count(); ++i) {
        for (const auto field :
             {records::Field::No, records::Field::DateTime, records::Field::Level}) {
            const QByteArrayView bytes = whole.bytes(i, field);
            LP_FUZZ_CHECK(pieces.bytes(i, field) == bytes);
            // No field holds a line end, nor a TAB but for the date.
            LP_FUZZ_CHECK(!bytes.contains('\r') && !bytes.contains('\n'));
            LP_FUZZ_CHECK(field == records::Field::DateTime || !bytes.contains('\t'));
        }
    }

    checkLn(stats::Resolution::TenthDb, whole);
    checkLn(stats::Resolution::WholeDb, whole);
    return 0;
}
