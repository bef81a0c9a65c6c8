// fault-recorder: a PC recording without any window, for the fault tests. It polls the
// meter on the serial port PORT and records one line a second into FILE, the live
// cycle and the recording of the program doing the work. On stdout, unbuffered, it
// says "started" once the run is on and "line N" after line N is written; the tests
// kill it at any moment and compare the file with what it said.
//
//   fault-recorder PORT FILE
//
// Exit codes: 1 bad use or the port cannot be opened, 2 the recording could not start,
// 3 the recording stopped by itself. The reason goes to stderr.
#include <unistd.h>

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>
#include <cstdio>

#include "link/live_poller.h"
#include "link/meter_link.h"
#include "live/live_cycle.h"
#include "live/recording.h"
#include "platform/qt_clock.h"
#include "platform/serial_transport.h"

using namespace lp;

namespace {

void say(const QByteArray& text) {
    const QByteArray line = text + '\n';
    // Straight to the descriptor: what is said was done, even if the process dies next.
    [[maybe_unused]] const ssize_t n = ::write(STDOUT_FILENO, line.constData(), line.size());
}

int fail(int code, const QString& reason) {
    QTextStream(stderr) << "fault-recorder: " << reason << '\n';
    return code;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 2) {
        return fail(1, QStringLiteral("use: fault-recorder PORT FILE"));
    }

    QString error;
    auto port = platform::SerialTransport::open(args[0], args[0], &error);
    if (!port) {
        return fail(1, error);
    }
    platform::QtClock clock;
    link::MeterLink line(*port, clock);
    link::LivePoller poller(line);
    live::LiveCycle cycle(line, poller, clock, {args[0], args[0]});
    cycle.setSamplingSeconds(1);
    live::Recording recording;

    QObject::connect(&cycle, &live::LiveCycle::sampleTaken, &recording, &live::Recording::record);
    QObject::connect(&recording, &live::Recording::stopped, &app,
                     [](const QString& reason) { QCoreApplication::exit(fail(3, reason)); });
    QObject::connect(&cycle, &live::LiveCycle::sampleTaken, &app, [&] {
        if (recording.on()) {
            say("line " + QByteArray::number(recording.view().count));
        }
    });
    QObject::connect(&line, &link::MeterLink::portFailed, &app,
                     [](const QString& reason) { QCoreApplication::exit(fail(1, reason)); });

    recording.chooseFile(args[1]);
    if (auto startError = recording.start()) {
        return fail(2, *startError);
    }
    say("started");
    return app.exec();
}
