// Typing keys into a window as the user would: shown, active, then the key press,
// which goes through the application's shortcuts.
#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QKeySequence>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace lp::test {

// How often the command `name` of `window` (an action or a button) ran when `keys`
// were typed into the window; -1 when there is no such command or the window could
// not be made active.
inline int runsOnKeys(QWidget& window, const QString& name, const QKeySequence& keys) {
    std::unique_ptr<QSignalSpy> ran;
    if (auto* action = window.findChild<QAction*>(name)) {
        ran = std::make_unique<QSignalSpy>(action, &QAction::triggered);
    } else if (auto* button = window.findChild<QAbstractButton*>(name)) {
        ran = std::make_unique<QSignalSpy>(button, &QAbstractButton::clicked);
    } else {
        return -1;
    }
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) {
        return -1;
    }
    QTest::keySequence(&window, keys);
    return static_cast<int>(ran->count());
}

// The rows of a shortcut table: the keys typed and the command they run.
inline void keyRows(const QList<std::pair<const char*, const char*>>& rows) {
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("command");
    for (const auto& [keys, command] : rows) {
        QTest::newRow(keys) << QKeySequence::fromString(QString::fromLatin1(keys))
                            << QString::fromLatin1(command);
    }
}

}  // namespace lp::test
