// How much CPU the live poll costs: polls levelpanel-sim on a pseudo-terminal with the
// panel's 150 ms timer for N seconds (argument, default 60) and prints the CPU time this
// process used as a share of one core, the frames received per second, and the
// simulator's own share. Goal: the program side well under 1 % of a core.
#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <cstdio>

#include "../support/bench_support.h"
#include "../support/sim_process.h"
#include "link/live_poller.h"
#include "platform/qt_clock.h"
#include "platform/serial_transport.h"

namespace {

// User + system time of another process, from /proc/<pid>/stat (fields 14 and 15).
double processCpuSeconds(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return 0.0;
    }
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13) {
        return 0.0;
    }
    // After "pid (comm) " the fields start at number 3, so utime is index 11.
    const double ticks = fields[11].toDouble() + fields[12].toDouble();
    return ticks / double(sysconf(_SC_CLK_TCK));
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 60;

    QProcess sim;
    const QString path =
        lp::bench::startSimulator(sim, QStringLiteral(LP_SIM_PROGRAM), {QStringLiteral("--paced")});
    if (path.isEmpty()) {
        return 1;
    }

    QString error;
    auto port = lp::platform::SerialTransport::open(path, path, &error);
    if (!port) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    lp::platform::QtClock clock;
    lp::link::MeterLink line(*port, clock);
    lp::link::LivePoller poller(line);
    qint64 frames = 0;
    QObject::connect(&poller, &lp::link::LivePoller::frameReceived,
                     [&](const QByteArray&) { ++frames; });
    auto pollTimer = clock.createTimer(150, false, [&] { poller.tick(); });
    auto endTimer = clock.createTimer(seconds * 1000, true, [] { QCoreApplication::quit(); });

    const double cpuStart = lp::bench::ownCpuSeconds();
    const double simStart = processCpuSeconds(sim.processId());
    QElapsedTimer wall;
    wall.start();
    pollTimer->start();
    endTimer->start();
    app.exec();
    pollTimer->stop();
    const double elapsed = wall.elapsed() / 1000.0;
    const double cpu = lp::bench::ownCpuSeconds() - cpuStart;
    const double simCpu = processCpuSeconds(sim.processId()) - simStart;

    port.reset();
    sim.terminate();
    sim.waitForFinished(5000);

    std::printf("live poll on %s for %.1f s (150 ms timer, replies paced at 960 B/s)\n",
                qPrintable(path), elapsed);
    std::printf("frames received: %lld (%.2f per second)\n", static_cast<long long>(frames),
                double(frames) / elapsed);
    std::printf("program CPU: %.3f s = %.3f %% of one core\n", cpu, 100.0 * cpu / elapsed);
    std::printf("simulator CPU: %.3f s = %.3f %% of one core\n", simCpu, 100.0 * simCpu / elapsed);
    return 0;
}
