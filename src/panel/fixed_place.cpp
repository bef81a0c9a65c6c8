#include "panel/fixed_place.h"

#include <QLayoutItem>
#include <QWidget>

namespace lp::panel {
namespace {

// The hints are the widget's own, read when the layout asks; the widget's minimum
// and maximum size are the place's size, so a new text never invalidates the layout.
class FixedPlace final : public QLayoutItem {
public:
    FixedPlace(QWidget* widget, QSize minimum, Qt::Orientations grows)
        : widget_(widget), minimum_(minimum), grows_(grows) {}
    QSize sizeHint() const override { return widget_->sizeHint().expandedTo(minimumSize()); }
    QSize minimumSize() const override { return widget_->minimumSizeHint().expandedTo(minimum_); }
    QSize maximumSize() const override { return {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX}; }
    Qt::Orientations expandingDirections() const override { return grows_; }
    bool isEmpty() const override { return false; }
    QRect geometry() const override { return widget_->geometry(); }
    void setGeometry(const QRect& place) override {
        widget_->setFixedSize(place.size());
        widget_->move(place.topLeft());
    }
    QWidget* widget() const override { return widget_; }

private:
    QWidget* widget_;
    QSize minimum_;
    Qt::Orientations grows_;
};

}  // namespace

QLayoutItem* fixedPlace(QWidget* widget, QSize minimum, Qt::Orientations grows) {
    return new FixedPlace(widget, minimum, grows);
}

}  // namespace lp::panel
