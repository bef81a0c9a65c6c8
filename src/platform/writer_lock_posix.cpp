#include "platform/writer_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

namespace lp::platform {

WriteLock lockForWriting(QFileDevice& file) {
    const int fd = file.handle();
    if (fd < 0) {
        return WriteLock::NotOffered;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        return WriteLock::Taken;
    }
    // Only a lock held elsewhere says EWOULDBLOCK; ENOLCK, EOPNOTSUPP and the like
    // mean the file system has no locks to give.
    return errno == EWOULDBLOCK ? WriteLock::HeldByAnother : WriteLock::NotOffered;
}

bool heldByAWriter(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    // Locks taken through different opens conflict even within one process.
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

}  // namespace lp::platform
