// What the two line charts draw alike on their twips canvas: the chart units, the
// axes with their ticks and value labels, the grid, and the picture saved as a PNG.
#pragma once

#include <QColor>
#include <QStringList>
#include <functional>

#include "charts/chart_rules.h"

class QAction;
class QLineEdit;
class QToolBar;
class QWidget;

namespace lp::platform {
class Dialogs;
class TwipsCanvas;
}  // namespace lp::platform

namespace lp::charts {

// The 16-colour palette's light grey (7) and bright white (15), and the grey of a
// window's face.
inline const QColor kGridColor(192, 192, 192);
inline const QColor kBrightWhite(255, 255, 255);
inline const QColor kFaceColor(212, 208, 200);

// Sets the canvas to chart units (15 twips each, y down) and returns its frame.
PlotFrame useChartUnits(platform::TwipsCanvas& canvas);

// The value axis and the time axis (pen width 2), the 17 ticks (every other one
// longer) and the 9 value labels, each placed by the width and height of the label
// before it ("100" for the first).
void drawAxes(platform::TwipsCanvas& canvas, const PlotFrame& frame, const QStringList& labels);

// The horizontal grid across the plot: solid at half the height, dotted at the other
// eighths.
void drawGrid(platform::TwipsCanvas& canvas, const PlotFrame& frame);

// "Save image": asks for a file name and writes the chart as a PNG. False when
// cancelled or not written (the user is told why).
bool saveChartImage(QWidget* parent, const platform::TwipsCanvas& canvas,
                    platform::Dialogs& dialogs);

// The toolbar "Toolbar1" of both chart windows: "Limit", "Print" and "Save image",
// each action named by its caption, Print and Save image on the desktop's keys.
struct ChartToolbar {
    QToolBar* bar = nullptr;
    QAction* limit = nullptr;
    QAction* print = nullptr;
    QAction* saveImage = nullptr;
};
[[nodiscard]] ChartToolbar buildChartToolbar(QWidget* window);

// The body of both chart windows: the toolbar above a twips canvas that takes the rest,
// the canvas named and painted black on `back`; Close and Esc close the window.
struct ChartWindowParts {
    ChartToolbar toolbar;
    platform::TwipsCanvas* canvas = nullptr;
};
[[nodiscard]] ChartWindowParts buildChartWindow(QWidget* window, const QString& canvasName,
                                                const QString& canvasAccessibleName,
                                                const QColor& back);

// The filter of the "Save image" dialog.
inline const QString kPngFilter = QStringLiteral("PNG Images (*.png);;All Files (*)");

// Lets only digits, Backspace and Enter into `edit` (and "-" and "." with `signedDecimal`);
// Enter runs `onEnter`. Keys that type nothing (arrows, Delete) pass.
void filterKeys(QLineEdit* edit, bool signedDecimal, std::function<void()> onEnter);

}  // namespace lp::charts
