// A small file system of its own, mounted over a temporary folder while it lives (as
// root only), for tests of writes that meet a full disk.
#pragma once

#include <sys/mount.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

namespace lp::test {

struct SmallDisk {
    QTemporaryDir dir;
    bool mounted = false;
    SmallDisk() {
        mounted = geteuid() == 0 && dir.isValid() &&
                  ::mount("tmpfs", QFile::encodeName(dir.path()).constData(), "tmpfs", 0,
                          "size=64k") == 0;
    }
    ~SmallDisk() {
        if (mounted) {
            ::umount2(QFile::encodeName(dir.path()).constData(), MNT_DETACH);
        }
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    // Writes a file until the disk takes no more; true when it is full.
    bool fill() const {
        QFile filler(dir.filePath(QStringLiteral("filler")));
        if (!filler.open(QIODevice::WriteOnly)) {
            return false;
        }
        const QByteArray block(4096, 'x');
        int written = 0;
        while (written <= 64 * 1024 && filler.write(block) == block.size() && filler.flush()) {
            written += block.size();
        }
        return written > 0 && filler.error() != QFileDevice::NoError;
    }
};

}  // namespace lp::test
