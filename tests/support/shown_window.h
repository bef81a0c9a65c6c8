// The window a command opened, found as the user sees it: a top-level window shown.
#pragma once

#include <QApplication>
#include <QWidget>

namespace lp::test {

// The first top-level window of type T that is visible; null when there is none.
template <typename T>
T* shownWindow() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* t = qobject_cast<T*>(w); t && t->isVisible()) {
            return t;
        }
    }
    return nullptr;
}

}  // namespace lp::test
