// Keys on commands, and the tool tips that name them.
#include "platform/shortcuts.h"

#include <QAbstractButton>
#include <QAction>
#include <QHelpEvent>
#include <QMenuBar>
#include <QToolTip>

namespace lp::platform {
namespace {

QString withKeys(const QString& tip, const QList<QKeySequence>& keys) {
    return keys.isEmpty() ? tip : tip + QStringLiteral(" (") + keysText(keys) + u')';
}

// Shows the tool tip of the menu bar's command under the mouse.
class CommandTips : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ToolTip) {
            return false;
        }
        auto* bar = static_cast<QMenuBar*>(watched);
        const auto* help = static_cast<QHelpEvent*>(event);
        const QAction* action = bar->actionAt(help->pos());
        if (action == nullptr || action->toolTip() == action->text()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), action->toolTip(), bar,
                               bar->actionGeometry(const_cast<QAction*>(action)));
        }
        return true;
    }
};

}  // namespace

QList<QKeySequence> standardKeys(QKeySequence::StandardKey key) {
    QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    if (keys.isEmpty() && key == QKeySequence::Quit) {
        keys.append(QKeySequence(Qt::CTRL | Qt::Key_Q));
    }
    return keys;
}

QList<QKeySequence> closeKeys() {
    QList<QKeySequence> keys = standardKeys(QKeySequence::Close);
    keys.append(QKeySequence(Qt::Key_Escape));
    return keys;
}

QString keysText(const QList<QKeySequence>& keys) {
    QStringList texts;
    for (const QKeySequence& key : keys) {
        texts.append(key.toString(QKeySequence::NativeText));
    }
    return texts.join(QStringLiteral(", "));
}

void setKeys(QAction* action, const QList<QKeySequence>& keys) {
    const QString tip = action->toolTip();
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setToolTip(withKeys(tip, keys));
}

QAction* addButtonKeys(QWidget* window, QAbstractButton* button, const QList<QKeySequence>& keys) {
    auto* action = new QAction(window);
    action->setObjectName(button->objectName() + QStringLiteral("Keys"));
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    window->addAction(action);
    QObject::connect(action, &QAction::triggered, button, &QAbstractButton::click);
    const QString tip =
        button->toolTip().isEmpty() ? button->text().simplified().remove(u'&') : button->toolTip();
    button->setToolTip(withKeys(tip, keys));
    return action;
}

QAction* addCloseKeys(QWidget* window, const QList<QKeySequence>& keys) {
    auto* action = new QAction(QStringLiteral("Close"), window);
    action->setObjectName(QStringLiteral("CloseKeys"));
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    window->addAction(action);
    QObject::connect(action, &QAction::triggered, window, &QWidget::close);
    return action;
}

void showCommandTips(QMenuBar* bar) {
    bar->installEventFilter(new CommandTips(bar));
}

}  // namespace lp::platform
