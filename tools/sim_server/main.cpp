// levelpanel-sim: a simulated sound level meter on a pseudo-terminal. Prints the
// terminal's path on its first line; LevelPanel opens that path like a serial port.
// Runs until SIGTERM, SIGINT or SIGHUP, then closes the terminal and exits cleanly.
// SIGUSR1 is the meter's power switch; SIGUSR2 makes it loud (the --loud level) and,
// sent again, quiet as before: an alarm can be set off at will. With --loud-weighting C
// the meter also goes to C weighting while loud (and back when quiet), so that a recording
// sees the weighting change at a level it can be told by.
// With --link PATH it also puts a symbolic link to the terminal at PATH (and takes it
// away on exit): a meter that is stopped and started again comes back at the same path,
// like a USB adapter plugged in again.
#include <sys/socket.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTextStream>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>

#include "platform/qt_clock.h"
#include "pty_meter_server.h"
#include "sim/demo_sets.h"
#include "sim/sim_meter.h"

namespace {

int signalPipe[2] = {-1, -1};

constexpr char kQuitByte = 1;
constexpr char kPowerByte = 2;
constexpr char kLoudByte = 3;

void onSignal(int sig) {
    const char byte = sig == SIGUSR1 ? kPowerByte : sig == SIGUSR2 ? kLoudByte : kQuitByte;
    // Only async-signal-safe calls here; the event loop does the rest.
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

bool installSignalHandlers() {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) {
        return false;
    }
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : {SIGTERM, SIGINT, SIGHUP, SIGUSR1, SIGUSR2}) {
        if (sigaction(sig, &action, nullptr) != 0) {
            return false;
        }
    }
    return true;
}

int fail(const QString& message) {
    QTextStream(stderr) << "levelpanel-sim: " << message << '\n';
    return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("levelpanel-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A simulated sound level meter on a pseudo-terminal. The first line printed is the "
        "terminal's path; open it in LevelPanel as the serial port. SIGUSR1 switches the "
        "meter off and on again, with the terminal left open; SIGUSR2 makes it loud and quiet "
        "again."));
    parser.addHelpOption();
    const QCommandLineOption paced(QStringLiteral("paced"),
                                   QStringLiteral("Send replies at 960 bytes a second, like a "
                                                  "9600 baud line."));
    const QCommandLineOption off(QStringLiteral("off"),
                                 QStringLiteral("The meter is switched off: no replies."));
    const QCommandLineOption shortReplies(QStringLiteral("short"),
                                          QStringLiteral("Every reply is one byte short."));
    const QCommandLineOption sets(QStringLiteral("sets"),
                                  QStringLiteral("Keep <n> demo sets (0 to 255) in the memory."),
                                  QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption level(QStringLiteral("level"),
                                   QStringLiteral("Show the fixed level <dB> (e.g. 65.3) instead "
                                                  "of a varying one."),
                                   QStringLiteral("dB"));
    const QCommandLineOption loud(QStringLiteral("loud"),
                                  QStringLiteral("The level <dB> shown while loud (after "
                                                 "SIGUSR2; default 80.0)."),
                                  QStringLiteral("dB"), QStringLiteral("80.0"));
    const QCommandLineOption loudWeighting(
        QStringLiteral("loud-weighting"),
        QStringLiteral("The weighting <A|C> while loud (after SIGUSR2); quiet again, the "
                       "weighting it had before."),
        QStringLiteral("A|C"), QStringLiteral("A"));
    const QCommandLineOption link(QStringLiteral("link"),
                                  QStringLiteral("Also reach the terminal through a symbolic "
                                                 "link at <path>, removed on exit."),
                                  QStringLiteral("path"));
    parser.addOptions({paced, off, shortReplies, sets, level, loud, loudWeighting, link});
    parser.process(app);

    lp::sim::SimMeter meter;
    bool ok = false;
    const int setCount = parser.value(sets).toInt(&ok);
    if (!ok || setCount < 0 || setCount > lp::sim::SimMeter::kMaxSets) {
        return fail(QStringLiteral("--sets takes a number from 0 to 255, not \"%1\".")
                        .arg(parser.value(sets)));
    }
    const auto stored = lp::sim::demoSets(setCount, meter.capacityBytes(),
                                          QDateTime(QDate(2009, 6, 1), QTime(8, 30, 0)));
    for (const auto& s : stored) {
        meter.addSet(s);
    }
    if (static_cast<int>(stored.size()) < setCount) {
        QTextStream(stderr) << "levelpanel-sim: only " << stored.size()
                            << " demo sets fit in the meter's memory.\n";
    }
    const auto decibels = [&parser](const QCommandLineOption& option) -> std::optional<double> {
        bool read = false;
        const double dB = parser.value(option).toDouble(&read);
        return read && dB >= 0.0 && dB < 200.0 ? std::optional(dB) : std::nullopt;
    };
    const std::optional<double> quietLevel =
        parser.isSet(level) ? decibels(level) : std::optional<double>();
    const std::optional<double> loudLevel = decibels(loud);
    for (const auto& [option, wrong] :
         {std::pair{&level, parser.isSet(level) && !quietLevel}, std::pair{&loud, !loudLevel}}) {
        if (wrong) {
            return fail(QStringLiteral("--%1 takes a level from 0 to 199.9 dB, not \"%2\".")
                            .arg(option->names().first(), parser.value(*option)));
        }
    }
    const QString loudLetter = parser.value(loudWeighting);
    if (loudLetter != QStringLiteral("A") && loudLetter != QStringLiteral("C")) {
        return fail(QStringLiteral("--loud-weighting takes A or C, not \"%1\".").arg(loudLetter));
    }
    meter.setFixedLevel(quietLevel);
    bool loudNow = false;
    bool quietWeightingA = meter.weightingA;
    if (parser.isSet(off)) {
        meter.setFault(lp::sim::Fault::SwitchedOff);
    } else if (parser.isSet(shortReplies)) {
        meter.setFault(lp::sim::Fault::WrongLength);
    }

    if (!installSignalHandlers()) {
        return fail(QStringLiteral("cannot install the signal handlers."));
    }
    QSocketNotifier quitNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&quitNotifier, &QSocketNotifier::activated, &app, [&] {
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &byte, 1);
        if (byte == kPowerByte) {
            // SIGUSR1: the meter's power switch, with the terminal left open.
            meter.setFault(meter.fault() == lp::sim::Fault::SwitchedOff
                               ? lp::sim::Fault::None
                               : lp::sim::Fault::SwitchedOff);
            return;
        }
        if (byte == kLoudByte) {
            loudNow = !loudNow;
            meter.setFixedLevel(loudNow ? loudLevel : quietLevel);
            if (parser.isSet(loudWeighting)) {
                if (loudNow) {
                    quietWeightingA = meter.weightingA;
                }
                meter.weightingA = loudNow ? loudLetter == QStringLiteral("A") : quietWeightingA;
            }
            return;
        }
        QCoreApplication::quit();
    });

    lp::platform::QtClock clock;
    lp::sim::PtyMeterServer server(meter, clock, parser.isSet(paced));
    QString error;
    if (!server.open(&error)) {
        return fail(error);
    }
    QObject::connect(&server, &lp::sim::PtyMeterServer::failed, &app, [](const QString& why) {
        QTextStream(stderr) << "levelpanel-sim: " << why << '\n';
        QCoreApplication::exit(1);
    });

    const QString linkPath = parser.value(link);
    if (!linkPath.isEmpty()) {
        // Made beside the path and renamed over it, so a program that opens the path
        // never finds it half made.
        const QString fresh = linkPath + QStringLiteral(".new");
        QFile::remove(fresh);
        if (::symlink(QFile::encodeName(server.path()).constData(),
                      QFile::encodeName(fresh).constData()) != 0 ||
            ::rename(QFile::encodeName(fresh).constData(),
                     QFile::encodeName(linkPath).constData()) != 0) {
            return fail(QStringLiteral("cannot put a link to the terminal at \"%1\": %2.")
                            .arg(linkPath, QString::fromLocal8Bit(std::strerror(errno))));
        }
    }

    // The path first, alone on its line, so scripts and tests can read it at once.
    std::fputs(qPrintable(server.path() + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
    const int code = app.exec();
    // Only a link that still leads here: another simulator may have taken the path.
    if (!linkPath.isEmpty() && QFile::symLinkTarget(linkPath) == server.path()) {
        QFile::remove(linkPath);
    }
    return code;
}
