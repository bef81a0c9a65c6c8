// A pseudo-terminal of a given size for a program under test: the program is started
// with path() as its stdout and stderr, and every byte it writes to the terminal is
// kept here, read on the event loop as a terminal would take it.
#pragma once

#include <QByteArray>
#include <QSocketNotifier>
#include <QString>
#include <memory>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace lp::test {

class PseudoTerminal {
public:
    PseudoTerminal(int columns, int lines) {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
            return;
        }
        path_ = QString::fromLocal8Bit(::ptsname(master_));
        winsize size{};
        size.ws_col = static_cast<unsigned short>(columns);
        size.ws_row = static_cast<unsigned short>(lines);
        ::ioctl(master_, TIOCSWINSZ, &size);
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        reader_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
        QObject::connect(reader_.get(), &QSocketNotifier::activated, [this] {
            char buffer[65536];
            ssize_t n = 0;
            while ((n = ::read(master_, buffer, sizeof buffer)) > 0) {
                bytes_.append(buffer, n);
            }
        });
    }
    ~PseudoTerminal() {
        reader_.reset();
        if (master_ >= 0) {
            ::close(master_);
        }
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // The terminal's device (/dev/pts/N); empty when none could be opened.
    [[nodiscard]] const QString& path() const { return path_; }
    // What the program wrote so far.
    [[nodiscard]] const QByteArray& bytes() const { return bytes_; }

private:
    int master_ = -1;
    QString path_;
    std::unique_ptr<QSocketNotifier> reader_;
    QByteArray bytes_;
};

}  // namespace lp::test
