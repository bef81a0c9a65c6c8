#include "app/cli/std_streams.h"

#include <csignal>

namespace lp::app::cli {

void ignoreBrokenPipes() {
    struct sigaction action {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGPIPE, &action, nullptr);
}

void Talk::line(const QString& text) {
    if (gone_ || quiet_) {
        return;
    }
    err_ << text << "\n";
    err_.flush();
    gone_ = err_.status() != QTextStream::Ok;
}

}  // namespace lp::app::cli
