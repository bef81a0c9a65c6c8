// The live frame and its byte decoders on any bytes: the level stays a level the
// display can show and the range is one of the meter's.
#include <cmath>

#include "fuzz_input.h"
#include "link/meter_decode.h"

using namespace lp;

namespace {

void checkReading(const link::Reading& r) {
    LP_FUZZ_CHECK(std::isfinite(r.level));
    LP_FUZZ_CHECK(r.level >= 0.0f && r.level < 200.0f);
    LP_FUZZ_CHECK(r.rangeLow <= r.rangeHigh);
    LP_FUZZ_CHECK(r.rangeLow >= 0 && r.rangeHigh <= 130);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray frame(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    link::Reading reading;
    link::decodeLiveFrame(reading, frame);
    checkReading(reading);
    if (frame.size() < 4) {
        LP_FUZZ_CHECK(reading == link::Reading{});
        return 0;
    }
    const QString digits =
        link::levelDigits(static_cast<quint8>(frame[2]), static_cast<quint8>(frame[3]));
    LP_FUZZ_CHECK(digits.size() == 4);

    // The decoders one by one, on values and texts beyond what a frame can hold.
    fuzz::FuzzInput in(data, size);
    link::Reading parts;
    const int range = static_cast<int>(static_cast<int16_t>(in.word()));
    link::decodeRange(parts, range);
    link::decodeStatus(parts, static_cast<int>(static_cast<int16_t>(in.word())));
    link::decodeLevel(parts, QString::fromLatin1(in.bytes(16)));
    checkReading(parts);
    const link::RangeEnds ends = link::rangeOfCode(range);
    LP_FUZZ_CHECK(ends.low <= ends.high);
    return 0;
}
