#include "platform/twips_canvas.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <cmath>
#include <numbers>

#include "platform/twips.h"

namespace lp::platform {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

}  // namespace

TwipsCanvas::TwipsCanvas(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

// ---- Coordinates ----

void TwipsCanvas::scale(double left, double top, double right, double bottom) {
    twipsMode_ = false;
    left_ = left;
    top_ = top;
    right_ = right;
    bottom_ = bottom;
}

double TwipsCanvas::widthTwips() const {
    return pxToTwips(width());
}
double TwipsCanvas::heightTwips() const {
    return pxToTwips(height());
}

double TwipsCanvas::scaleWidth() const {
    return twipsMode_ ? widthTwips() : right_ - left_;
}
double TwipsCanvas::scaleHeight() const {
    return twipsMode_ ? heightTwips() : bottom_ - top_;
}

double TwipsCanvas::pixelsPerUnitX() const {
    const double w = scaleWidth();
    return w == 0.0 ? 0.0 : width() / w;
}

double TwipsCanvas::pixelsPerUnitY() const {
    const double h = scaleHeight();
    return h == 0.0 ? 0.0 : height() / h;
}

QPointF TwipsCanvas::toPixels(double x, double y) const {
    return {(x - left_) * pixelsPerUnitX(), (y - top_) * pixelsPerUnitY()};
}

QPointF TwipsCanvas::toUser(const QPointF& pixels) const {
    const double sx = pixelsPerUnitX();
    const double sy = pixelsPerUnitY();
    return {sx == 0.0 ? left_ : left_ + pixels.x() / sx, sy == 0.0 ? top_ : top_ + pixels.y() / sy};
}

// ---- Drawing state ----

void TwipsCanvas::setBackColor(const QColor& c) {
    back_ = c;
    cls();
}

void TwipsCanvas::ensureImage() {
    const qreal dpr = devicePixelRatioF();
    const QSize wanted = size() * dpr;
    if (image_.size() == wanted && image_.devicePixelRatio() == dpr) {
        return;
    }
    image_ = QPixmap(wanted.expandedTo(QSize(1, 1)));
    image_.setDevicePixelRatio(dpr);
    image_.fill(back_);
}

// ---- Drawing ----

namespace {

// A painter on the kept image, pen and smoothing set.
class CanvasPainter : public QPainter {
public:
    CanvasPainter(QPixmap& image, const QColor& color, int width,
                  Qt::PenStyle style = Qt::SolidLine)
        : QPainter(&image) {
        setRenderHint(QPainter::Antialiasing);
        setRenderHint(QPainter::TextAntialiasing);
        QPen pen(color, width, style);
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
        setPen(pen);
    }
};

}  // namespace

void TwipsCanvas::cls() {
    ensureImage();
    image_.fill(back_);
    update();
}

void TwipsCanvas::line(double x1, double y1, double x2, double y2, const QColor& color) {
    ensureImage();
    CanvasPainter p(image_, colorOr(color), drawWidth_, drawStyle_);
    p.drawLine(toPixels(x1, y1), toPixels(x2, y2));
    update();
}

void TwipsCanvas::lines(const std::vector<QLineF>& segments, const QColor& color) {
    if (segments.empty()) {
        return;
    }
    ensureImage();
    CanvasPainter p(image_, colorOr(color), drawWidth_, drawStyle_);
    std::vector<QLineF> onScreen;
    onScreen.reserve(segments.size());
    for (const QLineF& s : segments) {
        onScreen.emplace_back(toPixels(s.x1(), s.y1()), toPixels(s.x2(), s.y2()));
    }
    p.drawLines(onScreen.data(), static_cast<int>(onScreen.size()));
    update();
}

void TwipsCanvas::box(double x1, double y1, double x2, double y2, const QColor& color,
                      bool filled) {
    ensureImage();
    CanvasPainter p(image_, colorOr(color), drawWidth_);
    const QRectF r = QRectF(toPixels(x1, y1), toPixels(x2, y2)).normalized();
    if (filled) {
        p.fillRect(r, colorOr(color));
    } else {
        p.drawRect(r);
    }
    update();
}

QRectF TwipsCanvas::circleRect(double cx, double cy, double r) const {
    const double rp = std::abs(r * pixelsPerUnitX());
    const QPointF c = toPixels(cx, cy);
    return {c.x() - rp, c.y() - rp, 2 * rp, 2 * rp};
}

double TwipsCanvas::screenDegrees(double radians) const {
    // Qt counts anticlockwise on a screen whose y points down; follow the user axes.
    const double sx = pixelsPerUnitX() < 0 ? -1.0 : 1.0;
    const double sy = pixelsPerUnitY() < 0 ? -1.0 : 1.0;
    return std::atan2(-sy * std::sin(radians), sx * std::cos(radians)) * 180.0 / std::numbers::pi;
}

void TwipsCanvas::circle(double cx, double cy, double r, const QColor& color) {
    ensureImage();
    CanvasPainter p(image_, colorOr(color), drawWidth_);
    p.drawEllipse(circleRect(cx, cy, r));
    update();
}

double TwipsCanvas::screenSpan(double start, double end) const {
    // From start anticlockwise to end, in (0, 360] degrees as the user sees it.
    double span = std::fmod(end - start, kTwoPi);
    if (span <= 0.0) {
        span += kTwoPi;
    }
    span *= 180.0 / std::numbers::pi;
    // Qt turns anticlockwise on a y-down screen; with y pointing down in user units
    // too, the user's anticlockwise is Qt's clockwise.
    const bool sameTurn = (pixelsPerUnitX() < 0) != (pixelsPerUnitY() < 0);
    return sameTurn ? span : -span;
}

void TwipsCanvas::arc(double cx, double cy, double r, double start, double end,
                      const QColor& color) {
    ensureImage();
    CanvasPainter p(image_, colorOr(color), drawWidth_);
    const double a0 = screenDegrees(start);
    const double span = screenSpan(start, end);
    QPainterPath path;
    path.arcMoveTo(circleRect(cx, cy, r), a0);
    path.arcTo(circleRect(cx, cy, r), a0, span);
    p.drawPath(path);
    update();
}

void TwipsCanvas::sector(double cx, double cy, double r, double start, double end,
                         const QColor& color) {
    ensureImage();
    CanvasPainter p(image_, colorOr(color), drawWidth_);
    p.setBrush(fill_);
    const double a0 = screenDegrees(start);
    const double span = screenSpan(start, end);
    p.drawPie(circleRect(cx, cy, r), qRound(a0 * 16), qRound(span * 16));
    update();
}

double TwipsCanvas::textWidth(const QString& text) const {
    const double sx = std::abs(pixelsPerUnitX());
    return sx == 0.0 ? 0.0 : QFontMetricsF(font()).horizontalAdvance(text) / sx;
}

double TwipsCanvas::textHeight(const QString& text) const {
    (void)text;  // every line of the font has the same height
    const double sy = std::abs(pixelsPerUnitY());
    return sy == 0.0 ? 0.0 : QFontMetricsF(font()).height() / sy;
}

void TwipsCanvas::text(double x, double y, const QString& text) {
    ensureImage();
    CanvasPainter p(image_, fore_, drawWidth_);
    p.setFont(font());
    const QFontMetricsF fm(font());
    const QPointF topLeft = toPixels(x, y);
    p.drawText(QPointF(topLeft.x(), topLeft.y() + fm.ascent()), text);
    update();
}

// ---- Events ----

void TwipsCanvas::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (image_.isNull()) {
        p.fillRect(rect(), back_);
        return;
    }
    p.drawPixmap(0, 0, image_);
}

void TwipsCanvas::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ensureImage();
    emit resized();
}

}  // namespace lp::platform
