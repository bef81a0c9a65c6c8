// Starts levelpanel-sim for a benchmark and returns the pseudo-terminal it serves on.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <cstdio>

namespace lp::bench {

// Starts `program` with `arguments` in `sim`; the terminal path it prints, or an empty
// text (after saying why on stderr).
inline QString startSimulator(QProcess& sim, const QString& program, const QStringList& arguments) {
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(program, arguments);
    if (!sim.waitForStarted(5000)) {
        std::fprintf(stderr, "cannot start %s\n", qPrintable(program));
        return {};
    }
    while (!sim.canReadLine()) {
        if (!sim.waitForReadyRead(5000)) {
            std::fprintf(stderr, "levelpanel-sim printed no terminal path\n");
            return {};
        }
    }
    return QString::fromLocal8Bit(sim.readLine()).trimmed();
}

}  // namespace lp::bench
