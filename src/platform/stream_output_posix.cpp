#include "platform/stream_output.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "platform/write_failure.h"

namespace lp::platform {

StreamOutput::StreamOutput(int fd, QObject* parent) : QIODevice(parent), fd_(fd) {
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 StreamOutput::readData(char* /*data*/, qint64 /*maxSize*/) {
    return -1;
}

qint64 StreamOutput::writeData(const char* data, qint64 size) {
    if (failure_) {
        return -1;  // what follows a lost piece would make no whole output
    }
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd_, data + done, static_cast<size_t>(size - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            readerGone_ = error == EPIPE;
            failure_ = writeFailureText(QString::fromLocal8Bit(std::strerror(error)));
            setErrorString(*failure_);
            return -1;
        }
        done += n;
    }
    return done;
}

void ignoreBrokenPipes() {
    struct sigaction action {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGPIPE, &action, nullptr);
}

}  // namespace lp::platform
