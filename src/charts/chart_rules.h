// The geometry and rules of the two line charts, without any window: the real-time
// sweep chart ("Real Time Graph") and the record plot ("Plot Data/File").
//
// Both draw in chart units: one unit is 15 twips (one pixel at 96 DPI), x to the
// right and y downwards from the top-left corner of the drawing area. The value axis
// stands at x = 60, the time axis at y = height - 27, and the plot area is
// (height - 100) high and a multiple of 30 wide.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>
#include <cstdint>
#include <optional>
#include <vector>

namespace lp::charts {

// Twips in one chart unit.
inline constexpr double kTwipsPerUnit = 15.0;

// Where the plot area of a chart stands in a drawing area of the given inner size
// (chart units).
struct PlotFrame {
    double left = 60.0;  // x of the value axis
    double base = 0.0;   // y of the time axis
    double width = 0.0;  // a multiple of 30
    double height = 0.0;
};
[[nodiscard]] PlotFrame plotFrame(double innerWidth, double innerHeight);

// Where a text of `textWidth` starts that would start at `x`: moved left as far as it
// needs to end 5 units inside the canvas, but never left of `leftmost` (the record
// plot's file name).
[[nodiscard]] double keptInside(double x, double textWidth, double canvasWidth, double leftmost);

// Height above the time axis at which a value is drawn: in proportion between
// `bottom` and `top`, and just outside the plot for values beyond them (3 units
// below the axis, 5 above the top). A range with no height puts every value at the
// bottom edge.
[[nodiscard]] double pointHeight(double value, double bottom, double top, double plotHeight);

// The value labels of the value axis, i = 0..8 from the bottom.
[[nodiscard]] double axisValue(double bottom, double top, int i);
// The number as a label: a blank before a value that is not negative; the record
// plot cuts it to one decimal first.
[[nodiscard]] QString numberLabel(double value);
[[nodiscard]] QString cutLabel(double value);

// Where a label's mark sits across the middle grid line: 3.8/8 to 4.2/8 of the plot
// height above the time axis.
inline constexpr double kMarkLow = 3.8 / 8.0;
inline constexpr double kMarkHigh = 4.2 / 8.0;

// ---- Real-time sweep ----

// The settings of "Limit": value range and points per sweep.
inline constexpr double kSweepValueMin = 30.0;
inline constexpr double kSweepValueMax = 130.0;
inline constexpr double kSweepCountsMin = 10.0;
inline constexpr double kSweepCountsMax = 864000.0;
[[nodiscard]] QString sweepValueMessage();   // 30 <= Value <= 130, try again!
[[nodiscard]] QString sweepCountsMessage();  // 10 <= Counts <= 864000, try again!

enum class SweepMark { None, TimeLabel, HalfMark };

// One tick of the sweep: where the new point stands and what goes with it.
struct SweepStep {
    bool newSweep = false;  // the chart was cleared and starts at the left
    double x = 0.0;         // from the value axis
    double height = 0.0;    // above the time axis
    bool joined = false;    // a line comes from the previous point
    double prevX = 0.0;     // the previous point (from the value axis, height)
    double prevHeight = 0.0;
    SweepMark mark = SweepMark::None;
};

class Sweep {
public:
    enum class Refusal { None, Value, Counts };

    [[nodiscard]] double maxValue() const { return maxV_; }
    [[nodiscard]] double minValue() const { return minV_; }
    [[nodiscard]] double step() const { return step_; }
    [[nodiscard]] double x() const { return curX_; }
    [[nodiscard]] double plotWidth() const { return plotW_; }

    // A fresh frame of this plot width: the next tick starts a sweep.
    void restart(double plotWidth);
    // One second: the next point for `level`, in a plot of `plotHeight`.
    SweepStep tick(double level, double plotHeight);

    // Points per sweep as the settings show it (rounded, halves to even).
    [[nodiscard]] double counts() const;
    // "OK" of the settings. A refused value range changes nothing; refused counts
    // keep the step while the new value range stands.
    Refusal apply(double max, double min, double counts);

private:
    double maxV_ = kSweepValueMax;
    double minV_ = kSweepValueMin;
    double step_ = 1.0;
    double curX_ = -1.0;
    double plotW_ = 0.0;
    bool hasPrev_ = false;
    double prevX_ = 0.0;
    double prevHeight_ = 0.0;
};

// ---- Record plot ----

// The plot parameters, set by whoever opens a plot for its records.
struct PlotRange {
    double valueLimit = 130.0;
    double top = 130.0;
    double bottom = 30.0;
    qint64 total = 0;
    qint64 first = 1;
    qint64 last = 0;
    [[nodiscard]] qint64 count() const { return last >= first ? last - first + 1 : 0; }
};
[[nodiscard]] PlotRange plotRangeFor(qint64 total);

[[nodiscard]] QString plotValueMessage(double valueLimit);  // Invalid, 0 <= Value <= 130
[[nodiscard]] QString plotRecordsMessage(qint64 total);     // Invalid, 0 <= Records <= N

// "OK" of the plot's limits: nothing changes when refused.
enum class PlotRefusal { None, Value, Records };
PlotRefusal applyPlotLimits(PlotRange& range, double min, double max, double from, double to);

// x distance between two plotted records; 0 for one record or none.
[[nodiscard]] double plotStep(double plotWidth, qint64 count);
// Whether the k-th plotted record (from 1) of `count` gets a time label.
[[nodiscard]] bool hasTimeLabel(qint64 k, qint64 count);
// The plotted positions k that get a time label, in order.
[[nodiscard]] std::vector<qint64> timeLabelPositions(qint64 count);

// The number at the start of a level text, as a list cell holds it ("65.3"); a
// text without a number gives 0.
[[nodiscard]] double levelValue(QByteArrayView text);

// The curve of many records reduced to pixel columns: each column holds the first
// and last point and the lowest and highest y of the records that fall into it, so
// that one vertical span a column and a line between neighbouring columns give the
// same picture as a line through every record. Points come in order of x.
struct CurveColumn {
    qint64 column = 0;
    double firstX = 0;
    double firstY = 0;
    double lastX = 0;
    double lastY = 0;
    double low = 0;   // smallest y
    double high = 0;  // largest y
    qint64 points = 0;
};
class ColumnReducer {
public:
    // `columnWidth`: the width of one pixel column in the units of x.
    explicit ColumnReducer(double columnWidth) : columnWidth_(columnWidth > 0 ? columnWidth : 1) {}
    void add(double x, double y);
    [[nodiscard]] const std::vector<CurveColumn>& columns() const { return columns_; }

private:
    double columnWidth_;
    std::vector<CurveColumn> columns_;
};

}  // namespace lp::charts
