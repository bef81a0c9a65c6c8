// Files that a long-running writer holds (a recording): it takes an exclusive
// advisory lock on its open file, and every other writer, in this program or in
// another LevelPanel, asks before it replaces a file. The lock goes with the file's
// closing, also when the program is killed.
#pragma once

#include <QString>

class QFileDevice;

namespace lp::platform {

enum class WriteLock {
    Taken,
    HeldByAnother,  // another writer holds the file
    NotOffered,     // the file system offers no locks (some network and FUSE mounts)
};

// Takes the lock on an open file.
[[nodiscard]] WriteLock lockForWriting(QFileDevice& file);

// Whether a writer holds the lock on the file at `path` (false when there is no such
// file or it cannot be opened to ask).
[[nodiscard]] bool heldByAWriter(const QString& path);

}  // namespace lp::platform
