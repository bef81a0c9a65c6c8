// Drawing the survey's time history with Qt Charts and selecting spans on it.
#include "survey/survey_chart.h"

#include <QAreaSeries>
#include <QChart>
#include <QDateTimeAxis>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QRubberBand>
#include <QValueAxis>
#include <algorithm>
#include <array>
#include <cmath>

#include "charts/time_history_shape.h"
#include "platform/accessible_value.h"
#include "stats/figure_text.h"

namespace lp::survey {
namespace {

const QColor kLeqColor(122, 163, 212);
const QColor kL90Color(20, 120, 60);
const QColor kLmaxColor(200, 40, 40);
const QColor kExcludedColor(110, 110, 110, 70);
constexpr int kLeastDrag = 4;  // pixels
constexpr qint64 kMostTimeTicks = 10;

// Ticks on whole steps of time: the count that cuts the span into the smallest of these
// steps giving at most kMostTimeTicks pieces (the span begins on a period's start).
int timeTickCount(qint64 span) {
    static constexpr std::array<qint64, 14> kSteps = {
        60, 300, 600, 900, 1800, 3600, 7200, 10800, 14400, 21600, 43200, 86400, 172800, 604800};
    for (const qint64 step : kSteps) {
        if (span % step == 0 && span / step <= kMostTimeTicks) {
            return static_cast<int>(span / step) + 1;
        }
    }
    return 6;
}

double msecs(qint64 instant) {
    return static_cast<double>(instant) * 1000.0;
}

// A run of a figure's line in the chart's units (milliseconds on the time axis).
QList<QPointF> inMsecs(QList<QPointF> run) {
    for (QPointF& point : run) {
        point.setX(point.x() * 1000.0);
    }
    return run;
}

}  // namespace

// The chart goes in through the constructor: setChart() would leave the view's default
// chart to nobody.
SurveyChart::SurveyChart(QWidget* parent) : QChartView(new QChart, parent) {
    setObjectName(QStringLiteral("surveyChart"));
    setAccessibleName(QStringLiteral("Time history"));
    setToolTip(QStringLiteral("Drag across the chart to exclude a span"));
    setRenderHint(QPainter::Antialiasing, false);
    setMinimumSize(480, 260);
    QChart* chart = this->chart();
    chart->setMargins(QMargins(4, 4, 8, 4));
    chart->legend()->setAlignment(Qt::AlignTop);
    leqOutline_ = new QLineSeries(chart);
    leqBase_ = new QLineSeries(chart);
    leqArea_ = new QAreaSeries(leqOutline_, leqBase_);
    leqArea_->setName(QStringLiteral("Leq of each period"));
    leqArea_->setColor(kLeqColor);
    leqArea_->setBorderColor(kLeqColor.darker(130));
    chart->addSeries(leqArea_);
    axisX_ = new QDateTimeAxis(chart);
    axisX_->setTitleText(QStringLiteral("Local time"));
    axisY_ = new QValueAxis(chart);
    axisY_->setTitleText(QStringLiteral("dB"));
    axisY_->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(axisX_, Qt::AlignBottom);
    chart->addAxis(axisY_, Qt::AlignLeft);
    leqArea_->attachAxis(axisX_);
    leqArea_->attachAxis(axisY_);
    band_ = new QRubberBand(QRubberBand::Rectangle, viewport());
    band_->hide();
}

void SurveyChart::clearExtras() {
    for (QAbstractSeries* series : extras_) {
        chart()->removeSeries(series);
        delete series;
    }
    extras_.clear();
}

QLineSeries* SurveyChart::addLine(const QList<QPointF>& points, const QColor& color,
                                  const QString& name, bool inLegend) {
    auto* series = new QLineSeries;
    series->setName(name);
    series->setPen(QPen(color, 1.5));
    series->replace(points);
    chart()->addSeries(series);
    series->attachAxis(axisX_);
    series->attachAxis(axisY_);
    for (QLegendMarker* marker : chart()->legend()->markers(series)) {
        marker->setVisible(inLegend);
    }
    extras_.push_back(series);
    return series;
}

void SurveyChart::showSurvey(const stats::SurveyResult& result,
                             std::span<const stats::TimeRange> exclusions) {
    clearExtras();
    const std::vector<stats::SurveyPeriod>& periods = result.periods.list;
    const std::optional<charts::LevelSpan> levels = charts::levelSpan(periods);
    if (!levels) {
        leqOutline_->clear();
        leqBase_->clear();
        platform::setAccessibleValue(this, QStringLiteral("No period has records"));
        return;
    }
    from_ = periods.front().start;
    to_ = periods.back().end;
    const double bottom = levels->bottom;
    const double top = levels->top;
    axisY_->setRange(bottom, top);
    axisY_->setTickCount(static_cast<int>((top - bottom) / (top - bottom > 100 ? 20 : 10)) + 1);
    axisX_->setRange(QDateTime::fromSecsSinceEpoch(from_, result.zone),
                     QDateTime::fromSecsSinceEpoch(to_, result.zone));
    axisX_->setTickCount(timeTickCount(to_ - from_));
    axisX_->setFormat(to_ - from_ > 3 * 86400 ? QStringLiteral("ddd d MMM")
                                              : QStringLiteral("d MMM HH:mm"));

    // The bars' outline steps from one Leq to the next and down to the base where a
    // period has none.
    QList<QPointF> outline;
    outline.reserve(static_cast<qsizetype>(periods.size()) * 2 + 2);
    outline.append({msecs(from_), bottom});
    for (const stats::SurveyPeriod& period : periods) {
        const double level = period.leq.value_or(bottom);
        outline.append({msecs(period.start), level});
        outline.append({msecs(period.end), level});
    }
    outline.append({msecs(to_), bottom});
    leqOutline_->replace(outline);
    leqBase_->replace({QPointF(msecs(from_), bottom), QPointF(msecs(to_), bottom)});

    for (const stats::TimeRange& range : exclusions) {
        const double left = msecs(std::max(range.from, from_));
        const double right = msecs(std::min(range.to, to_));
        if (right <= left) {
            continue;
        }
        auto* upper = new QLineSeries;
        upper->replace({QPointF(left, top), QPointF(right, top)});
        auto* lower = new QLineSeries;
        lower->replace({QPointF(left, bottom), QPointF(right, bottom)});
        auto* shade = new QAreaSeries(upper, lower);
        upper->setParent(shade);
        lower->setParent(shade);
        shade->setName(QStringLiteral("excluded"));
        shade->setColor(kExcludedColor);
        shade->setBorderColor(kExcludedColor);
        chart()->addSeries(shade);
        shade->attachAxis(axisX_);
        shade->attachAxis(axisY_);
        for (QLegendMarker* marker : chart()->legend()->markers(shade)) {
            marker->setVisible(&range == exclusions.data());
        }
        extras_.push_back(shade);
    }
    bool first = true;
    for (const QList<QPointF>& run : charts::figureRuns(periods, &stats::SurveyPeriod::l90)) {
        addLine(inMsecs(run), kL90Color, QStringLiteral("L90"), std::exchange(first, false));
    }
    first = true;
    for (const QList<QPointF>& run : charts::figureRuns(periods, &stats::SurveyPeriod::lmax)) {
        addLine(inMsecs(run), kLmaxColor, QStringLiteral("Lmax"), std::exchange(first, false));
    }

    const auto loudest = std::max_element(
        periods.begin(), periods.end(),
        [](const auto& a, const auto& b) { return a.leq.value_or(-1e9) < b.leq.value_or(-1e9); });
    platform::setAccessibleValue(this,
                                 QStringLiteral("%1 periods; the loudest from %2, Leq %3")
                                     .arg(periods.size())
                                     .arg(QDateTime::fromSecsSinceEpoch(loudest->start, result.zone)
                                              .toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                                          stats::decibelsText(loudest->leq)));
}

QRectF SurveyChart::plotInViewport() const {
    const QRectF area = chart()->plotArea();
    return QRectF(mapFromScene(area.topLeft()), mapFromScene(area.bottomRight()));
}

int SurveyChart::viewportXOf(qint64 instant) const {
    const QPointF scene = chart()->mapToPosition(QPointF(msecs(instant), axisY_->min()), leqArea_);
    return mapFromScene(scene).x();
}

qint64 SurveyChart::instantAt(int viewportX) const {
    const QPointF value = chart()->mapToValue(mapToScene(QPoint(viewportX, 0)), leqArea_);
    const qint64 instant = std::llround(value.x() / 1000.0);
    return std::clamp(instant, from_, to_);
}

void SurveyChart::mousePressEvent(QMouseEvent* event) {
    const QRectF plot = plotInViewport();
    if (event->button() == Qt::LeftButton && plot.contains(event->position()) &&
        !leqOutline_->points().isEmpty()) {
        dragging_ = true;
        origin_ = event->position().toPoint().x();
        band_->setGeometry(QRect(origin_, int(plot.top()), 1, int(plot.height())));
        band_->show();
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void SurveyChart::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) {
        const QRectF plot = plotInViewport();
        const int x =
            std::clamp(event->position().toPoint().x(), int(plot.left()), int(plot.right()));
        band_->setGeometry(QRect(std::min(origin_, x), int(plot.top()), std::abs(x - origin_) + 1,
                                 int(plot.height())));
        event->accept();
        return;
    }
    QChartView::mouseMoveEvent(event);
}

void SurveyChart::mouseReleaseEvent(QMouseEvent* event) {
    if (dragging_ && event->button() == Qt::LeftButton) {
        dragging_ = false;
        band_->hide();
        const int x = event->position().toPoint().x();
        if (std::abs(x - origin_) >= kLeastDrag) {
            const qint64 a = instantAt(origin_);
            const qint64 b = instantAt(x);
            if (a != b) {
                emit spanSelected({std::min(a, b), std::max(a, b)});
            }
        }
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

}  // namespace lp::survey
