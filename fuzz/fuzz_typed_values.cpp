// Texts typed into input boxes: the identification code, the logger's and the PC's
// sampling intervals, and the leading-number reader under them. Whatever is typed,
// a value is either refused or lands in its range, and numbers stay finite.
#include <cmath>

#include "fuzz_input.h"
#include "live/sampling_time.h"
#include "memory/logger_values.h"
#include "platform/numeric_text.h"

using namespace lp;

namespace {

quint16 wordOf(const QByteArray& two) {
    return static_cast<quint16>(static_cast<quint8>(two[0]) << 8 | static_cast<quint8>(two[1]));
}

void checkText(const QString& text) {
    const double n = platform::leadingNumber(text);
    LP_FUZZ_CHECK(std::isfinite(n));
    if (!platform::startsWithNumber(text)) {
        LP_FUZZ_CHECK(n == 0.0);
    }
    const double rounded = platform::roundHalfEven(n);
    LP_FUZZ_CHECK(std::isfinite(rounded) && std::fabs(rounded - n) <= 0.5);

    const std::optional<QByteArray> id = memory::idCodeBytes(text);
    LP_FUZZ_CHECK(id.has_value() == (n >= 0.0 && n <= 65535.0));
    if (id) {
        LP_FUZZ_CHECK(id->size() == 2 && wordOf(*id) == rounded);
    }
    const std::optional<QByteArray> interval = memory::samplingIntervalBytes(text);
    LP_FUZZ_CHECK(interval.has_value() == (n > 0.0 && n <= 65535.0 && rounded >= 1.0));
    if (interval) {
        LP_FUZZ_CHECK(interval->size() == 2 && wordOf(*interval) == rounded);
    }

    const live::SamplingAnswer answer = live::readSamplingAnswer(text);
    if (text.isEmpty()) {
        LP_FUZZ_CHECK(answer.kind == live::SamplingAnswer::Kind::Unchanged);
    }
    if (answer.kind == live::SamplingAnswer::Kind::Set) {
        LP_FUZZ_CHECK(answer.seconds >= live::kMinSamplingSeconds &&
                      answer.seconds <= live::kMaxSamplingSeconds);
    }

    // The display writers on whatever number was read.
    const float f = static_cast<float>(std::fmin(std::fmax(n, -3.0e38), 3.0e38));
    LP_FUZZ_CHECK(!platform::shortestText(f).isEmpty());
    LP_FUZZ_CHECK(!platform::levelText(f).isEmpty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto* chars = reinterpret_cast<const char*>(data);
    const auto n = static_cast<qsizetype>(size);
    checkText(QString::fromLatin1(chars, n));
    checkText(QString::fromUtf8(chars, n));
    return 0;
}
