#include "platform/window_print.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include "platform/dialogs.h"

namespace lp::platform {

bool printWindowPicture(QWidget* window, const QWidget* toolbar, Dialogs& dialogs) {
    std::optional<PrinterChoice> choice = dialogs.choosePrinter(window);
    if (!choice) {
        return false;
    }
    QRect area = window->rect();
    if (toolbar != nullptr && toolbar->isVisible()) {
        const QRect bar(toolbar->mapTo(window, QPoint(0, 0)), toolbar->size());
        area.setTop(bar.bottom() + 1);
    }
    const QImage picture = window->grab(area).toImage();
    LinePrinter& printer = *choice->printer;
    bool ok = true;
    for (int copy = 0; copy < choice->copies && ok; ++copy) {
        ok = printer.printImage(picture);
    }
    ok = ok && printer.endDocument();
    if (!ok) {
        printer.abort();
        dialogs.message(window,
                        QStringLiteral("The window was not printed: %1").arg(printer.errorText()),
                        MessageIcon::Warning);
    }
    return ok;
}

}  // namespace lp::platform
