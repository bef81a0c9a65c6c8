// Whether two names lead to one file, for a writer that must not replace the file it
// reads from.
#pragma once

#include <QString>

namespace lp::platform {

// True when both paths name an existing file and it is the same one: the same device
// and inode, however the names are spelled (relative or absolute, with "." or "..",
// through symbolic or hard links). False when either does not exist.
[[nodiscard]] bool isSameFile(const QString& a, const QString& b);

}  // namespace lp::platform
