// Whether two names lead to one file, for a writer that must not replace the file it
// reads from; which file a name leads to now, for a reader that must know whether a
// file is still the one it counted lines in before; and what kind of file it is, for a
// writer that must not rename a file over a pipe or a device.
#pragma once

#include <QString>
#include <optional>

namespace lp::platform {

// True when both paths name an existing file and it is the same one: the same device
// and inode, however the names are spelled (relative or absolute, with "." or "..",
// through symbolic or hard links). False when either does not exist.
[[nodiscard]] bool isSameFile(const QString& a, const QString& b);

// A file for as long as it exists, whatever its name: a file moved within its file
// system keeps it; a new file under the old name has another (a deleted file's inode
// may be given to a later one).
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The identity of the file `path` names now; none when there is no such file.
[[nodiscard]] std::optional<FileIdentity> fileIdentity(const QString& path);

// What a name leads to, through symbolic links.
enum class FileKind {
    None,  // nothing to ask: no such name, a link that leads nowhere, a folder on the
           // way that may not be searched
    Regular,
    Folder,
    Pipe,             // a FIFO
    CharacterDevice,  // a terminal, /dev/null
    DiskDevice,       // a block device
    Socket,
    Other,
};

[[nodiscard]] FileKind fileKind(const QString& path);

}  // namespace lp::platform
