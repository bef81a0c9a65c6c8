// "Print" of a chart window: the window's picture, without its toolbar, scaled to the
// page of the printer the user picks.
#pragma once

class QWidget;

namespace lp::platform {

class Dialogs;

// Asks for the printer, then prints what `window` shows below `toolbar` (the whole
// window when there is none), once per copy, one copy per page. Cancelling prints
// nothing; a printer fault or an unwritable file is told to the user. True when the
// document was finished.
bool printWindowPicture(QWidget* window, const QWidget* toolbar, Dialogs& dialogs);

}  // namespace lp::platform
