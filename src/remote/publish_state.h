// How far the broker has acknowledged a logger's records, kept in a small file next to
// the record files so that a restarted logger (power loss, kill -9) resumes there.
//
// The file also holds the logger's record files in the order they were written, from
// the one the acknowledged record is in on: a new file (the next day's, the next part)
// is added when its first record is published, so the publisher never needs to guess
// the order from the names. JSON:
//   {"files": ["log-2026-12-06.sdm", "log-2026-12-07.sdm"], "line": 1234,
//    "device": 2049, "inode": 393226}
// says every record of the first file up to line 1234 is acknowledged (0: none), and
// nothing of the later ones. Names are relative to the folder of this file. "device"
// and "inode" say which file the line counts in (see platform::fileIdentity): a file
// moved away and a new one under its name must not pass for each other.
//
// A cursor that cannot prove what was acknowledged never skips a record: records may
// go out twice (consumers drop repeats by logger, file and line), none not at all.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "platform/file_identity.h"

namespace lp::remote {

struct PublishState {
    QStringList files;  // absolute paths, in writing order
    qint64 line = 0;
    // The first file's, when it is known; without it a line above 0 proves nothing.
    std::optional<platform::FileIdentity> identity;

    friend bool operator==(const PublishState&, const PublishState&) = default;
};

// The cursor file of the record file `recordPath` (the path given to the recorder,
// before any day or part is added to it): "log.sdm" -> "log.sdm.published".
[[nodiscard]] QString publishStatePath(const QString& recordPath);

// Where a restarted publisher goes on from.
struct CursorStart {
    PublishState state;  // no files: nothing to resume
    // The cursor is lost (unreadable, cut, empty): the first file the recorder writes
    // is published from its start.
    bool wholeFirstFile = false;
    // When the cursor was not taken as it stands, why, for the user (said once).
    QString notice;
};

// The cursor in `path`: nothing to resume when there is no such file. A cursor whose
// line cannot be proven to count in the file now under the first name (written by an
// older version without "device" and "inode", or the file moved, replaced or gone)
// resumes from that file's start.
[[nodiscard]] CursorStart loadPublishState(const QString& path);

// Replaces the file at once (written under another name, then renamed), so a kill at
// any moment leaves the old state or the new one. The reason in words when it fails.
[[nodiscard]] std::optional<QString> savePublishState(const QString& path,
                                                      const PublishState& state);

}  // namespace lp::remote
