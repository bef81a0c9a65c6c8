// "Export CSV" of the three record-list windows (the live list, the saved-file window
// and the downloaded-data list): a save dialog for a CSV file, then the listed records
// written as CSV, never over the file they were read from. A failure is told in a
// message box with the file and the reason.
#pragma once

#include <QString>

#include "platform/dialogs.h"

class QAction;
class QWidget;

namespace lp::lists {

class RecordListWindow;

inline const QString kCsvFileFilter = QStringLiteral("CSV Files (*.csv);;All Files (*)");
inline const QString kExportCsvCaption = QStringLiteral("Export CSV");

// The command: true when a file was written.
bool exportCsv(RecordListWindow& window, platform::Dialogs& dialogs);

// Puts the command "MnuExportCsv" on `bar` (the window's menu bar or toolbar), before
// `before` when given, else at its end.
QAction* addExportCsvCommand(RecordListWindow& window, platform::Dialogs& dialogs, QWidget* bar,
                             QAction* before = nullptr);

}  // namespace lp::lists
