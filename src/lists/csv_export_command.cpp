// The "Export CSV" command of the record-list windows.
#include "lists/csv_export_command.h"

#include <QAction>
#include <QFileInfo>

#include "lists/record_list_window.h"
#include "platform/shortcuts.h"
#include "platform/wait_cursor.h"
#include "platform/window_place.h"
#include "records/csv_export.h"

namespace lp::lists {

bool exportCsv(RecordListWindow& window, platform::Dialogs& dialogs) {
    const std::optional<QString> path = dialogs.saveFileName(&window, kCsvFileFilter);
    if (!path || QFileInfo(*path).fileName().isEmpty()) {
        return false;
    }
    std::optional<records::FileError> error;
    {
        const platform::WaitCursor hourglass;
        error = records::writeCsvFile(*path, window.records().store(), window.sourceFile());
    }
    if (error) {
        dialogs.message(&window, records::exportFailureText(*error),
                        platform::MessageIcon::Warning);
        return false;
    }
    platform::showCaptionNotice(&window, QStringLiteral("Exported to ") + *path);
    return true;
}

QAction* addExportCsvCommand(RecordListWindow& window, platform::Dialogs& dialogs, QWidget* bar,
                             QAction* before) {
    auto* command = new QAction(kExportCsvCaption, bar);
    command->setObjectName(QStringLiteral("MnuExportCsv"));
    command->setToolTip(QStringLiteral("Export the records as CSV"));
    platform::setKeys(command, {QKeySequence(Qt::CTRL | Qt::Key_E)});
    bar->insertAction(before, command);
    QObject::connect(command, &QAction::triggered, &window,
                     [&window, &dialogs] { exportCsv(window, dialogs); });
    return command;
}

}  // namespace lp::lists
