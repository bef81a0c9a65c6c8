#include "platform/window_retirement.h"

#include <QPointer>
#include <QWidget>

namespace lp::platform {
namespace {

constexpr char kDialogDepth[] = "lpDialogDepth";
constexpr char kRetired[] = "lpRetired";

}  // namespace

ModalScope::ModalScope(QWidget* parent) : window_(parent ? parent->window() : nullptr) {
    if (window_) {
        window_->setProperty(kDialogDepth, window_->property(kDialogDepth).toInt() + 1);
    }
}

ModalScope::~ModalScope() {
    if (!window_) {
        return;
    }
    const int depth = window_->property(kDialogDepth).toInt() - 1;
    window_->setProperty(kDialogDepth, depth);
    if (depth == 0 && window_->property(kRetired).toBool()) {
        // Posted from the code that opened the dialog, so the window goes only after
        // that code has returned to the event loop.
        window_->deleteLater();
    }
}

bool runsADialog(const QWidget* window) {
    return window && window->property(kDialogDepth).toInt() > 0;
}

void retireWindow(QWidget* window) {
    if (!window || window->property(kRetired).toBool()) {
        return;
    }
    window->setProperty(kRetired, true);
    window->hide();
    if (!runsADialog(window)) {
        window->deleteLater();
    }
}

}  // namespace lp::platform
