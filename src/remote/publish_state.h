// How far the broker has acknowledged a logger's records, kept in a small file next to
// the record files so that a restarted logger (power loss, kill -9) resumes there.
//
// The file also holds the logger's record files in the order they were written, from
// the one the acknowledged record is in on: a new file (the next day's, the next part)
// is added when its first record is published, so the publisher never needs to guess
// the order from the names. JSON:
//   {"files": ["log-2026-12-06.sdm", "log-2026-12-07.sdm"], "line": 1234}
// says every record of the first file up to line 1234 is acknowledged (0: none), and
// nothing of the later ones. Names are relative to the folder of this file.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

namespace lp::remote {

struct PublishState {
    QStringList files;  // absolute paths, in writing order
    qint64 line = 0;

    friend bool operator==(const PublishState&, const PublishState&) = default;
};

// The cursor file of the record file `recordPath` (the path given to the recorder,
// before any day or part is added to it): "log.sdm" -> "log.sdm.published".
[[nodiscard]] QString publishStatePath(const QString& recordPath);

// The state in `path`; an empty state when there is no such file; the reason in words
// when it cannot be read or is not a cursor file.
[[nodiscard]] std::variant<PublishState, QString> loadPublishState(const QString& path);

// Replaces the file at once (written under another name, then renamed), so a kill at
// any moment leaves the old state or the new one. The reason in words when it fails.
[[nodiscard]] std::optional<QString> savePublishState(const QString& path,
                                                      const PublishState& state);

}  // namespace lp::remote
