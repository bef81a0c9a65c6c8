// The analog meter's dial and needle as numbers: tick angles, the five scale
// numbers and where they go, and the needle angle for a level. Angles are counted
// anticlockwise from the positive x axis; 90 degrees points straight up.
#pragma once

#include <QPointF>
#include <QString>
#include <vector>

namespace lp::panel {

// Degrees to radians with the dial's own value of pi.
inline constexpr double kDialPi = 3.1415926;
[[nodiscard]] double dialRadians(double degrees);

// The dial arc, in radians (34.2 to 145.8 degrees).
inline constexpr double kArcStart = 0.596902594;
inline constexpr double kArcEnd = 2.544690006;

// The needle's ends and its resting place when the range has no width.
inline constexpr float kNeedleRight = 35.0f;
inline constexpr float kNeedleLeft = 145.0f;
inline constexpr float kNeedleRest = kNeedleLeft;

// Radii as fractions of the dial radius R.
inline constexpr double kNeedleLength = 0.96;
inline constexpr double kEraseRadius = 0.98;
inline constexpr double kScaleNumberRadius = 1.16;

struct DialTick {
    double angle;  // radians
    double outer;  // outer end as a fraction of R (the inner end is at R)
};
// The 41 ticks from 36 to 144 degrees, long ones every tenth, middle ones every fifth.
[[nodiscard]] std::vector<DialTick> dialTicks();

struct ScaleNumber {
    QString text;  // the value with a leading space when not negative: " 67.5"
    double angle;  // radians; the middle number stands at 90 degrees
    bool middle;   // centred on x = 1 window unit rather than on R cos(angle)
};
// The five numbers in drawing order: middle, upper quarter, lower quarter, high, low.
[[nodiscard]] std::vector<ScaleNumber> scaleNumbers(qint16 rangeHigh, qint16 rangeLow);

// Where a number's text goes (its top-left corner, window units, y upwards) on a
// dial of radius R when the text is `textWidth` wide.
[[nodiscard]] QPointF scaleNumberTopLeft(const ScaleNumber& number, double radius,
                                         double textWidth);

// The needle angle in degrees for a level, pinned to 35..145; a range without width
// leaves the needle at rest.
[[nodiscard]] float needleAngle(float level, qint16 rangeHigh, qint16 rangeLow);

}  // namespace lp::panel
