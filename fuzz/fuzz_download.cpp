// A downloaded set on any bytes and any expected record count: as many records as
// came whole, at most the count, each with its grid line, and "complete" exactly when
// all 12 + 2N bytes are there.
#include <cmath>

#include "fuzz_input.h"
#include "memory/download_decoder.h"
#include "platform/numeric_text.h"

using namespace lp;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput in(data, size);
    const int setNumber = in.byte();
    const qint32 expected = static_cast<qint32>(static_cast<quint32>(in.word()) << 16 | in.word());
    const QByteArray bytes = in.bytes(in.left());

    const memory::DownloadedSet set = memory::decodeDownload(bytes, setNumber, expected);
    const qint64 wanted = std::max<qint32>(0, expected);
    LP_FUZZ_CHECK(set.header.has_value() == (bytes.size() >= memory::kSetHeaderSize));
    LP_FUZZ_CHECK(set.complete == (bytes.size() >= memory::setByteSize(wanted)));
    const qint64 whole = set.header
                             ? std::min<qint64>(wanted, (bytes.size() - memory::kSetHeaderSize) /
                                                            memory::kRecordSize)
                             : 0;
    LP_FUZZ_CHECK(set.records.size() == whole);
    LP_FUZZ_CHECK(set.gridLines.size() == set.records.size());
    for (qsizetype i = 0; i < set.records.size(); ++i) {
        const memory::RecordTexts& r = set.records[i];
        LP_FUZZ_CHECK(r.no == QString::number(i + 1));
        LP_FUZZ_CHECK(platform::startsWithNumber(r.level));
        const double level = platform::leadingNumber(r.level);
        LP_FUZZ_CHECK(level >= 0.0 && level < 200.0);
    }
    return 0;
}
