#include "panel/analog_geometry.h"

#include <cmath>

#include "platform/numeric_text.h"

namespace lp::panel {
namespace {

QString scaleText(float value) {
    const QString digits = platform::shortestText(value);
    return value < 0.0f ? digits : QLatin1Char(' ') + digits;
}

}  // namespace

double dialRadians(double degrees) {
    return degrees * kDialPi / 180.0;
}

std::vector<DialTick> dialTicks() {
    std::vector<DialTick> ticks;
    ticks.reserve(41);
    for (int i = 0; i <= 40; ++i) {
        const double k = i % 10 == 0 ? 1.08 : (i % 5 == 0 ? 1.06 : 1.03);
        ticks.push_back({dialRadians(36.0 + 2.7 * i), k});
    }
    return ticks;
}

std::vector<ScaleNumber> scaleNumbers(qint16 rangeHigh, qint16 rangeLow) {
    // Sums in 16-bit integers, divided in single precision: exact halves and quarters.
    const auto sum = [](int v) { return static_cast<float>(static_cast<qint16>(v)); };
    const float middle = sum(rangeHigh + rangeLow) / 2.0f;
    const float upper = sum(3 * rangeHigh + rangeLow) / 4.0f;
    const float lower = sum(3 * rangeLow + rangeHigh) / 4.0f;
    return {
        {scaleText(middle), dialRadians(90.0), true},
        {scaleText(upper), 1.09955741, false},
        {scaleText(lower), 2.04203519, false},
        {scaleText(static_cast<float>(rangeHigh)), 0.691150372, false},
        {scaleText(static_cast<float>(rangeLow)), 2.450442228, false},
    };
}

QPointF scaleNumberTopLeft(const ScaleNumber& number, double radius, double textWidth) {
    const double r = kScaleNumberRadius * radius;
    if (number.middle) {
        return {1.0 - textWidth / 2.0, r};
    }
    return {r * std::cos(number.angle) - textWidth / 2.0, r * std::sin(number.angle)};
}

float needleAngle(float level, qint16 rangeHigh, qint16 rangeLow) {
    const float span = static_cast<float>(rangeHigh) - static_cast<float>(rangeLow);
    if (span == 0.0f) {
        return kNeedleRest;
    }
    float angle = 35.0f + 110.0f * (static_cast<float>(rangeHigh) - level) / span;
    if (angle < kNeedleRight) {
        angle = kNeedleRight;
    }
    if (angle > kNeedleLeft) {
        angle = kNeedleLeft;
    }
    return angle;
}

}  // namespace lp::panel
