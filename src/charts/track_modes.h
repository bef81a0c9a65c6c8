// How mouse dragging acts on a chart: the track modes the histogram offers, with the
// number stored for each and the hint shown when it is chosen.
#pragma once

#include <QList>
#include <QString>

namespace lp::charts {

// The stored numbers of the modes.
enum class TrackMode {
    None = 1,    // dragging does nothing
    PanXY = 3,   // drag to move the view in x and y
    PanX = 4,    // drag to move the view in x
    PanY = 5,    // drag to move the view in y
    ZoomXY = 6,  // drag a rectangle to zoom into
    ZoomX = 7,   // drag a horizontal span to zoom into
    ZoomY = 8,   // drag a vertical span to zoom into
};

struct TrackModeItem {
    QString name;     // shown in the chooser
    TrackMode mode;   // given to the chart
    QString hint;     // shown under the chooser; empty for "Reset", which keeps the hint
    bool resetsView;  // "Reset" brings back the view the chart was given
};

// The eight items of the chooser, in their order.
[[nodiscard]] const QList<TrackModeItem>& trackModeItems();

[[nodiscard]] constexpr bool pansX(TrackMode m) {
    return m == TrackMode::PanXY || m == TrackMode::PanX;
}
[[nodiscard]] constexpr bool pansY(TrackMode m) {
    return m == TrackMode::PanXY || m == TrackMode::PanY;
}
[[nodiscard]] constexpr bool zoomsX(TrackMode m) {
    return m == TrackMode::ZoomXY || m == TrackMode::ZoomX;
}
[[nodiscard]] constexpr bool zoomsY(TrackMode m) {
    return m == TrackMode::ZoomXY || m == TrackMode::ZoomY;
}

}  // namespace lp::charts
