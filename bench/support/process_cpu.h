// The CPU time another process has used, for benchmarks that give a process's share of
// a core over a stretch of wall-clock time.
#pragma once

#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

namespace lp::bench {

// User and system CPU seconds of process `pid` so far, or -1 when it is gone.
inline double cpuSeconds(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray text = stat.readAll();
    // The fields after the command name in parentheses: state is field 3, utime 14.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13) {
        return -1;
    }
    return (fields[11].toDouble() + fields[12].toDouble()) / double(sysconf(_SC_CLK_TCK));
}

}  // namespace lp::bench
