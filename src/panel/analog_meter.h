// The analog meter window: the live level as a needle on a semicircular dial whose
// scale runs over the range the live cycle holds for the dial. The dial is drawn
// whenever the window is shown or resized; the panel moves the needle once per sample.
#pragma once

#include <QStringList>
#include <QWidget>

#include "link/reading.h"
#include "live/live_cycle.h"

class QLabel;

namespace lp::platform {
class TwipsCanvas;
}

namespace lp::panel {

class AnalogMeter : public QWidget {
    Q_OBJECT
public:
    explicit AnalogMeter(const live::LiveCycle& cycle, QWidget* parent = nullptr);

    // Erases the last needle and draws it for the reading's level (not while minimized).
    void drawNeedle(const link::Reading& reading);

    [[nodiscard]] platform::TwipsCanvas* canvas() const { return canvas_; }
    // The dial radius in window units of the last dial drawing (AnalogRadius).
    [[nodiscard]] double radius() const { return radius_; }
    // The scale numbers of the last dial drawing, middle, quarters, high, low.
    [[nodiscard]] QStringList scaleTexts() const { return scaleTexts_; }
    // The angle (degrees) of the needle on the dial now; NaN when none is drawn.
    [[nodiscard]] float needleAngle() const { return needleAngle_; }
    // How many times the dial has been drawn.
    [[nodiscard]] int dialDrawings() const { return dialDrawings_; }

signals:
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void drawDial();
    void placeLabels();

    const live::LiveCycle& cycle_;
    platform::TwipsCanvas* canvas_;
    QLabel* leftUnitLabel_;
    QLabel* rightUnitLabel_;
    double radius_ = 0.0;
    QStringList scaleTexts_;
    float needleAngle_;
    int dialDrawings_ = 0;
};

}  // namespace lp::panel
