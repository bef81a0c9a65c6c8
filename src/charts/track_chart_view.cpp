// Panning and rubber-band zooming of a chart by mouse drags.
#include "charts/track_chart_view.h"

#include <QMouseEvent>
#include <QRubberBand>
#include <algorithm>

namespace lp::charts {
namespace {

// A smaller drag is taken as a click and zooms nothing.
constexpr int kSmallestZoomDrag = 4;

}  // namespace

TrackChartView::TrackChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent) {
    setRubberBand(QChartView::NoRubberBand);
    band_ = new QRubberBand(QRubberBand::Rectangle, viewport());
    band_->hide();
}

void TrackChartView::setTrackMode(TrackMode mode) {
    endDrag();
    mode_ = mode;
    setCursor(mode == TrackMode::None        ? Qt::ArrowCursor
              : zoomsX(mode) || zoomsY(mode) ? Qt::CrossCursor
                                             : Qt::OpenHandCursor);
}

QRectF TrackChartView::plotAreaInViewport() const {
    const QRectF area = chart()->plotArea();
    const QPointF topLeft = mapFromScene(chart()->mapToScene(area.topLeft()));
    const QPointF bottomRight = mapFromScene(chart()->mapToScene(area.bottomRight()));
    return QRectF(topLeft, bottomRight).normalized();
}

QRect TrackChartView::bandRect(QPoint to) const {
    QRect rect = QRect(origin_, to).normalized();
    const QRect area = plotAreaInViewport().toAlignedRect();
    if (!zoomsY(mode_)) {
        rect.setTop(area.top());
        rect.setBottom(area.bottom());
    }
    if (!zoomsX(mode_)) {
        rect.setLeft(area.left());
        rect.setRight(area.right());
    }
    return rect.intersected(area);
}

void TrackChartView::mousePressEvent(QMouseEvent* event) {
    if (mode_ == TrackMode::None || event->button() != Qt::LeftButton ||
        !plotAreaInViewport().contains(event->position())) {
        QChartView::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    origin_ = event->position().toPoint();
    last_ = origin_;
    if (zoomsX(mode_) || zoomsY(mode_)) {
        band_->setGeometry(bandRect(origin_));
        band_->show();
    } else {
        setCursor(Qt::ClosedHandCursor);
    }
    event->accept();
}

void TrackChartView::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) {
        QChartView::mouseMoveEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    if (pansX(mode_) || pansY(mode_)) {
        const QPoint delta = at - last_;
        // The content follows the pointer: dragging right shows lower levels,
        // dragging down shows higher counts.
        chart()->scroll(pansX(mode_) ? -delta.x() : 0, pansY(mode_) ? delta.y() : 0);
    } else {
        band_->setGeometry(bandRect(at));
    }
    last_ = at;
    event->accept();
}

void TrackChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton) {
        QChartView::mouseReleaseEvent(event);
        return;
    }
    if (zoomsX(mode_) || zoomsY(mode_)) {
        zoomTo(event->position().toPoint());
    }
    endDrag();
    event->accept();
}

void TrackChartView::zoomTo(QPoint to) {
    const QRect dragged = QRect(origin_, to).normalized();
    if ((zoomsX(mode_) && dragged.width() < kSmallestZoomDrag) ||
        (zoomsY(mode_) && dragged.height() < kSmallestZoomDrag)) {
        return;
    }
    // In chart coordinates; the direction the mode does not zoom keeps the exact
    // plot area, so its axis keeps its range.
    const QRectF area = chart()->plotArea();
    const QPointF a = chart()->mapFromScene(mapToScene(origin_));
    const QPointF b = chart()->mapFromScene(mapToScene(to));
    QRectF target = area;
    if (zoomsX(mode_)) {
        target.setLeft(std::max(area.left(), std::min(a.x(), b.x())));
        target.setRight(std::min(area.right(), std::max(a.x(), b.x())));
    }
    if (zoomsY(mode_)) {
        target.setTop(std::max(area.top(), std::min(a.y(), b.y())));
        target.setBottom(std::min(area.bottom(), std::max(a.y(), b.y())));
    }
    if (target.width() > 0 && target.height() > 0) {
        chart()->zoomIn(target);
    }
}

void TrackChartView::endDrag() {
    dragging_ = false;
    band_->hide();
    if (mode_ == TrackMode::PanXY || mode_ == TrackMode::PanX || mode_ == TrackMode::PanY) {
        setCursor(Qt::OpenHandCursor);
    }
}

}  // namespace lp::charts
