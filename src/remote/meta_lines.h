// The run metadata on the broker: each line of FILE.meta (records/run_metadata.h) as a
// message on PREFIX/NAME/meta, and the cursor that says which of them the broker has.
//
// The message: {"file": the record file's name without its folder, "meta_line": the
// line's number in FILE.meta (1-based), "meta": the line's object}. A copy of FILE.meta
// is rebuilt from them byte for byte with records::metadataLine, in the order of
// "meta_line". A line that is no JSON object (one cut short by a crash, which the next
// run ended with its line end) has "meta" null and its bytes as "text".
//
// The cursor, OUT.meta-published beside the record file as given, JSON:
//   {"files": [{"file": "log-2026-12-06.sdm", "lines": 2, "bytes": 431,
//               "device": 2049, "inode": 393227}]}
// says the first 2 lines of log-2026-12-06.sdm.meta (its first 431 bytes) are
// acknowledged. "device" and "inode" are the metadata file's: one replaced under its
// name is published again from its start. Names are relative to the cursor's folder.
#pragma once

#include <QByteArray>
#include <QString>
#include <map>
#include <optional>

#include "platform/file_identity.h"

namespace lp::remote {

[[nodiscard]] QByteArray metaMessage(const QString& recordFile, qint64 metaLine,
                                     const QByteArray& line);

// How far the lines of one record file's metadata are acknowledged.
struct MetaProgress {
    qint64 lines = 0;
    qint64 bytes = 0;
    std::optional<platform::FileIdentity> identity;
    friend bool operator==(const MetaProgress&, const MetaProgress&) = default;
};
// By the record file's absolute path.
using MetaCursor = std::map<QString, MetaProgress>;

// The cursor file of the record file `recordPath` as given: "log.sdm" ->
// "log.sdm.meta-published".
[[nodiscard]] QString metaCursorPath(const QString& recordPath);

struct MetaCursorStart {
    MetaCursor cursor;
    QString notice;  // why the cursor was not taken, for the user (said once); else empty
};
// The cursor in `path`: empty when there is no such file; empty with a notice when it
// cannot be read (then each file's metadata goes out from its start when the recorder
// next writes to it).
[[nodiscard]] MetaCursorStart loadMetaCursor(const QString& path);
// Replaces the file at once (written under another name, then renamed). The reason in
// words when it fails.
[[nodiscard]] std::optional<QString> saveMetaCursor(const QString& path, const MetaCursor& cursor);

}  // namespace lp::remote
