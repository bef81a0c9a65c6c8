// Writing a list window to a record file, and the list "Save" command.
#include "lists/list_save.h"

#include <QFileInfo>

#include "lists/record_list_window.h"
#include "platform/wait_cursor.h"
#include "platform/window_place.h"
#include "records/record_file_writer.h"

namespace lp::lists {

std::optional<records::FileError> saveGridRows(RecordListWindow& window, const QString& path,
                                               const QString& progressSuffix) {
    const platform::WaitCursor hourglass;
    auto error = records::saveRecordFile(
        path, window.records().store(),
        [&](qsizetype line) { window.showProgress(line, progressSuffix); }, window.sourceFile());
    window.endProgress();
    return error;
}

bool saveList(RecordListWindow& window, platform::Dialogs& dialogs,
              const std::function<void(const QString& path)>& saved) {
    const std::optional<QString> path = platform::askRecordFileName(dialogs, &window);
    if (!path) {
        return false;
    }
    const auto error = saveGridRows(window, *path, kSaveProgressSuffix);
    if (error) {
        dialogs.message(&window, records::saveFailureText(*error), platform::MessageIcon::Warning);
        return false;
    }
    if (saved) {
        saved(*path);
    }
    platform::showCaptionNotice(&window, QStringLiteral("Saved to ") + *path);
    return true;
}

}  // namespace lp::lists
