// Painting the time history and the histogram of a survey report.
#include "survey/report_charts.h"

#include <QDateTime>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <algorithm>
#include <array>
#include <cmath>

#include "charts/histogram_shape.h"
#include "charts/time_history_shape.h"
#include "stats/local_days.h"

namespace lp::survey {
namespace {

const QColor kBarColor(122, 163, 212);
const QColor kL90Color(20, 120, 60);
const QColor kLmaxColor(200, 40, 40);
const QColor kGridColor(215, 215, 215);
const QColor kExcludedColor(110, 110, 110, 60);

// A linear map from values to device units.
struct Scale {
    double from = 0;
    double to = 1;
    double low = 0;
    double high = 1;
    [[nodiscard]] double operator()(double value) const {
        return low + (value - from) * (high - low) / (to - from);
    }
};

QFont chartFont(double points) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(points);
    font.setStyleStrategy(QFont::PreferNoShaping);  // no ligatures, as in the text
    return font;
}

// The plot area inside `area`, leaving room for the level labels on the left, a legend
// line on top and two lines of time labels below.
QRectF plotArea(const QRectF& area, double k, double line) {
    return area.adjusted(k * 30, line + k * 6, -k * 6, -(2 * line + k * 4));
}

void drawLegend(QPainter& p, const QRectF& area, double k,
                const std::vector<std::pair<QColor, QString>>& entries, bool excludedEntry) {
    const QFontMetricsF metrics(p.font(), p.device());
    double x = area.left() + k * 30;
    const double mid = area.top() + metrics.height() / 2;
    const auto swatch = [&](const QBrush& brush, const QString& text) {
        p.fillRect(QRectF(x, mid - k * 3.5, k * 12, k * 7), brush);
        x += k * 15;
        p.setPen(Qt::black);
        p.drawText(QPointF(x, area.top() + metrics.ascent()), text);
        x += metrics.horizontalAdvance(text) + k * 12;
    };
    for (const auto& [color, text] : entries) {
        swatch(color, text);
    }
    if (excludedEntry) {
        swatch(QBrush(kExcludedColor), QStringLiteral("excluded"));
    }
}

void drawLevelAxis(QPainter& p, const QRectF& plot, const Scale& y, double step, double k) {
    const QFontMetricsF metrics(p.font(), p.device());
    for (double level = std::ceil(y.from / step) * step; level <= y.to + 1e-9; level += step) {
        const double at = y(level);
        p.setPen(QPen(kGridColor, k * 0.4));
        p.drawLine(QPointF(plot.left(), at), QPointF(plot.right(), at));
        p.setPen(Qt::black);
        const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
        const QString text = QString::number(level, 'f', decimals);
        p.drawText(
            QRectF(plot.left() - k * 28, at - metrics.height() / 2, k * 25, metrics.height()),
            Qt::AlignRight | Qt::AlignVCenter, text);
    }
}

// The polyline of each run of one figure across the periods (a lone point as a dot).
void drawFigureLine(QPainter& p, const std::vector<stats::SurveyPeriod>& periods,
                    std::optional<double> stats::SurveyPeriod::*figure, const Scale& x,
                    const Scale& y, const QPen& pen) {
    p.setPen(pen);
    for (const QList<QPointF>& run : charts::figureRuns(periods, figure)) {
        QPolygonF line;
        for (const QPointF& point : run) {
            line << QPointF(x(point.x()), y(point.y()));
        }
        if (line.size() == 1) {
            p.drawPoint(line.front());
        } else {
            p.drawPolyline(line);
        }
    }
}

// The Leq bars, neighbours in one outline so that no seam shows between them.
void drawBars(QPainter& p, const std::vector<stats::SurveyPeriod>& periods, const Scale& x,
              const Scale& y, double base) {
    p.setPen(Qt::NoPen);
    p.setBrush(kBarColor);
    QPolygonF outline;
    const auto flush = [&] {
        if (!outline.isEmpty()) {
            outline << QPointF(outline.back().x(), base);
            p.drawPolygon(outline);
            outline.clear();
        }
    };
    std::optional<qint64> end;
    for (const stats::SurveyPeriod& period : periods) {
        if (!period.leq || (end && *end != period.start)) {
            flush();
        }
        if (!period.leq) {
            end.reset();
            continue;
        }
        const double left = x(static_cast<double>(period.start));
        if (outline.isEmpty()) {
            outline << QPointF(left, base);
        }
        outline << QPointF(left, y(*period.leq))
                << QPointF(x(static_cast<double>(period.end)), y(*period.leq));
        end = period.end;
    }
    flush();
}

void drawNothing(QPainter& p, const QRectF& area, const QString& text) {
    p.setPen(QColor(90, 90, 90));
    p.drawText(area, Qt::AlignCenter, text);
}

}  // namespace

std::vector<TimeTick> timeTicks(qint64 from, qint64 to, const QTimeZone& zone, int most) {
    static constexpr std::array<int, 8> kHourSteps = {1, 2, 3, 6, 12, 24, 48, 168};
    const double hours = static_cast<double>(to - from) / 3600.0;
    int step = kHourSteps.back();
    for (const int candidate : kHourSteps) {
        if (hours / candidate <= most) {
            step = candidate;
            break;
        }
    }
    const stats::LocalDays days(zone);
    std::vector<TimeTick> ticks;
    const qint64 firstDay = days.dayOf(from).julianDay;
    const qint64 lastDay = days.dayOf(to).julianDay;
    const int dayStep = std::max(1, step / 24);
    for (qint64 day = firstDay; day <= lastDay; ++day) {
        const QDate date = QDate::fromJulianDay(day);
        if (step >= 24) {
            // Weeks begin on a Monday; other day steps count from the first day.
            const bool onStep =
                step == 168 ? date.dayOfWeek() == 1 : (day - firstDay) % dayStep == 0;
            const qint64 at = days.instantOfHour(day, 0);
            if (onStep && at >= from && at <= to) {
                ticks.push_back({at, date.toString(QStringLiteral("ddd d MMM"))});
            }
            continue;
        }
        for (int hour = 0; hour < 24; hour += step) {
            const qint64 at = days.instantOfHour(day, hour);
            if (at >= from && at <= to) {
                ticks.push_back(
                    {at, hour == 0 ? date.toString(QStringLiteral("d MMM"))
                                   : QStringLiteral("%1:00").arg(hour, 2, 10, QLatin1Char('0'))});
            }
        }
    }
    return ticks;
}

void paintTimeHistory(QPainter& p, const QRectF& area, double k, const stats::SurveyResult& result,
                      std::span<const stats::TimeRange> exclusions) {
    p.save();
    p.setFont(chartFont(7.5));
    const QFontMetricsF metrics(p.font(), p.device());
    const std::vector<stats::SurveyPeriod>& periods = result.periods.list;
    const std::optional<charts::LevelSpan> levels = charts::levelSpan(periods);
    if (!levels) {
        drawNothing(p, area, QStringLiteral("No period has records."));
        p.restore();
        return;
    }
    const QRectF plot = plotArea(area, k, metrics.height());
    const qint64 from = periods.front().start;
    const qint64 to = periods.back().end;
    const Scale x{static_cast<double>(from), static_cast<double>(to), plot.left(), plot.right()};
    const double bottom = levels->bottom;
    const double top = levels->top;
    const Scale y{bottom, top, plot.bottom(), plot.top()};

    drawLegend(p, area, k,
               {{kBarColor, QStringLiteral("Leq of each period")},
                {kL90Color, QStringLiteral("L90")},
                {kLmaxColor, QStringLiteral("Lmax")}},
               !exclusions.empty());
    drawLevelAxis(p, plot, y, top - bottom > 60 ? 20 : 10, k);
    p.drawText(QRectF(plot.left() - k * 28, plot.top() - metrics.height() - k * 2, k * 25,
                      metrics.height()),
               Qt::AlignRight, QStringLiteral("dB"));

    const std::vector<TimeTick> ticks = timeTicks(from, to, result.zone, 12);
    for (const TimeTick& tick : ticks) {
        const double at = x(static_cast<double>(tick.at));
        p.setPen(QPen(kGridColor, k * 0.4));
        p.drawLine(QPointF(at, plot.top()), QPointF(at, plot.bottom() + k * 3));
        p.setPen(Qt::black);
        p.drawText(QRectF(at - k * 40, plot.bottom() + k * 4, k * 80, metrics.height()),
                   Qt::AlignHCenter | Qt::AlignTop, tick.label);
    }
    const QString span = QStringLiteral("%1 to %2")
                             .arg(QDateTime::fromSecsSinceEpoch(from, result.zone)
                                      .toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                                  QDateTime::fromSecsSinceEpoch(to, result.zone)
                                      .toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    p.drawText(QRectF(plot.left(), plot.bottom() + k * 4 + metrics.height(), plot.width(),
                      metrics.height()),
               Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Local time, ") + span);

    p.setClipRect(plot);
    drawBars(p, periods, x, y, plot.bottom());
    for (const stats::TimeRange& range : exclusions) {
        const QRectF shade(QPointF(x(static_cast<double>(range.from)), plot.top()),
                           QPointF(x(static_cast<double>(range.to)), plot.bottom()));
        p.fillRect(shade, kExcludedColor);
        p.fillRect(shade, QBrush(QColor(80, 80, 80), Qt::BDiagPattern));
    }
    drawFigureLine(p, periods, &stats::SurveyPeriod::l90, x, y, QPen(kL90Color, k * 1.0));
    drawFigureLine(p, periods, &stats::SurveyPeriod::lmax, x, y, QPen(kLmaxColor, k * 0.7));
    p.setClipping(false);
    p.setPen(QPen(Qt::black, k * 0.6));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot);
    p.restore();
}

void paintHistogram(QPainter& p, const QRectF& area, double k, const stats::LnResult& ln) {
    p.save();
    p.setFont(chartFont(7.5));
    const QFontMetricsF metrics(p.font(), p.device());
    if (!ln.hasLevel || ln.recordCount == 0) {
        drawNothing(p, area, QStringLiteral("No record counts."));
        p.restore();
        return;
    }
    const QRectF plot = plotArea(area, k, metrics.height());
    const stats::Resolution resolution = ln.resolution;
    const double width = stats::classWidthDb(resolution);
    const double left = charts::classLevel(ln.classMin, resolution) - width * 5;
    const double right = charts::classLevel(ln.classMax, resolution) + width * 6;
    qint64 most = 0;
    for (int c = ln.classMin; c <= ln.classMax; ++c) {
        most = std::max(most, ln.counts[c]);
    }
    const double n = static_cast<double>(ln.recordCount);
    const double peak = 100.0 * static_cast<double>(most) / n;
    const double yStep = charts::niceStep(peak, 5, 0.01);
    const double top = std::ceil(peak / yStep) * yStep;
    const Scale x{left, right, plot.left(), plot.right()};
    const Scale y{0, top, plot.bottom(), plot.top()};

    drawLegend(p, area, k, {{kBarColor, QStringLiteral("share of the counted records per 0.1 dB")}},
               false);
    drawLevelAxis(p, plot, y, yStep, k);
    p.drawText(QRectF(plot.left() - k * 28, plot.top() - metrics.height() - k * 2, k * 25,
                      metrics.height()),
               Qt::AlignRight, QStringLiteral("%"));
    const double xStep = charts::niceStep(right - left, 10, 1.0);
    for (double level = std::ceil(left / xStep) * xStep; level <= right; level += xStep) {
        const double at = x(level);
        p.setPen(QPen(kGridColor, k * 0.4));
        p.drawLine(QPointF(at, plot.top()), QPointF(at, plot.bottom() + k * 3));
        p.setPen(Qt::black);
        p.drawText(QRectF(at - k * 20, plot.bottom() + k * 4, k * 40, metrics.height()),
                   Qt::AlignHCenter | Qt::AlignTop, QString::number(level, 'f', 0));
    }
    p.drawText(QRectF(plot.left(), plot.bottom() + k * 4 + metrics.height(), plot.width(),
                      metrics.height()),
               Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Level in dB"));
    p.setPen(Qt::NoPen);
    p.setBrush(kBarColor);
    for (int c = ln.classMin; c <= ln.classMax; ++c) {
        if (ln.counts[c] > 0) {
            const double level = charts::classLevel(c, resolution);
            p.drawRect(QRectF(QPointF(x(level), y(100.0 * static_cast<double>(ln.counts[c]) / n)),
                              QPointF(x(level + width), plot.bottom())));
        }
    }
    p.setPen(QPen(Qt::black, k * 0.6));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot);
    p.restore();
}

void paintWholeDbHistogram(QPainter& p, const QRectF& area, double k,
                           const std::map<int, qint64>& counts, const QString& what) {
    p.save();
    p.setFont(chartFont(7.5));
    const QFontMetricsF metrics(p.font(), p.device());
    if (counts.empty()) {
        drawNothing(p, area, QStringLiteral("No interval is used."));
        p.restore();
        return;
    }
    const QRectF plot = plotArea(area, k, metrics.height());
    const double left = counts.begin()->first - 2.5;
    const double right = counts.rbegin()->first + 2.5;
    qint64 most = 0;
    for (const auto& [level, count] : counts) {
        most = std::max(most, count);
    }
    const double yStep = std::max(1.0, charts::niceStep(static_cast<double>(most), 5, 1.0));
    const double top = std::ceil(static_cast<double>(most) / yStep) * yStep;
    const Scale x{left, right, plot.left(), plot.right()};
    const Scale y{0, top, plot.bottom(), plot.top()};
    drawLegend(p, area, k, {{kBarColor, what}}, false);
    drawLevelAxis(p, plot, y, yStep, k);
    const double xStep = charts::niceStep(right - left, 12, 1.0);
    for (double level = std::ceil(left / xStep) * xStep; level <= right; level += xStep) {
        const double at = x(level);
        p.setPen(QPen(kGridColor, k * 0.4));
        p.drawLine(QPointF(at, plot.bottom()), QPointF(at, plot.bottom() + k * 3));
        p.setPen(Qt::black);
        p.drawText(QRectF(at - k * 20, plot.bottom() + k * 4, k * 40, metrics.height()),
                   Qt::AlignHCenter | Qt::AlignTop, QString::number(level, 'f', 0));
    }
    p.drawText(QRectF(plot.left(), plot.bottom() + k * 4 + metrics.height(), plot.width(),
                      metrics.height()),
               Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Level in whole dB"));
    p.setPen(QPen(Qt::white, k * 0.5));
    p.setBrush(kBarColor);
    for (const auto& [level, count] : counts) {
        p.drawRect(QRectF(QPointF(x(level - 0.5), y(static_cast<double>(count))),
                          QPointF(x(level + 0.5), plot.bottom())));
    }
    p.setPen(QPen(Qt::black, k * 0.6));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot);
    p.restore();
}

}  // namespace lp::survey
