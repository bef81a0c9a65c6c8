#include "platform/window_memory.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QHeaderView>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>
#include <QWidget>

#include "platform/window_place.h"

namespace lp::platform {
namespace {

// The group of all windows in the settings file; a window's keys are under its name.
const QString kWindowsGroup = QStringLiteral("windows");
const QString kGeometry = QStringLiteral("geometry");
const QString kMaximized = QStringLiteral("maximized");
const QString kSplitters = QStringLiteral("splitters/");
const QString kColumns = QStringLiteral("columns/");
const QString kColumnCount = QStringLiteral("columnCount/");
const QString kTabs = QStringLiteral("tabs/");

// Marks a window shown while the settings were forgotten: it is not written when hidden.
constexpr char kForgotten[] = "lpSettingsForgotten";
// Marks a window given its remembered state (at its first show).
constexpr char kRestored[] = "lpWindowRestored";

QString group(const QString& key) {
    return kWindowsGroup + u'/' + key + u'/';
}

// The named children of type T that belong to `window` itself, not to a window inside it.
template <typename T>
QList<T*> partsOf(const QWidget& window) {
    QList<T*> parts;
    for (T* part : window.findChildren<T*>()) {
        if (!part->objectName().isEmpty() && part->window() == &window) {
            parts.append(part);
        }
    }
    return parts;
}

// The column headers of the window's tables and trees, by the view's name.
QList<std::pair<QString, QHeaderView*>> headersOf(const QWidget& window) {
    QList<std::pair<QString, QHeaderView*>> headers;
    for (QHeaderView* header : window.findChildren<QHeaderView*>()) {
        auto* view = qobject_cast<QAbstractItemView*>(header->parentWidget());
        if (header->orientation() == Qt::Horizontal && view && !view->objectName().isEmpty() &&
            view->window() == &window) {
            headers.append({view->objectName(), header});
        }
    }
    return headers;
}

bool remembered(const QObject* watched) {
    const auto* w = qobject_cast<const QWidget*>(watched);
    return w && w->isWindow() && w->windowType() == Qt::Window && !w->objectName().isEmpty() &&
           !qobject_cast<const QDialog*>(w);
}

}  // namespace

void saveWindow(const QWidget& window, QSettings& settings, const QString& key) {
    const QString at = group(key);
    const bool maximized = window.isMaximized();
    settings.setValue(at + kGeometry, maximized ? window.normalGeometry() : window.geometry());
    settings.setValue(at + kMaximized, maximized);
    for (const QSplitter* splitter : partsOf<QSplitter>(window)) {
        settings.setValue(at + kSplitters + splitter->objectName(), splitter->saveState());
    }
    for (const auto& [name, header] : headersOf(window)) {
        settings.setValue(at + kColumns + name, header->saveState());
        settings.setValue(at + kColumnCount + name, header->count());
    }
    for (const QTabWidget* tabs : partsOf<QTabWidget>(window)) {
        settings.setValue(at + kTabs + tabs->objectName(), tabs->currentIndex());
    }
}

void restoreWindow(QWidget& window, const QSettings& settings, const QString& key) {
    const QString at = group(key);
    const QRect geometry = settings.value(at + kGeometry).toRect();
    if (geometry.isValid()) {
        window.setGeometry(geometry);
        placeOnScreen(window);
        if (settings.value(at + kMaximized).toBool()) {
            window.setWindowState(window.windowState() | Qt::WindowMaximized);
        }
    }
    for (QSplitter* splitter : partsOf<QSplitter>(window)) {
        const QVariant state = settings.value(at + kSplitters + splitter->objectName());
        if (state.isValid()) {
            splitter->restoreState(state.toByteArray());
        }
    }
    for (const auto& [name, header] : headersOf(window)) {
        const QVariant state = settings.value(at + kColumns + name);
        if (state.isValid() &&
            settings.value(at + kColumnCount + name).toInt() == header->count()) {
            header->restoreState(state.toByteArray());
        }
    }
    for (QTabWidget* tabs : partsOf<QTabWidget>(window)) {
        bool ok = false;
        const int index = settings.value(at + kTabs + tabs->objectName()).toInt(&ok);
        if (ok && index >= 0 && index < tabs->count()) {
            tabs->setCurrentIndex(index);
        }
    }
}

WindowMemory::WindowMemory(QSettings& settings, QObject* parent)
    : QObject(parent), settings_(settings) {
    qApp->installEventFilter(this);
}

WindowMemory::~WindowMemory() {
    qApp->removeEventFilter(this);
}

bool WindowMemory::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type != QEvent::Show && type != QEvent::Hide) || !remembered(watched)) {
        return false;
    }
    auto* window = static_cast<QWidget*>(watched);
    if (type == QEvent::Show && !window->property(kRestored).toBool()) {
        window->setProperty(kRestored, true);
        restoreWindow(*window, settings_, window->objectName());
    } else if (type == QEvent::Hide) {
        if (window->property(kForgotten).toBool()) {
            window->setProperty(kForgotten, QVariant());
        } else {
            saveWindow(*window, settings_, window->objectName());
        }
    }
    return false;
}

void forgetSettings(QSettings& settings) {
    settings.clear();
    settings.sync();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && remembered(window)) {
            window->setProperty(kForgotten, true);
        }
    }
}

}  // namespace lp::platform
