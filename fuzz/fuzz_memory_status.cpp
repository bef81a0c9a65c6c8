// The memory status ("Y") and meter clock ("C") replies on any bytes: a reply that is
// long enough always decodes, a short one never, and the numbers behind the texts
// stay in their ranges.
#include "fuzz_input.h"
#include "memory/logger_values.h"
#include "memory/memory_status.h"

using namespace lp;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray reply(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const std::optional<memory::MemoryStatusInfo> status = memory::decodeMemoryStatus(reply);
    LP_FUZZ_CHECK(status.has_value() == (size >= memory::kStatusReplySize));
    if (status) {
        LP_FUZZ_CHECK(status->capacityBytes == memory::capacityOfCode(status->sizeCode));
        LP_FUZZ_CHECK(status->capacityBytes >= 0 && status->capacityBytes <= 8 * 16384);
        LP_FUZZ_CHECK(status->setCount >= 0);
        LP_FUZZ_CHECK(status->usedMemory != memory::kEmptyMemoryMark);
        LP_FUZZ_CHECK(!status->memorySize.isEmpty() && !status->noOfSet.isEmpty());
        // The same ten bytes decode the same with anything after them.
        const auto firstTen = memory::decodeMemoryStatus(reply.left(memory::kStatusReplySize));
        LP_FUZZ_CHECK(firstTen && firstTen->remaining == status->remaining &&
                      firstTen->idCode == status->idCode && firstTen->setCount == status->setCount);
    }

    const QString clock = memory::meterClockText(reply);
    LP_FUZZ_CHECK(clock.isEmpty() == (size < memory::kMeterClockReplySize));
    return 0;
}
