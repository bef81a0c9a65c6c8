#include "charts/chart_rules.h"

#include <algorithm>
#include <cmath>

namespace lp::charts {

PlotFrame plotFrame(double innerWidth, double innerHeight) {
    PlotFrame f;
    const double room = innerWidth - f.left;
    f.base = innerHeight - 27.0;
    f.width = std::max(0.0, room - std::fmod(room, 30.0));
    f.height = std::max(0.0, innerHeight - 100.0);
    return f;
}

double keptInside(double x, double textWidth, double canvasWidth, double leftmost) {
    return std::max(leftmost, std::min(x, canvasWidth - 5.0 - textWidth));
}

double pointHeight(double value, double bottom, double top, double plotHeight) {
    if (value < bottom) {
        return -3.0;
    }
    if (value > top) {
        return plotHeight + 5.0;
    }
    if (top <= bottom) {
        return 0.0;
    }
    return plotHeight * (value - bottom) / (top - bottom);
}

double axisValue(double bottom, double top, int i) {
    return bottom + (top - bottom) * i / 8.0;
}

QString numberLabel(double value) {
    const QString digits = QString::number(value, 'g', 15);
    return value < 0 ? digits : QStringLiteral(" ") + digits;
}

QString cutLabel(double value) {
    // Cut (not rounded) to one decimal; a tiny nudge keeps 37.5 from becoming 37.4
    // where the binary value lies just below it.
    const double cut = std::trunc(value * 10.0 + (value < 0 ? -1e-9 : 1e-9)) / 10.0;
    return numberLabel(cut);
}

// ---- Real-time sweep ----

QString sweepValueMessage() {
    return QString::number(kSweepValueMin) + QStringLiteral(" <= Value <= ") +
           QString::number(kSweepValueMax) + QStringLiteral(", try again!");
}

QString sweepCountsMessage() {
    return QStringLiteral("10 <= Counts <= ") + QString::number(static_cast<int>(kSweepCountsMax)) +
           QStringLiteral(", try again!");
}

void Sweep::restart(double plotWidth) {
    plotW_ = plotWidth;
    curX_ = -step_;
    hasPrev_ = false;
}

SweepStep Sweep::tick(double level, double plotHeight) {
    SweepStep s;
    curX_ += step_;
    if (curX_ > plotW_ || curX_ == 0.0) {
        restart(plotW_);
        curX_ = 0.0;
        s.newSweep = true;
    }
    s.x = curX_;
    s.height = pointHeight(level, minV_, maxV_, plotHeight);
    s.joined = hasPrev_ && curX_ != 0.0;
    s.prevX = prevX_;
    s.prevHeight = prevHeight_;
    hasPrev_ = true;
    prevX_ = s.x;
    prevHeight_ = s.height;
    const auto whole = static_cast<long long>(std::nearbyint(curX_));  // halves to even
    if (whole % 60 == 0) {
        s.mark = SweepMark::TimeLabel;
    } else if (whole % 30 == 0) {
        s.mark = SweepMark::HalfMark;
    }
    return s;
}

double Sweep::counts() const {
    return step_ > 0 ? std::nearbyint(plotW_ / step_) : 0.0;
}

Sweep::Refusal Sweep::apply(double max, double min, double counts) {
    if (max > kSweepValueMax || min < kSweepValueMin || max <= min) {
        return Refusal::Value;
    }
    maxV_ = max;
    minV_ = min;
    if (counts > kSweepCountsMax || counts < kSweepCountsMin) {
        return Refusal::Counts;
    }
    step_ = plotW_ / counts;
    restart(plotW_);
    return Refusal::None;
}

// ---- Record plot ----

PlotRange plotRangeFor(qint64 total) {
    PlotRange r;
    r.total = total;
    r.first = 1;
    r.last = total;
    return r;
}

QString plotValueMessage(double valueLimit) {
    return QStringLiteral("Invalid, 0 <= Value <= ") + QString::number(valueLimit);
}

QString plotRecordsMessage(qint64 total) {
    return QStringLiteral("Invalid, 0 <= Records <= ") + QString::number(total);
}

PlotRefusal applyPlotLimits(PlotRange& range, double min, double max, double from, double to) {
    if (min < 0 || min >= max || max > range.valueLimit) {
        return PlotRefusal::Value;
    }
    if (from <= 0 || from >= to || to > static_cast<double>(range.total)) {
        return PlotRefusal::Records;
    }
    range.bottom = min;
    range.top = max;
    range.first = static_cast<qint64>(from);
    range.last = static_cast<qint64>(to);
    return PlotRefusal::None;
}

double plotStep(double plotWidth, qint64 count) {
    return count > 1 ? plotWidth / static_cast<double>(count - 1) : 0.0;
}

bool hasTimeLabel(qint64 k, qint64 count) {
    if (count < 10) {
        return k % 2 == 1 || k == count;
    }
    return k == 1 || k == count / 5 || k == (2 * count) / 5 || k == (3 * count) / 5 ||
           k == (4 * count) / 5 || k == count;
}

std::vector<qint64> timeLabelPositions(qint64 count) {
    std::vector<qint64> ks;
    if (count < 10) {
        for (qint64 k = 1; k <= count; ++k) {
            if (hasTimeLabel(k, count)) {
                ks.push_back(k);
            }
        }
        return ks;
    }
    for (qint64 k :
         {qint64(1), count / 5, (2 * count) / 5, (3 * count) / 5, (4 * count) / 5, count}) {
        if (ks.empty() || ks.back() != k) {
            ks.push_back(k);
        }
    }
    return ks;
}

double levelValue(QByteArrayView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < n && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    double value = 0.0;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
        value = value * 10.0 + (text[i] - '0');
        ++i;
    }
    if (i < n && text[i] == '.') {
        ++i;
        double scale = 1.0;
        qint64 fraction = 0;
        while (i < n && text[i] >= '0' && text[i] <= '9' && scale < 1e15) {
            fraction = fraction * 10 + (text[i] - '0');
            scale *= 10.0;
            ++i;
        }
        value += static_cast<double>(fraction) / scale;
    }
    return negative ? -value : value;
}

void ColumnReducer::add(double x, double y) {
    const auto column = static_cast<qint64>(std::floor(x / columnWidth_));
    if (columns_.empty() || columns_.back().column != column) {
        columns_.push_back({column, x, y, x, y, y, y, 1});
        return;
    }
    CurveColumn& c = columns_.back();
    c.lastX = x;
    c.lastY = y;
    c.low = std::min(c.low, y);
    c.high = std::max(c.high, y);
    ++c.points;
}

}  // namespace lp::charts
