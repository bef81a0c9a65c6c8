#include "memory/logger_values.h"

#include "memory/memory_text.h"
#include "platform/numeric_text.h"

namespace lp::memory {
namespace {

QByteArray twoBytes(int value) {
    QByteArray bytes;
    bytes.append(static_cast<char>(value / 256));
    bytes.append(static_cast<char>(value % 256));
    return bytes;
}

}  // namespace

std::optional<QByteArray> idCodeBytes(QStringView text) {
    const double value = platform::leadingNumber(text);
    if (!(value >= 0.0 && value <= 65535.0)) {
        return std::nullopt;
    }
    return twoBytes(static_cast<int>(platform::roundHalfEven(value)));
}

std::optional<QByteArray> samplingIntervalBytes(QStringView text) {
    const double value = platform::leadingNumber(text);
    if (!(value > 0.0 && value <= 65535.0)) {
        return std::nullopt;
    }
    const int seconds = static_cast<int>(platform::roundHalfEven(value));
    if (seconds < 1) {
        return std::nullopt;
    }
    return twoBytes(seconds);
}

QString meterClockText(const QByteArray& reply) {
    if (reply.size() < kMeterClockReplySize) {
        return {};
    }
    auto digits = [&](int i) { return hexByte(byteAt(reply, i)); };
    return digits(1) + u'/' + digits(2) + u'/' + digits(0) + QStringLiteral("-----") + digits(3) +
           u':' + digits(4) + u':' + digits(5);
}

}  // namespace lp::memory
