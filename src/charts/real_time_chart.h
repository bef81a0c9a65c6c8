// The real-time level chart "RealTimeSPL" (caption "Real Time Graph"): once a second
// the latest level joins the curve one step to the right; at the right edge the
// chart is cleared and the sweep starts again at the left. "Limit" opens PMessage
// to choose the value range (TxtMax, TxtMin) and the points a sweep holds
// (TxtCounts); "Save image" writes the chart as a PNG.
//
// The window owns no reading: it is told each decoded level (setLevel) and draws the
// latest one at each tick.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "charts/chart_canvas.h"
#include "charts/chart_rules.h"
#include "platform/clock.h"

class QAction;
class QFrame;
class QLineEdit;
class QPushButton;
class QToolBar;

namespace lp::platform {
class Dialogs;
class TwipsCanvas;
}  // namespace lp::platform

namespace lp::charts {

class RealTimeChart : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTickMs = 1000;
    static constexpr double kMinWidthTwips = 5355;
    static constexpr double kMinHeightTwips = 5865;

    // `level`: the latest level when the window opens.
    RealTimeChart(platform::Clock& clock, float level, platform::Dialogs& dialogs,
                  QWidget* parent = nullptr);
    ~RealTimeChart() override;

    // The latest level decoded, drawn at the next tick.
    void setLevel(float level) { level_ = level; }
    // One second: the next point of the sweep.
    void tick();
    // "Limit": the timer stops and PMessage shows the settings.
    void showLimits();
    // CmdOK: takes the settings, or says which one is out of bounds.
    void applyLimits();
    // "Save image".
    bool saveImage();

    [[nodiscard]] platform::TwipsCanvas* canvas() const { return canvas_; }
    [[nodiscard]] const Sweep& sweep() const { return sweep_; }
    [[nodiscard]] const PlotFrame& frame() const { return frame_; }
    [[nodiscard]] bool ticking() const { return timer_->isActive(); }
    // Points drawn since the window opened, and the level of the last one.
    [[nodiscard]] int pointCount() const { return points_; }
    [[nodiscard]] float lastLevel() const { return lastLevel_; }
    [[nodiscard]] const ChartToolbar& toolbar() const { return toolbar_; }

signals:
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void connectToolbar(const ChartToolbar& toolbar);
    void buildSettings();
    // Clears the chart and draws axes, labels and the white plot area; the sweep
    // starts again and the timer runs.
    void drawFrame();
    void paintFrame();
    void startSweep();
    void describe();

    platform::Clock& clock_;
    float level_ = 0.0f;
    platform::Dialogs& dialogs_;
    std::unique_ptr<platform::Timer> timer_;
    Sweep sweep_;
    PlotFrame frame_;
    int points_ = 0;
    float lastLevel_ = 0.0f;

    ChartToolbar toolbar_;
    platform::TwipsCanvas* canvas_ = nullptr;
    QFrame* limitsPanel_ = nullptr;
    QLineEdit* maxEdit_ = nullptr;
    QLineEdit* minEdit_ = nullptr;
    QLineEdit* countsEdit_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

}  // namespace lp::charts
