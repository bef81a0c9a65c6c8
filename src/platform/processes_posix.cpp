#include "platform/processes.h"

#include <signal.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace lp::platform {

bool isProcessRunning(qint64 pid) {
    if (pid <= 0 || pid != static_cast<pid_t>(pid)) {
        return false;
    }
    // Signal 0 checks only: EPERM means it is there, of another user.
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

QString replaceProcess(const QString& program, const QStringList& arguments) {
    std::vector<QByteArray> words{QFile::encodeName(program)};
    for (const QString& arg : arguments) {
        words.push_back(arg.toLocal8Bit());
    }
    std::vector<char*> argv;
    for (QByteArray& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    std::fflush(nullptr);
    ::execv(argv[0], argv.data());
    return QString::fromLocal8Bit(std::strerror(errno));
}

}  // namespace lp::platform
