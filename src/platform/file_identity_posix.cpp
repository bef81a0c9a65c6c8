#include "platform/file_identity.h"

#include <sys/stat.h>

#include <QFile>

namespace lp::platform {

bool isSameFile(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty()) {
        return false;
    }
    struct stat first {};
    struct stat second {};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::optional<FileIdentity> fileIdentity(const QString& path) {
    struct stat info {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<quint64>(info.st_dev), static_cast<quint64>(info.st_ino)};
}

FileKind fileKind(const QString& path) {
    struct stat info {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return FileKind::None;
    }
    switch (info.st_mode & S_IFMT) {
        case S_IFREG:
            return FileKind::Regular;
        case S_IFDIR:
            return FileKind::Folder;
        case S_IFIFO:
            return FileKind::Pipe;
        case S_IFCHR:
            return FileKind::CharacterDevice;
        case S_IFBLK:
            return FileKind::DiskDevice;
        case S_IFSOCK:
            return FileKind::Socket;
        default:
            return FileKind::Other;
    }
}

}  // namespace lp::platform
