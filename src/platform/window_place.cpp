// Placing windows by the cascade rule, and notices in captions.
#include "platform/window_place.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>

#include "platform/cascade_place.h"
#include "platform/twips.h"

namespace lp::platform {
namespace {

// About a title bar's height.
constexpr int kCascadeStepTwips = 450;

// The caption a notice stands in for, and the notice shown last, kept on the window
// while a notice is shown.
constexpr char kCaptionBehind[] = "lpCaptionBehindNotice";
constexpr char kNotice[] = "lpCaptionNotice";

}  // namespace

void placeWindow(QWidget* window, QPoint first) {
    QList<QPoint> taken;
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = other->windowType();
        if (other != window && other->isVisible() && (type == Qt::Window || type == Qt::Dialog)) {
            taken.append(other->frameGeometry().topLeft());
        }
    }
    const QScreen* screen = window->screen();
    const int step = twipsToPx(kCascadeStepTwips);
    window->move(cascadePlace(first, taken, QPoint(step, step),
                              screen ? screen->availableGeometry() : QRect()));
}

void placeOnScreen(QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    if (!screen) {
        return;
    }
    const QRect area = screen->availableGeometry();
    // The frame's share of the size stays as it is; the window's own part gives way.
    const QSize margins = frame.size() - window.size();
    const QSize size = window.size().boundedTo(area.size() - margins);
    if (size != window.size()) {
        window.resize(size);
    }
    // A window that cannot shrink (a fixed size) keeps its top left corner on the area.
    const QSize outer = window.size() + margins;
    const int x = std::max(area.left(), std::min(frame.left(), area.right() + 1 - outer.width()));
    const int y = std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - outer.height()));
    window.move(x, y);
}

void showCaptionNotice(QWidget* window, const QString& text, int ms) {
    const QVariant shown = window->property(kNotice);
    if (!shown.isValid() || shown.toString() != window->windowTitle()) {
        window->setProperty(kCaptionBehind, window->windowTitle());
    }
    window->setProperty(kNotice, text);
    window->setWindowTitle(text);
    QTimer::singleShot(ms, window, [window, text] {
        if (window->property(kNotice).toString() != text) {
            return;  // a later notice ends it
        }
        if (window->windowTitle() == text) {
            window->setWindowTitle(window->property(kCaptionBehind).toString());
        }
        window->setProperty(kCaptionBehind, QVariant());
        window->setProperty(kNotice, QVariant());
    });
}

}  // namespace lp::platform
