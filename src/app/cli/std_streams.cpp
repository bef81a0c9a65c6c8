#include "app/cli/std_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "app/cli/cli.h"

namespace lp::app::cli {

void guardStandardStreams() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            // open() takes the lowest free number: this one.
            const int null = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
            if (null >= 0 && null != fd) {
                ::close(null);
            }
        }
    }
}

void ignoreBrokenPipes() {
    struct sigaction action {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGPIPE, &action, nullptr);
}

void Talk::line(const QString& text) {
    if (gone_) {
        return;
    }
    out_ << text << "\n";
    out_.flush();
    if (out_.status() == QTextStream::Ok) {
        return;
    }
    gone_ = true;
    // When stderr is gone too, this fails as quietly.
    err_ << kProgramName << ": stdout is gone (its reader ended); the recording goes on.\n";
    err_.flush();
}

}  // namespace lp::app::cli
