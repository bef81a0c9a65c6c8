// A chart view whose mouse dragging pans or zooms the chart as its track mode says.
#pragma once

#include <QChartView>
#include <QPoint>

#include "charts/track_modes.h"

class QRubberBand;

namespace lp::charts {

class TrackChartView : public QChartView {
    Q_OBJECT
public:
    explicit TrackChartView(QChart* chart, QWidget* parent = nullptr);

    void setTrackMode(TrackMode mode);
    [[nodiscard]] TrackMode trackMode() const { return mode_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The rubber band: the dragged span in viewport pixels, stretched over the whole plot area in
    // the direction the mode does not zoom.
    [[nodiscard]] QRect bandRect(QPoint to) const;
    [[nodiscard]] QRectF plotAreaInViewport() const;
    void zoomTo(QPoint to);
    void endDrag();

    TrackMode mode_ = TrackMode::None;
    bool dragging_ = false;
    QPoint origin_;
    QPoint last_;
    QRubberBand* band_ = nullptr;
};

}  // namespace lp::charts
