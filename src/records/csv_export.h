// Records as CSV for spreadsheets: a header "no,time,level", one line per record
// with CR LF, ISO 8601 local time stamps and a dot as the decimal mark. A level text
// that carries a plain level gives its number; any other text (a marked, under- or
// over-range level, no level at all) is kept as it stands.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <optional>

#include "records/file_error.h"
#include "records/record_store.h"

namespace lp::records {

// "2009/06/01 14:05:09" -> "2009-06-01T14:05:09"; a text that is no such date and
// time comes back as it stands.
[[nodiscard]] QString isoStamp(QStringView dateTime);
// One CSV field: quoted (inner quotes doubled) when it holds a comma, a quote, a line
// break or leading or trailing blanks.
[[nodiscard]] QString csvField(const QString& text);
// The whole CSV of a list.
[[nodiscard]] QByteArray csvOf(const RecordStore& records);
// Writes the CSV of a list to `path`, replacing the file only once it is whole (as a
// record file is saved). The failure names the file and the reason.
[[nodiscard]] std::optional<FileError> writeCsvFile(const QString& path,
                                                    const RecordStore& records);

}  // namespace lp::records
