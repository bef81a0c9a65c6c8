// A widget's place in a layout, for a widget whose size never follows what it shows
// (the level's digits, the fixed-width readouts): the layout sizes the place and the
// widget is held at exactly that size. A label's new text then asks for no layout
// pass of the whole window, as it otherwise does even when nothing would move.
#pragma once

#include <QSize>
#include <Qt>

class QLayoutItem;
class QWidget;

namespace lp::panel {

// The place of `widget` (a child of the layout's widget), at least `minimum` and
// `widget`'s minimum size hint, growing in `grows`; the layout takes it over.
[[nodiscard]] QLayoutItem* fixedPlace(QWidget* widget, QSize minimum, Qt::Orientations grows = {});

}  // namespace lp::panel
