// Saving a record list to a record file: the writing of a window's list with progress in its
// caption, and the list "Save" command of the live list and the downloaded-data list.
#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "platform/dialogs.h"
#include "records/file_error.h"

class QWidget;

namespace lp::lists {

class RecordListWindow;

// Writes the window's header line and all its records to `path` (created anew), with
// the hourglass and the caption counting the lines as "<line><suffix>"; cursor and
// caption come back afterwards, also on a failure.
[[nodiscard]] std::optional<records::FileError> saveGridRows(RecordListWindow& window,
                                                             const QString& path,
                                                             const QString& progressSuffix);

// The list "Save" command: the save dialog, then the list written to the chosen file.
// A failure is told to the user with the file name and the reason. Returns true when
// a file was written. `saved` is called with the file's path once it is written.
bool saveList(RecordListWindow& window, platform::Dialogs& dialogs,
              const std::function<void(const QString& path)>& saved = {});

// Caption suffixes of the two writers: "12Records Completed" while saving, and
// "12 Records Completed" while the live list is dumped.
inline const QString kSaveProgressSuffix = QStringLiteral("Records Completed");
inline const QString kDumpProgressSuffix = QStringLiteral(" Records Completed");

}  // namespace lp::lists
