// Keyboard shortcuts of the windows' commands: the desktop's standard keys, put on
// the command and named in its tool tip ("Print (Ctrl+P)"), so they can be found.
#pragma once

#include <QKeySequence>
#include <QList>

class QAbstractButton;
class QAction;
class QMenuBar;
class QWidget;

namespace lp::platform {

// The keys of a standard command on this desktop; where the desktop has none for Quit
// (as the offscreen platform), Ctrl+Q.
[[nodiscard]] QList<QKeySequence> standardKeys(QKeySequence::StandardKey key);

// The keys that close a window: the desktop's Close and Esc.
[[nodiscard]] QList<QKeySequence> closeKeys();

// Puts `keys` on `action` (active in the window it is shown in) and names them in its
// tool tip.
void setKeys(QAction* action, const QList<QKeySequence>& keys);
inline void setKeys(QAction* action, QKeySequence::StandardKey key) {
    setKeys(action, standardKeys(key));
}

// A command of `window` on `keys` that clicks `button` (when it is enabled), named
// after the button with "Keys" after it; the button's tool tip names the keys.
QAction* addButtonKeys(QWidget* window, QAbstractButton* button, const QList<QKeySequence>& keys);

// A command of `window` on `keys` that closes it, named "CloseKeys".
QAction* addCloseKeys(QWidget* window, const QList<QKeySequence>& keys = closeKeys());

// The keys as the tool tips name them: "Ctrl+W, Esc".
[[nodiscard]] QString keysText(const QList<QKeySequence>& keys);

// Lets `bar` show the tool tip of the command under the mouse, as a toolbar does (a
// menu bar shows none by itself), so its commands' keys can be read there too.
void showCommandTips(QMenuBar* bar);

}  // namespace lp::platform
