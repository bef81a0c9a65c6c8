// The Histogram window: the level distribution of a list of records as bars
// (graph CWG), the table of percentile levels (GridLn) with the level figures
// under it, and the track modes that pan and zoom the graph.
#pragma once

#include <QWidget>

#include "charts/track_modes.h"
#include "stats/ln_result.h"

class QAction;
class QAreaSeries;
class QChart;
class QComboBox;
class QFrame;
class QLineSeries;
class QPlainTextEdit;
class QToolBar;
class QValueAxis;

namespace lp::platform {
class Dialogs;
}

namespace lp::charts {

class LevelFiguresPanel;
class LnTable;
class TrackChartView;

class Histogram : public QWidget {
    Q_OBJECT
public:
    explicit Histogram(platform::Dialogs& dialogs, QWidget* parent = nullptr);

    // Makes a histogram window for the result, places it at the screen's top-left
    // corner and shows it, its caption naming the records' file ("Histogram: a.sdm";
    // "Histogram" alone without a name). Returns nullptr, and shows nothing, when the
    // result has no level (the caller says so to the user). The caller closes the
    // previous window; the window deletes itself when closed.
    static Histogram* showFor(const stats::LnResult& result, platform::Dialogs& dialogs,
                              const QString& fileName = {}, QWidget* parent = nullptr);

    // Draws the counts, fills the Ln table and the figures, and sets the view's
    // bounds. The result must have a level.
    void setResult(const stats::LnResult& result);

    // A choice in Combo1 (its index; anything outside the list is refused).
    void chooseMode(int index);
    // The "Limit" button: shows or hides the mode chooser.
    void toggleModeChooser();
    // The "Print" button: hides the mode chooser and prints the window's picture
    // without its toolbar.
    void print();
    // The view the result was given: its class range and 0 .. countMax(), no dragging.
    void resetView();

    // The bounds of the view the result was given: the lowest and highest class with
    // records (class units: tenths of dB at 0.1 dB) and the top of the count axis.
    [[nodiscard]] int classMin() const { return classMin_; }
    [[nodiscard]] int classMax() const { return classMax_; }
    [[nodiscard]] double countMax() const { return countMax_; }

    [[nodiscard]] TrackMode trackMode() const;
    [[nodiscard]] QChart* chart() const;
    [[nodiscard]] QValueAxis* levelAxis() const { return axisX_; }
    [[nodiscard]] QValueAxis* countAxis() const { return axisY_; }

private:
    void buildChart();
    void buildModeChooser();
    void updateTicks();

    platform::Dialogs& dialogs_;

    stats::Resolution resolution_ = stats::Resolution::TenthDb;
    int classMin_ = 0;
    int classMax_ = 0;
    double countMax_ = 0.0;

    QToolBar* toolbar_ = nullptr;
    QAction* limit_ = nullptr;
    QAction* print_ = nullptr;
    QFrame* picture_ = nullptr;
    QComboBox* combo_ = nullptr;
    QPlainTextEdit* description_ = nullptr;
    TrackChartView* view_ = nullptr;
    QLineSeries* bars_ = nullptr;
    QLineSeries* baseLine_ = nullptr;
    QAreaSeries* area_ = nullptr;
    QValueAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;
    LnTable* table_ = nullptr;
    LevelFiguresPanel* figures_ = nullptr;
};

}  // namespace lp::charts
