// The sampling-time input box: its texts and how an answer is read.
#pragma once

#include <QString>
#include <optional>

namespace lp::live {

inline constexpr int kMinSamplingSeconds = 1;
inline constexpr int kMaxSamplingSeconds = 86400;

inline const QString kSamplingTitle = QStringLiteral("Input Sampling Time");
inline const QString kSamplingPrompt =
    QStringLiteral("Enter the SAMPLING TIME in seconds\r\n(1 <= t <= 86400) ");
inline const QString kSamplingRefused =
    QStringLiteral("Invalid SAMPLING TIME, Try Again!\nEnter a number of seconds from 1 to 86400.");

struct SamplingAnswer {
    enum class Kind { Unchanged, Set, Refused };
    Kind kind = Kind::Unchanged;
    int seconds = 0;  // for Set
};

// Empty or cancelled: unchanged. The first comma is dropped (86,400 is 86400); the
// number is rounded half to even and clamped to 1..86400. Text that is not a number
// is refused.
[[nodiscard]] SamplingAnswer readSamplingAnswer(const std::optional<QString>& answer);

}  // namespace lp::live
