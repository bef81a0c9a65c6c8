// The hourglass pointer for the whole application while an object of this lives.
#pragma once

#include <QCursor>
#include <QGuiApplication>

namespace lp::platform {

class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace lp::platform
