// Whole files in and out, for tests that check bytes on disk.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace lp::test {

// The file's bytes, or "<unreadable>" when it cannot be read.
inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Writes `bytes` as the whole file; false when that fails.
inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

}  // namespace lp::test
