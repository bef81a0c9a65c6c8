// A label drawn as the meter's seven-segment LCD digits. Its text stays the plain
// level text ("65.3"), so everything that reads the level reads the label's text.
// Disabled, its digits are dimmed (a level the meter no longer confirms).
#pragma once

#include <QColor>
#include <QHash>
#include <QLabel>
#include <QPixmap>

namespace lp::panel {

// The LCD's ink, lit and unlit.
inline const QColor kLcdInk(24, 32, 26);
inline const QColor kLcdGhost(24, 32, 26, 26);

class SegmentDisplay : public QLabel {
    Q_OBJECT
public:
    explicit SegmentDisplay(QWidget* parent = nullptr);

    void setColors(const QColor& lit, const QColor& unlit);
    // Paints the vertical gradient of `frame`'s background (top to bottom, inside a
    // border of `border` pixels) behind the digits itself. The display is then opaque:
    // a new level repaints the digits alone, not the frame beneath them five times a
    // second.
    void setBackdrop(const QWidget* frame, const QColor& top, const QColor& bottom, int border);

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    static constexpr double kGlyphMargin = 2.0;
    void keepOpaque();
    [[nodiscard]] const QPixmap& backdropPicture();
    static constexpr double kDimmedOpacity = 0.3;
    [[nodiscard]] const QPixmap& glyph(quint8 segments, bool point) const;

    static constexpr int kDigitPlaces = 4;  // the text is right-aligned in them
    QColor lit_{20, 28, 22};
    QColor unlit_{20, 28, 22, 22};
    const QWidget* backdrop_ = nullptr;
    QColor backdropTop_;
    QColor backdropBottom_;
    int backdropBorder_ = 0;
    // The gradient behind the digits as drawn last, for this size and place in the frame.
    QPixmap backdropPicture_;
    QRect backdropSpan_;                  // the frame's inside, in the display's coordinates
    mutable QHash<int, QPixmap> glyphs_;  // drawn digit places at glyphHeight_
    double glyphHeight_ = 0.0;
    qreal glyphRatio_ = 0.0;
};

}  // namespace lp::panel
