// The set table ("I") on any bytes and any expected set count: one row per complete
// entry, at most the count, numbered from 1, with a 24-bit record count.
#include "fuzz_input.h"
#include "memory/set_table.h"

using namespace lp;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput in(data, size);
    // Counts beyond a byte too, and negative ones, as a corrupted status could give.
    const int setCount = static_cast<int16_t>(in.word());
    const QByteArray table = in.bytes(in.left());

    const QList<memory::SetRow> rows = memory::setTableRows(table, setCount);
    const qsizetype entries = table.isEmpty() ? 0 : (table.size() - 1) / memory::kSetEntrySize;
    LP_FUZZ_CHECK(rows.size() == std::max<qsizetype>(0, std::min<qsizetype>(setCount, entries)));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        LP_FUZZ_CHECK(rows[i].number == i + 1);
        LP_FUZZ_CHECK(rows[i].records >= 0 && rows[i].records < (1 << 24));
        LP_FUZZ_CHECK(rows[i].start.size() == 20);
    }
    return 0;
}
