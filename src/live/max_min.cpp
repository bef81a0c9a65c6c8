#include "live/max_min.h"

#include "platform/numeric_text.h"

namespace lp::live {

void widenMaxMin(MaxMin& texts, const QString& levelText) {
    if (texts.max.isEmpty()) {
        texts.max = levelText;
    }
    if (texts.min.isEmpty()) {
        texts.min = levelText;
    }
    const double value = platform::leadingNumber(levelText);
    if (value > platform::leadingNumber(texts.max)) {
        texts.max = platform::shortestText(static_cast<float>(value));
    }
    if (value < platform::leadingNumber(texts.min)) {
        texts.min = platform::shortestText(static_cast<float>(value));
    }
}

void resetMaxMin(MaxMin& texts, const QString& levelText) {
    texts.max = levelText;
    texts.min = levelText;
}

}  // namespace lp::live
