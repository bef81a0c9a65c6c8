// Windows replaced while a dialog of their own is open. A dialog runs its own event
// loop, and whatever arrives meanwhile (a meter's reply) may replace the window the
// dialog belongs to; destroying that window would destroy the dialog under its own
// feet. Every dialog therefore marks its window while it runs (ModalScope), and a
// replaced window is retired: hidden at once, destroyed once no dialog of its own
// runs any more.
#pragma once

class QWidget;

namespace lp::platform {

// Marks the window of `parent` (if any) as running a dialog for the scope's lifetime.
class ModalScope {
public:
    explicit ModalScope(QWidget* parent);
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

private:
    QWidget* window_;
};

// Whether a dialog of `window`'s own runs now.
[[nodiscard]] bool runsADialog(const QWidget* window);

// Hides `window` and destroys it when control is back in the event loop, or, while a
// dialog of its own runs, once the last such dialog has closed. Null does nothing.
void retireWindow(QWidget* window);

}  // namespace lp::platform
