// A label drawn as the meter's seven-segment LCD digits. Its text stays the plain
// level text ("65.3"), so everything that reads the level reads the label's text.
#pragma once

#include <QColor>
#include <QLabel>

namespace lp::panel {

class SegmentDisplay : public QLabel {
    Q_OBJECT
public:
    explicit SegmentDisplay(QWidget* parent = nullptr);

    // Digit places shown (the text is right-aligned in them); more if a text needs it.
    void setDigitCount(int count);
    void setColors(const QColor& lit, const QColor& unlit);

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int digitCount_ = 4;
    QColor lit_{20, 28, 22};
    QColor unlit_{20, 28, 22, 22};
};

}  // namespace lp::panel
