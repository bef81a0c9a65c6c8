// A place on the LCD for one indicator. The indicator itself is a label that is
// shown while it is lit and hidden otherwise; the place shows its faint outline
// while it is off, like the unlit segments of a real display.
#pragma once

#include <QColor>
#include <QWidget>

class QLabel;

namespace lp::panel {

class IndicatorLamp : public QWidget {
    Q_OBJECT
public:
    // Takes `lamp` as its child; the lamp keeps its place while hidden.
    explicit IndicatorLamp(QLabel* lamp, QWidget* parent = nullptr);

    void setUnlitColor(const QColor& c);
    [[nodiscard]] QLabel* lamp() const { return lamp_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* lamp_;
    QColor unlit_{0, 0, 0, 28};
};

}  // namespace lp::panel
