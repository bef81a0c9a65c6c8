// The Survey window's time history (Qt Charts): the Leq of each period as bars, its
// L90 and Lmax as lines (broken where a period has no records), and the excluded spans
// shaded, over local time. Dragging across the plot selects a span (spanSelected).
#pragma once

#include <QChartView>
#include <span>
#include <vector>

#include "stats/survey.h"

class QAreaSeries;
class QDateTimeAxis;
class QLineSeries;
class QRubberBand;
class QValueAxis;

namespace lp::survey {

class SurveyChart : public QChartView {
    Q_OBJECT
public:
    explicit SurveyChart(QWidget* parent = nullptr);

    void showSurvey(const stats::SurveyResult& result,
                    std::span<const stats::TimeRange> exclusions);

    // Where an instant stands on the viewport, and back (clamped to the shown span).
    [[nodiscard]] int viewportXOf(qint64 instant) const;
    [[nodiscard]] qint64 instantAt(int viewportX) const;
    [[nodiscard]] QLineSeries* leqOutline() const { return leqOutline_; }

signals:
    void spanSelected(const stats::TimeRange& span);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void clearExtras();
    QLineSeries* addLine(const QList<QPointF>& points, const QColor& color, const QString& name,
                         bool inLegend);
    [[nodiscard]] QRectF plotInViewport() const;

    QLineSeries* leqOutline_ = nullptr;
    QLineSeries* leqBase_ = nullptr;
    QAreaSeries* leqArea_ = nullptr;
    QDateTimeAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;
    std::vector<QAbstractSeries*> extras_;  // the figure lines and the shaded spans
    qint64 from_ = 0;
    qint64 to_ = 1;
    QRubberBand* band_ = nullptr;
    bool dragging_ = false;
    int origin_ = 0;
};

}  // namespace lp::survey
