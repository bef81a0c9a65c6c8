// What the program costs while it only watches the meter: the whole session (panel
// shown, linked to levelpanel-sim on a pseudo-terminal) runs for N seconds and the
// CPU time of this process is printed as a share of one core.
//
//   bench_idle_cpu [seconds] [panel|analog|gone]
//     panel   the panel alone (default)
//     analog  the panel and the analog meter
//     chart   the panel and the real-time chart (GRAPH)
//     gone    the simulator is stopped after 2 s: the port has gone away and the
//             session tries to reconnect every 2 s
// Run under the offscreen platform (QT_QPA_PLATFORM=offscreen) or a real display.
// Goals: panel <= 0.2 % (bench_live_poll_cpu, the poll alone, is the floor), analog
// <= 0.7 %, gone <= 0.5 % of one core; chart at most 0.2 % of a core above panel.
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "../support/bench_support.h"
#include "../support/sim_process.h"
#include "app/session.h"
#include "charts/real_time_chart.h"
#include "live/open_port.h"
#include "panel/panel.h"
#include "platform/dialogs.h"
#include "platform/qt_clock.h"
#include "platform/settings_place.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 30;
    const QByteArray mode = argc > 2 ? QByteArray(argv[2]) : QByteArray("panel");

    QStringList simArguments{QStringLiteral("--paced")};
    if (qEnvironmentVariableIsSet("LP_BENCH_LEVEL")) {  // a level that never moves
        simArguments << QStringLiteral("--level") << qEnvironmentVariable("LP_BENCH_LEVEL");
    }
    QProcess sim;
    const QString path =
        lp::bench::startSimulator(sim, QStringLiteral(LP_SIM_PROGRAM), simArguments);
    if (path.isEmpty()) {
        return 1;
    }

    lp::platform::QtClock clock;
    lp::bench::CountingDialogs dialogs;
    const lp::live::PortRequest request{lp::live::PortKind::Device, 0, path, QStringLiteral("pty")};
    lp::live::PortOpening opening = lp::live::openPort(request, clock);
    if (!opening.opened()) {
        std::fprintf(stderr, "%s\n", qPrintable(opening.reason));
        return 1;
    }
    QTemporaryDir settingsFolder;  // a settings file of its own, not the user's
    const std::unique_ptr<QSettings> settings = lp::platform::openSettings(settingsFolder.path());
    lp::app::Session session(std::move(opening.port), request, clock, dialogs, *settings);
    session.panel().show();
    if (mode == "analog") {
        session.panel().findChild<QPushButton*>(QStringLiteral("CmdAnalog"))->click();
    }
    if (mode == "chart") {
        session.panel().findChild<QPushButton*>(QStringLiteral("CmdGraph"))->click();
    }

    // Let the windows settle (first paint, the first frames) before measuring.
    const int settleMs = 2000;
    if (mode == "gone") {
        QTimer::singleShot(settleMs - 500, [&] {
            sim.kill();
            sim.waitForFinished(2000);
        });
    }
    double cpuStart = 0.0;
    QElapsedTimer wall;
    QTimer::singleShot(settleMs, [&] {
        cpuStart = lp::bench::ownCpuSeconds();
        wall.start();
    });
    QTimer::singleShot(settleMs + seconds * 1000, [&] {
        if (qEnvironmentVariableIsSet("LP_BENCH_GRAB")) {  // a picture of the panel as it ran
            session.panel().grab().save(qEnvironmentVariable("LP_BENCH_GRAB"));
            if (QWidget* chart = session.realTimeChart()) {  // and the chart beside it
                QString chartPath = qEnvironmentVariable("LP_BENCH_GRAB");
                chart->grab().save(
                    chartPath.replace(QStringLiteral(".png"), QStringLiteral("-chart.png")));
            }
        }
        QApplication::quit();
    });
    app.exec();
    const double elapsed = wall.elapsed() / 1000.0;
    const double cpu = lp::bench::ownCpuSeconds() - cpuStart;
    sim.kill();
    sim.waitForFinished(2000);

    std::printf("%s for %.1f s on %s: CPU %.3f s = %.3f %% of one core (%d notices)\n",
                mode.constData(), elapsed, qPrintable(path), cpu, 100.0 * cpu / elapsed,
                dialogs.messages);
    return 0;
}
