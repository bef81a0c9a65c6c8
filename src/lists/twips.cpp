#include "lists/twips.h"

#include <QWidget>

namespace lp::lists {

TwipScale::TwipScale(const QWidget& widget)
    : dpiX_(widget.logicalDpiX()), dpiY_(widget.logicalDpiY()) {}

}  // namespace lp::lists
