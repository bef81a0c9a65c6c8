#include "pty_meter_server.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace lp::sim {
namespace {

QString systemError(const char* what) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(strerror(errno)));
}

}  // namespace

PtyMeterServer::PtyMeterServer(SimMeter& meter, platform::Clock& clock, bool paced, QObject* parent)
    : QObject(parent), meter_(meter), clock_(clock), paced_(paced) {}

PtyMeterServer::~PtyMeterServer() {
    close();
}

bool PtyMeterServer::open(QString* error) {
    const auto fail = [&](const char* what) {
        if (error) {
            *error = systemError(what);
        }
        close();
        return false;
    };
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) {
        return fail("cannot create a pseudo-terminal (posix_openpt)");
    }
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
        return fail("cannot unlock the pseudo-terminal");
    }
    const char* name = ptsname(master_);
    if (!name) {
        return fail("cannot name the pseudo-terminal (ptsname)");
    }
    path_ = QString::fromLocal8Bit(name);
    slave_ = ::open(name, O_RDWR | O_NOCTTY);
    if (slave_ < 0) {
        return fail("cannot open the pseudo-terminal's far end");
    }
    // Raw bytes both ways: no echo, no line editing, no CR/LF translation.
    termios tio{};
    if (tcgetattr(slave_, &tio) != 0) {
        return fail("cannot read the terminal settings");
    }
    cfmakeraw(&tio);
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    if (tcsetattr(slave_, TCSANOW, &tio) != 0) {
        return fail("cannot set the terminal to raw mode");
    }
    const int flags = fcntl(master_, F_GETFL);
    if (flags < 0 || fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) {
        return fail("cannot make the pseudo-terminal non-blocking");
    }

    readNotifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
    connect(readNotifier_.get(), &QSocketNotifier::activated, this,
            &PtyMeterServer::readFromProgram);
    writeNotifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Write);
    writeNotifier_->setEnabled(false);
    connect(writeNotifier_.get(), &QSocketNotifier::activated, this, &PtyMeterServer::sendPending);
    paceTimer_ = clock_.createTimer(kPieceMs, false, [this] { sendPending(); });
    return true;
}

void PtyMeterServer::readFromProgram() {
    char buffer[512];
    for (;;) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0) {
            const QByteArray reply =
                meter_.receive(QByteArray(buffer, n), clock_.now(), clock_.elapsedMs());
            if (!reply.isEmpty()) {
                pending_.append(reply);
                if (!paced_) {
                    sendPending();
                } else if (!paceTimer_->isActive()) {
                    credit_ = 0.0;
                    lastPaceMs_ = clock_.elapsedMs();
                    paceTimer_->start();
                }
            }
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        // End of file or a real error: the terminal is unusable.
        const QString reason = systemError("reading the pseudo-terminal failed");
        readNotifier_->setEnabled(false);
        emit failed(reason);
        return;
    }
}

void PtyMeterServer::sendPending() {
    qsizetype allowed = pending_.size();
    if (paced_) {
        const qint64 now = clock_.elapsedMs();
        credit_ += double(now - lastPaceMs_) * kBytesPerSecond / 1000.0;
        lastPaceMs_ = now;
        allowed = std::min<qsizetype>(allowed, static_cast<qsizetype>(credit_));
    }
    if (allowed > 0) {
        const ssize_t n = ::write(master_, pending_.constData(), static_cast<size_t>(allowed));
        if (n > 0) {
            pending_.remove(0, n);
            credit_ = std::max(0.0, credit_ - double(n));
        } else if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            emit failed(systemError("writing the pseudo-terminal failed"));
            pending_.clear();
        }
    }
    if (pending_.isEmpty()) {
        paceTimer_->stop();
        writeNotifier_->setEnabled(false);
        return;
    }
    // Paced: the timer sends the next piece. Unpaced: wait until the terminal takes more.
    writeNotifier_->setEnabled(!paced_);
}

void PtyMeterServer::close() {
    readNotifier_.reset();
    writeNotifier_.reset();
    paceTimer_.reset();
    if (slave_ >= 0) {
        ::close(slave_);
        slave_ = -1;
    }
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

}  // namespace lp::sim
