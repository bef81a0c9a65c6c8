// The record plot "ListPlot" (caption "Plot Data/File"): the levels of a range of
// records against their place in the list, with the time of chosen records under
// the time axis. The frame comes at once, the curve two seconds later; once a curve
// is there, a resize draws frame and curve at once. "Limit" opens PicRange to
// narrow the records (TxtR1 "From", TxtR2 "To") and the values (TxtT1 "Min", TxtT2
// "Max"); "Save image" writes the chart as a PNG; hovering the curve tells the
// record under the pointer.
//
// The plot keeps its own copy of the records and its own parameters. The curve is
// drawn in one pass, reduced to one span a pixel column; the live cycle is paused
// for that pass only, through the callbacks it is given.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "charts/chart_canvas.h"
#include "charts/chart_rules.h"
#include "platform/clock.h"
#include "platform/live_pause.h"
#include "records/record_store.h"

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

class RecordPlot : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCurveDelayMs = 2000;
    static constexpr double kMinWidthTwips = 6000;
    static constexpr double kMinHeightTwips = 5865;

    // `title` stands in the frame's title place (a file name, "Set 3").
    RecordPlot(records::RecordStore records, const QString& title, platform::Clock& clock,
               platform::Dialogs& dialogs, platform::LivePause livePause = {},
               QWidget* parent = nullptr);
    ~RecordPlot() override;

    // PlotRecords: the grid and the curve of the plotted range, in one pass.
    void drawCurve();
    // "Limit": PicRange with the current range.
    void showLimits();
    // CmdOK of PicRange.
    void applyLimits();
    bool saveImage();
    // The tool tip for a point of the canvas (pixels): the record whose point lies
    // there, or nothing.
    [[nodiscard]] QString toolTipAt(const QPoint& canvasPixel) const;

    [[nodiscard]] const PlotRange& range() const { return range_; }
    [[nodiscard]] const PlotFrame& frame() const { return frame_; }
    [[nodiscard]] double step() const { return step_; }
    [[nodiscard]] QString title() const { return title_; }
    [[nodiscard]] const records::RecordStore& records() const { return records_; }
    [[nodiscard]] platform::TwipsCanvas* canvas() const { return canvas_; }
    [[nodiscard]] bool curveDrawn() const { return curveDrawn_; }
    [[nodiscard]] bool curvePending() const { return timer_->isActive(); }
    [[nodiscard]] int curvePasses() const { return passes_; }
    // Where the k-th plotted record (from 1) stands, in chart units.
    [[nodiscard]] QPointF pointOf(qint64 k) const;
    [[nodiscard]] const ChartToolbar& toolbar() const { return toolbar_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void connectToolbar(const ChartToolbar& toolbar);
    void buildRange();
    // The frame; the curve follows now (once one was drawn) or after the delay.
    void redraw(bool curveAtOnce);
    void drawFrame();
    // The grid, the curve and the time labels, with the live cycle paused.
    void drawCurvePass();
    void describe();

    records::RecordStore records_;
    QString title_;
    platform::Dialogs& dialogs_;
    platform::LivePause livePause_;
    std::unique_ptr<platform::Timer> timer_;
    PlotRange range_;
    PlotFrame frame_;
    double step_ = 0.0;
    bool curveDrawn_ = false;
    int passes_ = 0;

    ChartToolbar toolbar_;
    platform::TwipsCanvas* canvas_ = nullptr;
    QFrame* rangePanel_ = nullptr;
    QLineEdit* fromRecordEdit_ = nullptr;
    QLineEdit* toRecordEdit_ = nullptr;
    QLineEdit* minValueEdit_ = nullptr;
    QLineEdit* maxValueEdit_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

}  // namespace lp::charts
