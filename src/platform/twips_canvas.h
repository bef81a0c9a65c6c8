// A window drawing surface that keeps what is drawn on it, addressed in twips
// (1/1440 inch at the screen's logical DPI) or in a user coordinate system set with
// scale(), like the drawing of the meter windows and charts. Shapes are drawn at
// once into a kept image; the widget shows that image.
#pragma once

#include <QColor>
#include <QLineF>
#include <QPixmap>
#include <QPointF>
#include <QWidget>
#include <vector>

namespace lp::platform {

class TwipsCanvas : public QWidget {
    Q_OBJECT
public:
    explicit TwipsCanvas(QWidget* parent = nullptr);

    // ---- Coordinates ----
    // User coordinates: x runs from `left` at the left edge to `right` at the right
    // edge, y from `top` at the top edge to `bottom` at the bottom edge (either may
    // run backwards, so y can point up).
    void scale(double left, double top, double right, double bottom);
    [[nodiscard]] double scaleWidth() const;   // right - left
    [[nodiscard]] double scaleHeight() const;  // bottom - top
    // The inner size in twips.
    [[nodiscard]] double widthTwips() const;
    [[nodiscard]] double heightTwips() const;
    // User coordinates to widget pixels and back.
    [[nodiscard]] QPointF toPixels(double x, double y) const;
    [[nodiscard]] QPointF toUser(const QPointF& pixels) const;

    // ---- Drawing state ----
    // Setting the back colour clears the drawing to it.
    void setBackColor(const QColor& c);
    void setForeColor(const QColor& c) { fore_ = c; }
    void setFillColor(const QColor& c) { fill_ = c; }
    // Pen width in pixels.
    void setDrawWidth(int px) { drawWidth_ = px < 1 ? 1 : px; }
    // Solid, dotted or dashed lines.
    void setDrawStyle(Qt::PenStyle style) { drawStyle_ = style; }

    // ---- Drawing (user coordinates; an invalid colour means the fore colour) ----
    // Clears to the back colour.
    void cls();
    void line(double x1, double y1, double x2, double y2, const QColor& color = {});
    // Many lines with one painter: a long curve in one pass.
    void lines(const std::vector<QLineF>& segments, const QColor& color = {});
    // A rectangle outline, or filled with `color` too.
    void box(double x1, double y1, double x2, double y2, const QColor& color = {},
             bool filled = false);
    // Circles and arcs take the radius in x units and stay round on screen. Angles
    // are in radians, anticlockwise from the positive x axis as the user sees it.
    void circle(double cx, double cy, double r, const QColor& color = {});
    void arc(double cx, double cy, double r, double start, double end, const QColor& color = {});
    // A pie slice with its two radii, outlined in `color` and filled with the fill colour.
    void sector(double cx, double cy, double r, double start, double end, const QColor& color = {});
    // Text with its top-left corner at (x, y).
    void text(double x, double y, const QString& text);
    // Size of a text in the canvas font, in user units (always positive).
    [[nodiscard]] double textWidth(const QString& text) const;
    [[nodiscard]] double textHeight(const QString& text = QStringLiteral("X")) const;

    // What has been drawn, at the widget's size.
    [[nodiscard]] QPixmap image() const { return image_; }

    [[nodiscard]] QSize sizeHint() const override { return {320, 240}; }

signals:
    // The drawing area changed size and was cleared: the owner draws again.
    void resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    [[nodiscard]] QColor colorOr(const QColor& c) const { return c.isValid() ? c : fore_; }
    [[nodiscard]] double pixelsPerUnitX() const;
    [[nodiscard]] double pixelsPerUnitY() const;
    void ensureImage();
    [[nodiscard]] QRectF circleRect(double cx, double cy, double r) const;
    // The angle on screen (degrees, anticlockwise) of a user angle in radians.
    [[nodiscard]] double screenDegrees(double radians) const;
    // Qt's span in degrees for the user's anticlockwise turn from start to end.
    [[nodiscard]] double screenSpan(double start, double end) const;

    QPixmap image_;
    bool twipsMode_ = true;
    double left_ = 0.0;
    double top_ = 0.0;
    double right_ = 0.0;
    double bottom_ = 0.0;
    QColor back_ = Qt::white;
    QColor fore_ = Qt::black;
    QColor fill_ = Qt::white;
    int drawWidth_ = 1;
    Qt::PenStyle drawStyle_ = Qt::SolidLine;
};

}  // namespace lp::platform
