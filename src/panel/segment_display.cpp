#include "panel/segment_display.h"

#include <QEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>
#include <QtMath>
#include <array>
#include <vector>

namespace lp::panel {
namespace {

// Segments a..g as bits 0..6: a top, b upper right, c lower right, d bottom,
// e lower left, f upper left, g middle.
quint8 segmentsOf(QChar c) {
    switch (c.unicode()) {
        case '0':
            return 0x3F;
        case '1':
            return 0x06;
        case '2':
            return 0x5B;
        case '3':
            return 0x4F;
        case '4':
            return 0x66;
        case '5':
            return 0x6D;
        case '6':
            return 0x7D;
        case '7':
            return 0x07;
        case '8':
            return 0x7F;
        case '9':
            return 0x6F;
        case '-':
            return 0x40;
        case 'E':
            return 0x79;
        case 'r':
            return 0x50;
        case 'o':
            return 0x5C;
        default:
            return 0x00;
    }
}

struct Cell {
    quint8 segments = 0;
    bool point = false;
};

// The text as digit cells, a point belonging to the cell before it.
std::vector<Cell> cellsOf(const QString& text) {
    std::vector<Cell> cells;
    for (const QChar c : text) {
        if (c == u'.' || c == u',') {
            if (cells.empty() || cells.back().point) {
                cells.push_back({});
            }
            cells.back().point = true;
        } else {
            cells.push_back({segmentsOf(c), false});
        }
    }
    return cells;
}

QPolygonF horizontal(double x1, double x2, double y, double t) {
    const double h = t / 2;
    return QPolygonF(
        {{x1, y}, {x1 + h, y - h}, {x2 - h, y - h}, {x2, y}, {x2 - h, y + h}, {x1 + h, y + h}});
}

QPolygonF vertical(double x, double y1, double y2, double t) {
    const double h = t / 2;
    return QPolygonF(
        {{x, y1}, {x + h, y1 + h}, {x + h, y2 - h}, {x, y2}, {x - h, y2 - h}, {x - h, y1 + h}});
}

// The seven segment shapes of a digit in the box (0,0)-(w,h), thickness t.
std::array<QPolygonF, 7> segmentShapes(double w, double h, double t) {
    const double gap = t * 0.12;
    const double left = t / 2;
    const double right = w - t / 2;
    const double top = t / 2;
    const double mid = h / 2;
    const double bottom = h - t / 2;
    return {
        horizontal(left + gap, right - gap, top, t), vertical(right, top + gap, mid - gap, t),
        vertical(right, mid + gap, bottom - gap, t), horizontal(left + gap, right - gap, bottom, t),
        vertical(left, mid + gap, bottom - gap, t),  vertical(left, top + gap, mid - gap, t),
        horizontal(left + gap, right - gap, mid, t),
    };
}

}  // namespace

SegmentDisplay::SegmentDisplay(QWidget* parent) : QLabel(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
}

void SegmentDisplay::setColors(const QColor& lit, const QColor& unlit) {
    lit_ = lit;
    unlit_ = unlit;
    glyphs_.clear();
    update();
}

QSize SegmentDisplay::sizeHint() const {
    return {kDigitPlaces * 62 + 20, 110};
}

QSize SegmentDisplay::minimumSizeHint() const {
    return {kDigitPlaces * 24 + 8, 44};
}

void SegmentDisplay::setBackdrop(const QWidget* frame, const QColor& top, const QColor& bottom,
                                 int border) {
    backdrop_ = frame;
    backdropTop_ = top;
    backdropBottom_ = bottom;
    backdropBorder_ = border;
    backdropPicture_ = QPixmap();
    keepOpaque();
    update();
}

void SegmentDisplay::keepOpaque() {
    setAttribute(Qt::WA_OpaquePaintEvent, backdrop_ != nullptr);
}

bool SegmentDisplay::event(QEvent* event) {
    const bool done = QLabel::event(event);
    // A style sheet that gives labels a transparent background clears the opaque
    // attribute when it polishes the display; with a backdrop it paints every pixel
    // itself, and a new level must not repaint the frames beneath it.
    if (event->type() == QEvent::Polish || event->type() == QEvent::StyleChange) {
        keepOpaque();
    }
    return done;
}

// The frame's gradient where the display sits, drawn again only when the display's
// size or place in the frame changed.
const QPixmap& SegmentDisplay::backdropPicture() {
    const QRect inside = backdrop_->rect().adjusted(0, backdropBorder_, 0, -backdropBorder_);
    const int top =
        backdrop_->mapTo(window(), inside.topLeft()).y() - mapTo(window(), QPoint(0, 0)).y();
    const QRect span(0, top, width(), inside.height());
    const qreal dpr = devicePixelRatioF();
    if (span == backdropSpan_ && backdropPicture_.deviceIndependentSize() == QSizeF(size()) &&
        backdropPicture_.devicePixelRatio() == dpr) {
        return backdropPicture_;
    }
    backdropSpan_ = span;
    backdropPicture_ = QPixmap(size() * dpr);
    backdropPicture_.setDevicePixelRatio(dpr);
    QPainter p(&backdropPicture_);
    QLinearGradient gradient(0, top, 0, top + inside.height());
    gradient.setColorAt(0, backdropTop_);
    gradient.setColorAt(1, backdropBottom_);
    p.fillRect(rect(), gradient);
    return backdropPicture_;
}

void SegmentDisplay::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (backdrop_) {
        p.drawPixmap(0, 0, backdropPicture());
    }
    if (!isEnabled()) {
        p.setOpacity(kDimmedOpacity);
    }
    std::vector<Cell> cells = cellsOf(text());
    const int count = std::max<int>(kDigitPlaces, static_cast<int>(cells.size()));
    cells.insert(cells.begin(), static_cast<size_t>(count) - cells.size(), Cell{});

    // A digit is 0.55 of its height wide; the pitch leaves room for the point.
    const double h = std::min(height() * 0.86, (width() - 8.0) / (count * 0.78));
    const double w = h * 0.55;
    const double pitch = h * 0.78;
    const double x0 = width() - 4.0 - count * pitch + (pitch - w) * 0.5;
    const double y0 = (height() - h) / 2;
    const qreal dpr = devicePixelRatioF();
    if (glyphHeight_ != h || glyphRatio_ != dpr) {
        glyphs_.clear();
        glyphHeight_ = h;
        glyphRatio_ = dpr;
    }
    for (int i = 0; i < count; ++i) {
        p.drawPixmap(
            QPointF(x0 + i * pitch - kGlyphMargin, y0 - kGlyphMargin),
            glyph(cells[static_cast<size_t>(i)].segments, cells[static_cast<size_t>(i)].point));
    }
}

// One digit place as drawn: lit and unlit segments and the point, slanted like LCD
// digits. The few shapes a level uses are drawn once and then only copied.
const QPixmap& SegmentDisplay::glyph(quint8 segments, bool point) const {
    const int key = segments | (point ? 0x100 : 0);
    if (const auto found = glyphs_.constFind(key); found != glyphs_.constEnd()) {
        return *found;
    }
    const double h = glyphHeight_;
    const double w = h * 0.55;
    const double pitch = h * 0.78;
    const double t = h * 0.13;
    QPixmap image(QSize(qCeil((pitch + 0.08 * h + 2 * kGlyphMargin) * glyphRatio_),
                        qCeil((h + 2 * kGlyphMargin) * glyphRatio_)));
    image.setDevicePixelRatio(glyphRatio_);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.translate(kGlyphMargin, kGlyphMargin);
    p.shear(-0.08, 0.0);  // the slight slant of LCD digits
    p.translate(0.08 * h, 0.0);
    const auto shapes = segmentShapes(w, h, t);
    for (int s = 0; s < 7; ++s) {
        p.setBrush((segments >> s) & 1 ? lit_ : unlit_);
        p.drawPolygon(shapes[static_cast<size_t>(s)]);
    }
    p.setBrush(point ? lit_ : unlit_);
    const double dot = t * 1.05;
    p.drawEllipse(QRectF(w + (pitch - w - dot) / 2 - t * 0.2, h - dot, dot, dot));
    p.end();
    return *glyphs_.insert(key, image);
}

}  // namespace lp::panel
