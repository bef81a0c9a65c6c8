// Placing windows by the cascade rule, and notices in captions.
#include "platform/window_place.h"

#include <QApplication>
#include <QEvent>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionMenuItem>
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

constexpr char kPlacerName[] = "lpPlaceOnScreenAtShow";

// The width `bar` needs to show every command on one row, as the bar lays them out:
// each item's own width, the spacing before each and after the last, and the margins.
int menuBarWidth(const QMenuBar& bar) {
    const QStyle* style = bar.style();
    const int spacing = style->pixelMetric(QStyle::PM_MenuBarItemSpacing, nullptr, &bar);
    int width = 2 * (style->pixelMetric(QStyle::PM_MenuBarPanelWidth, nullptr, &bar) +
                     style->pixelMetric(QStyle::PM_MenuBarHMargin, nullptr, &bar)) +
                spacing;
    for (const QAction* action : bar.actions()) {
        if (!action->isVisible() || action->isSeparator()) {
            continue;
        }
        QStyleOptionMenuItem item;
        item.initFrom(&bar);
        item.menuItemType = QStyleOptionMenuItem::Normal;
        item.text = action->text();
        const QSize text = bar.fontMetrics().size(Qt::TextShowMnemonic, action->text());
        width +=
            style->sizeFromContents(QStyle::CT_MenuBarItem, &item, text, &bar).width() + spacing;
    }
    return width;
}

void widen(QWidget& window, int width) {
    if (window.minimumWidth() == window.maximumWidth()) {
        // A fixed size (often its layout's): the wider size is the fixed one now.
        if (QLayout* layout = window.layout()) {
            layout->setSizeConstraint(QLayout::SetNoConstraint);
        }
        window.setFixedWidth(width);
    } else {
        window.resize(width, window.height());
    }
}

// Calls placeOnScreen at the first show of the window it watches, then goes.
class PlaceAtShow : public QObject {
public:
    explicit PlaceAtShow(QWidget& window) : QObject(&window) {
        setObjectName(QLatin1String(kPlacerName));
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            watched->removeEventFilter(this);
            placeOnScreen(*static_cast<QWidget*>(watched));
            deleteLater();
        }
        return false;
    }
};

}  // namespace

void placeOnScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    if (const auto* bar = window.findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly)) {
        const int wanted = std::min(menuBarWidth(*bar), area.width());
        if (window.width() < wanted) {
            widen(window, wanted);
        }
    }
    // The frame around the window: known once shown, else a title bar's height on top.
    const QRect frame = window.frameGeometry();
    const QRect inner = window.geometry();
    const QMargins margins =
        frame != inner ? QMargins(inner.left() - frame.left(), inner.top() - frame.top(),
                                  frame.right() - inner.right(), frame.bottom() - inner.bottom())
                       : QMargins(0, window.style()->pixelMetric(QStyle::PM_TitleBarHeight), 0, 0);
    const QSize most = area.size().shrunkBy(margins);
    if (window.width() > most.width() || window.height() > most.height()) {
        window.resize(window.size().boundedTo(most));
    }
    const QSize outer = window.size().grownBy(margins);
    const auto within = [](int at, int low, int high) { return std::max(low, std::min(at, high)); };
    window.move(within(window.x(), area.left(), area.right() + 1 - outer.width()),
                within(window.y(), area.top(), area.bottom() + 1 - outer.height()));
}

void placeOnScreenAtShow(QWidget& window) {
    if (window.findChild<QObject*>(QLatin1String(kPlacerName), Qt::FindDirectChildrenOnly) ==
        nullptr) {
        new PlaceAtShow(window);
    }
}

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
    placeOnScreenAtShow(*window);
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
